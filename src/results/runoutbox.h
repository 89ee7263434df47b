#ifndef RUNOUTBOX_H
#define RUNOUTBOX_H

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;
// What the server has confirmed of one run's files, kept in <results>/outbox/<stem>.json from
// the run's start until every file of it is delivered. A file counts as delivered when the
// server confirmed exactly its present content (by its SHA-256), so a file that grew after
// its last upload is pending again, and a second upload of the same content is never needed.
class runOutbox
{
public:
    runOutbox(const QString &resultsDir, const QString &stem);

    QString stem;
    QString runId;
    QString testId;                       // which test the run showed
    QHash<QString, QByteArray> confirmed; // file name -> hash of the content the server took

    // The run's data files, "<stem>_trials.csv", "<stem>_series.csv", "<stem>_graph.png".
    QStringList files() const;
    // Those that exist and differ from what the server confirmed.
    QStringList pending();
    // The path of a file of the run, and the SHA-256 of its present content (empty when it
    // cannot be read).
    QString path(const QString &file) const;
    QByteArray hash(const QString &file);

    // The server took `data` as the present content of `file`.
    void confirm(const QString &file, const QByteArray &data);
    // A lock on the run, or null when a window or a sender holds it: a window's run is its
    // own for as long as the window lives, and a run one sender sends no other takes up.
    std::unique_ptr<QLockFile> lock() const;

    bool load();
    // Written whole or not at all; false on failure.
    bool save() const;
    void remove() const;
    // The lock a window holds on its own run, and a sender on the run it sends.
    QString lockPath() const;

    // The stems of every run with an outbox in `resultsDir`.
    static QStringList stems(const QString &resultsDir);
    static QString folder(const QString &resultsDir);

private:
    QString resultsDir;
    struct known
    {
        qint64 size = -1;
        qint64 modified = 0;
        QByteArray hash;
    };
    // The last hash of each file: a file that did not change is not read again.
    QHash<QString, known> hashes;
};

#endif // RUNOUTBOX_H
