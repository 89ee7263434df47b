#ifndef RESULTSUPLOADER_H
#define RESULTSUPLOADER_H

#include "core/backoff.h"
#include "net/uploadrequest.h"
#include "results/runoutbox.h"

#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QNetworkAccessManager;
class QNetworkProxy;
class QNetworkReply;
class QTimer;

// Delivers each run's data files to the lab's server with HTTP PUT of the whole file, so
// that any server that stores PUT requests takes them and a repeated upload only replaces a
// file with its newer self. The files on the disk stay the master copy: the uploader only
// remembers in each run's outbox what the server confirmed, retries what failed for as long
// as the window is open, and leaves what it could not deliver to a later start.
class resultsUploader : public QObject
{
    Q_OBJECT
public:
    enum State { Sent, Pending, Refused };

    // `url` is the address the files go below, without a trailing slash.
    resultsUploader(const QString &resultsDir, const QString &url, const QString &user,
                    const QString &password, QObject *parent = nullptr);
    ~resultsUploader() override;

    // The proxy the participant entered for the run; without one, the system's.
    void setProxy(const QNetworkProxy &proxy);
    // Of this window's run: Sent once the server confirmed every file of it that exists,
    // Refused when the server refused them for good (3xx, or 4xx but 408 and 429).
    State state() const { return current; }

    // This window's test is over and its run on its way: neither delivered nor refused, in
    // flight or waiting for its next try.
    bool sendingOwn() const;
    // The last series of this window's test has ended.
    void finish();

    // The name a file of a run has on the server: the run's random id follows the stem, so
    // that nobody who knows a code and a time can guess it.
    static QString uploadName(const runOutbox &outbox, const QString &file);

    static constexpr quint32 firstWaitMs = 1000;
    static constexpr quint32 longestWaitMs = 60000;
    // An upload that receives no byte for this long ends and is tried again.
    int transferTimeout = uploadRequest::timeoutMs;

public slots:
    // This window's run, remembered in its outbox before its first row is written.
    void track(const QString &stem, const QString &runId, const QString &testId);
    // A series runs: no upload starts until release().
    void hold();
    // The run's files changed and may be sent; `complete` once its graph is written.
    void release(bool complete);
    // Takes up the runs that earlier windows did not deliver and no window holds.
    void sendPending();
    // Starts every upload that is due; a timer calls it, tests too after setting the clock.
    void poll();

signals:
    void stateChanged(resultsUploader::State state);
    // The server answered one upload.
    void answered();

private:
    struct run
    {
        explicit run(const QString &resultsDir, const QString &stem) : outbox(resultsDir, stem) {}
        runOutbox outbox;
        std::unique_ptr<QLockFile> lock;
        bool own = false;
        bool complete = false; // nothing more will be written to it
        bool refused = false;
        bool recorded = false; // its record is on the disk, under its lock
        bool changed = false;  // what the server confirmed is not written yet
        bool warned = false;
        QHash<QString, QNetworkReply *> sending; // one upload per file at a time
        QHash<QString, backoff> waits;
    };
    void finished(run *r, const QString &file, const QByteArray &data, QNetworkReply *reply);
    void tryLater(run *r, const QString &file, const QString &why);
    // Writes the run's record when it lacks something, never while a series runs: a disk
    // sync there would delay the participant's next click.
    void keep(run *r);
    void updateState();

    QString resultsDir;
    QString url;
    QByteArray authorization;
    QNetworkAccessManager *manager;
    QTimer *timer;
    std::vector<std::unique_ptr<run>> runs;
    bool held = false;
    bool testOver = false;
    bool ownDelivered = false;
    State current = Pending;
};

#endif // RESULTSUPLOADER_H
