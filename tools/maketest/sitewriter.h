#ifndef SITEWRITER_H
#define SITEWRITER_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What a generated test looks like.
struct siteOptions
{
    int series = 3;
    int slides = 10;
    int slideTime = 5;
    int pause = 10;
    QStringList first{"circle", "square", "triangle", "diamond"}; // drawn as shapes
    QStringList second{"red", "green", "blue", "orange"};         // drawn as colours
    QString instr; // empty: the default text; a lab's own with {series} ... filled in
    QString language = QStringLiteral("ru"); // of the default text: one of siteTexts::languages()
    quint32 seed = 1;
    int pictureSize = 360; // 4 x the client's 90-pixel icons: sharp up to a device-pixel ratio of 4
    // The author's own pictures by name ("a_b", "fail"), instead of drawn ones; a missing
    // "fail" is drawn.
    QMap<QString, QByteArray> ownPictures;
};

// Generates a complete static test site: the seven documents and every picture. The same
// options and seed give the same bytes. Every slide has exactly one right answer among
// buttons 1 to 4: either one of variants 1 to 3 shares exactly one value with the sample
// and variant 4 shares none, or none of them does and variant 4 (the fail button) does.
class siteWriter
{
public:
    explicit siteWriter(const siteOptions &options);

    // Empty when the options are usable, else what is wrong with them; numbersProblem()
    // checks only the counts, times and picture size, which come before any picture is read.
    QString validate() const;
    QString numbersProblem() const;
    // Empty when `value` can be a value of a list, else why not.
    static QString valueProblem(const QString &value);
    // Empty when the lists are long enough for slides with one right answer and three
    // different wrong ones, else which minimum applies.
    static QString listsProblem(const QStringList &first, const QStringList &second);
    // Writes <folder>/quelvan/... whole or not at all: the site is made beside it and then
    // takes the place of any older one. False with a message on failure.
    bool write(const QString &folder, QString *error) const;

    // Documents by name ("test", "instr", ...), and pictures by base name.
    QMap<QString, QByteArray> documents() const;
    QMap<QString, QByteArray> pictures() const;

    QString defaultInstructions() const;

private:
    QString makeTestText() const;

    siteOptions opt;
};

#endif // SITEWRITER_H
