#ifndef LOADING_H
#define LOADING_H

#include "picturestore.h"

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// One HTTP GET at a time against the test server. A text answer is kept in replyText,
// a picture answer is stored as img/<fileName>.jpg below the working directory.
class loading : public QObject
{
    Q_OBJECT
public:
    explicit loading(QObject *parent = nullptr);

    bool load(QString url);

    // An answer that grows past this is aborted and ends as a network error, so an
    // endless or huge answer cannot exhaust memory.
    static constexpr qint64 maxReplyBytes = 64 * 1024 * 1024;

    // A text document as the client reads it: UTF-8 up to the first NUL byte.
    static QString decodeText(QByteArray body);
    // Path of the picture file for a base name, formed from the current working directory.
    static QString picturePath(const QString &name);
    // Removes the spare file that replacing pictures leaves beside them.
    void discardSpareFile() { pictures.discardSpare(); }
    // False for a name that would leave the picture directory: one holding a slash or a
    // backslash, and "." or "..".
    static bool isSafePictureName(const QString &name);

    QString replyText;
    QString statusText;
    QNetworkAccessManager *manager;
    bool busy = false;
    bool netError = false;
    bool fileError = false;
    bool fileMode = false;
    QString fileName;
    int stepCount = 0;

signals:
    void start();
    void finish();

public slots:
    void replyFinished(QNetworkReply *reply);

private:
    pictureStore pictures;
};

#endif // LOADING_H
