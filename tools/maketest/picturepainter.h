#ifndef PICTUREPAINTER_H
#define PICTUREPAINTER_H

#include <QByteArray>

class QImage;

// The pictures quelvan-maketest draws itself, as JPEG files of `size` x `size` pixels.
class picturePainter
{
public:
    // The first value as one of eight shapes, the second as one of eight colours.
    static QByteArray shape(int shape, int colour, int size);
    // The "none of these" picture: a "no" sign.
    static QByteArray fail(int size);
    // A picture as the sites hold them: JPEG at quality 90.
    static QByteArray encodeJpeg(const QImage &image);
};

#endif // PICTUREPAINTER_H
