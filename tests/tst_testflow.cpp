#include "app/appoptions.h"
#include "app/mainwindow.h"
#include "app/msclock.h"
#include "download/loadinterface.h"
#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "test/runtest.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
// Sample a,x: buttons 1 b,x, 2 a,y and 4 a,z are right, 3 b,z is not.
const QString slideA = QStringLiteral("[a,x][b,x][a,y][b,z][a,z]");
// Sample b,y: buttons 1 a,y, 2 b,z and 4 b,x are right, 3 a,x is not.
const QString slideB = QStringLiteral("[b,y][a,y][b,z][a,x][b,x]");
const QString slides20 = (slideA + "<br>" + slideB + "<br>").repeated(10);

QString statusLine(int series, int slide, int total, const QString &left, const QString &all)
{
    return QStringLiteral("серия:%1  %2/%3  время на слайд:%4 c  временя на серию:%5 c")
        .arg(series)
        .arg(slide)
        .arg(total)
        .arg(left, all);
}
// The first pause text ends in a Latin "c", the countdown's in a Cyrillic "с".
QString pauseText(int series, int seconds, bool first)
{
    return QStringLiteral("Серия %1/3  До запуска следующей серии: %2 ").arg(series).arg(seconds)
           + (first ? QStringLiteral("c") : QStringLiteral("с"));
}
} // namespace

// A test run on the test clock: the runner of one series, and the window that leads from
// the download through the series and their pauses to the graph.
class tst_testflow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { msClock::setFakeNow(100000); }
    void cleanupTestCase() { msClock::useRealClock(); }
    void build_data();
    void build();
    void statusLineAndTimeout();
    void missingPictureIsFinal();
    void largePictureHeldAtIconSize();
    void wholeRun();
    void score();
    void graph();

private:
    WorkDir workDir;
};

void tst_testflow::initTestCase()
{
    const TestSite site = TestSite::small();
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY(TestSite::writeFile(QStringLiteral("img/") + it.key() + ".jpg", it.value()));
}

void tst_testflow::build_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("slideTotal");
    QTest::addColumn<int>("seriesTotal");
    QTest::addColumn<int>("slideCount"); // -1: the test cannot be built
    QTest::newRow("<BR> is no break, lines without variants are skipped")
        << "intro<br>" + slideA + "<BR>" + slideB + "<br>" << 1 << 1 << 1;
    QTest::newRow("a line of two variants") << slideA + "<br>[b,y][a,y]" << 1 << 1 << -1;
    QTest::newRow("3 x 7 with 20 slides") << slides20 << 3 << 7 << -1;
    // 65536 x 65536 wraps to 0 in 32 bits; it must not let one slide pass.
    QTest::newRow("product beyond 32 bits") << slideA << 65536 << 65536 << -1;
}

void tst_testflow::build()
{
    QFETCH(QString, text);
    QFETCH(int, slideTotal);
    QFETCH(int, seriesTotal);
    QFETCH(int, slideCount);
    runTest runner(text, 5, slideTotal, seriesTotal, 0);
    QCOMPARE(runner.testFailed ? -1 : runner.testData.size(), slideCount);
    QCOMPARE(runner.statusLabel->text(),
             QString::fromUtf8(slideCount < 0 ? "Ошибка формирования теста!" : "Формируем тест"));
}

void tst_testflow::statusLineAndTimeout()
{
    runTest runner(slides20, 5, 10, 2, 0);
    runner.startTest(2);
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 1, 10, "5", "50"));
    msClock::advanceFake(1234);
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 1, 10, "3.766", "48.766"));
    msClock::advanceFake(5000 - 1234); // exactly the slide time: the slide stays
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 1, 10, "0", "45"));
    msClock::advanceFake(1); // just past it: the slide ends, shown and not right
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 2, 10, "5", "45"));
    QCOMPARE(runner.countTotalAncwer * 10 + runner.countRightAnswer, 20);

    // Absurd settings: seriesTotal 0 lets any slideTotal pass; the times do not overflow.
    runTest huge(slideA, 2147483647, 2147483647, 0, 0);
    huge.startTest(1);
    msClock::advanceFake(1000);
    huge.timerStep();
    QCOMPARE(huge.statusLabel->text(), statusLine(1, 1, 2147483647, "2.14748e+09", "4.61169e+18"));
}

void tst_testflow::missingPictureIsFinal()
{
    // The second slide's button 3 needs a_q, which the picture directory lacks.
    runTest runner(slideA + QStringLiteral("<br>[b,y][a,y][b,x][a,q][b,x]"), 5, 2, 1, 0);
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(1);
    runner.pressBut(1);
    msClock::advanceFake(60000);
    runner.timerStep();
    runner.pressBut(2);
    QCOMPARE(runner.statusLabel->text(),
             QStringLiteral("Ошибка! Отсутствует необходимый файл с картинкой для варианта: a q"));
    QCOMPARE(runner.countTotalAncwer + ended.count(), 2);
}

void tst_testflow::largePictureHeldAtIconSize()
{
    QImage big(800, 400, QImage::Format_RGB32);
    big.fill(Qt::red);
    QVERIFY(big.save(QStringLiteral("img/big_wide.jpg")));
    slideButton button;
    button.value1 = QStringLiteral("big");
    button.value2 = QStringLiteral("wide");
    QVERIFY(button.setPicture());
    // Aspect kept, never the full 800 x 400.
    QCOMPARE(button.icon().availableSizes(), QList<QSize>{QSize(90, 45)});
    // The fail button shows fail.jpg whatever its variant.
    button.showFail = true;
    QVERIFY(QFile::rename("img/fail.jpg", "img/gone.jpg"));
    QVERIFY(!button.setPicture());
    QVERIFY(QFile::rename("img/gone.jpg", "img/fail.jpg"));
}

void tst_testflow::wholeRun()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    TestSite site = TestSite::small(6);
    site.totalSeries = "3";
    site.tsInSeries = "2";
    site.pauseSeries = "10";
    site.instr = "<b>Выберите</b> картинку";
    site.serve(server);

    appOptions options = appOptions::defaults();
    options.serverUrl = server.baseUrl();
    options.pictureDir = workDir.path() + "/chosen/pictures";
    MainWindow w(options);
    QPointer<QWidget> screen = w.loadWidget;
    // The one button of each screen has the keyboard focus: Enter or Space presses it.
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<instrShow *>(w.centralWidget()), 10000);
    QTRY_VERIFY(!screen); // the download screen goes once the event loop has run
    QCOMPARE(w.instr->instrLabel->text(), QString::fromUtf8(site.instr));
    QTest::keyClick(w.focusWidget(), Qt::Key_Space);
    QVERIFY(QFile::exists(options.pictureDir + "/fail.jpg")
            && w.tester->buttons.at(4)->pictureDir == options.pictureDir);
    auto click = [&](int b) { QTest::mouseClick(w.tester->buttons.at(b), Qt::LeftButton); };
    auto tick = [&](int ms) {
        msClock::advanceFake(quint32(ms));
        w.timeNextSeries();
        return w.concl ? w.concl->timeLabel->text() : QString();
    };

    // Series 1: right, right; the countdown follows the clock: 9 after 0.5 s, 0 after
    // exactly 10 s, then the next series.
    click(1);
    click(2);
    QCOMPARE(w.concl->resultLabel->text(), QStringLiteral("Результат определения внимания: 100 %"));
    QCOMPARE(w.concl->timeLabel->text(), pauseText(1, 10, true));
    QCOMPARE(w.pauseTimer->interval(), 500);
    QCOMPARE(tick(500), pauseText(1, 9, false));
    QCOMPARE(tick(9500), pauseText(1, 0, false));
    QCOMPARE(tick(500), QString());
    QCOMPARE(w.tester->tekSlide, 3);

    // Series 2: right, wrong; the button cuts the pause short, for good.
    click(4);
    click(3);
    QCOMPARE(w.concl->resultLabel->text(), QStringLiteral("Результат определения внимания: 50 %"));
    QPointer<conclusionShow> pause = w.concl;
    QTest::keyClick(w.focusWidget(), Qt::Key_Enter);
    runTest *third = w.tester;
    tick(60000); // a stray tick changes nothing
    QVERIFY(w.tester == third && w.tekSeries == 3 && !w.pauseTimer->isActive());

    // Series 3: sample, wrong; then the graph, and every replaced screen is gone.
    click(0);
    click(3);
    QCOMPARE(qobject_cast<conclGraph *>(w.centralWidget())->values, (QList<float>{100, 50, 0}));
    QTRY_VERIFY(!pause);
    QCOMPARE(w.findChildren<runTest *>().size() + w.findChildren<conclusionShow *>().size(), 0);
}

void tst_testflow::score()
{
    QCOMPARE(MainWindow::seriesScore(7, 9), 77); // truncated, not rounded
    QCOMPARE(MainWindow::seriesScore(0, 0), 0);  // no slide shown
}

void tst_testflow::graph()
{
    // The worked example: 50, 75 and 100 on a 500 x 420 graph, read pixel by pixel.
    conclGraph graph;
    graph.setData(35, 4, 44, 24, {50, 75, 100});
    graph.resize(500, 420);
    const QImage img = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    for (const QPoint p : {QPoint(35, 246), QPoint(188, 171), QPoint(341, 96), QPoint(264, 133)})
        QVERIFY2(img.pixel(p) == red, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // Axes, grid lines 10 % (y 366) to 100 % (y 96), nothing above; guide lines per series.
    QVERIFY(img.pixel(35, 60) == blue && img.pixel(495, 396) == blue);
    for (int y = 366; y >= 96; y -= 30)
        QCOMPARE(img.pixel(450, y), blue);
    QVERIFY(img.pixel(450, 95) != blue && img.pixel(188, 380) == blue);
    QVERIFY(img.pixel(188, 90) != blue); // guide lines stop at the 100 % level
}

QTEST_MAIN(tst_testflow)
#include "tst_testflow.moc"
