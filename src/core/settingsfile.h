#ifndef SETTINGSFILE_H
#define SETTINGSFILE_H

#include <QString>
#include <QStringList>

// The settings files, read as a lab writes them: INI in UTF-8 (or UTF-16 with a byte-order
// mark, as Notepad saves "Unicode"), the person's own file before the machine's, so that a
// lab can copy one plain file to every machine.
class settingsFile
{
public:
    // The value of `key` in the first file that has it; *where names the file and the key,
    // and *written, when given, is the value's text as the file has it, before the reader
    // took its quotes and escapes.
    static bool find(const QString &key, QString *value, QString *where,
                     QString *written = nullptr);
    // The settings files, the person's first, whether they exist or not; and their folders.
    static QStringList files();
    static QStringList folders();

    // What is wrong with the files, as one line naming the file: one that is not text, a
    // section, or a key that is none of `keys` (with the nearest of them, or the option it
    // is when it is one of `optionsOnly`). Empty when nothing is.
    static QString problem(const QStringList &keys, const QStringList &optionsOnly);
};

#endif // SETTINGSFILE_H
