#include "pictures/pictureheader.h"

#include <cstring>
#include <limits>

namespace {
quint32 bigEndian(const QByteArray &d, qint64 at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | quint8(d.at(int(at) + i));
    return v;
}

quint32 littleEndian(const QByteArray &d, qint64 at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(d.at(int(at) + i));
    return v;
}

// Clamped into a QSize: a declared side over the int range is refused by its size anyway.
QSize sizeOf(qint64 width, qint64 height)
{
    const qint64 most = 1 << 30;
    return QSize(int(qMin(width, most)), int(qMin(height, most)));
}
} // namespace

QByteArray pictureHeader::formatOf(const QByteArray &head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (head.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return QByteArray();
}

pictureHeader pictureHeader::read(const QByteArray &data)
{
    pictureHeader h;
    h.format = formatOf(data);
    if (h.format == "jpeg")
        h.readJpeg(data);
    else if (h.format == "png")
        h.readPng(data);
    else if (h.format == "gif")
        h.readGif(data);
    else if (h.format == "bmp")
        h.readBmp(data);
    return h;
}

qint64 pictureHeader::decodedBytes(QSize size, int bytesPerPixel)
{
    const qint64 most = std::numeric_limits<qint64>::max();
    if (size.width() <= 0 || size.height() <= 0)
        return 0;
    const qint64 row = qint64(size.width()) * bytesPerPixel;
    return size.height() > most / row ? most : row * size.height();
}

void pictureHeader::readJpeg(const QByteArray &d)
{
    const qint64 n = d.size();
    qint64 at = 2;
    while (at + 1 < n) {
        if (quint8(d.at(int(at))) != 0xFF) { // stray bytes between segments, as decoders skip
            ++at;
            continue;
        }
        const quint8 marker = quint8(d.at(int(at) + 1));
        if (marker == 0xD9) {
            whole = true;
            return;
        }
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += marker == 0xFF ? 1 : 2; // fill byte, or a marker without a length
            continue;
        }
        if (at + 4 > n)
            return;
        const qint64 length = bigEndian(d, at + 2, 2);
        const qint64 next = at + 2 + length;
        if (length < 2 || next > n)
            return;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && length >= 7)
            size = sizeOf(bigEndian(d, at + 7, 2), bigEndian(d, at + 5, 2));
        // A progressive decode holds every coefficient of the picture, two bytes each, whatever
        // size it is decoded to.
        const bool progressive =
            marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        if (progressive && length >= 8)
            bytesPerPixel = qMax(4, 2 * quint8(d.at(int(at) + 9)));
        at = next;
        if (marker != 0xDA)
            continue;
        // The scan's data runs to the next marker; FF 00 and the restart markers are data.
        while (at + 1 < n) {
            const char *ff = static_cast<const char *>(
                std::memchr(d.constData() + at, 0xFF, size_t(n - at - 1)));
            if (!ff)
                return;
            at = ff - d.constData();
            const quint8 b = quint8(d.at(int(at) + 1));
            if (b != 0x00 && b != 0xFF && (b < 0xD0 || b > 0xD7))
                break;
            at += 1 + (b != 0xFF);
        }
    }
}

void pictureHeader::readPng(const QByteArray &d)
{
    qint64 at = 8;
    while (at + 8 <= d.size()) {
        const qint64 length = bigEndian(d, at, 4);
        const QByteArray type = d.mid(int(at) + 4, 4);
        const qint64 next = at + 12 + length;
        if (next > d.size())
            return;
        if (type == "IHDR" && length >= 13) {
            size = sizeOf(bigEndian(d, at + 8, 4), bigEndian(d, at + 12, 4));
            bytesPerPixel = quint8(d.at(int(at) + 16)) > 8 ? 8 : 4;
        } else if (type == "IEND") {
            whole = true;
            return;
        }
        at = next;
    }
}

void pictureHeader::readGif(const QByteArray &d)
{
    const qint64 n = d.size();
    if (n < 13)
        return;
    size = sizeOf(littleEndian(d, 6, 2), littleEndian(d, 8, 2));
    const quint8 flags = quint8(d.at(10));
    qint64 at = 13 + (flags & 0x80 ? 3 << ((flags & 7) + 1) : 0);
    // Skips a chain of sub-blocks; false when it runs past the end.
    const auto subBlocks = [&d, n, &at] {
        while (at < n) {
            const int length = quint8(d.at(int(at)));
            at += 1 + length;
            if (length == 0)
                return at <= n;
        }
        return false;
    };
    while (at < n) {
        const quint8 block = quint8(d.at(int(at)));
        if (block == 0x21) { // an extension: its label, then its sub-blocks
            at += 2;
            if (!subBlocks())
                return;
        } else if (block == 0x2C && at + 10 <= n) { // the first frame, which a decode draws
            const qint64 right = littleEndian(d, at + 1, 2) + littleEndian(d, at + 5, 2);
            const qint64 bottom = littleEndian(d, at + 3, 2) + littleEndian(d, at + 7, 2);
            size = sizeOf(qMax<qint64>(size.width(), right), qMax<qint64>(size.height(), bottom));
            const quint8 local = quint8(d.at(int(at) + 9));
            at += 10 + (local & 0x80 ? 3 << ((local & 7) + 1) : 0) + 1; // and the code size
            whole = subBlocks();
            return;
        } else {
            return;
        }
    }
}

void pictureHeader::readBmp(const QByteArray &d)
{
    const qint64 n = d.size();
    if (n < 26)
        return;
    const qint64 pixels = littleEndian(d, 10, 4);
    const quint32 header = littleEndian(d, 14, 4);
    qint64 width, height, bits, compression = 0;
    if (header == 12) { // the old OS/2 header
        width = littleEndian(d, 18, 2);
        height = littleEndian(d, 20, 2);
        bits = littleEndian(d, 24, 2);
    } else {
        if (n < 34)
            return;
        width = qint32(littleEndian(d, 18, 4));
        height = qint32(littleEndian(d, 22, 4));
        bits = littleEndian(d, 28, 2);
        compression = littleEndian(d, 30, 4);
    }
    height = qAbs(height); // negative: the rows run top down
    if (width <= 0 || height == 0)
        return;
    size = sizeOf(width, height);
    // Uncompressed rows (plain or bit fields), each padded to four bytes; the size field of
    // the file is not trusted. Run-length rows are whole when their end-of-bitmap code comes.
    if (compression == 1 || compression == 2) {
        whole = pixels < n && runsEnd(d, pixels, compression == 2);
        return;
    }
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    whole = !plain || (stride > 0 && pixels <= n && (n - pixels) / stride >= height);
}

bool pictureHeader::runsEnd(const QByteArray &d, qint64 at, bool fourBits)
{
    const qint64 n = d.size();
    while (at + 1 < n) {
        const int count = quint8(d.at(int(at))), code = quint8(d.at(int(at) + 1));
        at += 2;
        if (count > 0 || code == 0) // a run, or the end of a row
            continue;
        if (code == 1) // the end of the bitmap
            return true;
        if (code == 2) { // a jump: two more bytes
            at += 2;
            continue;
        }
        // `code` pixels written out, padded to a whole number of 16-bit words.
        const qint64 bytes = fourBits ? (code + 1) / 2 : code;
        at += bytes + (bytes & 1);
    }
    return false;
}
