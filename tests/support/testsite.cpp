#include "testsite.h"

#include "testhttpserver.h"

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
            pictures.insert(a + QLatin1Char('_') + b, jpeg(QColor::fromHsv(hue % 360, 200, 200)));
            hue += 37;
        }
    }
    pictures.insert(QStringLiteral("fail"), jpeg(Qt::black));
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
    server.setBody(QStringLiteral("/quelvan/test.php"), test);
    server.setBody(QStringLiteral("/quelvan/instr.php"), instr);
    server.setBody(QStringLiteral("/quelvan/tm.php"), tm);
    server.setBody(QStringLiteral("/quelvan/ts_in_series.php"), tsInSeries);
    server.setBody(QStringLiteral("/quelvan/totalseries.php"), totalSeries);
    server.setBody(QStringLiteral("/quelvan/pauseseries.php"), pauseSeries);
    server.setBody(QStringLiteral("/quelvan/pars.php"), pars);
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        server.setBody(QStringLiteral("/quelvan/img/") + it.key() + QStringLiteral(".jpg"),
                       it.value());
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
    const QString base = root + QStringLiteral("/quelvan/");
    if (!QDir().mkpath(base + QStringLiteral("img")))
        return false;
    const QList<QPair<QString, QByteArray>> documents{
        {"test", test}, {"instr", instr}, {"tm", tm}, {"ts_in_series", tsInSeries},
        {"totalseries", totalSeries}, {"pauseseries", pauseSeries}, {"pars", pars}};
    for (const auto &d : documents) {
        QFile f(base + d.first + QStringLiteral(".php"));
        if (!f.open(QIODevice::WriteOnly) || f.write(d.second) != d.second.size())
            return false;
    }
    return writePictures(base + QStringLiteral("img"));
}
