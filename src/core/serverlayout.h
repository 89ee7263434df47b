#ifndef SERVERLAYOUT_H
#define SERVERLAYOUT_H

#include <QString>
#include <QStringList>

// What a test server publishes and how the pictures are named and stored, in one place for
// the client, quelvan-maketest and the tests.
class serverLayout
{
public:
    // The seven documents in request order: "test", "instr", "tm", "ts_in_series",
    // "totalseries", "pauseseries", "pars".
    static const QStringList &documents();
    static constexpr int documentCount = 7;
    // Server path of a document by name or by its place in documents(): "/quelvan/tm.php".
    static QString documentPath(const QString &name);
    static QString documentPath(int index) { return documentPath(documents().at(index)); }
    // Server path of the pictures, "/quelvan/img", and of one: "/quelvan/img/<name>.jpg".
    static QString picturesPath() { return QStringLiteral("/quelvan/img"); }
    static QString picturePath(const QString &name);

    // The picture of a variant, and the one of the "none of these" button.
    static QString pictureName(const QString &value1, const QString &value2);
    static QString failPicture() { return QStringLiteral("fail"); }

    // The picture directory when none is chosen: img below the working directory.
    static QString defaultPictureDirectory();
    // A picture's file in a picture directory.
    static QString pictureFile(const QString &directory, const QString &name);

    // An answer is right when its variant shares the first or the second value with the
    // sample.
    static bool isRightAnswer(const QString &value1, const QString &value2, const QString &sample1,
                              const QString &sample2);

    // False for a name that would leave the picture directory: one holding a slash or a
    // backslash, and "." or "..". On Windows also false for what isWindowsFileName refuses.
    static bool isSafePictureName(const QString &name);
    // False for a name that Windows cannot store as a plain file name.jpg: reserved
    // characters, control characters, a trailing dot or blank, or a device name.
    static bool isWindowsFileName(const QString &name);
};

#endif // SERVERLAYOUT_H
