#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "download/loadinterface.h"
#include "app/mainwindow.h"
#include "app/msclock.h"
#include "test/runtest.h"
#include "test/slidebutton.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/workdir.h"

#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
// Sample a,x: buttons 1, 2 and 4 are right, 0 and 3 are not.
const QString slideA = QStringLiteral("[a,x][b,x][a,y][b,z][a,z]");

QString pauseText(int series, int total, int seconds, bool first)
{
    return QStringLiteral("Серия %1/%2  До запуска следующей серии: %3 ")
               .arg(series)
               .arg(total)
               .arg(seconds)
           + (first ? QStringLiteral("c") : QStringLiteral("с"));
}
} // namespace

class tst_mainwindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsOnDownloadScreen();
    void wholeRun();
    void documentsConverted_data();
    void documentsConverted();
    void score_data();
    void score();
    void countdown();
    void buttonEndsPauseForGood();
    void shortPause();
    void singleSeriesGoesToGraph_data();
    void singleSeriesGoesToGraph();
    void terminateCloses();
    void hundredSeries();

private:
    // A window past the download, with the test text and settings given.
    void prepare(MainWindow &w, const QString &text, int slideTotal, int seriesTotal,
                 int pauseTime);
    void click(QWidget *button);

    WorkDir workDir;
};

void tst_mainwindow::initTestCase()
{
    QVERIFY(workDir.isValid());
}

void tst_mainwindow::init()
{
    msClock::setFakeNow(5000);
    QDir(QStringLiteral("img")).removeRecursively();
}

void tst_mainwindow::cleanup()
{
    msClock::useRealClock();
}

void tst_mainwindow::click(QWidget *button)
{
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void tst_mainwindow::prepare(MainWindow &w, const QString &text, int slideTotal, int seriesTotal,
                             int pauseTime)
{
    TestSite site;
    site.addPicturesFor({"a", "b"}, {"x", "y", "z"});
    QVERIFY(site.writePictures());
    w.loadWidget->testText = text;
    w.loadWidget->tmText = QStringLiteral("5");
    w.loadWidget->tsInSeriesText = QString::number(slideTotal);
    w.loadWidget->totalSeriesText = QString::number(seriesTotal);
    w.loadWidget->pauseSeriesText = QString::number(pauseTime);
    w.endLoading();
    w.startTest();
}

void tst_mainwindow::startsOnDownloadScreen()
{
    MainWindow w;
    QVERIFY(qobject_cast<loadInterface *>(w.centralWidget()));
    QCOMPARE(w.centralWidget(), w.loadWidget);
    QVERIFY(w.findChildren<instrShow *>().isEmpty());
    QVERIFY(w.findChildren<runTest *>().isEmpty());
    QVERIFY(!w.pauseTimer);
    QVERIFY(w.seriesResults.isEmpty());
}

void tst_mainwindow::wholeRun()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    TestSite site = TestSite::small(6);
    site.tsInSeries = "2";
    site.totalSeries = "3";
    site.pauseSeries = "10";
    site.instr = "<b>Выберите</b> картинку";
    site.serve(server);

    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QPointer<QWidget> screen = w.loadWidget;
    w.loadWidget->serverUrl = server.baseUrl();
    click(w.loadWidget->getButton);

    // Instructions.
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<instrShow *>(w.centralWidget()), 10000);
    QTRY_VERIFY(!screen); // the download screen is gone once the event loop has run
    auto *instr = qobject_cast<instrShow *>(w.centralWidget());
    QCOMPARE(instr->instrLabel->text(), QString::fromUtf8(site.instr));
    QCOMPARE(w.seriesTotal, 3);
    QCOMPARE(w.pauseTime, 10);
    screen = instr;
    click(instr->startButton);

    // Series 1: right, right.
    auto *runner = qobject_cast<runTest *>(w.centralWidget());
    QVERIFY(runner);
    QTRY_VERIFY(!screen);
    QCOMPARE(runner->tekSeries, 1);
    screen = runner;
    click(runner->buttons.at(1));
    click(runner->buttons.at(2));
    auto *pause = qobject_cast<conclusionShow *>(w.centralWidget());
    QVERIFY(pause);
    QTRY_VERIFY(!screen);
    QCOMPARE(pause->resultLabel->text(), QStringLiteral("Результат определения внимания: 100 %"));
    QCOMPARE(pause->timeLabel->text(), pauseText(1, 3, 10, true));

    // The pause runs out on the clock.
    screen = pause;
    msClock::advanceFake(10000);
    w.timeNextSeries();
    QCOMPARE(pause->timeLabel->text(), pauseText(1, 3, 0, false));
    msClock::advanceFake(500);
    w.timeNextSeries();
    runner = qobject_cast<runTest *>(w.centralWidget());
    QVERIFY(runner);
    QTRY_VERIFY(!screen);
    QCOMPARE(runner->tekSeries, 2);
    QCOMPARE(runner->tekSlide, 3);

    // Series 2: right, wrong; the pause is cut short with the button.
    screen = runner;
    click(runner->buttons.at(4));
    click(runner->buttons.at(3));
    pause = qobject_cast<conclusionShow *>(w.centralWidget());
    QVERIFY(pause);
    QTRY_VERIFY(!screen);
    QCOMPARE(pause->resultLabel->text(), QStringLiteral("Результат определения внимания: 50 %"));
    QCOMPARE(pause->timeLabel->text(), pauseText(2, 3, 10, true));
    screen = pause;
    click(pause->nextButton);

    // Series 3: sample, wrong; then the graph.
    runner = qobject_cast<runTest *>(w.centralWidget());
    QVERIFY(runner);
    QTRY_VERIFY(!screen);
    QVERIFY(!w.pauseTimer->isActive());
    screen = runner;
    click(runner->buttons.at(0));
    click(runner->buttons.at(3));
    auto *graph = qobject_cast<conclGraph *>(w.centralWidget());
    QVERIFY(graph);
    QTRY_VERIFY(!screen);
    QCOMPARE(graph->values, (QList<float>{100, 50, 0}));
    QCOMPARE(w.seriesResults, (QList<float>{100, 50, 0}));
    QCOMPARE(graph->marginLeft, 35);
    QCOMPARE(graph->marginRight, 4);
    QCOMPARE(graph->marginTop, 44);
    QCOMPARE(graph->marginBottom, 24);
    QVERIFY(!w.pauseTimer->isActive());
    QCOMPARE(w.findChildren<runTest *>().size(), 0);
    QCOMPARE(w.findChildren<conclusionShow *>().size(), 0);
}

void tst_mainwindow::documentsConverted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("line break after") << QStringLiteral("10\n") << 10;
    QTest::newRow("letters after") << QStringLiteral("12abc") << 0;
    QTest::newRow("empty") << QString() << 0;
}

void tst_mainwindow::documentsConverted()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    MainWindow w;
    w.loadWidget->tmText = text;
    w.loadWidget->tsInSeriesText = text;
    w.loadWidget->totalSeriesText = text;
    w.loadWidget->pauseSeriesText = text;
    w.loadWidget->testText = QStringLiteral("[a,b]");
    w.loadWidget->instrText = QStringLiteral("  как есть\n");
    w.endLoading();
    QCOMPARE(w.slideTime, value);
    QCOMPARE(w.slideTotal, value);
    QCOMPARE(w.seriesTotal, value);
    QCOMPARE(w.pauseTime, value);
    QCOMPARE(w.tdata, QStringLiteral("[a,b]"));
    QCOMPARE(w.instr->instrLabel->text(), QStringLiteral("  как есть\n"));
}

void tst_mainwindow::score_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("score");

    QTest::newRow("7 of 9") << 7 << 9 << 77;
    QTest::newRow("9 of 9") << 9 << 9 << 100;
    QTest::newRow("0 of 9") << 0 << 9 << 0;
    QTest::newRow("29 of 50 truncates below 58") << 29 << 50 << 57;
    QTest::newRow("no slide shown") << 0 << 0 << 0;
}

void tst_mainwindow::score()
{
    QFETCH(int, right);
    QFETCH(int, total);
    QFETCH(int, score);
    QCOMPARE(MainWindow::seriesScore(right, total), score);
}

void tst_mainwindow::countdown()
{
    MainWindow w;
    prepare(w, slideA + QStringLiteral("<br>") + slideA, 1, 2, 10);
    w.tester->pressBut(1);
    auto *pause = w.concl;
    QVERIFY(pause);
    QVERIFY(w.pauseTimer->isActive());
    QCOMPARE(w.pauseTimer->interval(), 500);
    QCOMPARE(pause->timeLabel->text(), pauseText(1, 2, 10, true));

    // 9 at 0.5 s and 1.0 s, 8 at 1.5 s and 2.0 s, ... 0 at 9.5 s and 10.0 s.
    for (int tick = 1; tick <= 20; ++tick) {
        msClock::advanceFake(500);
        w.timeNextSeries();
        QCOMPARE(w.centralWidget(), pause);
        QCOMPARE(pause->timeLabel->text(), pauseText(1, 2, 10 - (tick + 1) / 2, false));
    }
    // The countdown follows the clock, not the ticks: a late tick shows the real rest.
    msClock::advanceFake(1);
    w.timeNextSeries();
    QVERIFY(qobject_cast<runTest *>(w.centralWidget()));
    QCOMPARE(w.tekSeries, 2);
    QVERIFY(!w.pauseTimer->isActive());
}

void tst_mainwindow::buttonEndsPauseForGood()
{
    MainWindow w;
    prepare(w, slideA + QStringLiteral("<br>") + slideA + QStringLiteral("<br>") + slideA, 1, 3,
            10);
    w.tester->pressBut(1);
    QPointer<conclusionShow> pause = w.concl;
    click(pause->nextButton);
    runTest *second = w.tester;
    QCOMPARE(w.centralWidget(), second);
    QVERIFY(!w.pauseTimer->isActive());
    QCOMPARE(w.tekSeries, 2);

    // A stray tick or a second click changes nothing.
    msClock::advanceFake(60000);
    w.timeNextSeries();
    if (pause)
        click(pause->nextButton);
    QCOMPARE(w.centralWidget(), second);
    QCOMPARE(w.tekSeries, 2);
    QTRY_VERIFY(!pause);
}

void tst_mainwindow::shortPause()
{
    MainWindow w;
    prepare(w, slideA + QStringLiteral("<br>") + slideA, 1, 2, 0);
    w.tester->pressBut(3);
    QCOMPARE(w.concl->resultLabel->text(), QStringLiteral("Результат определения внимания: 0 %"));
    QCOMPARE(w.concl->timeLabel->text(), pauseText(1, 2, 0, true));
    msClock::advanceFake(500); // the first tick starts the next series
    w.timeNextSeries();
    QCOMPARE(w.tekSeries, 2);
}

void tst_mainwindow::singleSeriesGoesToGraph_data()
{
    QTest::addColumn<int>("seriesTotal");
    QTest::addColumn<int>("slideTotal");
    QTest::addColumn<float>("score");

    QTest::newRow("one series") << 1 << 1 << 100.0f;
    QTest::newRow("seriesTotal 0") << 0 << 1 << 100.0f;
    QTest::newRow("no slide in the series") << 1 << 0 << 0.0f;
}

void tst_mainwindow::singleSeriesGoesToGraph()
{
    QFETCH(int, seriesTotal);
    QFETCH(int, slideTotal);
    QFETCH(float, score);
    MainWindow w;
    prepare(w, slideA, slideTotal, seriesTotal, 10);
    if (w.tester)
        w.tester->pressBut(2);
    auto *graph = qobject_cast<conclGraph *>(w.centralWidget());
    QVERIFY(graph);
    QCOMPARE(graph->values, QList<float>{score});
    QVERIFY(!w.pauseTimer->isActive());
    QVERIFY(w.findChildren<conclusionShow *>().isEmpty());
}

void tst_mainwindow::terminateCloses()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(QMetaObject::invokeMethod(&w, "terminate"));
    QVERIFY(!w.isVisible());
}

void tst_mainwindow::hundredSeries()
{
    // A long run on the test clock: every replaced screen goes, nothing piles up. Under the
    // sanitizer build LeakSanitizer checks the whole run when the test ends.
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(slideA);
    MainWindow w;
    prepare(w, lines.join(QStringLiteral("<br>")), 2, 100, 3);
    int childrenAfterFirst = -1;
    for (int series = 1; series <= 100; ++series) {
        QVERIFY(w.tester);
        QCOMPARE(w.tester->tekSeries, series);
        w.tester->pressBut(series % 5);
        msClock::advanceFake(5001); // the second slide runs out of time
        w.tester->timerStep();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (series == 1)
            childrenAfterFirst = w.children().size();
        QCOMPARE(w.children().size(), childrenAfterFirst);
        if (series < 100) {
            msClock::advanceFake(3001);
            w.timeNextSeries();
        }
    }
    QVERIFY(qobject_cast<conclGraph *>(w.centralWidget()));
    QCOMPARE(w.seriesResults.size(), 100);
    // Button 1, 2 or 4 right of two slides is 50; the sample or button 3 is 0.
    for (int i = 0; i < 100; ++i)
        QCOMPARE(w.seriesResults.at(i), ((i + 1) % 5 == 0 || (i + 1) % 5 == 3) ? 0.0f : 50.0f);
}

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
