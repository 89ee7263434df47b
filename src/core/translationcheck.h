#ifndef TRANSLATIONCHECK_H
#define TRANSLATIONCHECK_H

#include <QList>
#include <QStringList>

class QTextStream;

// What a lab's translation (.ts or .qm) still lacks, measured against the English one built
// into the program: messages missing, unfinished, or left identical to the English text.
class translationCheck
{
public:
    // One line per problem, naming the message by its English text; empty when there are
    // none. *error, and nothing else, when the file cannot be read.
    static QStringList problems(const QString &file, QString *error);
    // `quelvan --check-translation FILE`: prints the problems and a summary to `out`; 0 when
    // there are none, 1 when there are, 2 when the file cannot be read (said on `err`).
    static int run(const QString &file, QTextStream &out, QTextStream &err);

private:
    struct message
    {
        QString context, source, comment;
        bool numerus = false;
        bool finished = false;
        QStringList forms; // the translation, one form unless numerus
    };
    // The messages of a .ts file, and its language.
    static QList<message> readTs(const QString &file, QString *language, QString *error);
    static QString name(const message &m);
};

#endif // TRANSLATIONCHECK_H
