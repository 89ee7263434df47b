#ifndef DOWNLOADQUEUE_H
#define DOWNLOADQUEUE_H

#include "core/backoff.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// The download for a slow or unsteady link, when a lab asks for it: the documents one at a
// time and in order, as always, then up to `connections` pictures at once, and a request
// that failed for a reason another try may mend asked again up to `retries` times, after
// 0.5 s, 1 s, 2 s ... on the program's clock. The first failure that is not asked again
// ends everything: nothing new is asked for and what is under way is aborted.
class downloadQueue : public QObject
{
    Q_OBJECT
public:
    downloadQueue(QNetworkAccessManager *manager, int connections, int retries,
                  QObject *parent = nullptr);

    // The seven documents of the server at `serverUrl`; then the pictures, into `pictureDir`.
    void fetchDocuments(const QString &serverUrl);
    void fetchPictures(const QStringList &names, const QString &pictureDir);

    // Requests made so far, retries included: the step of the status line.
    int stepCount = 0;
    int transferTimeout;
    static constexpr quint32 firstWaitMs = 500;

signals:
    void status(const QString &text);
    void document(int index, const QString &text);
    // The SHA-256 of item `item` taken: documents 0 to 6, then the pictures in list order.
    void taken(int item, const QByteArray &digest);
    // With the picture decoded at icon size, as its check decoded it.
    void pictureStored(const QString &name, const QImage &decoded);
    // Every document, then every picture, is in.
    void finished();
    void failed(const QString &text);
    // A request failed for a passing reason and waits to be asked again.
    void retrying(const QString &path, int tries);

public slots:
    // Asks for whatever may be asked now; a timer calls it, tests too after setting the clock.
    void poll();

private:
    struct job
    {
        QString path;
        QString name; // the picture's name; null for a document
        int index = 0;
        int tries = 0;
        backoff wait{firstWaitMs, 64 * firstWaitMs};
    };

    void answered(QNetworkReply *reply);
    void stop(const QString &text);

    QNetworkAccessManager *manager;
    QTimer *timer;
    int connections;
    int retries;
    int limit = 1; // requests at once: one for the documents, in order
    QString server;
    QString pictureDir;
    QList<job> waiting;
    QHash<QNetworkReply *, job> flying;
    bool stopped = false;
};

#endif // DOWNLOADQUEUE_H
