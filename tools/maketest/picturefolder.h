#ifndef PICTUREFOLDER_H
#define PICTUREFOLDER_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

class QIODevice;

// The author's own pictures: a folder of <first>_<second>.<ext>, one file per combination,
// and optionally fail.<ext>. Read whole at once: every picture is converted as it is read,
// and every problem is collected, so that a refused set names all of its faults.
class pictureFolder
{
public:
    // Reads `dir`; pictures are scaled so that the longer side is at most `size` pixels, or
    // with `keepJpeg` JPEG files are taken byte for byte.
    pictureFolder(const QString &dir, int size, bool keepJpeg);

    QStringList first;                  // the first values, sorted
    QStringList second;                 // the second values, sorted
    QMap<QString, QByteArray> pictures; // picture name -> JPEG bytes; "fail" when given
    QStringList problems;               // one line each; empty when the set is usable
    QStringList skipped;                // hidden and system files, one line each

    // A picture as a site serves it: upright, JPEG, the longer side at most `size` pixels
    // (never enlarged), transparency on white, and no metadata (no EXIF, GPS or thumbnail).
    // Empty with *error set when the source is no picture Qt can read.
    static QByteArray sitePicture(QIODevice *source, int size, QString *error);
    // The longer side that keeps pictures sharp on the client's icons at a device-pixel
    // ratio of up to 4.
    static int recommendedSize();
};

#endif // PICTUREFOLDER_H
