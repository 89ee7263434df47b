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
    // 32 megapixels: at most 128 MiB decoded, even for GIF and BMP, which cannot be decoded
    // at a reduced size.
    static constexpr qint64 maxPixels = 32 * 1024 * 1024;

    enum Verdict { Fine, NotPicture, TooManyPixels, Truncated };

    // The format named by the first bytes: "jpeg", "png", "gif", "bmp", or empty.
    static QByteArray formatOf(const QByteArray &head);

    // The picture fitted into `box` (aspect kept, never enlarged) and turned upright as its
    // orientation tag says; null, with *verdict set, when it is none the client shows.
    static QImage decode(QIODevice *device, const QSize &box, Verdict *verdict = nullptr);
    static QImage decode(const QString &path, const QSize &box, Verdict *verdict = nullptr);

    // Whether a whole answer is a picture the slide can show: decoded at icon size (into
    // *decoded, when given), and a JPEG must hold its end-of-image marker (the decoder would
    // fill a cut one with grey).
    static Verdict check(const QByteArray &data, QImage *decoded = nullptr);
    static QString describe(Verdict verdict);
};

#endif // PICTUREDECODER_H
