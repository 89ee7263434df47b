#include "slidebutton.h"

#include "loading.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>

slideButton::slideButton(QWidget *parent) : QPushButton(parent) {}

bool slideButton::setPicture()
{
    resize(500, 500);
    const QString name = showFail ? QStringLiteral("fail") : value1 + QLatin1Char('_') + value2;
    const QString path = loading::picturePath(name);
    if (!QFile::exists(path))
        return false;
    setIcon(QIcon(QPixmap(path)));
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
