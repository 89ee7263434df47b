#include "test/slidebutton.h"

#include "core/serverlayout.h"
#include "pictures/iconcache.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>

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
    const qreal dpr = devicePixelRatioF();
    setIcon(
        QIcon(icons ? icons->icon(path, iconSide, dpr) : iconCache::decode(path, iconSide, dpr)));
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
