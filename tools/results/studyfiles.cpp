#include "results/studyfiles.h"

#include "results/csvrow.h"

#include <QBuffer>
#include <QSaveFile>

bool studyFiles::write(const QString &folder, codebook::File file, const QList<QStringList> &rows,
                       QString *problem)
{
    QSaveFile out(folder + QLatin1Char('/') + codebook::fileName(file));
    bool ok = out.open(QIODevice::WriteOnly);
    ok = ok && out.write(csvRow::line(codebook::names(file))) > 0;
    for (const QStringList &row : rows)
        ok = ok && out.write(csvRow::line(row)) > 0;
    if (ok && out.commit())
        return true;
    *problem = out.fileName() + QLatin1String(": ") + out.errorString();
    return false;
}

bool studyFiles::writePicture(const QString &path, const QImage &image, QString *problem)
{
    // Encoded in memory first: the PNG library jumps out of a failed write past its clean-up.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly) && out.write(png) == png.size() && out.commit())
        return true;
    *problem = path + QLatin1String(": ") + out.errorString();
    return false;
}

QList<QStringList> studyFiles::codebookRows()
{
    QList<QStringList> rows;
    for (const codebook::File file : codebook::files())
        for (const codebook::column &c : codebook::columns(file))
            rows.append({codebook::fileName(file), QLatin1String(c.name), QLatin1String(c.type),
                         QLatin1String(c.unit), QString::fromUtf8(c.meaning)});
    return rows;
}
