#include "pictures/picturedecoder.h"
#include "pictures/pictureheader.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageWriter>
#include <QtTest>

// What a picture's own bytes say before a pixel is decoded, and the verdict the download and
// the site check draw from it: each format whole, cut off, declaring more than a decode may
// take, and followed by bytes that are none of it.
namespace {
using D = pictureDecoder;

// Noise, so that the scan of a JPEG holds stuffed FF 00 bytes.
QByteArray encoded(const char *format, bool progressive = false)
{
    QImage image(32, 24, QImage::Format_RGB32);
    auto *pixels = reinterpret_cast<quint32 *>(image.bits());
    for (quint32 i = 0, seed = 1; i < 32 * 24; ++i)
        pixels[i] = 0xFF000000 | (seed = seed * 1103515245 + 12345) >> 8;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// Fields written in turn, little-endian (GIF, BMP) unless `big` (PNG).
template <typename... T> QByteArray fields(bool big, T... values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(big ? QDataStream::BigEndian : QDataStream::LittleEndian);
    (out << ... << values);
    return bytes;
}

// Chunks IHDR, IDAT and IEND of a colour PNG; their checksums, which no size depends on, zero.
QByteArray png(quint32 side, quint8 depth)
{
    const auto chunk = [](const char *type, const QByteArray &data) {
        return fields(true, quint32(data.size())) + type + data + QByteArray(4, 0);
    };
    const QByteArray ihdr = fields(true, side, side, depth, quint8(2), quint8(0), quint16(0));
    return "\x89PNG\r\n\x1A\n" + chunk("IHDR", ihdr) + chunk("IDAT", QByteArray(8, 0))
           + chunk("IEND", {});
}

// A two-colour table, a graphic control extension, then one frame of a single pixel's data.
QByteArray gif(QSize canvas, QRect frame)
{
    return "GIF89a" + fields(false, quint16(canvas.width()), quint16(canvas.height()), quint8(0x80))
           + QByteArray(8, 0) + QByteArray("\x21\xF9\x04\x01\0\0\0\0,", 9)
           + fields(false, quint16(frame.x()), quint16(frame.y()), quint16(frame.width()),
                    quint16(frame.height()), quint8(0))
           + QByteArray("\x02\x02\x44\x01\0;", 6);
}

// Rows of zeros after the header; bit fields (compression 3) put their three masks first.
QByteArray bmp(qint32 width, qint32 height, quint16 bits, quint32 compression, int rows)
{
    const quint32 masks = compression == 3 ? 12 : 0;
    return fields(false, quint16(0x4D42), quint64(0), 54 + masks, quint32(40), width, height,
                  quint16(1), bits, compression, quint64(0), quint64(0), quint32(0))
           + QByteArray(int(masks), '\xFF') + QByteArray((width * bits + 31) / 32 * 4 * rows, 0);
}
} // namespace

Q_DECLARE_METATYPE(pictureDecoder::Verdict)

class tst_pictureheader : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
};

void tst_pictureheader::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<D::Verdict>("verdict"); // of pictureDecoder::inspect
    QTest::addColumn<int>("bytesPerPixel");
    const auto row = [](const char *name, const QByteArray &bytes, const char *format, QSize size,
                        bool whole, D::Verdict verdict, int bytesPerPixel = 4) {
        QTest::newRow(name) << bytes << QByteArray(format) << size << whole << verdict
                            << bytesPerPixel;
    };
    const QByteArray jpeg = encoded("JPEG"), progressive = encoded("JPEG", true);
    const QByteArray png8 = encoded("PNG"), bmp24 = encoded("BMP"),
                     gif1 = gif({1, 1}, {0, 0, 1, 1});
    QVERIFY(jpeg.contains(QByteArray("\xFF\0", 2)) && progressive.count("\xFF\xDA") > 1);
    const QSize small(32, 24), none, huge(16000, 16000);
    // A phone's motion photo: the video after the picture's end, with markers of its own.
    const QByteArray video("\0\0\0\030ftypmp42\xFF\xDA\xFF\xD9", 16);

    row("jpeg: whole", jpeg, "jpeg", small, true, D::Fine);
    row("jpeg: whole, progressive", progressive, "jpeg", small, true, D::Fine, 6);
    row("jpeg: a video after its end", jpeg + video, "jpeg", small, true, D::Fine);
    row("jpeg: no pixels", "\xFF\xD8\xFF\xD9", "jpeg", none, true, D::Fine);
    row("jpeg: cut before its end marker", jpeg.chopped(2), "jpeg", small, false, D::Truncated);
    row("jpeg: cut in its header", jpeg.left(30), "jpeg", none, false, D::Truncated);
    // The thumbnail's own end marker and frame lie inside a segment that runs on past the end.
    row("jpeg: cut after an embedded thumbnail",
        QByteArray("\xFF\xD8\xFF\xE1\x40\0Exif\0\0", 12) + jpeg, "jpeg", none, false, D::Truncated);
    // Its count of bytes overflows 32 bits.
    row("jpeg: 65535 x 65535",
        QByteArray("\xFF\xD8\xFF\xC0\0\x0B\x08\xFF\xFF\xFF\xFF\x01\x01\x11\0\xFF\xD9", 17), "jpeg",
        {65535, 65535}, true, D::TooManyPixels);

    // A progressive decode holds two bytes a pixel of every component, whatever it is
    // decoded to: 8000 x 4000 in colour takes 192 MB, in one scan it may.
    const auto frame = [](char marker) {
        return QByteArray("\xFF\xD8\xFF") + marker
               + QByteArray("\0\x11\x08\x0F\xA0\x1F\x40\x03\1\x22\0\2\x11\1\3\x11\1\xFF\xD9", 19);
    };
    row("jpeg: progressive, 8000 x 4000", frame('\xC2'), "jpeg", {8000, 4000}, true,
        D::TooManyPixels, 6);
    row("jpeg: baseline, 8000 x 4000", frame('\xC0'), "jpeg", {8000, 4000}, true, D::Fine);

    row("png: whole", png8, "png", small, true, D::Fine);
    row("png: 16 bits a channel, over the cap at 8 bytes a pixel", png(4200, 16), "png",
        {4200, 4200}, true, D::TooManyPixels, 8);
    row("png: without IEND", png8.chopped(12), "png", small, false, D::Truncated);
    row("png: a video after its end", png8 + video, "png", small, true, D::Fine);

    row("gif: whole", gif1, "gif", {1, 1}, true, D::Fine);
    row("gif: its first frame without its closing block", gif1.chopped(2), "gif", {1, 1}, false,
        D::Truncated);
    row("gif: 16000 x 16000", gif(huge, {0, 0, 16000, 16000}), "gif", huge, true, D::TooManyPixels);
    // A decode allocates the canvas and every frame on it, whatever the first frame covers.
    row("gif: a 1 x 1 frame on a canvas of 16000 x 16000", gif(huge, {0, 0, 1, 1}), "gif", huge,
        true, D::TooManyPixels);
    row("gif: a frame reaching past its 1 x 1 canvas", gif({1, 1}, {15999, 15999, 1, 1}), "gif",
        huge, true, D::TooManyPixels);
    row("gif: a video after its end", gif1 + video, "gif", {1, 1}, true, D::Fine);

    row("bmp: whole", bmp24, "bmp", small, true, D::Fine);
    row("bmp: half its rows", bmp24.left(bmp24.size() / 2), "bmp", small, false, D::Truncated);
    row("bmp: bit fields, whole", bmp(32, 24, 32, 3, 24), "bmp", small, true, D::Fine);
    row("bmp: bit fields, half its rows", bmp(32, 24, 32, 3, 12), "bmp", small, false,
        D::Truncated);
    row("bmp: rows from the top down", bmp(32, -24, 24, 0, 24), "bmp", small, true, D::Fine);
    // Run-length rows are whole at their end code: 23 rows of one run of 32 pixels, then a
    // run of 29 and three pixels written out, padded to an even count just before the end.
    const QByteArray rows = QByteArray(" \1\0\0", 4).repeated(23) + "\x1D\1";
    const QByteArray last = QByteArray("\0\3abc\0", 6) + QByteArray("\0\1", 2);
    row("bmp: run-length rows to their end", bmp(32, 24, 8, 1, 0) + rows + last, "bmp", small, true,
        D::Fine);
    row("bmp: run-length rows cut before their end", bmp(32, 24, 8, 1, 0) + rows + last.chopped(2),
        "bmp", small, false, D::Truncated);
    // The declared size is refused before the missing rows are looked at.
    row("bmp: 100000 x 100000 without its rows", bmp(100000, 100000, 32, 0, 0), "bmp",
        {100000, 100000}, false, D::TooManyPixels);
    row("bmp: a video after its end", bmp24 + video, "bmp", small, true, D::Fine);

    row("none: a web server's page", "<html>Not found</html>", "", none, false, D::NotPicture);
    // Qt reads it, with a plugin that never sees the bytes.
    row("none: XBM", "#define a_width 8\n#define a_height 8\nstatic char a_bits[] = {0};\n", "",
        none, false, D::NotPicture);
}

void tst_pictureheader::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(bool, whole);
    QFETCH(D::Verdict, verdict);
    QFETCH(int, bytesPerPixel);
    const pictureHeader header = pictureHeader::read(bytes);
    QCOMPARE(header.format, format);
    QCOMPARE(header.size, size);
    QCOMPARE(header.whole, whole);
    QCOMPARE(header.bytesPerPixel, bytesPerPixel);
    QCOMPARE(D::inspect(bytes), verdict);
}

QTEST_MAIN(tst_pictureheader)
#include "tst_pictureheader.moc"
