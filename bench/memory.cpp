// Peak resident memory of a whole run (download from the server, then every series on the
// test clock) and its growth from series 10 to series 100, against an empty Qt window.
// Each figure comes from a fresh process.
#include "bench.h"

#include "app/mainwindow.h"
#include "core/msclock.h"
#include "download/loadinterface.h"
#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "test/runtest.h"
#include "test/slidebutton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace bench {

namespace {

void spinEvents(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void deleteLaterNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QMap<QString, qint64> runChild(const Config &c, const QString &mode)
{
    QProcess child;
    child.start(c.selfPath, {mode, "--url", c.serverUrl, "--site", c.site});
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        qFatal("child %s failed: %s", qPrintable(mode), child.readAllStandardError().constData());
    QMap<QString, qint64> values;
    for (const QByteArray &word : child.readAllStandardOutput().simplified().split(' ')) {
        const QList<QByteArray> kv = word.split('=');
        if (kv.size() == 2)
            values.insert(QString::fromLatin1(kv[0]), kv[1].toLongLong());
    }
    return values;
}

} // namespace

int childMemoryEmpty()
{
    QMainWindow w;
    w.show();
    spinEvents(300);
    printf("peak=%lld\n", peakRssKiB());
    return 0;
}

// What any program pays that shows a line of text and fetches the same files with the
// toolkit: a window with a label and the bare download loop.
int childMemoryFloor(const Config &c)
{
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QMainWindow w;
    w.setCentralWidget(new QLabel(QStringLiteral("Получить тест с сервера"), &w));
    w.show();
    spinEvents(100);
    floorDownloadOnce(c);
    spinEvents(200);
    printf("peak=%lld\n", peakRssKiB());
    return 0;
}

int childMemoryRun(const Config &c)
{
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    qint64 rss10 = 0, rss100 = 0;
    {
        MainWindow w;
        w.show();
        w.loadWidget->serverUrl = c.serverUrl;
        w.loadWidget->getButton->click();
        QElapsedTimer t;
        t.start();
        while (!w.instr && t.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!w.instr)
            qFatal("the download did not finish");
        spinEvents(100);
        msClock::setFakeNow(1000);
        w.instr->startButton->click();
        int series = 0;
        while (w.tester) {
            runTest *runner = w.tester;
            while (w.tester == runner) {
                int right = 1;
                for (int b = 1; b <= 4; ++b)
                    if (runner->buttons.at(b)->isRight())
                        right = b;
                runner->pressBut(right);
                QApplication::processEvents(); // paint the slide, as on screen
            }
            ++series;
            deleteLaterNow();
            QApplication::processEvents();
            if (series == 10)
                rss10 = rssKiB();
            if (series == 100)
                rss100 = rssKiB();
            if (w.concl) {
                msClock::advanceFake(quint32(w.pauseTime) * 1000 + 600);
                w.timeNextSeries();
            }
        }
        if (!qobject_cast<conclGraph *>(w.centralWidget()))
            qFatal("the run did not end on the graph");
        spinEvents(100);
    }
    printf("peak=%lld rss10=%lld rss100=%lld\n", peakRssKiB(), rss10, rss100);
    return 0;
}

void memory(const Config &c)
{
    QVector<double> empty, floor, peak, growth;
    const int runs = c.quick ? 1 : 3;
    for (int i = 0; i < runs; ++i) {
        empty.append(runChild(c, "child-memory-empty").value("peak") / 1024.0);
        floor.append(runChild(c, "child-memory-floor").value("peak") / 1024.0);
        const auto run = runChild(c, "child-memory-run");
        peak.append(run.value("peak") / 1024.0);
        growth.append((run.value("rss100") - run.value("rss10")) / 1024.0);
    }
    const Stats se = stats(empty), sf = stats(floor), sp = stats(peak), sg = stats(growth);
    addRow({"peak memory of a whole run", fmt(sp, "MiB", 1), fmt(se, "MiB", 1) + " empty window",
            sp.median / se.median, "<= 1.50", sp.median <= 1.5 * se.median, QString()});
    addRow({"peak memory against text + QNAM download", fmt(sp, "MiB", 1), fmt(sf, "MiB", 1),
            sp.median / sf.median, QString(), true, QString()});
    addRow({"memory growth, series 10 to 100", fmt(sg, "MiB", 2), QString(), 0, "<= 1 MiB",
            sg.median <= 1.0, QString()});
}

} // namespace bench
