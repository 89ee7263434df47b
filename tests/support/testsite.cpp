#include "support/testsite.h"

#include "download/serverlayout.h"
#include "support/testhttpserver.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>

QByteArray TestSite::jpeg(const QColor &colour, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

void TestSite::addPicturesFor(const QStringList &first, const QStringList &second)
{
    int hue = 0;
    for (const QString &a : first) {
        for (const QString &b : second) {
            pictures.insert(serverLayout::pictureName(a, b),
                            jpeg(QColor::fromHsv(hue % 360, 200, 200)));
            hue += 37;
        }
    }
    pictures.insert(serverLayout::failPicture(), jpeg(Qt::black));
}

TestSite TestSite::small(int slides)
{
    TestSite site;
    const QByteArray slideA = "[a,x][b,x][a,y][b,z][a,z]";
    const QByteArray slideB = "[b,y][a,y][b,z][a,x][b,x]";
    QList<QByteArray> lines;
    for (int i = 0; i < slides; ++i)
        lines.append(i % 2 ? slideB : slideA);
    site.test = lines.isEmpty() ? QByteArray() : lines.join("<br>");
    site.tsInSeries = QByteArray::number(slides);
    site.pars = "[a,b][x,y,z]";
    site.addPicturesFor({"a", "b"}, {"x", "y", "z"});
    return site;
}

void TestSite::serve(TestHttpServer &server) const
{
    const QList<QByteArray> bodies = documents();
    for (int i = 0; i < serverLayout::documentCount; ++i)
        server.setBody(serverLayout::documentPath(i), bodies.at(i));
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        server.setBody(serverLayout::picturePath(it.key()), it.value());
}

bool TestSite::writePictures(const QString &dir) const
{
    if (!QDir().mkpath(dir))
        return false;
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
        QFile f(dir + QLatin1Char('/') + it.key() + QStringLiteral(".jpg"));
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

bool TestSite::writeSite(const QString &root) const
{
    if (!QDir().mkpath(root + serverLayout::picturesPath()))
        return false;
    const QList<QByteArray> bodies = documents();
    for (int i = 0; i < serverLayout::documentCount; ++i) {
        QFile f(root + serverLayout::documentPath(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(bodies.at(i)) != bodies.at(i).size())
            return false;
    }
    return writePictures(root + serverLayout::picturesPath());
}

QList<QByteArray> TestSite::documents() const
{
    return {test, instr, tm, tsInSeries, totalSeries, pauseSeries, pars};
}
