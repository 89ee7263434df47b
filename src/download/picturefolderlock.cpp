#include "download/picturefolderlock.h"

#include "core/foldercheck.h"
#include "core/logcategories.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

pictureFolderLock::Outcome pictureFolderLock::take(const QString &folder,
                                                   std::unique_ptr<QLockFile> *lock)
{
    if (!QDir().mkpath(folder)) {
        qCWarning(lcDownload) << "cannot make the picture folder" << folder << ":"
                              << folderCheck::problem(folder);
        return NotMade;
    }
    const QString path = folder + QLatin1String("/quelvan.lock");
    auto file = std::make_unique<QLockFile>(path);
    // Never stale by age, however long a test runs; the toolkit still takes over the lock of
    // a window that died on this machine.
    file->setStaleLockTime(0);
    // A lock another machine wrote, or none can read, more than a day ago.
    const auto abandoned = [&file, &path](QString *host) {
        qint64 pid = 0;
        QString application;
        const bool known = file->getLockInfo(&pid, host, &application);
        const qint64 age = QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime());
        return (!known || *host != QSysInfo::machineHostName()) && age >= foreignStaleSeconds;
    };
    QString host;
    if (!file->tryLock(0) && file->error() == QLockFile::LockFailedError) {
        // Two windows may find it at once: one at a time takes it over, and only while it is
        // still that lock (as the toolkit does with stale locks of this machine).
        QLockFile takeover(path + QLatin1String(".rmlock"));
        if (!abandoned(&host) || !takeover.tryLock(0) || !abandoned(&host)
            || !file->removeStaleLockFile() || !file->tryLock(0)) {
            qCWarning(lcDownload) << "picture folder in use by another quelvan window:" << folder;
            return InUse;
        }
        qCWarning(lcDownload) << "took over the lock of" << folder << "left a day ago or more on"
                              << (host.isEmpty() ? QStringLiteral("an unknown machine") : host);
    }
    const bool locked = file->isLocked();
    if (!locked)
        qCWarning(lcDownload) << "picture folder" << folder
                              << "cannot be written:" << folderCheck::problem(folder);
    *lock = std::move(file);
    return locked ? Taken : Unwritable;
}

QString pictureFolderLock::refusal(Outcome outcome, const QString &folder)
{
    switch (outcome) {
    case NotMade:
        //: Download status: the picture folder cannot be created.
        return QCoreApplication::translate("loadInterface",
                                           "Не могу создать вспомогательный каталог");
    case InUse:
        //: Download status: another quelvan window uses the picture folder (%1).
        return QCoreApplication::translate("loadInterface",
                                           "Каталог с картинками занят другим окном quelvan: %1")
            .arg(folder);
    case Taken:
    case Unwritable: break; // an unwritable folder fails with its first picture
    }
    return QString();
}
