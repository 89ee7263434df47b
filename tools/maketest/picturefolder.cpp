#include "maketest/picturefolder.h"

#include "core/serverlayout.h"
#include "maketest/picturepainter.h"
#include "maketest/sitewriter.h"
#include "pictures/picturedecoder.h"
#include "test/slidebutton.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSet>

pictureFolder::pictureFolder(const QString &dir, int size, bool keepJpeg)
{
    const QFileInfoList files =
        QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    if (!QFileInfo(dir).isDir())
        problems << QStringLiteral("%1: not a folder").arg(dir);
    QMap<QString, QString> found; // lower-case picture name -> file name
    QSet<QString> firsts, seconds;
    // What the system puts in a folder of photos, unseen by the author, is no picture of the
    // test.
    static const QStringList systemFiles{"thumbs.db", "desktop.ini", ".ds_store"};
    for (const QFileInfo &file : files) {
        const QString fileName = file.fileName();
        if (file.isHidden() || fileName.startsWith(QLatin1Char('.'))
            || systemFiles.contains(fileName.toLower())) {
            skipped << QStringLiteral("%1: skipped, %2")
                           .arg(fileName, systemFiles.contains(fileName.toLower())
                                              ? QStringLiteral("a file of the system")
                                              : QStringLiteral("a hidden file"));
            continue;
        }
        const QString name = fileName.section(QLatin1Char('.'), 0, -2);
        if (name.isEmpty()) {
            problems << QStringLiteral("%1: the name needs an extension such as .jpg or .png")
                            .arg(fileName);
            continue;
        }
        // Windows and macOS fold case: "A_b" and "a_b" would be one file in img/.
        const QString key = name.toLower();
        if (found.contains(key)) {
            problems << QStringLiteral("%1 and %2: two files for one picture")
                            .arg(found.value(key), fileName);
            continue;
        }
        found.insert(key, fileName);
        if (name != serverLayout::failPicture()) {
            // The client names a picture first + "_" + second, so a value with "_" of its
            // own could stand for two different pairs: exactly one "_" is allowed.
            if (name.count(QLatin1Char('_')) != 1) {
                problems << QStringLiteral("%1: the name needs exactly one \"_\", between the "
                                           "first and the second value")
                                .arg(fileName);
                continue;
            }
            const QString why = siteWriter::valueProblem(name.section(QLatin1Char('_'), 0, 0))
                                + siteWriter::valueProblem(name.section(QLatin1Char('_'), 1));
            if (!why.isEmpty() || !serverLayout::isSafePictureName(name)
                || !serverLayout::isWindowsFileName(name)) {
                problems << QStringLiteral("%1: not usable as a picture name%2")
                                .arg(fileName, why.isEmpty()
                                                   ? QStringLiteral(" (it cannot be stored on "
                                                                    "Windows)")
                                                   : QLatin1String(" (") + why + QLatin1Char(')'));
                continue;
            }
            firsts.insert(name.section(QLatin1Char('_'), 0, 0));
            seconds.insert(name.section(QLatin1Char('_'), 1));
        }
        QFile source(file.filePath());
        QString error;
        QByteArray jpeg = source.open(QIODevice::ReadOnly) && keepJpeg
                                  && source.peek(3) == QByteArray("\xFF\xD8\xFF")
                              ? source.readAll()
                              : sitePicture(&source, size, &error);
        // Kept as it is, it must pass the client's own check.
        const pictureDecoder::Verdict verdict =
            keepJpeg && !jpeg.isEmpty() ? pictureDecoder::check(jpeg) : pictureDecoder::Fine;
        if (verdict != pictureDecoder::Fine) {
            error = pictureDecoder::describe(verdict);
            jpeg.clear();
        }
        if (jpeg.isEmpty())
            problems << QStringLiteral("%1: cannot be read as a picture (%2)")
                            .arg(fileName, error.isEmpty() ? source.errorString() : error);
        else
            pictures.insert(name, jpeg);
    }

    first = QStringList(firsts.cbegin(), firsts.cend());
    second = QStringList(seconds.cbegin(), seconds.cend());
    first.sort();
    second.sort();
    for (const QString &a : qAsConst(first))
        for (const QString &b : qAsConst(second))
            if (!found.contains(serverLayout::pictureName(a, b).toLower()))
                problems << QStringLiteral("%1: missing, the picture of %2 and %3")
                                .arg(serverLayout::pictureName(a, b), a, b);
    const QString small = siteWriter::listsProblem(first, second);
    if (!small.isEmpty())
        problems << small;
}

int pictureFolder::recommendedSize()
{
    return 4 * slideButton::iconSide;
}

QByteArray pictureFolder::sitePicture(QIODevice *source, int size, QString *error)
{
    QImageReader reader(source);
    reader.setAutoTransform(true); // upright, as the camera meant it
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > size || full.height() > size))
        reader.setScaledSize(full.scaled(size, size, Qt::KeepAspectRatio)); // JPEG scales cheaply
    const QImage image = reader.read();
    if (image.isNull()) {
        *error = reader.errorString();
        return QByteArray();
    }
    // Drawn into a new image: nothing of the source's metadata comes along, and
    // transparency lands on white as the button shows it.
    const QSize out = image.size().width() > size || image.size().height() > size
                          ? image.size().scaled(size, size, Qt::KeepAspectRatio)
                          : image.size();
    QImage clean(out, QImage::Format_RGB32);
    clean.fill(Qt::white);
    QPainter painter(&clean);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), out), image);
    painter.end();
    return picturePainter::encodeJpeg(clean);
}
