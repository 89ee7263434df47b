#include "app/msclock.h"
#include "test/runtest.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"
#include "support/testsite.h"
#include "test/variant.h"
#include "support/workdir.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Sample a,x: 1 b,x right, 2 a,y right, 3 b,z wrong, 4 a,z right.
const QString slideA = QStringLiteral("[a,x][b,x][a,y][b,z][a,z]");
// Sample b,y: 1 a,y right, 2 b,z right, 3 a,x wrong, 4 b,x right.
const QString slideB = QStringLiteral("[b,y][a,y][b,z][a,x][b,x]");

QString slides(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(i % 2 ? slideB : slideA);
    return lines.join(QStringLiteral("<br>"));
}

// "v1|v2 v1|v2 ..." per slide, to compare parses in one line each.
QStringList describe(const QList<slideData *> &data)
{
    QStringList out;
    for (const slideData *s : data) {
        QStringList vs;
        for (const variant *v : s->variants)
            vs.append(v->value1 + QLatin1Char('|') + v->value2);
        out.append(vs.join(QLatin1Char(' ')));
    }
    return out;
}

QString statusLine(int series, int slide, int total, const QString &left, const QString &seriesLeft)
{
    return QStringLiteral("серия:%1  %2/%3  время на слайд:%4 c  временя на серию:%5 c")
        .arg(series)
        .arg(slide)
        .arg(total)
        .arg(left, seriesLeft);
}
} // namespace

class tst_runtest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void parse_data();
    void parse();
    void series_data();
    void series();
    void secondSeries();
    void timeout();
    void zeroSlideTime();
    void emptySeries_data();
    void emptySeries();
    void buildFailureIsFinal();
    void missingPictureIsFinal();
    void hugeSettingsDoNotOverflow();
    void isRight_data();
    void isRight();
    void grid();
    void largePictureHeldAtIconSize();
    void unreadablePictureCountsAsFound();

private:
    WorkDir workDir;
};

void tst_runtest::initTestCase()
{
    QVERIFY(workDir.isValid());
}

void tst_runtest::init()
{
    QDir(QStringLiteral("img")).removeRecursively();
    TestSite site;
    site.addPicturesFor({"a", "b"}, {"x", "y", "z"});
    QVERIFY(site.writePictures());
    msClock::setFakeNow(100000);
}

void tst_runtest::cleanup()
{
    msClock::useRealClock();
}

void tst_runtest::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("slideTotal");
    QTest::addColumn<int>("seriesTotal");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("parsed");

    const QString a = QStringLiteral("a|x b|x a|y b|z a|z");
    const QString b = QStringLiteral("b|y a|y b|z a|x b|x");
    QTest::newRow("one slide") << slideA << 1 << 1 << true << QStringList{a};
    QTest::newRow("short second line fails, kept in the list")
        << slideA + QStringLiteral("<br>[b,y][a,y]") << 1 << 1 << false
        << QStringList{a, QStringLiteral("b|y a|y")};
    QTest::newRow("lines after a short line are not parsed")
        << QStringLiteral("[p,q]<br>") + slideA << 0 << 0 << false
        << QStringList{QStringLiteral("p|q")};
    QTest::newRow("lines without variants skipped")
        << QStringLiteral("intro<br>") + slideA + QStringLiteral("<br>") << 1 << 1 << true
        << QStringList{a};
    QTest::newRow("text between variants ignored")
        << QStringLiteral("<p>[a,x] и\n[b,x]<i>[a,y][b,z]</i>\r\n[a,z]</p>") << 1 << 1 << true
        << QStringList{a};
    QTest::newRow("<BR> is not a break") << slideA + QStringLiteral("<BR>") + slideB << 1 << 1
                                         << true << QStringList{a + QLatin1Char(' ') + b};
    QTest::newRow("six variants") << slideA + QStringLiteral("[c,c]") << 1 << 1 << true
                                  << QStringList{a + QStringLiteral(" c|c")};
    QTest::newRow("blank kept") << QStringLiteral("[a, x][ b,x][a,y][b,z][a,z]") << 1 << 1 << true
                                << QStringList{QStringLiteral("a| x  b|x a|y b|z a|z")};
    QTest::newRow("empty values") << QStringLiteral("[,][,][,][,][,]") << 1 << 1 << true
                                  << QStringList{QStringLiteral("| | | | |")};
    QTest::newRow("two commas split at the last")
        << QStringLiteral("[a,b,c][a,x][a,x][a,x][a,x]") << 1 << 1 << true
        << QStringList{QStringLiteral("a,b|c a|x a|x a|x a|x")};
    QTest::newRow("bracket pair inside a variant")
        << QStringLiteral("[a][b,c][a,x][a,x][a,x][a,x]") << 1 << 1 << true
        << QStringList{QStringLiteral("a][b|c a|x a|x a|x a|x")};
    QTest::newRow("nested bracket") << QStringLiteral("[[a,b],c][a,x][a,x][a,x][a,x]") << 1 << 1
                                    << true << QStringList{QStringLiteral("[a|b a|x a|x a|x a|x")};
    QTest::newRow("empty text, nothing needed") << QString() << 0 << 5 << true << QStringList{};
    QTest::newRow("empty text, one needed") << QString() << 1 << 1 << false << QStringList{};
    QTest::newRow("negative product passes") << QString() << -1 << 5 << true << QStringList{};
    QTest::newRow("3x2 with five slides")
        << slides(5) << 3 << 2 << false << QStringList{a, b, a, b, a};
    QTest::newRow("3x2 with six slides")
        << slides(6) << 3 << 2 << true << QStringList{a, b, a, b, a, b};
    QTest::newRow("3x2 with seven slides")
        << slides(7) << 3 << 2 << true << QStringList{a, b, a, b, a, b, a};
    // 65536 x 65536 wraps to 0 in 32 bits; it must not let one slide pass.
    QTest::newRow("product beyond 32 bits") << slideA << 65536 << 65536 << false << QStringList{a};
    QTest::newRow("large negative product") << slideA << 2147483647 << -2 << true << QStringList{a};
}

void tst_runtest::parse()
{
    QFETCH(QString, text);
    QFETCH(int, slideTotal);
    QFETCH(int, seriesTotal);
    QFETCH(bool, ok);
    QFETCH(QStringList, parsed);

    runTest runner(text, 5, slideTotal, seriesTotal, 0);
    QCOMPARE(!runner.testFailed, ok);
    QCOMPARE(describe(runner.testData), parsed);
    QCOMPARE(runner.statusLabel->text(),
             ok ? QStringLiteral("Формируем тест") : QStringLiteral("Ошибка формирования теста!"));
}

void tst_runtest::series_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("right");

    // Slides alternate A, B; on both, buttons 1, 2 and 4 are right, 0 and 3 are not.
    QTest::newRow("all right") << QList<int>{1, 2, 4, 1, 2, 4, 1, 2, 4, 1} << 10;
    QTest::newRow("mixed") << QList<int>{1, 3, 0, 4, 2, 3, 3, 0, 0, 1} << 4;
    QTest::newRow("sample and wrong only") << QList<int>{0, 3, 0, 3, 0, 3, 0, 3, 0, 3} << 0;
}

void tst_runtest::series()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, right);

    runTest runner(slides(20), 5, 10, 2, 0);
    runner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&runner));
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(1);
    QCOMPARE(runner.tekSlide, 1);
    QVERIFY(runner.timer->isActive());

    for (int i = 0; i < clicks.size(); ++i) {
        QCOMPARE(ended.count(), 0);
        QTest::mouseClick(runner.buttons.at(clicks.at(i)), Qt::LeftButton);
    }
    QCOMPARE(ended.count(), 1);
    QCOMPARE(runner.countRightAnswer, right);
    QCOMPARE(runner.countTotalAncwer, 10);
    QCOMPARE(runner.tekSlide, 10);
    QVERIFY(!runner.timer->isActive());

    // Over is final: another click or tick counts nothing and ends nothing.
    QTest::mouseClick(runner.buttons.at(1), Qt::LeftButton);
    runner.timerStep();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(runner.countRightAnswer, right);
}

void tst_runtest::secondSeries()
{
    runTest runner(slides(20), 5, 10, 2, 0);
    runner.startTest(2);
    QCOMPARE(runner.tekSlide, 11);
    QCOMPARE(runner.tekSeries, 2);
    QCOMPARE(runner.buttons.at(0)->value1, QStringLiteral("a")); // slide 11 is an A slide
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 1, 10, "5", "50"));

    msClock::advanceFake(200);
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 1, 10, "4.8", "49.8"));

    runner.pressBut(1);
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 2, 10, "5", "45"));
    msClock::advanceFake(1234);
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(), statusLine(2, 2, 10, "3.766", "43.766"));
}

void tst_runtest::timeout()
{
    runTest runner(slides(2), 5, 2, 1, 0);
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(1);

    msClock::advanceFake(5000); // exactly the slide time: the slide stays
    runner.timerStep();
    QCOMPARE(runner.tekSlide, 1);
    QCOMPARE(runner.statusLabel->text(), statusLine(1, 1, 2, "0", "5"));

    msClock::advanceFake(1); // just past it: the slide ends, shown and not right
    runner.timerStep();
    QCOMPARE(runner.tekSlide, 2);
    QCOMPARE(runner.countTotalAncwer, 2);
    QCOMPARE(runner.countRightAnswer, 0);

    runner.pressBut(2);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(runner.countRightAnswer, 1);
    QCOMPARE(runner.countTotalAncwer, 2);
}

void tst_runtest::zeroSlideTime()
{
    runTest runner(slides(3), 0, 3, 1, 0);
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(1);
    runner.timerStep(); // no time has passed yet
    QCOMPARE(runner.tekSlide, 1);
    for (int i = 0; i < 3; ++i) {
        msClock::advanceFake(200);
        runner.timerStep();
    }
    QCOMPARE(ended.count(), 1);
    QCOMPARE(runner.countTotalAncwer, 3);
    QCOMPARE(runner.countRightAnswer, 0);
}

void tst_runtest::emptySeries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("slideTotal");
    QTest::addColumn<int>("seriesTotal");
    QTest::addColumn<int>("series");

    QTest::newRow("slideTotal 0") << slides(4) << 0 << 1 << 1;
    QTest::newRow("negative slideTotal") << slides(4) << -3 << 1 << 1;
    QTest::newRow("no slide left for the series") << slides(4) << 2 << 0 << 3;
    QTest::newRow("empty text") << QString() << 0 << 0 << 1;
}

void tst_runtest::emptySeries()
{
    QFETCH(QString, text);
    QFETCH(int, slideTotal);
    QFETCH(int, seriesTotal);
    QFETCH(int, series);

    runTest runner(text, 5, slideTotal, seriesTotal, 0);
    QVERIFY(!runner.testFailed);
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(series);
    QCOMPARE(ended.count(), 1); // from within startTest
    QCOMPARE(runner.countTotalAncwer, 0);
    QCOMPARE(runner.countRightAnswer, 0);
    QVERIFY(!runner.timer->isActive());
    QVERIFY(runner.buttons.at(0)->icon().isNull());
}

void tst_runtest::buildFailureIsFinal()
{
    runTest runner(QStringLiteral("[a,x][b,x]"), 5, 1, 1, 0);
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(1);
    msClock::advanceFake(60000);
    runner.timerStep();
    runner.pressBut(1);
    QCOMPARE(runner.statusLabel->text(), QStringLiteral("Ошибка формирования теста!"));
    QCOMPARE(ended.count(), 0);
    QCOMPARE(runner.countRightAnswer, 0);
    QCOMPARE(runner.countTotalAncwer, 0);
    QVERIFY(runner.buttons.at(0)->icon().isNull());
}

void tst_runtest::missingPictureIsFinal()
{
    // The second slide's button 3 needs a_q, which the picture directory lacks.
    runTest runner(slideA + QStringLiteral("<br>[b,y][a,y][b,x][a,q][b,x]"), 5, 2, 1, 0);
    QSignalSpy ended(&runner, &runTest::endTest);
    runner.startTest(1);
    const qint64 firstIcon = runner.buttons.at(3)->icon().cacheKey();
    QVERIFY(!runner.buttons.at(3)->icon().isNull());

    runner.pressBut(1);
    const QString message =
        QStringLiteral("Ошибка! Отсутствует необходимый файл с картинкой для варианта: a q");
    QCOMPARE(runner.statusLabel->text(), message);
    QVERIFY(runner.testFailed);
    QCOMPARE(runner.buttons.at(0)->value1, QStringLiteral("b"));  // filled before the failure
    QCOMPARE(runner.buttons.at(3)->icon().cacheKey(), firstIcon); // keeps the old picture
    QCOMPARE(runner.buttons.at(4)->value2, QStringLiteral("z"));  // not reached: still slide A's

    const int right = runner.countRightAnswer;
    const int total = runner.countTotalAncwer;
    msClock::advanceFake(60000);
    runner.timerStep();
    for (int i = 0; i < 5; ++i)
        runner.pressBut(i);
    QCOMPARE(runner.statusLabel->text(), message);
    QCOMPARE(runner.countRightAnswer, right);
    QCOMPARE(runner.countTotalAncwer, total);
    QCOMPARE(runner.tekSlide, 2);
    QCOMPARE(ended.count(), 0);
}

void tst_runtest::hugeSettingsDoNotOverflow()
{
    // seriesTotal 0 lets any slideTotal pass the completeness check.
    runTest runner(slides(2), 2147483647, 2147483647, 0, 0);
    QVERIFY(!runner.testFailed);
    runner.startTest(1);
    QCOMPARE(runner.statusLabel->text(),
             statusLine(1, 1, 2147483647, "2147483647", "4611686014132420609"));
    msClock::advanceFake(1000);
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(),
             statusLine(1, 1, 2147483647, "2.14748e+09", "4.61169e+18"));
}

void tst_runtest::isRight_data()
{
    QTest::addColumn<QString>("value1");
    QTest::addColumn<QString>("value2");
    QTest::addColumn<QString>("sample1");
    QTest::addColumn<QString>("sample2");
    QTest::addColumn<bool>("right");

    // clang-format off
    QTest::newRow("same first value")            << "a" << "x" << "a" << "y" << true;
    QTest::newRow("same second value")           << "b" << "y" << "a" << "y" << true;
    QTest::newRow("none same")                   << "b" << "x" << "a" << "y" << false;
    QTest::newRow("case matters")                << "a" << "x" << "A" << "y" << false;
    QTest::newRow("values crossed do not count") << "y" << "a" << "a" << "y" << false;
    // clang-format on
}

void tst_runtest::isRight()
{
    QFETCH(QString, value1);
    QFETCH(QString, value2);
    QFETCH(QString, sample1);
    QFETCH(QString, sample2);
    QFETCH(bool, right);

    slideButton button;
    button.value1 = value1;
    button.value2 = value2;
    button.sample1 = sample1;
    button.sample2 = sample2;
    QCOMPARE(button.isRight(), right);
}

void tst_runtest::grid()
{
    runTest runner(slides(1), 5, 1, 1, 0);
    runner.startTest(1);
    auto *grid = qobject_cast<QGridLayout *>(runner.layout());
    QVERIFY(grid);

    const int rows[] = {2, 2, 2, 1, 3};
    const int columns[] = {1, 0, 2, 1, 1};
    for (int i = 0; i < 5; ++i) {
        slideButton *button = runner.buttons.at(i);
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(row, rows[i]);
        QCOMPARE(column, columns[i]);
        QCOMPARE(grid->itemAt(grid->indexOf(button))->alignment(), Qt::AlignCenter);
        QCOMPARE(button->isFlat(), i == 0);
        QCOMPARE(button->showFail, i == 4);
        QVERIFY(button->text().isEmpty());
        button->ensurePolished();
        QCOMPARE(button->iconSize(), QSize(90, 90));
    }
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(runner.statusLabel), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}), QList<int>({0, 0, 1, 3}));

    // The fail button shows fail.jpg whatever its variant: remove it and the slide fails there.
    QVERIFY(QFile::remove(QStringLiteral("img/fail.jpg")));
    runTest second(slides(1), 5, 1, 1, 0);
    second.startTest(1);
    QCOMPARE(second.statusLabel->text(),
             QStringLiteral("Ошибка! Отсутствует необходимый файл с картинкой для варианта: a z"));
    QVERIFY(!second.buttons.at(3)->icon().isNull());
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
    const QList<QSize> sizes = button.icon().availableSizes();
    QCOMPARE(sizes, QList<QSize>{QSize(90, 45)}); // aspect kept, never the full 800 x 400
    QCOMPARE(button.icon().pixmap(90, 90).toImage().pixelColor(45, 22).red(), 254);

    // A changed file is read again.
    big.fill(Qt::blue);
    QFile file(QStringLiteral("img/big_wide.jpg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(big.save(&file, "JPEG"));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                             QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(button.setPicture());
    QVERIFY(button.icon().pixmap(90, 90).toImage().pixelColor(45, 22).blue() > 200);
}

void tst_runtest::unreadablePictureCountsAsFound()
{
    QFile f(QStringLiteral("img/not_a.jpg"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    slideButton button;
    button.value1 = QStringLiteral("not");
    button.value2 = QStringLiteral("a");
    QVERIFY(button.setPicture());
    QVERIFY(button.icon().isNull());
}

QTEST_MAIN(tst_runtest)
#include "tst_runtest.moc"
