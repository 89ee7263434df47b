#ifndef GETREQUEST_H
#define GETREQUEST_H

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

class QNetworkAccessManager;
class QNetworkRequest;

// One HTTP GET as the client makes it, for the download, the queue and quelvan-maketest
// --check alike: redirects followed only when no less safe, a silence ended, the answer
// asked for uncompressed and cut off at its cap.
class getRequest
{
public:
    // A picture answer that grows past this is aborted and ends as a network error, so an
    // endless or huge answer cannot exhaust memory. Answers are asked for and counted
    // uncompressed, so a small compressed answer cannot unpack past it either.
    static constexpr qint64 maxReplyBytes = 64 * 1024 * 1024;
    // The same for a document. A real test text of 100 series of 100 slides is about
    // 250 KiB; at this size the runner still parses the text in well under 50 ms at the
    // start of each series.
    static constexpr qint64 maxDocumentBytes = 1024 * 1024;
    // At most this many redirects for one request.
    static constexpr int maxRedirects = 5;
    // An answer that receives no byte for this many milliseconds ends as a network error;
    // without it a silent server would leave the download waiting for ever.
    static constexpr int defaultTransferTimeout = 30000;

    // The GET of `url`, ended after `timeout` ms without a byte.
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
    // Whether an answer that failed with `error` may succeed when asked again.
    static bool worthRetrying(const QNetworkReply *reply, QNetworkReply::NetworkError error);

    // A text document as the client reads it: UTF-8 up to the first NUL byte.
    static QString decodeText(QByteArray body);
};

#endif // GETREQUEST_H
