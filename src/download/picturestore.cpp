#include "download/picturestore.h"

#include "core/logcategories.h"
#include "core/serverlayout.h"
#include "pictures/picturedecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>

#include <utility>

void pictureStore::hold(const QString &picture, const QByteArray &data, const QString &from)
{
    name = picture;
    body = data;
    host = from;
}

replyTaker::Outcome pictureStore::storeHeld(const QString &pictureDir, QString *status,
                                            QImage *decoded)
{
    const QByteArray data = std::exchange(body, QByteArray());
    pictureDecoder::Verdict verdict;
    *decoded = pictureDecoder::iconOf(data, &verdict);
    if (verdict != pictureDecoder::Fine) {
        qCWarning(lcDownload) << name << "refused:" << pictureDecoder::describe(verdict);
        *status = replyTaker::errorText(QNetworkReply::ProtocolFailure, host);
        return replyTaker::Failed;
    }
    const QString path = serverLayout::pictureFile(pictureDir, name);
    QString why;
    if (!write(path, data, &why)) {
        //: Download status: a picture cannot be saved in the picture folder.
        *status = QCoreApplication::translate("loading", "Не удалось записать файл");
        qCWarning(lcDownload) << "cannot write" << path << ":" << why;
        return replyTaker::Unstored;
    }
    return replyTaker::Done;
}

bool pictureStore::write(const QString &path, const QByteArray &data, QString *why)
{
    // Written beside its name first, so that a failed or short write leaves any older picture
    // as it was. Not QSaveFile: it syncs every file to disk, which costs more than the
    // download itself, for a cache that every run fetches again.
    const QString part = path + QLatin1String(".part");
    QFile::remove(part); // left by a crash; NewOnly then never follows a link
    QFile file(part);
    const auto failed = [&](const QString &reason) {
        *why = reason;
        QFile::remove(part);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *why = file.errorString();
        return false;
    }
    // A full disk shows as a short write without an error, so the count is checked.
    const bool written = file.write(data) == data.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError)
        return failed(file.error() != QFileDevice::NoError ? file.errorString()
                                                           : QStringLiteral("a short write"));

    // img/ is the program's own cache: whatever stands at the name, a read-only picture or
    // a link, is replaced, and a link is never followed out of the directory.
    const QFileInfo older(path);
    if (older.isFile() && !older.isSymLink() && !(older.permissions() & QFileDevice::WriteOwner))
        QFile::setPermissions(path, older.permissions() | QFileDevice::WriteOwner); // Windows
    QFile previous(path);
    if ((older.exists() || older.isSymLink()) && !previous.remove())
        return failed(previous.errorString());
    if (!file.rename(path))
        return failed(file.errorString());
    return true;
}
