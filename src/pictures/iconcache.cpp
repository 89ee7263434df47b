#include "pictures/iconcache.h"

#include "pictures/picturedecoder.h"

QPixmap iconCache::decode(const QString &path, int side, qreal dpr)
{
    // Never larger than the icon in device pixels, so a large picture is decoded at reduced
    // size and held small.
    QPixmap pixmap = QPixmap::fromImage(pictureDecoder::decode(path, QSize(side, side) * dpr));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QPixmap iconCache::icon(const QString &path, int side, qreal dpr, const QImage &decoded)
{
    const QPixmap kept = icons.value(path);
    if (decoded.isNull() && !kept.isNull() && qFuzzyCompare(kept.devicePixelRatio(), dpr))
        return kept;
    QPixmap pixmap = QPixmap::fromImage(decoded);
    pixmap.setDevicePixelRatio(dpr);
    if (decoded.isNull())
        pixmap = decode(path, side, dpr);
    const auto weight = [](const QPixmap &p) {
        return qint64(p.width()) * p.height() * p.depth() / 8;
    };
    // A picture kept at another ratio makes room for this one.
    const qint64 after = bytes - weight(kept) + weight(pixmap);
    if (!pixmap.isNull() && after <= budget) {
        bytes = after;
        icons.insert(path, pixmap);
    }
    return pixmap;
}
