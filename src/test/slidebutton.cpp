#include "test/slidebutton.h"

#include "download/serverlayout.h"

#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace {

const int iconSide = 90;

// The picture as the icon will draw it: never larger than the 90 x 90 icon (in device
// pixels), so a large picture is decoded at reduced size (JPEG decodes scale almost for free)
// and held small. Decoding this way is faster than looking the full picture up in
// QPixmapCache.
QPixmap iconPixmap(const QString &path, qreal dpr)
{
    const QSize box = QSize(iconSide, iconSide) * dpr;
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height()))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    // A file that is no picture gives a null pixmap and so an empty icon.
    QPixmap pixmap = QPixmap::fromImage(reader.read());
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

} // namespace

slideButton::slideButton(QWidget *parent)
    : QPushButton(parent),
      pictureDir(serverLayout::defaultPictureDirectory())
{}

bool slideButton::setPicture()
{
    resize(500, 500);
    const QString path = serverLayout::pictureFile(pictureDir, picture());
    if (!QFile::exists(path))
        return false;
    setIcon(QIcon(iconPixmap(path, devicePixelRatioF())));
    // Re-applying an unchanged style sheet would re-polish the button on every slide.
    const QString css = QStringLiteral("QPushButton { qproperty-iconSize: 90px 90px; } ");
    if (styleSheet() != css)
        setStyleSheet(css);
    return true;
}

QString slideButton::picture() const
{
    return showFail ? serverLayout::failPicture() : serverLayout::pictureName(value1, value2);
}

bool slideButton::isRight()
{
    return serverLayout::isRightAnswer(value1, value2, sample1, sample2);
}
