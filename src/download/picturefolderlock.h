#ifndef PICTUREFOLDERLOCK_H
#define PICTUREFOLDERLOCK_H

#include <QString>

#include <memory>

class QLockFile;

// One window at a time downloads into a picture folder, and keeps the folder for as long as
// it is open, so that no other window replaces the pictures its test shows.
class pictureFolderLock
{
public:
    enum Outcome {
        Taken,
        NotMade,    // the folder is missing and cannot be made
        InUse,      // another window holds it
        Unwritable, // the folder takes no lock file; it will take no picture either, and
                    // that failure comes with the first picture
    };

    // Makes `folder` when missing and takes its lock file; every failure is logged with its
    // reason. A live lock is never taken; one of a window that
    // crashed on this machine is. A lock written on another machine (a shared home folder)
    // is taken once it is older than a day, since that window cannot be asked.
    static Outcome take(const QString &folder, std::unique_ptr<QLockFile> *lock);
    static constexpr qint64 foreignStaleSeconds = 24 * 3600;
    // What the download screen says when `outcome` stops the download of `folder`; empty
    // when it may go on.
    static QString refusal(Outcome outcome, const QString &folder);
};

#endif // PICTUREFOLDERLOCK_H
