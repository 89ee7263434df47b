#ifndef PICTUREHEADER_H
#define PICTUREHEADER_H

#include <QByteArray>
#include <QSize>

// What a picture's own structure says, read without decoding a pixel: the format, the size a
// decode allocates (a GIF's whole canvas, not only its first frame) and its bytes per pixel
// (a 16-bit PNG decodes to twice the bytes of an 8-bit one), and whether the bytes reach the
// format's own end: a JPEG's end-of-image marker, found by walking every segment and scan
// from the start, a PNG's IEND, the block that closes a GIF's first frame, the pixel rows of
// an uncompressed BMP, or the end-of-bitmap code of a run-length one. What follows that end is
// ignored. A progressive JPEG counts the coefficients its decode holds.
struct pictureHeader
{
    QByteArray format; // "jpeg", "png", "gif", "bmp", or empty
    QSize size;        // invalid where the bytes do not say
    int bytesPerPixel = 4;
    bool whole = false;

    // The format named by the first bytes: "jpeg", "png", "gif", "bmp", or empty.
    static QByteArray formatOf(const QByteArray &head);
    // Reads as much as `data` holds; a prefix of a file tells the size of most pictures.
    static pictureHeader read(const QByteArray &data);
    // What decoding `size` takes, computed so that no declared size can overflow it.
    static qint64 decodedBytes(QSize size, int bytesPerPixel);

private:
    void readJpeg(const QByteArray &data);
    void readPng(const QByteArray &data);
    void readGif(const QByteArray &data);
    void readBmp(const QByteArray &data);
    // Whether the runs of an RLE8 (or, `fourBits`, RLE4) bitmap from `at` reach its end code.
    static bool runsEnd(const QByteArray &data, qint64 at, bool fourBits);
};

#endif // PICTUREHEADER_H
