#include "loading.h"

#include "logcategories.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

loading::loading(QObject *parent)
    : QObject(parent),
      statusText(QStringLiteral("Готов к соединению")),
      manager(new QNetworkAccessManager(this))
{}

QString loading::decodeText(QByteArray body)
{
    const int nul = body.indexOf('\0');
    if (nul >= 0)
        body.truncate(nul);
    return QString::fromUtf8(body);
}

QString loading::picturePath(const QString &name)
{
    return QDir::currentPath() + QLatin1String("/img/") + name + QLatin1String(".jpg");
}

bool loading::isSafePictureName(const QString &name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && name != QLatin1String(".") && name != QLatin1String("..");
}

bool loading::load(QString url)
{
    if (busy)
        return false;

    connect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    QNetworkReply *reply = manager->get(QNetworkRequest(QUrl(url)));
    // readyRead, not downloadProgress: the latter is throttled and may first come when
    // the whole answer is already in memory.
    connect(reply, &QNetworkReply::readyRead, this, [reply] {
        if (reply->bytesAvailable() > maxReplyBytes && reply->isRunning()) {
            qCWarning(lcDownload) << "answer exceeds" << maxReplyBytes << "bytes, aborted";
            reply->abort();
        }
    });

    busy = true;
    replyText.clear();
    ++stepCount;
    statusText = QStringLiteral("Выполняю запрос к серверу. Шаг %1").arg(stepCount);
    qCDebug(lcDownload) << "url=" << url;
    emit start();
    return true;
}

void loading::replyFinished(QNetworkReply *reply)
{
    // An answer that ended past the cap before it could be aborted counts as aborted.
    const QNetworkReply::NetworkError error =
        reply->error() == QNetworkReply::NoError && reply->bytesAvailable() > maxReplyBytes
            ? QNetworkReply::OperationCanceledError
            : reply->error();
    if (error != QNetworkReply::NoError) {
        netError = true;
        statusText = QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:%2")
                         .arg(int(error))
                         .arg(reply->url().host(QUrl::FullyDecoded));
        qCDebug(lcDownload) << "error" << error << reply->errorString();
    } else if (fileMode) {
        const QString path = picturePath(fileName);
        if (pictures.store(path, reply->readAll())) {
            statusText = QStringLiteral("Данные успешно получены");
        } else {
            statusText = QStringLiteral("Не удалось записать файл");
            fileError = true;
            qCDebug(lcDownload) << "cannot write" << path;
        }
    } else {
        replyText = decodeText(reply->readAll());
        qCDebug(lcDownload) << replyText;
        statusText = QStringLiteral("Данные успешно получены");
    }

    disconnect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    reply->abort();
    reply->deleteLater();
    busy = false;
    emit finish();
}
