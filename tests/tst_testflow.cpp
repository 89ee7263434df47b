#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "core/msclock.h"
#include "download/loadinterface.h"
#include "results/resultswriter.h"
#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "support/heldopen.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "test/runtest.h"
#include "test/slidebutton.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

namespace {
// Sample a,x: buttons 1 b,x, 2 a,y and 4 a,z are right, 3 b,z is not.
const QString slideA = QStringLiteral("[a,x][b,x][a,y][b,z][a,z]");
// The first pause text ends in a Latin "c", the countdown's in a Cyrillic "с".
QString pauseText(int series, int seconds, bool first)
{
    return QStringLiteral("Серия %1/3  До запуска следующей серии: %2 ").arg(series).arg(seconds)
           + (first ? QStringLiteral("c") : QStringLiteral("с"));
}
} // namespace

// A test run on the test clock: the window that leads from the download through the series
// and their pauses to the graph.
class tst_testflow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { msClock::setFakeNow(100000); }
    void cleanupTestCase() { msClock::useRealClock(); }
    void wholeRun_data();
    void wholeRun();
    void instructions_data();
    void instructions();
    void score();
    void longTitle();

private:
    WorkDir workDir;
};

void tst_testflow::initTestCase()
{
    const TestSite site = TestSite::small();
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY(TestSite::writeFile(QStringLiteral("img/") + it.key() + ".jpg", it.value()));
}

void tst_testflow::wholeRun_data()
{
    QTest::addColumn<QString>("locale"); // LC_ALL of a second process; empty: this one
    QTest::newRow("the system's locale") << QString();
    // Qt 5 wrote the system's digits into the file names and the times. Local time 5:30
    // ahead of UTC: onset_utc is another moment's text than onset.
    QTest::newRow("an Arabic locale, 5:30 ahead of UTC") << "ar_EG.UTF-8";
}

void tst_testflow::wholeRun()
{
    QFETCH(QString, locale);
    if (!locale.isEmpty()) {
#ifdef Q_OS_WIN
        QSKIP("Windows takes the locale and the time zone from its settings, not LC_ALL and TZ");
#endif
        QProcess again;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", locale);
        env.insert("TZ", "<+0530>-5:30");
        again.setProcessEnvironment(env);
        again.setProcessChannelMode(QProcess::ForwardedChannels);
        again.start(QCoreApplication::applicationFilePath(), {"wholeRun:the system's locale"});
        QVERIFY(again.waitForFinished(120000));
        QCOMPARE(again.exitCode(), 0);
        return;
    }
    TestHttpServer server;
    QVERIFY(server.listen());
    TestSite site = TestSite::small(6);
    site.totalSeries = "3";
    site.tsInSeries = "2";
    site.pauseSeries = "10";
    site.instr = "<b>Выберите</b> картинку <img src=img/a_x.jpg>"; // a picture of the test
    // The last sample's values come from the test text only: a spreadsheet would take its
    // name for a formula, and it holds a tab, a comma and a quote (Windows has no file name
    // with a tab or a quote, so there its picture could not be stored).
#ifdef Q_OS_WIN
    const QByteArray odd = "=2+3,'q";
    const QString oddCsv = "\"'=2+3,'q_r\"";
#else
    const QByteArray odd = "\t=2+3,\"q";
    const QString oddCsv = "\"'\t=2+3,\"\"q_r\"";
#endif
    site.test.replace(site.test.lastIndexOf("[b,y]"), 5, "[" + odd + ",r]");
    // A value with a comma and nothing else to quote: its field keeps the row's columns.
    site.test.replace(site.test.lastIndexOf("[a,y]"), 5, "[x,y,z]");
    site.serve(server);

    appOptions options = appOptions::defaults();
    options.serverUrl = server.baseUrl();
    options.pictureDir = workDir.path() + "/выбранные картинки/pictures"; // as a lab names them
    QVERIFY(TestSite::writeFile(options.pictureDir + '/' + odd + "_r.jpg", site.pictures["b_y"])
            && TestSite::writeFile(options.pictureDir + "/x,y_z.jpg", site.pictures["a_y"]));
    options.resultsDir = workDir.path() + "/Результаты лаборатории";
    // Only clicks answer, and a slide ends at its limit: the rows are the same.
    options.keyboardAnswers = false;
    options.exactLimit = true;
    MainWindow w(options);
    w.setFixedSize(500, 420); // the graph fills the window: the worked example's size
    w.show();
    // The program's own icon at the title bar's size, with no SVG plugin needed.
    QCOMPARE(w.windowIcon().actualSize(QSize(32, 32)), QSize(32, 32));
    QPointer<QWidget> screen = w.loadWidget;
    // The one button of each screen has the keyboard focus: Enter or Space presses it.
    // With results on, the participant's code comes first.
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    QCOMPARE(w.loadWidget->statusLabel->text(), QStringLiteral("Введите код участника"));
    QTest::keyClicks(w.focusWidget(), "P-1");
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<instrShow *>(w.centralWidget()), 10000);
    QTRY_VERIFY(!screen); // the download screen goes once the event loop has run
    QCOMPARE(w.instr->instrLabel->text(), QString::fromUtf8(site.instr));
    const QVariant shown = w.instr->instrLabel->findChild<QTextDocument *>()->resource(
        QTextDocument::ImageResource, QUrl("img/a_x.jpg"));
    QCOMPARE(shown.value<QImage>().size(), QSize(8, 8));
    QTest::keyClick(w.focusWidget(), Qt::Key_Space);
    QVERIFY(QFile::exists(options.pictureDir + "/fail.jpg")
            && w.tester->buttons.at(4)->pictureDir == options.pictureDir);
    QVERIFY(w.tester->limitTimer->isActive()
            && w.tester->buttons.at(1)->focusPolicy() == Qt::NoFocus);
    auto click = [&](int b, int afterMs = 0) {
        msClock::advanceFake(quint32(afterMs));
        QTest::mouseClick(w.tester->buttons.at(b), Qt::LeftButton);
    };
    auto tick = [&](int ms) {
        msClock::advanceFake(quint32(ms));
        w.timeNextSeries();
        return w.concl ? w.concl->timeLabel->text() : QString();
    };
    const QString stem = w.results->folder + '/' + w.results->stem;
    auto file = [&](const char *name) {
        return QString::fromUtf8(TestSite::readFile(stem + name))
            .replace(server.baseUrl(), "S")
            .replace(appOptions::version() + ',' + w.results->runId, "V,R")
            .replace(w.results->testId, "I")
            .replace(QRegularExpression("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}"
                                        "([.][0-9]{3})?[+-][0-9]{2}:[0-9]{2}"),
                     "T\\1")
            .replace(QRegularExpression("T\\.\\d{3}"), "T.ms");
    };

    // Series 1: right, right; each row is on the disk as its slide ends. The countdown
    // follows the clock: 9 after 0.5 s, 0 after exactly 10 s, then the next series.
    click(1, 700);
    QCOMPARE(file("_trials.csv").count("\r\n"), 2);
    // A spreadsheet opens the data mid-run: it cannot lock the writer out (on Windows it
    // falls back to reading), and every later row is written.
    const HeldOpen trialsOpen(stem + "_trials.csv"), seriesOpen(stem + "_series.csv");
    QVERIFY(trialsOpen.isOpen() && seriesOpen.isOpen() && !trialsOpen.exclusive()
            && !seriesOpen.exclusive());
    click(2, 300);
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

    // Series 3: time out, the sample (never right); then the graph, and every replaced
    // screen is gone.
    msClock::advanceFake(5001);
    w.tester->timerStep();
    click(0);
    auto *graph = w.findChild<conclGraph *>();
    QCOMPARE(graph->values, (QList<float>{100, 50, 0}));
    QTRY_VERIFY(!pause);
    QCOMPARE(w.findChildren<runTest *>().size() + w.findChildren<conclusionShow *>().size(), 0);

    // The data: a row per slide, a row per series with the score shown.
    // Each trial row says what was offered and which buttons were right; a text from the
    // server never starts a formula. The run's id and the version end every row.
    // After them, when the answering button was pressed, by what, how long the slide was
    // shown, and which test it was.
    const QString a = ",b_x,a_y,b_z,a_z,1;2;4,T.ms,V,R,", b = ",a_y,b_z,a_x,b_x,1;2;4,T.ms,V,R,";
    QCOMPARE(file("_trials.csv"),
             "participant,run_start,server,series,slide_in_series,slide,sample,response,"
             "response_picture,correct,timed_out,rt_ms,slide_time_ms,choice_1,choice_2,"
             "choice_3,choice_4,right_buttons,onset,quelvan_version,run_id,press_ms,input,"
             "shown_ms,test_id,onset_utc\r\n"
             "P-1,T,S,1,1,1,a_x,1,b_x,1,0,700,5000"
                 + a + "700,mouse,700,I,T.ms\r\nP-1,T,S,1,2,2,b_y,2,b_z,1,0,300,5000" + b
                 + "300,mouse,300,I,T.ms\r\nP-1,T,S,2,1,3,a_x,4,fail,1,0,0,5000" + a
                 + "0,mouse,0,I,T.ms\r\nP-1,T,S,2,2,4,b_y,3,a_x,0,0,0,5000" + b
                 + "0,mouse,0,I,T.ms\r\nP-1,T,S,3,1,5,a_x,,,0,1,65001,5000" + a
                 + ",,65001,I,T.ms\r\nP-1,T,S,3,2,6," + oddCsv + ",0," + oddCsv
                 + ",0,0,0,5000,\"x,y_z\",b_z,a_x,b_x,,T.ms,V,R,0,mouse,0,I,T.ms\r\n");
    QCOMPARE(file("_series.csv"),
             "participant,run_start,series,slides,right,score_percent,mean_rt_ms,series_total,"
             "quelvan_version,run_id,test_id\r\nP-1,T,1,2,2,100,500,3,V,R,I\r\n"
             "P-1,T,2,2,1,50,0,3,V,R,I\r\nP-1,T,3,2,0,0,0,3,V,R,I\r\n");
    // The onset again in UTC, for readers that compare times across time zones.
    const QString trials = QString::fromUtf8(TestSite::readFile(stem + "_trials.csv"));
    for (const QString &line : trials.split('\n').mid(1, 6)) {
        const QStringList f = line.trimmed().split(',');
        QVERIFY2(f.last().endsWith("+00:00")
                     && QDateTime::fromString(f.last(), Qt::ISODateWithMs)
                            == QDateTime::fromString(f.at(f.size() - 8), Qt::ISODateWithMs),
                 qPrintable(line));
    }
    QVERIFY(QRegularExpression("^[0-9a-f]{16}$").match(w.results->testId).hasMatch());
    QVERIFY(QRegularExpression("^[0-9a-f]{16}$").match(w.results->runId).hasMatch());

    // The graph as the window shows it, and as saved: the worked geometry, read pixel by
    // pixel. Scores 100, 50, 0 at x 35, 188, 341; grid lines from 10 % (y 366) to 100 %
    // (y 96), each labelled whole; nothing above them, no line or label at 0 %.
    QTRY_VERIFY(QFile::exists(stem + "_graph.png"));
    const QImage img = QImage(stem + "_graph.png").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(img, graph->grab().toImage().convertToFormat(QImage::Format_RGB32));
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), ground = img.pixel(20, 60);
    for (const QPoint p : {QPoint(35, 96), QPoint(188, 246), QPoint(341, 396)})
        QVERIFY2(img.pixel(p) == red, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    QVERIFY(img.pixel(35, 60) == blue && img.pixel(495, 396) == blue);
    QVERIFY(img.pixel(450, 95) != blue && img.pixel(188, 90) != blue
            && img.pixel(188, 380) == blue);
    auto inked = [&](int x0, int x1, int y) { // anything drawn in the label box below y
        for (int x = x0; x <= x1; ++x)
            for (int dy = 1; dy < 15; ++dy)
                if (img.pixel(x, y + dy) != ground)
                    return true;
        return false;
    };
    for (int p = 10; p <= 100; p += 10) { // each label there, and clear of the axis
        const int y = 396 - 3 * p;
        QCOMPARE(img.pixel(450, y), blue);
        QVERIFY2(inked(1, 4, y) && !inked(33, 33, y), qPrintable(QString::number(p)));
    }
    QVERIFY(!inked(1, 33, 396)); // no "0%"

    // Two runs started in the same second never share files.
    const QDateTime start(QDate(2026, 1, 2), QTime(3, 4, 5));
    resultsWriter first(options.resultsDir, "P-1", "S", start),
        second(options.resultsDir, "P-1", "S", start);
    first.open();
    second.open();
    QCOMPARE(first.stem + "|" + second.stem,
             "quelvan_P-1_2026-01-02_03-04-05|quelvan_P-1_2026-01-02_03-04-05-2");
}

void tst_testflow::instructions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind"); // 0 as always, 1 wrapped, 2 scrolled, 3 in a tall window
    QTest::newRow("fits") << "<b>Выберите</b> картинку" << 0;
    QTest::newRow("fits, in a window taller than the screen") << "<b>Выберите</b> картинку" << 3;
    QTest::newRow("one long paragraph")
        << "<b>Выберите</b>" + QString(" картинку").repeated(150) << 1;
    QTest::newRow("many short lines") << QString("строка\n").repeated(80) << 2;
}

void tst_testflow::instructions()
{
    // Any instructions leave the start button, and then the slides, on the screen.
    QFETCH(QString, text);
    QFETCH(int, kind);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect area = w.screen()->availableGeometry();
    if (kind == 3)
        w.resize(w.width(), 2 * area.height());
    w.loadWidget->instrText = text;
    w.loadWidget->testText = slideA;
    w.loadWidget->tmText = w.loadWidget->tsInSeriesText = w.loadWidget->totalSeriesText = "1";
    w.endLoading();
    auto onScreen = [&](QWidget *widget) {
        return area.contains(QRect(widget->mapToGlobal(QPoint()), widget->size()))
               && w.geometry().contains(
                   QRect(widget->mapTo(&w, QPoint()) + w.pos(), widget->size()));
    };
    QTRY_VERIFY(onScreen(w.instr->startButton));
    QCOMPARE(w.instr->instrLabel->wordWrap(), kind == 1);
    QCOMPARE(w.instr->instrLabel->parentWidget() != w.instr, kind == 1 || kind == 2); // scrolls
    QCOMPARE(w.instr->instrLabel->textFormat(), Qt::AutoText); // rich stays rich
    QTest::mouseClick(w.instr->startButton, Qt::LeftButton);
    QTRY_VERIFY(onScreen(w.tester->buttons.at(4)) && onScreen(w.tester->buttons.at(3)));
}

void tst_testflow::score()
{
    // Exact and truncated: in floating point 29 of 50 came out as 57. No slide shown: 0.
    const int table[][3] = {{7, 9, 77},    {29, 50, 58}, {29, 100, 29},          {57, 100, 57},
                            {58, 100, 58}, {0, 0, 0},    {INT_MAX, INT_MAX, 100}};
    for (const auto &row : table)
        QCOMPARE(MainWindow::seriesScore(row[0], row[1]), row[2]);
}

void tst_testflow::longTitle()
{
    // A title too long for its line (a translation's, 110 characters) wraps, whole and
    // centred in the window, above the axes.
    conclGraph graph;
    graph.title = QString("Results of every series of this attention test, as the share of "
                          "right answers, from the first to the last")
                      .leftJustified(110, '.');
    graph.setData(35, 4, 44, 24, {100, 50, 0});
    graph.resize(500, 420);
    const QImage img = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb ground = img.pixel(20, 60);
    int left = 500, right = -1, top = 43, bottom = -1;
    for (int y = 0; y < 43; ++y) { // the axis begins at 43
        for (int x = 0; x < 500; ++x) {
            if (img.pixel(x, y) != ground) {
                left = qMin(left, x), right = qMax(right, x);
                top = qMin(top, y), bottom = qMax(bottom, y);
            }
        }
    }
    const QString box = QStringLiteral("%1..%2 x %3..%4").arg(left).arg(right).arg(top).arg(bottom);
    QVERIFY2(left >= 2 && right <= 497 && qAbs(left + right - 499) <= 8, qPrintable(box));
    QVERIFY2(bottom - top > QFontMetrics(graph.font()).height() && bottom < 42, qPrintable(box));
}

QTEST_MAIN(tst_testflow)
#include "tst_testflow.moc"
