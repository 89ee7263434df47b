// Slide switch: from a click to the next slide with its five icons set, against decoding the
// same five JPEG files with QImageReader alone.
#include "bench.h"

#include "core/serverlayout.h"
#include "net/getrequest.h"
#include "results/resultswriter.h"

#include "pictures/iconcache.h"
#include "test/runtest.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"
#include "test/testparser.h"
#include "test/variant.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmapCache>
#include <QRandomGenerator>
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

void parseAtCap(const Config &c)
{
    // Every series starts by parsing the whole test text: at the document cap that must not
    // keep the participant waiting.
    const QString slide =
        QStringLiteral("[circle,red][square,red][star,blue][diamond,green][ring,red]<br>\n");
    const QString text = slide.repeated(int(getRequest::maxDocumentBytes / slide.size()));
    QVector<double> times;
    for (int i = 0; i < (c.quick ? 3 : c.runs); ++i) {
        QElapsedTimer t;
        t.start();
        runTest runner(text, 5, 10, 1, 0);
        times.append(t.nsecsElapsed() / 1e6);
        if (runner.testFailed)
            qFatal("the text did not parse");
    }
    const Stats s = stats(times);
    addRow({"slide parse at the start of a series, 1 MiB test text", fmt(s, "ms", 1), "50 ms",
            s.median / 50, "<= 1.00", s.median <= 50,
            QStringLiteral("%1 slides").arg(text.count(QStringLiteral("<br>")))});
}

void largeSlideSwitch(const Config &c)
{
    // Camera-sized pictures, as authors have them before quelvan-maketest scales them: a
    // gradient with grain, so that the JPEG files weigh what photographs weigh.
    const ScratchFolder dir;
    QRandomGenerator grain(1);
    qint64 bytes = 0;
    for (const char *name : {"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"}) {
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int n = int(grain.bounded(24));
                line[x] = qRgb((x / 16 + n) & 255, (y / 12 + n) & 255, (x + y) / 28 + n);
            }
        }
        const QString file = QStringLiteral("img/%1.jpg").arg(QLatin1String(name));
        image.save(file, "JPEG", 90);
        bytes += QFileInfo(file).size();
    }
    const QString text =
        QStringLiteral("[a,x][b,x][a,y][b,z][a,z]<br>[b,y][a,y][b,z][a,x][b,x]<br>")
            .repeated(c.quick ? 5 : 25);
    const int perSeries = text.count(QStringLiteral("<br>"));

    // Before: every icon decoded when its slide is shown. After: decoded once, as the
    // download stores each picture, which is what the window does.
    iconCache icons;
    QVector<double> decodeTimes;
    for (const char *name : {"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"}) {
        QElapsedTimer t;
        t.start();
        icons.icon(QStringLiteral("%1/%2.jpg").arg(dir.img(), QLatin1String(name)),
                   slideButton::iconSide, 1.0);
        decodeTimes.append(t.nsecsElapsed() / 1e6);
    }
    QVector<double> before, after;
    for (iconCache *cache : {static_cast<iconCache *>(nullptr), &icons}) {
        runTest runner(text, 1000, perSeries, 1, 0);
        for (slideButton *button : qAsConst(runner.buttons))
            button->icons = cache;
        runner.show();
        runner.startTest(1);
        QApplication::processEvents();
        for (int i = 1; i < perSeries; ++i) {
            QElapsedTimer t;
            t.start();
            runner.pressBut(1);
            (cache ? after : before).append(t.nsecsElapsed() / 1e6);
            if (runner.testFailed)
                qFatal("the runner did not switch: %s", qPrintable(runner.statusLabel->text()));
            QApplication::processEvents();
        }
    }
    const QString frame = QStringLiteral("16.7 ms (one frame at 60 Hz)");
    const QString note = QStringLiteral("%1 MB a picture").arg(bytes / 7 / 1e6, 0, 'f', 1);
    const Stats sb = stats(before), sa = stats(after), sd = stats(decodeTimes);
    addRow({"slide switch, 4000 x 3000 JPEG, decoded when shown (before)", fmt(sb, "ms", 1), frame,
            sb.median / 16.7, "", true, note});
    addRow({"slide switch, 4000 x 3000 JPEG, decoded during the download", fmt(sa, "ms", 3), frame,
            sa.median / 16.7, "<= 1.00", sa.median <= 16.7, note});
    addRow({"decoding one 4000 x 3000 JPEG at icon size, during the download", fmt(sd, "ms", 1),
            QString(), 0, "", true, QString()});
}

} // namespace bench
