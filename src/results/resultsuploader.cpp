#include "results/resultsuploader.h"

#include "core/logcategories.h"

#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>

#include <algorithm>

resultsUploader::resultsUploader(const QString &resultsDir, const QString &url, const QString &user,
                                 const QString &password, QObject *parent)
    : QObject(parent),
      resultsDir(resultsDir),
      url(url),
      authorization(uploadRequest::authorization(user, password)),
      manager(new QNetworkAccessManager(this)),
      timer(new QTimer(this))
{
    uploadRequest::useSystemProxy(manager);
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

void resultsUploader::track(const QString &stem, const QString &runId, const QString &testId)
{
    auto r = std::make_unique<run>(resultsDir, stem);
    r->own = true;
    r->outbox.runId = runId;
    r->outbox.testId = testId;
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
    if ((!r->lock && !(r->lock = r->outbox.lock())) || !r->outbox.save()) {
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
        if (!(r->lock = r->outbox.lock()) || !r->outbox.load())
            continue; // a window writes or sends it now, or it is no record of ours
        r->recorded = true;
        runs.push_back(std::move(r));
    }
    timer->start();
    poll();
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
            QByteArray data;
            QString why;
            if (!uploadRequest::readWhole(r->outbox.path(file), &data, &why)) {
                tryLater(r, file, why);
                continue;
            }
            QNetworkReply *reply = uploadRequest::put(manager, url, uploadName(r->outbox, file),
                                                      authorization, data, transferTimeout);
            r->sending.insert(file, reply);
            connect(reply, &QNetworkReply::finished, this,
                    [this, r, file, data, reply] { finished(r, file, data, reply); });
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

void resultsUploader::finished(run *r, const QString &file, const QByteArray &data,
                               QNetworkReply *reply)
{
    r->sending.remove(file);
    reply->deleteLater();
    QString why;
    switch (uploadRequest::verdict(reply, &why, transferTimeout)) {
    case uploadRequest::Confirmed:
        r->outbox.confirm(file, data);
        r->waits[file].succeeded();
        r->changed = true;
        keep(r);
        break;
    case uploadRequest::Retry: tryLater(r, file, why); break;
    case uploadRequest::Refuse:
        qCWarning(lcResults).noquote()
            << QStringLiteral("the server refused %1: %2; the run stays to be sent by a later "
                              "start")
                   .arg(reply->url().toDisplayString(), why);
        r->refused = true;
        break;
    }
    updateState();
    emit answered();
}

void resultsUploader::tryLater(run *r, const QString &file, const QString &why)
{
    if (r->waits[file].failures() == 0) // once, not at every try of a week offline
        qCWarning(lcResults) << "cannot send" << file << "yet, will try again:" << why;
    r->waits[file].failed();
}

bool resultsUploader::sendingOwn() const
{
    // Only once the test is over: a window closed mid-test goes at once, and whatever it had
    // not sent, in flight or waiting, goes with a later start.
    return testOver && std::any_of(runs.cbegin(), runs.cend(), [](const auto &r) {
               return r->own && !r->refused;
           });
}

void resultsUploader::finish()
{
    testOver = true;
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
