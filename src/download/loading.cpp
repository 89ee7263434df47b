#include "download/loading.h"

#include "app/logcategories.h"
#include "app/retryrule.h"
#include "download/serverlayout.h"
#include "test/picturedecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
// Set on an answer aborted at its cap: its error alone cannot tell it from a timeout.
const char *const overCapProperty = "quelvanOverCap";
} // namespace

loading::loading(QObject *parent)
    : QObject(parent),
      statusText(QCoreApplication::translate("loading", "Готов к соединению")),
      manager(new QNetworkAccessManager(this)),
      pictureDir(serverLayout::defaultPictureDirectory())
{}

QString loading::decodeText(QByteArray body)
{
    const int nul = body.indexOf('\0');
    if (nul >= 0)
        body.truncate(nul);
    return QString::fromUtf8(body);
}

bool loading::storePicture(const QString &path, const QByteArray &data, QString *why)
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

QNetworkRequest loading::request(const QString &url, int timeout)
{
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    request.setTransferTimeout(timeout);
    // Uncompressed: the toolkit would unpack a compressed answer before the cap could count
    // it, and a small answer can unpack to gigabytes.
    request.setRawHeader("Accept-Encoding", "identity");
    return request;
}

QNetworkReply *loading::get(QNetworkAccessManager *manager, const QString &url, int timeout,
                            qint64 limit, bool http2)
{
    QNetworkRequest asked = request(url, timeout);
    if (http2)
        asked.setAttribute(QNetworkRequest::Http2AllowedAttribute, true);
    QNetworkReply *reply = manager->get(asked);
    // readyRead, not downloadProgress: the latter is throttled and may first come when
    // the whole answer is already in memory.
    connect(reply, &QNetworkReply::readyRead, reply, [reply, limit] {
        if (reply->bytesAvailable() > limit && reply->isRunning()) {
            qCWarning(lcDownload) << "answer exceeds" << limit << "bytes, aborted";
            reply->setProperty(overCapProperty, true);
            reply->abort();
        }
    });
    return reply;
}

bool loading::isOverCap(const QNetworkReply *reply, qint64 limit)
{
    // An answer that ended past the cap before it could be aborted counts as aborted too.
    return reply->property(overCapProperty).toBool() || reply->bytesAvailable() > limit;
}

bool loading::isCompressed(const QNetworkReply *reply)
{
    static const QList<QByteArray> packed{"gzip", "x-gzip", "deflate", "br", "compress", "zstd"};
    const QList<QByteArray> codings = reply->rawHeader("Content-Encoding").toLower().split(',');
    for (const QByteArray &coding : codings) {
        if (packed.contains(coding.trimmed()))
            return true;
    }
    return false;
}

QNetworkReply::NetworkError loading::replyError(QNetworkReply *reply, qint64 limit)
{
    if (isOverCap(reply, limit))
        return QNetworkReply::OperationCanceledError;
    if (reply->error() != QNetworkReply::NoError)
        return reply->error();
    // Asked for identity, a server may compress all the same: such bytes are neither the
    // document nor the picture, and unpacking them is what the cap must prevent.
    if (isCompressed(reply))
        return QNetworkReply::ProtocolFailure;
    // A redirect that was not followed (no usable Location) has only the server's "moved"
    // page as its body, which must not become a picture or a document.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400)
        return QNetworkReply::ProtocolFailure;
    return QNetworkReply::NoError;
}

bool loading::load(QString url)
{
    if (busy)
        return false;

    connect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    current = get(manager, url, transferTimeout, fileMode ? maxReplyBytes : maxDocumentBytes);

    busy = true;
    replyText.clear();
    ++stepCount;
    statusText =
        QCoreApplication::translate("loading", "Выполняю запрос к серверу. Шаг %1").arg(stepCount);
    qCDebug(lcDownload) << "url=" << url;
    emit start();
    return true;
}

QString loading::errorText(int error, const QString &host)
{
    return QCoreApplication::translate("loading", "Ошибка сетевого соединения:%1  \n По запросу:%2")
        .arg(error)
        .arg(host);
}

loading::Outcome loading::take(QNetworkReply *reply, const QString &name, QString *text,
                               QString *status, QByteArray *picture)
{
    const bool isPicture = !name.isNull();
    QNetworkReply::NetworkError error =
        replyError(reply, isPicture ? maxReplyBytes : maxDocumentBytes);
    const QByteArray body = error == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    // A "picture" that is none, such as a web server's page for a missing file, would show
    // as an empty button and be scored as if nothing were wrong. What decides safety is
    // looked at here; the pixels are decoded by store(), once the next request has left.
    if (isPicture && error == QNetworkReply::NoError) {
        const pictureDecoder::Verdict verdict = pictureDecoder::inspect(body);
        if (verdict != pictureDecoder::Fine) {
            qCWarning(lcDownload) << reply->url().toDisplayString()
                                  << "refused:" << pictureDecoder::describe(verdict);
            error = QNetworkReply::ProtocolFailure;
        }
    }
    if (error != QNetworkReply::NoError) {
        *status = errorText(int(error), reply->url().host(QUrl::FullyDecoded));
        qCDebug(lcDownload) << "error" << error << reply->errorString();
        return worthRetrying(reply, error) ? Transient : Failed;
    }
    if (isPicture) {
        *picture = body;
    } else {
        *text = decodeText(body);
        qCDebug(lcDownload) << *text;
    }
    *status = QCoreApplication::translate("loading", "Данные успешно получены");
    return Done;
}

loading::Outcome loading::store(const QString &pictureDir, const QString &name,
                                const QByteArray &body, const QString &host, QString *status,
                                QImage *decoded)
{
    pictureDecoder::Verdict verdict;
    *decoded = pictureDecoder::iconOf(body, &verdict);
    if (verdict != pictureDecoder::Fine) {
        qCWarning(lcDownload) << name << "refused:" << pictureDecoder::describe(verdict);
        *status = errorText(QNetworkReply::ProtocolFailure, host);
        return Failed;
    }
    const QString path = serverLayout::pictureFile(pictureDir, name);
    QString why;
    if (!storePicture(path, body, &why)) {
        *status = QCoreApplication::translate("loading", "Не удалось записать файл");
        qCWarning(lcDownload) << "cannot write" << path << ":" << why;
        return Unstored;
    }
    return Done;
}

bool loading::storeHeld(const QString &name)
{
    const Outcome outcome =
        store(pictureDir, name, heldPicture, heldHost, &statusText, &lastPicture);
    heldPicture.clear();
    if (outcome == Done)
        return true;
    (outcome == Unstored ? fileError : netError) = true;
    // The request that left meanwhile is of no use now.
    disconnect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    if (current) {
        current->abort();
        current->deleteLater();
    }
    busy = false;
    return false;
}

bool loading::worthRetrying(const QNetworkReply *reply, QNetworkReply::NetworkError error)
{
    // The client's own refusals, which another try cannot mend: an answer over its cap, and
    // one it does not take (a refused picture, a compressed or unfollowed answer), which the
    // toolkit counts as no error at all.
    if (reply->property(overCapProperty).toBool() || error != reply->error())
        return false;
    return retryRule::worthAnotherTry(reply);
}

void loading::replyFinished(QNetworkReply *reply)
{
    heldHost = reply->url().host(QUrl::FullyDecoded);
    switch (take(reply, fileMode ? fileName : QString(), &replyText, &statusText, &heldPicture)) {
    case Transient:
    case Failed: netError = true; break;
    case Unstored: fileError = true; break;
    case Done: break;
    }
    disconnect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    reply->abort();
    reply->deleteLater();
    busy = false;
    emit finish();
}
