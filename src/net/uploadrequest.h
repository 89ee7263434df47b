#ifndef UPLOADREQUEST_H
#define UPLOADREQUEST_H

#include <QByteArray>
#include <QString>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// One HTTP PUT of a whole file to the lab's store, made alike by the window, by
// --send-results and by --check-upload: the basic authentication sent at once (one round
// trip a file), a redirect reported and never followed with the data, a silence ended, and
// the answer, whose body is never needed, cut off at a small size and at a deadline of twice
// the silence, so that no store can keep the upload waiting or fill the memory.
class uploadRequest
{
public:
    enum Verdict { Confirmed, Retry, Refuse };
    static constexpr int timeoutMs = 30000;
    static constexpr qint64 maxAnswerBytes = 64 * 1024;

    // The system's proxy settings, which every upload takes unless the participant entered a
    // proxy for the run.
    static void useSystemProxy(QNetworkAccessManager *manager);

    static QByteArray authorization(const QString &user, const QString &password);
    // The PUT of `data` as `name` below `url` (an address without a trailing slash).
    static QNetworkReply *put(QNetworkAccessManager *manager, const QString &url,
                              const QString &name, const QByteArray &authorization,
                              const QByteArray &data, int timeout = timeoutMs);
    // The same PUT, waited for in a nested event loop, for the commands that run without a
    // window: the finished answer.
    static std::unique_ptr<QNetworkReply>
    putAndWait(QNetworkAccessManager *manager, const QString &url, const QString &name,
               const QByteArray &authorization, const QByteArray &data, int timeout = timeoutMs);
    // Confirmed for 2xx; else *why in plain words, a silence named as one, and whether
    // another try may mend it.
    static Verdict verdict(QNetworkReply *reply, QString *why, int timeout = timeoutMs);
    // Whether a failed upload reached no server at all: a failed connection or a silence.
    static bool unanswered(QNetworkReply *reply);
    // The whole present content of a file; false, with *why, when it cannot be read whole:
    // an upload replaces the lab's copy, so nothing less may leave.
    static bool readWhole(const QString &path, QByteArray *data, QString *why);
};

#endif // UPLOADREQUEST_H
