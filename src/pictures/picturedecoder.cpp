#include "pictures/picturedecoder.h"

#include "pictures/pictureheader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

QImage pictureDecoder::decode(QIODevice *device, const QSize &box, Verdict *verdict)
{
    Verdict none;
    Verdict &result = verdict ? *verdict : none;
    result = NotPicture;
    const QByteArray format = pictureHeader::formatOf(device->peek(8));
    if (format.isEmpty())
        return QImage();
    // Only the plugin of the signature's format reads the bytes.
    QImageReader reader(device, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true); // upright, as every image viewer shows a photo
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return QImage();
    // What the decode allocates: the reader may name only the first frame of a GIF, whose
    // canvas is allocated whole, and not the depth of a PNG.
    const pictureHeader header = pictureHeader::read(device->peek(headerBytes));
    if (pictureHeader::decodedBytes(size.expandedTo(header.size), header.bytesPerPixel)
        > maxDecodedBytes) {
        result = TooManyPixels;
        return QImage();
    }
    // JPEG decodes at the reduced size almost for free; the others are scaled after.
    if (size.width() > box.width() || size.height() > box.height())
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (!image.isNull())
        result = Fine;
    return image;
}

QImage pictureDecoder::decode(const QString &path, const QSize &box, Verdict *verdict)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (verdict)
            *verdict = NotPicture;
        return QImage();
    }
    return decode(&file, box, verdict);
}

pictureDecoder::Verdict pictureDecoder::inspect(const QByteArray &data)
{
    // The structure first: a picture cut short may still decode, in part, filled with grey.
    const pictureHeader header = pictureHeader::read(data);
    if (header.format.isEmpty())
        return NotPicture;
    if (pictureHeader::decodedBytes(header.size, header.bytesPerPixel) > maxDecodedBytes)
        return TooManyPixels;
    return header.whole ? Fine : Truncated;
}

QImage pictureDecoder::iconOf(const QByteArray &data, Verdict *verdict)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return decode(&buffer, QSize(iconSide, iconSide), verdict);
}

pictureDecoder::Verdict pictureDecoder::check(const QByteArray &data, QImage *decoded)
{
    Verdict verdict = inspect(data);
    if (verdict != Fine)
        return verdict;
    const QImage image = iconOf(data, &verdict);
    if (decoded)
        *decoded = image;
    return verdict;
}

QString pictureDecoder::describe(Verdict verdict)
{
    switch (verdict) {
    case Fine: return QString();
    case NotPicture:
        return QStringLiteral("not a JPEG, PNG, GIF or BMP picture that can be decoded");
    case TooManyPixels:
        return QStringLiteral("it would decode to more than the %1 MiB a picture may take")
            .arg(maxDecodedBytes >> 20);
    case Truncated: return QStringLiteral("a picture cut off before its end");
    }
    return QString();
}
