#ifndef PICTUREDECODER_H
#define PICTUREDECODER_H

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

// The one way the client decodes a picture, for the download's check, the slide icons and
// the instructions alike. Only JPEG, PNG, GIF and BMP count, recognised by their own
// signature: whatever other plugins a desktop has installed never see the bytes. The
// declared size is read before anything is decoded, so a small file that declares an
// enormous picture is refused without a byte of it being decoded.
class pictureDecoder
{
public:
    // What one decode may allocate at full size (32 megapixels of 8-bit colour), even for
    // GIF, BMP and 16-bit PNG, which are not decoded at a reduced size.
    static constexpr qint64 maxDecodedBytes = 128 * 1024 * 1024;
    // Width and height of the slide icons in device-independent pixels.
    static constexpr int iconSide = 90;
    // Where a file's sizes are looked for when it is decoded from the disk.
    static constexpr qint64 headerBytes = 64 * 1024;

    enum Verdict { Fine, NotPicture, TooManyPixels, Truncated };

    // The picture fitted into `box` (aspect kept, never enlarged) and turned upright as its
    // orientation tag says; null, with *verdict set, when it is none the client shows.
    static QImage decode(QIODevice *device, const QSize &box, Verdict *verdict = nullptr);
    static QImage decode(const QString &path, const QSize &box, Verdict *verdict = nullptr);

    // Whether a whole answer is a picture the slide can show: within the decode cap, whole
    // by its format's own structure, and decoded at icon size (into *decoded, when given).
    // Its two halves: inspect() decodes no pixel and costs next to nothing; iconOf() decodes.
    static Verdict check(const QByteArray &data, QImage *decoded = nullptr);
    static Verdict inspect(const QByteArray &data);
    static QImage iconOf(const QByteArray &data, Verdict *verdict);
    static QString describe(Verdict verdict);
};

#endif // PICTUREDECODER_H
