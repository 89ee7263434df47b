#ifndef CLICKEDSTUDY_H
#define CLICKEDSTUDY_H

#include <QByteArray>
#include <QString>

struct appOptions;

// The runs of a study as participants leave them: clicked through the real window, then
// put in the lab's store as the upload names them.
struct ClickedStudy
{
    // One run of `code` through `series` series of two slides, on the test clock: the last
    // digit n of the code sets the answers (button 3 where n + series + slide is a multiple
    // of 3, else button 1) and the times (100 n + 50 (2 series + slide) ms a slide).
    static void play(const appOptions &options, const QString &code, int series);
    // Copies every file of `data` into `store` under the name the upload gives it (the
    // run's id after the stem); the files of runs whose name starts with `twice` go under
    // their own name too.
    static void toStore(const QString &data, const QString &store, const QString &twice);
    // A trials file as the version before onset_utc wrote it: the last column dropped.
    static void olderVersion(const QString &trials);
    // Every file's name and bytes in `folder`, hashed.
    static QByteArray snapshot(const QString &folder);
};

#endif // CLICKEDSTUDY_H
