// Slide switch: from a click to the next slide with its five icons set, against decoding the
// same five JPEG files with QImageReader alone.
#include "bench.h"

#include "download/serverlayout.h"
#include "results/resultswriter.h"

#include "test/runtest.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"
#include "test/testparser.h"
#include "test/variant.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPixmapCache>
#include <QTemporaryDir>

namespace bench {

namespace {

QString readText(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

QStringList slideFiles(const slideData &slide)
{
    const QString dir = serverLayout::defaultPictureDirectory();
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files.append(serverLayout::pictureFile(
            dir,
            serverLayout::pictureName(slide.variants.at(i)->value1, slide.variants.at(i)->value2)));
    files.append(serverLayout::pictureFile(dir, serverLayout::failPicture()));
    return files;
}

double decodeAlone(const QStringList &files)
{
    QElapsedTimer t;
    t.start();
    for (const QString &f : files) {
        QImageReader reader(f);
        const QImage image = reader.read();
        if (image.isNull())
            qFatal("cannot decode %s", qPrintable(f));
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

void slideSwitch(const Config &c)
{
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(c.site + QStringLiteral("/quelvan")); // img/ holds the pictures
    const QString text = readText(QStringLiteral("test.php"));
    const int slides = text.count(QStringLiteral("<br>")) + 1;
    const int perSeries = qMin(slides / 2, c.quick ? 10 : 50);

    QList<QStringList> files;
    for (const QString &line : text.split(QStringLiteral("<br>"))) {
        slideData s;
        if (testParser::parseSlide(line, &s) >= 5)
            files.append(slideFiles(s));
    }

    // Series 1 with an empty pixmap cache before every switch (cold); series 2 replays the
    // same slides (warm: whatever the toolkit kept from series 1); series 3 replays them
    // again with every slide's row written to a results file, as a lab runs it.
    QTemporaryDir resultsDir;
    resultsWriter results(resultsDir.path(), QStringLiteral("bench"), c.serverUrl,
                          QDateTime::currentDateTime());
    results.open();
    QVector<double> cold, warm, withResults, reference;
    for (int series = 1; series <= 3; ++series) {
        QPixmapCache::clear();
        runTest runner(text, 1000, perSeries, 1, 0);
        if (series == 3)
            QObject::connect(&runner, &runTest::slideEnded, &results, &resultsWriter::trial);
        runner.show();
        runner.startTest(1);
        QApplication::processEvents();
        for (int i = 1; i < perSeries; ++i) {
            if (series == 1)
                QPixmapCache::clear();
            QElapsedTimer t;
            t.start();
            runner.pressBut(1);
            const double ms = t.nsecsElapsed() / 1e6;
            if (runner.testFailed || runner.tekSlide != i + 1)
                qFatal("the runner did not switch: %s", qPrintable(runner.statusLabel->text()));
            (series == 1 ? cold : series == 2 ? warm : withResults).append(ms);
            QApplication::processEvents(); // paint, as on screen
            if (series == 1)
                reference.append(decodeAlone(files.at(i)));
        }
    }
    QDir::setCurrent(oldCwd);

    if (results.failed)
        qFatal("the results could not be written");
    const Stats sc = stats(cold), sw = stats(warm), sr = stats(reference), so = stats(withResults);
    addRow({"slide switch, cold (first series)", fmt(sc, "ms", 3), fmt(sr, "ms", 3),
            sc.median / sr.median, "<= 1.20", sc.median <= 1.2 * sr.median, QString()});
    addRow({"slide switch, warm (later series)", fmt(sw, "ms", 3), fmt(sr, "ms", 3),
            sw.median / sr.median, "<= 1.20", sw.median <= 1.2 * sr.median, QString()});
    addRow({"slide switch, warm, results on", fmt(so, "ms", 3), fmt(sw, "ms", 3),
            so.median / sw.median, "<= 1.05", so.median <= 1.05 * sw.median,
            QStringLiteral("against results off")});
}

} // namespace bench
