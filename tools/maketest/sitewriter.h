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
    QString instr;                                                // empty: the default text
    quint32 seed = 1;
    int pictureSize = 180;
};

// Generates a complete static test site: the seven documents and every picture. The same
// options and seed give the same bytes. Every slide has exactly one right answer among
// buttons 1 to 4: either one of variants 1 to 3 shares exactly one value with the sample
// and variant 4 shares none, or none of them does and variant 4 (the fail button) does.
class siteWriter
{
public:
    explicit siteWriter(const siteOptions &options);

    // Empty when the options are usable, else what is wrong with them.
    QString validate() const;
    // Writes <folder>/quelvan/... ; false with a message on failure.
    bool write(const QString &folder, QString *error) const;

    // Documents by name ("test", "instr", ...), and pictures by base name.
    QMap<QString, QByteArray> documents() const;
    QMap<QString, QByteArray> pictures() const;

    QString defaultInstructions() const;
    QByteArray drawPicture(int shape, int colour) const;
    QByteArray drawFail() const;

private:
    QString makeTestText() const;

    siteOptions opt;
};

#endif // SITEWRITER_H
