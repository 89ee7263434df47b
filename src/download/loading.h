#ifndef LOADING_H
#define LOADING_H

#include "core/testidentity.h"
#include "download/picturestore.h"
#include "net/getrequest.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// One HTTP GET at a time against the test server. A text answer is kept in replyText,
// a picture answer is stored as <fileName>.jpg in pictureDir.
class loading : public QObject
{
    Q_OBJECT
public:
    explicit loading(QObject *parent = nullptr);

    bool load(QString url);

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
    // The picture that last arrived, checked but not yet stored: decoded and stored once the
    // next request has left; on failure the error flags and the status text are set and that
    // request is aborted.
    bool storeHeld();
    // The picture just stored, decoded at icon size, so that it is not decoded again.
    QImage lastPicture;
    // The fingerprint of every answer taken, the test's id in the data: the chain takes item
    // n with its request n; the queue adds its own.
    testIdentity identity;
    int transferTimeout = getRequest::defaultTransferTimeout;

private:
    QPointer<QNetworkReply> current;
    pictureStore held;

signals:
    void start();
    void finish();

public slots:
    void replyFinished(QNetworkReply *reply);
};

#endif // LOADING_H
