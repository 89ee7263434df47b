#include "pictureiconengine.h"

#include <QPainter>

pictureIconEngine::pictureIconEngine(const QPixmap &pixmap) : picture(pixmap) {}

QSize pictureIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    // Like the toolkit's icons: scaled down to fit, never up.
    QSize actual = picture.size();
    if (actual.width() > size.width() || actual.height() > size.height())
        actual.scale(size, Qt::KeepAspectRatio);
    return actual;
}

QPixmap pictureIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    const QSize actual = actualSize(size, mode, state);
    if (picture.isNull() || actual == picture.size())
        return picture;
    return picture.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void pictureIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                              QIcon::State state)
{
    const QPixmap pm = pixmap(rect.size(), mode, state);
    QRect target(QPoint(), pm.size());
    target.moveCenter(rect.center());
    painter->drawPixmap(target, pm);
}

QIconEngine *pictureIconEngine::clone() const
{
    return new pictureIconEngine(picture);
}

void pictureIconEngine::virtual_hook(int id, void *data)
{
    switch (id) {
    case QIconEngine::AvailableSizesHook: {
        auto *arg = static_cast<QIconEngine::AvailableSizesArgument *>(data);
        arg->sizes.clear();
        if (!picture.isNull())
            arg->sizes.append(picture.size());
        break;
    }
    case QIconEngine::IsNullHook: *static_cast<bool *>(data) = picture.isNull(); break;
    default: QIconEngine::virtual_hook(id, data);
    }
}
