#ifndef LOADING_H
#define LOADING_H

#include <QImage>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;

// One HTTP GET at a time against the test server. A text answer is kept in replyText,
// a picture answer is stored as <fileName>.jpg in pictureDir.
class loading : public QObject
{
    Q_OBJECT
public:
    explicit loading(QObject *parent = nullptr);

    bool load(QString url);

    // A picture answer that grows past this is aborted and ends as a network error, so an
    // endless or huge answer cannot exhaust memory. Answers are asked for and counted
    // uncompressed, so a small compressed answer cannot unpack past it either.
    static constexpr qint64 maxReplyBytes = 64 * 1024 * 1024;
    // The same for a document. A real test text of 100 series of 100 slides is about
    // 250 KiB; at this size the runner still parses the text in well under 50 ms at the
    // start of each series.
    static constexpr qint64 maxDocumentBytes = 1024 * 1024;
    // Redirects are followed only when no less safe (never from https to http), at most
    // this many hops for one request.
    static constexpr int maxRedirects = 5;

    // A GET of `url` as the client makes it: redirects followed when no less safe, at most
    // maxRedirects of them, and ended after `timeout` ms without a byte.
    static QNetworkRequest request(const QString &url, int timeout);
    // Sends that GET and aborts the answer once it grows past `limit` bytes; `http2` lets a
    // server that offers HTTP/2 over TLS take it.
    static QNetworkReply *get(QNetworkAccessManager *manager, const QString &url, int timeout,
                              qint64 limit, bool http2 = false);
    // The error of a finished answer, counting an answer past `limit` bytes as aborted, and a
    // compressed answer or a redirect that was not followed as a protocol failure.
    static QNetworkReply::NetworkError replyError(QNetworkReply *reply, qint64 limit);
    // Whether an answer went past `limit`, and whether it came compressed (gzip, deflate,
    // br, compress or zstd, in any case).
    static bool isOverCap(const QNetworkReply *reply, qint64 limit);
    static bool isCompressed(const QNetworkReply *reply);

    enum Outcome {
        Done,      // the document's text taken, or the picture checked (or stored)
        Transient, // failed, but another try may succeed: the network, 408, 429, 5xx
        Failed,    // failed for good
        Unstored,  // a picture that could not be written
    };
    // Takes a finished answer: a document's text into *text, or with a non-null `name` a
    // picture whose structure passed the check (pictureDecoder::inspect) into *picture;
    // *status is the status line.
    static Outcome take(QNetworkReply *reply, const QString &name, QString *text, QString *status,
                        QByteArray *picture);
    // The picture's second half, run while the next request is on its way: decoded at icon
    // size into *decoded (at a device-pixel ratio of 1) and stored as `name` in `pictureDir`.
    static Outcome store(const QString &pictureDir, const QString &name, const QByteArray &body,
                         const QString &host, QString *status, QImage *decoded);
    static QString errorText(int error, const QString &host);
    // Whether an answer that failed with `error` may succeed when asked again.
    static bool worthRetrying(const QNetworkReply *reply, QNetworkReply::NetworkError error);

    // A text document as the client reads it: UTF-8 up to the first NUL byte.
    static QString decodeText(QByteArray body);
    // Writes a picture so that a failed or short write leaves any older file as it was;
    // false with *why set on failure.
    static bool storePicture(const QString &path, const QByteArray &data, QString *why);

    QString replyText;
    QString statusText;
    QNetworkAccessManager *manager;
    bool busy = false;
    bool netError = false;
    bool fileError = false;
    bool fileMode = false;
    QString fileName;
    QString pictureDir;
    int stepCount = 0;
    // The picture `name` that last arrived, checked but not yet stored: decoded and stored
    // once the next request has left; on failure the error flags and the status text are
    // set and that request is aborted.
    bool storeHeld(const QString &name);
    // The picture just stored, decoded at icon size, so that it is not decoded again.
    QImage lastPicture;
    // An answer that receives no byte for this many milliseconds ends as a network error;
    // without it a silent server would leave the download waiting for ever.
    static constexpr int defaultTransferTimeout = 30000;
    int transferTimeout = defaultTransferTimeout;

private:
    QPointer<QNetworkReply> current;
    QByteArray heldPicture;
    QString heldHost;

signals:
    void start();
    void finish();

public slots:
    void replyFinished(QNetworkReply *reply);
};

#endif // LOADING_H
