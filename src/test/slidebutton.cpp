#include "slidebutton.h"

#include "loading.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>

namespace {

const int iconSide = 90;

// The picture as the icon will draw it: never larger than the 90 x 90 icon (in device
// pixels), so a large picture is decoded at reduced size (JPEG decodes scale for free) and
// held small. Cached by path, size and time of change, as QPixmap::load caches.
QPixmap iconPixmap(const QFileInfo &file, qreal dpr)
{
    const QSize box = QSize(iconSide, iconSide) * dpr;
    const QString key = QStringLiteral("quelvan-icon:%1:%2:%3:%4")
                            .arg(file.absoluteFilePath())
                            .arg(file.size())
                            .arg(file.lastModified().toMSecsSinceEpoch())
                            .arg(box.width());
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;

    QImageReader reader(file.absoluteFilePath());
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height()))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    // A file that is no picture gives a null pixmap and so an empty icon.
    pixmap = QPixmap::fromImage(reader.read());
    pixmap.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace

slideButton::slideButton(QWidget *parent) : QPushButton(parent) {}

bool slideButton::setPicture()
{
    resize(500, 500);
    const QString name = showFail ? QStringLiteral("fail") : value1 + QLatin1Char('_') + value2;
    const QFileInfo file(loading::picturePath(name));
    if (!file.exists())
        return false;
    setIcon(QIcon(iconPixmap(file, devicePixelRatioF())));
    // Re-applying an unchanged style sheet would re-polish the button on every slide.
    const QString css = QStringLiteral("QPushButton { qproperty-iconSize: 90px 90px; } ");
    if (styleSheet() != css)
        setStyleSheet(css);
    return true;
}

bool slideButton::isRight()
{
    return value1 == sample1 || value2 == sample2;
}
