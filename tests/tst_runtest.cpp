#include "core/msclock.h"
#include "support/testsite.h"
#include "test/runtest.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"

#include <QLabel>
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
} // namespace

// The runner of one series on the test clock: how its slides are built, shown, answered and
// timed out, and what it reports of each.
class tst_runtest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { msClock::setFakeNow(100000); }
    void cleanupTestCase() { msClock::useRealClock(); }
    void build_data();
    void build();
    void statusLineAndTimeout();
    void answers_data();
    void answers();
    void missingPictureIsFinal();
    void largePictureHeldAtIconSize();

private:
    WorkDir workDir;
};

void tst_runtest::initTestCase()
{
    const TestSite site = TestSite::small();
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY(TestSite::writeFile(QStringLiteral("img/") + it.key() + ".jpg", it.value()));
}

void tst_runtest::build_data()
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

void tst_runtest::build()
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

void tst_runtest::statusLineAndTimeout()
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

void tst_runtest::answers_data()
{
    QTest::addColumn<bool>("keyboard"); // keyboard-answers
    QTest::addColumn<bool>("exact");    // exact-limit
    // +N the clock, t a tick, l the limit timer, iN it waits N ms more; cB a click on button
    // B, pB and rB its press and release; kB, kpB and krB the same with Space.
    QTest::addColumn<QString>("steps");
    // Each slide that ended: button/input/press_ms/rt_ms/shown_ms, "-" for none. The limit
    // is 5 s.
    QTest::addColumn<QString>("trials");
    QTest::newRow("a press on slide 1 released on slide 2 answers neither")
        << true << false << "+100 p1 +4901 t r1 +50 c2"
        << "-/-/-/5001/5001 2/mouse/50/50/50";
    QTest::newRow("a held Space answers no slide")
        << true << false << "+100 kp1 +4901 t kr1 +5001 t"
        << "-/-/-/5001/5001 -/-/-/5001/5001";
    QTest::newRow("Space on a focused picture answers as a key") << true << false << "+300 k1"
                                                                 << "1/key/300/300/300";
    QTest::newRow("pressed at 300 ms, released at 500 ms") << true << false << "+300 p3 +200 r3"
                                                           << "3/mouse/300/500/500";
    QTest::newRow("keyboard-answers=false: Space answers nothing")
        << false << false << "+300 k1 +4701 t"
        << "-/-/-/5001/5001";
    QTest::newRow("the tick decides: a click 150 ms past the limit answers")
        << true << false << "+5150 c1"
        << "1/mouse/5150/5150/5150";
    QTest::newRow("exact: a click at the limit answers") << true << true << "+5000 c1"
                                                         << "1/mouse/5000/5000/5000";
    QTest::newRow("exact: a click 1 ms past the limit is a time-out") << true << true << "+5001 c1"
                                                                      << "-/-/-/5001/5001";
    QTest::newRow("exact: a limit timer 10 ms early waits for the rest")
        << true << true << "+4990 l i10 +10 l"
        << "-/-/-/5000/5000";
    QTest::newRow("exact: a tick past the limit ends the slide too") << true << true << "+5001 t"
                                                                     << "-/-/-/5001/5001";
}

void tst_runtest::answers()
{
    QFETCH(bool, keyboard);
    QFETCH(bool, exact);
    QFETCH(QString, steps);
    QFETCH(QString, trials);
    runTest runner(slides20, 5, 10, 1, 0);
    runner.keyboardAnswers = keyboard;
    runner.exactLimit = exact;
    QStringList ended;
    connect(&runner, &runTest::slideEnded, this, [&](const trialRecord &t) {
        const auto none = [](qint64 v) { return v < 0 ? QStringLiteral("-") : QString::number(v); };
        ended.append(QStringLiteral("%1/%2/%3/%4/%5")
                         .arg(none(t.response), t.input.isEmpty() ? "-" : t.input, none(t.pressMs))
                         .arg(t.rtMs)
                         .arg(t.shownMs));
    });
    runner.show();
    runner.startTest(1);
    // A picture that can be focused takes no key unless a lab allows keys; the limit's own
    // timer runs only when asked for, for the whole limit.
    QCOMPARE(runner.buttons.at(1)->focusPolicy() == Qt::NoFocus, !keyboard);
    QCOMPARE(runner.limitTimer->isActive(), exact);
    QVERIFY(!exact || runner.limitTimer->interval() == 5000);
    for (const QString &step : steps.split(' ')) {
        slideButton *button = runner.buttons.value(step.right(1).toInt());
        if (step.startsWith('+'))
            msClock::advanceFake(step.mid(1).toUInt());
        else if (step == "t")
            runner.timerStep();
        else if (step == "l")
            runner.limitReached();
        else if (step.startsWith('i'))
            QVERIFY(runner.limitTimer->isActive()
                    && runner.limitTimer->interval() == step.mid(1).toInt());
        else if (step.startsWith("kp"))
            QTest::keyPress(button, Qt::Key_Space);
        else if (step.startsWith("kr"))
            QTest::keyRelease(button, Qt::Key_Space);
        else if (step.startsWith('k'))
            QTest::keyClick(button, Qt::Key_Space);
        else if (step.startsWith('p'))
            QTest::mousePress(button, Qt::LeftButton);
        else if (step.startsWith('r'))
            QTest::mouseRelease(button, Qt::LeftButton);
        else
            QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(ended.join(' '), trials);
}

void tst_runtest::missingPictureIsFinal()
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

void tst_runtest::largePictureHeldAtIconSize()
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

QTEST_MAIN(tst_runtest)
#include "tst_runtest.moc"
