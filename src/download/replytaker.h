#ifndef REPLYTAKER_H
#define REPLYTAKER_H

#include <QByteArray>
#include <QString>

class QNetworkReply;

// What the download makes of one finished answer, alike for the chain of single requests and
// for the queue: a document's text, or a picture whose structure passed its check, or a
// failure with the text the download screen shows.
class replyTaker
{
public:
    enum Outcome {
        Done,      // the document's text taken, or the picture checked (or stored)
        Transient, // failed, but another try may succeed: the network, 408, 429, 5xx
        Failed,    // failed for good
        Unstored,  // a picture that could not be written
    };
    // Takes a finished answer: a document's text into *text, or with a non-null `name` a
    // picture whose structure passed the check (pictureDecoder::inspect) into *picture;
    // *status is the status line, and *digest the SHA-256 of the bytes taken (for the test's
    // identity).
    static Outcome take(QNetworkReply *reply, const QString &name, QString *text, QString *status,
                        QByteArray *picture, QByteArray *digest);
    static QString errorText(int error, const QString &host);
};

#endif // REPLYTAKER_H
