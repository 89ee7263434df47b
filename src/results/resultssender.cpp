#include "results/resultssender.h"

#include "results/resultsuploader.h"
#include "results/runoutbox.h"

#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextStream>

bool resultsSender::sendAllOnce(const QString &resultsDir, const QString &url, const QString &user,
                                const QString &password, QTextStream &out, int timeout)
{
    QNetworkAccessManager manager;
    uploadRequest::useSystemProxy(&manager);
    const QByteArray authorization = uploadRequest::authorization(user, password);
    bool allSent = true;
    QString unanswered; // why the server could not be reached, once it could not
    const QStringList stems = runOutbox::stems(resultsDir);
    for (const QString &stem : stems) {
        runOutbox outbox(resultsDir, stem);
        const std::unique_ptr<QLockFile> lock = outbox.lock();
        QString failure =
            !lock            ? QStringLiteral("a quelvan window is writing or sending it")
            : !outbox.load() ? QStringLiteral("its outbox cannot be read")
            : !unanswered.isEmpty()
                ? QStringLiteral("not tried, the server did not answer: ") + unanswered
                : QString();
        const QStringList pending = failure.isEmpty() ? outbox.pending() : QStringList();
        for (const QString &file : pending) {
            QByteArray data;
            QString why;
            if (unanswered.isEmpty() && uploadRequest::readWhole(outbox.path(file), &data, &why)) {
                const std::unique_ptr<QNetworkReply> reply = uploadRequest::putAndWait(
                    &manager, url, resultsUploader::uploadName(outbox, file), authorization, data,
                    timeout);
                if (uploadRequest::verdict(reply.get(), &why, timeout)
                    == uploadRequest::Confirmed) {
                    outbox.confirm(file, data);
                    outbox.save();
                    why.clear();
                } else {
                    why.prepend(file + QLatin1String(": "));
                    if (uploadRequest::unanswered(reply.get()))
                        unanswered = why;
                }
            } else if (why.isEmpty()) {
                why = QStringLiteral("not tried, the server did not answer");
            }
            if (failure.isEmpty())
                failure = why;
        }
        if (failure.isEmpty())
            outbox.remove();
        else
            allSent = false;
        out << "quelvan: " << (failure.isEmpty() ? "sent " : "not sent ") << stem
            << (failure.isEmpty() ? QString() : QLatin1String(": ") + failure) << '\n';
    }
    if (stems.isEmpty())
        out << "quelvan: nothing to send\n";
    return allSent;
}
