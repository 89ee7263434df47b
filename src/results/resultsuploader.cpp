#include "results/resultsuploader.h"

#include "app/logcategories.h"
#include "app/retryrule.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <algorithm>

resultsUploader::resultsUploader(const QString &resultsDir, const QString &url, const QString &user,
                                 const QString &password, QObject *parent)
    : QObject(parent),
      resultsDir(resultsDir),
      url(url),
      manager(new QNetworkAccessManager(this)),
      timer(new QTimer(this))
{
    // Sent with every request rather than after a challenge: one round trip per file.
    if (!user.isEmpty())
        authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    timer->setInterval(250);
    connect(timer, &QTimer::timeout, this, &resultsUploader::poll);
}

resultsUploader::~resultsUploader()
{
    // Answers that the manager aborts on its way out must not reach a half-destroyed uploader.
    for (const auto &r : runs) {
        for (QNetworkReply *reply : qAsConst(r->sending))
            reply->disconnect(this);
    }
}

void resultsUploader::setProxy(const QNetworkProxy &proxy)
{
    manager->setProxy(proxy);
}

QString resultsUploader::uploadName(const runOutbox &outbox, const QString &file)
{
    return outbox.stem + QLatin1Char('_') + outbox.runId + file.mid(outbox.stem.size());
}

std::unique_ptr<QLockFile> resultsUploader::lockRun(const runOutbox &outbox)
{
    QDir().mkpath(QFileInfo(outbox.lockPath()).path());
    auto lock = std::make_unique<QLockFile>(outbox.lockPath());
    // A window's run is its own for as long as the window lives; the toolkit takes over the
    // lock of one that crashed on this machine.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        lock.reset();
    return lock;
}

void resultsUploader::track(const QString &stem, const QString &runId)
{
    auto r = std::make_unique<run>(resultsDir, stem);
    r->own = true;
    r->outbox.runId = runId;
    keep(r.get());
    runs.push_back(std::move(r));
    timer->start();
    updateState();
}

void resultsUploader::keep(run *r)
{
    if (held || (r->recorded && !r->changed))
        return;
    // The lock first, so that no sender takes up a run that this window still writes.
    if ((!r->lock && !(r->lock = lockRun(r->outbox))) || !r->outbox.save()) {
        if (!r->warned) // once: it is tried again at every series end and every poll
            qCWarning(lcResults).noquote()
                << QStringLiteral("cannot keep the upload record of %1 in %2; until it is "
                                  "written, no later start sends %3")
                       .arg(r->outbox.stem, runOutbox::folder(resultsDir),
                            r->outbox.files().join(QLatin1String(", ")));
        r->warned = true;
        return;
    }
    r->recorded = true;
    r->changed = false;
}

void resultsUploader::hold()
{
    held = true;
}

void resultsUploader::release(bool complete)
{
    held = false;
    for (const auto &r : runs) {
        if (r->own && complete)
            r->complete = true;
    }
    poll();
}

void resultsUploader::sendPending()
{
    const QStringList stems = runOutbox::stems(resultsDir);
    for (const QString &stem : stems) {
        const bool known = std::any_of(runs.cbegin(), runs.cend(),
                                       [&stem](const auto &r) { return r->outbox.stem == stem; });
        if (known)
            continue;
        auto r = std::make_unique<run>(resultsDir, stem);
        r->complete = true; // an earlier window's run: its files are final
        if (!(r->lock = lockRun(r->outbox)) || !r->outbox.load())
            continue; // a window writes or sends it now, or it is no record of ours
        r->recorded = true;
        runs.push_back(std::move(r));
    }
    timer->start();
    poll();
}

QNetworkReply *resultsUploader::put(const runOutbox &outbox, const QString &file, QByteArray *hash,
                                    QString *why)
{
    QFile f(outbox.path(file));
    const QByteArray data = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (!f.isOpen() || f.error() != QFileDevice::NoError || data.size() != f.size()) {
        *why = QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString());
        return nullptr;
    }
    *hash = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    QUrl target(url);
    target.setPath(target.path() + QLatin1Char('/') + uploadName(outbox, file));
    QNetworkRequest request(target);
    // A redirect means a wrong address: it is reported, never followed with the data.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(transferTimeoutMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, file.endsWith(QLatin1String(".png"))
                                                              ? "image/png"
                                                              : "text/csv; charset=utf-8");
    if (!authorization.isEmpty())
        request.setRawHeader("Authorization", authorization);
    return manager->put(request, data);
}

resultsUploader::Verdict resultsUploader::verdict(QNetworkReply *reply, QString *why)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 200 && status < 300)
        return Confirmed;
    *why = status
               ? QStringLiteral("HTTP %1 %2")
                     .arg(status)
                     .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
               : reply->errorString();
    // A wrong address, password or permission will not change by trying again.
    return retryRule::worthAnotherTry(reply) ? Retry : Refuse;
}

void resultsUploader::poll()
{
    if (held)
        return;
    for (auto it = runs.begin(); it != runs.end();) {
        run *r = it->get();
        keep(r);
        const QStringList pending = r->refused ? QStringList() : r->outbox.pending();
        for (const QString &file : pending) {
            if (!r->waits.contains(file))
                r->waits.insert(file, backoff(firstWaitMs, longestWaitMs));
            if (r->sending.contains(file) || !r->waits[file].due())
                continue;
            QByteArray hash;
            QString why;
            QNetworkReply *reply = put(r->outbox, file, &hash, &why);
            if (!reply) {
                tryLater(r, file, why);
                continue;
            }
            r->sending.insert(file, reply);
            connect(reply, &QNetworkReply::finished, this,
                    [this, r, file, hash, reply] { finished(r, file, hash, reply); });
        }
        // Delivered: nothing more to write, send or remember.
        if (r->complete && !r->refused && pending.isEmpty() && r->sending.isEmpty()) {
            r->outbox.remove();
            ownDelivered = ownDelivered || r->own;
            it = runs.erase(it);
        } else {
            ++it;
        }
    }
    if (runs.empty())
        timer->stop();
    updateState();
}

void resultsUploader::finished(run *r, const QString &file, const QByteArray &hash,
                               QNetworkReply *reply)
{
    r->sending.remove(file);
    reply->deleteLater();
    QString why;
    switch (verdict(reply, &why)) {
    case Confirmed:
        r->outbox.confirmed.insert(file, hash);
        r->waits[file].succeeded();
        r->changed = true;
        keep(r);
        break;
    case Retry: tryLater(r, file, why); break;
    case Refuse:
        qCWarning(lcResults) << "the server refused" << reply->url().toDisplayString() << why
                             << "; the run stays to be sent by a later start";
        r->refused = true;
        break;
    }
    updateState();
}

void resultsUploader::tryLater(run *r, const QString &file, const QString &why)
{
    if (r->waits[file].failures() == 0) // once, not at every try of a week offline
        qCWarning(lcResults) << "cannot send" << file << "yet, will try again:" << why;
    r->waits[file].failed();
}

void resultsUploader::updateState()
{
    State state = ownDelivered ? Sent : Pending;
    for (const auto &r : runs) {
        // Refused, or kept nowhere that a later start would find it.
        if (r->own && (r->refused || !r->recorded))
            state = Refused;
    }
    if (state != current) {
        current = state;
        emit stateChanged(state);
    }
}

bool resultsUploader::sendAllOnce(QTextStream &out)
{
    bool allSent = true;
    const QStringList stems = runOutbox::stems(resultsDir);
    for (const QString &stem : stems) {
        runOutbox outbox(resultsDir, stem);
        const std::unique_ptr<QLockFile> lock = lockRun(outbox);
        QString failure = !lock ? QStringLiteral("a quelvan window is writing or sending it")
                          : !outbox.load() ? QStringLiteral("its outbox cannot be read")
                                           : QString();
        const QStringList pending = failure.isEmpty() ? outbox.pending() : QStringList();
        for (const QString &file : pending) {
            QByteArray hash;
            QString why;
            QNetworkReply *reply = put(outbox, file, &hash, &why);
            if (reply) {
                QEventLoop loop;
                connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
                loop.exec();
                if (verdict(reply, &why) == Confirmed) {
                    outbox.confirmed.insert(file, hash);
                    outbox.save();
                    why.clear();
                } else {
                    why.prepend(file + QLatin1String(": "));
                }
                delete reply;
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
