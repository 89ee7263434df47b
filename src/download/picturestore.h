#ifndef PICTURESTORE_H
#define PICTURESTORE_H

#include "download/replytaker.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The second half of a picture's arrival, shared by the chain of single requests and the
// queue: a picture whose structure passed its check is held here, and decoded and stored
// once the next request has left, so that its decode costs no round trip. Only who asks for
// that next request differs.
class pictureStore
{
public:
    // Holds `body`, the picture `name` that arrived from `host`.
    void hold(const QString &name, const QByteArray &body, const QString &host);
    // Decodes the held picture at icon size into *decoded (at a device-pixel ratio of 1)
    // and writes it into `pictureDir`; Done, or Failed or Unstored with *status set. Nothing
    // is held afterwards.
    replyTaker::Outcome storeHeld(const QString &pictureDir, QString *status, QImage *decoded);
    // Writes a picture so that a failed or short write leaves any older file as it was;
    // false with *why set on failure.
    static bool write(const QString &path, const QByteArray &data, QString *why);

private:
    QString name;
    QByteArray body;
    QString host;
};

#endif // PICTURESTORE_H
