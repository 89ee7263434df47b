#include "download/picturefolderlock.h"

#include "app/foldercheck.h"
#include "app/logcategories.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

pictureFolderLock::Outcome pictureFolderLock::take(const QString &folder,
                                                   std::unique_ptr<QLockFile> *lock)
{
    const QString path = folder + QLatin1String("/quelvan.lock");
    auto file = std::make_unique<QLockFile>(path);
    // Never stale by age, however long a test runs; the toolkit still takes over the lock of
    // a window that died on this machine.
    file->setStaleLockTime(0);
    if (!file->tryLock(0) && file->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        const bool known = file->getLockInfo(&pid, &host, &application);
        const qint64 age = QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime());
        if ((known && host == QSysInfo::machineHostName()) || age < foreignStaleSeconds)
            return InUse;
        qCWarning(lcDownload) << "taking over the lock of" << folder << "left on"
                              << (known ? host : QStringLiteral("an unknown machine")) << age
                              << "seconds ago";
        if (!file->removeStaleLockFile() || !file->tryLock(0))
            return InUse;
    }
    const bool locked = file->isLocked();
    if (!locked)
        qCWarning(lcDownload) << "picture folder" << folder
                              << "cannot be written:" << folderCheck::problem(folder);
    *lock = std::move(file);
    return locked ? Taken : Unwritable;
}
