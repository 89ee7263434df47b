#ifndef ICONCACHE_H
#define ICONCACHE_H

#include <QHash>
#include <QPixmap>
#include <QString>

// Pictures decoded once at icon size. A camera-sized JPEG takes tens of milliseconds to
// decode even at reduced size, five of them a slide; decoded as each picture arrives, a
// slide switch only looks them up. Bounded, so that a test of very many pictures decodes
// the rest when they are shown.
class iconCache
{
public:
    // The picture in `path` at most side x side device-independent pixels at `dpr`, aspect
    // kept; null for a file that is no picture.
    static QPixmap decode(const QString &path, int side, qreal dpr);

    // From the cache when it holds the picture at this ratio, else decoded (and kept while
    // the budget allows). `decoded` is the picture already decoded into side x side device
    // pixels at this ratio, when the caller has it: it is not decoded again.
    QPixmap icon(const QString &path, int side, qreal dpr, const QImage &decoded = QImage());

    static constexpr qint64 budget = 64 * 1024 * 1024;

private:
    QHash<QString, QPixmap> icons;
    qint64 bytes = 0;
};

#endif // ICONCACHE_H
