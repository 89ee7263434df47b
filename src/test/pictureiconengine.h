#ifndef PICTUREICONENGINE_H
#define PICTUREICONENGINE_H

#include <QIconEngine>
#include <QPixmap>

// An icon of one picture that keeps nothing beyond the picture itself. The toolkit's own
// pixmap icons file every pixmap they paint into QPixmapCache; with a new picture on every
// slide that cache grows by the icon's size each time, up to its 10 MB limit.
class pictureIconEngine : public QIconEngine
{
public:
    explicit pictureIconEngine(const QPixmap &pixmap);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    void virtual_hook(int id, void *data) override;

private:
    QPixmap picture;
};

#endif // PICTUREICONENGINE_H
