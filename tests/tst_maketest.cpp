#include "screens/conclgraph.h"
#include "screens/instrshow.h"
#include "download/loadinterface.h"
#include "app/mainwindow.h"
#include "app/msclock.h"
#include "test/runtest.h"
#include "maketest/sitechecker.h"
#include "maketest/sitewriter.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"
#include "support/testhttpserver.h"
#include "test/testparser.h"
#include "test/variant.h"
#include "support/workdir.h"

#include "screens/conclusionshow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {
void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class tst_maketest : public QObject
{
    Q_OBJECT
private slots:
    void sameSeedSameSite();
    void oneRightAnswerOnEverySlide_data();
    void oneRightAnswerOnEverySlide();
    void badOptionsRefused();
    void generatedSitePassesCheck();
    void checkOverHttp();
    void checkFindsFaults_data();
    void checkFindsFaults();
    void commandLine();
    void playedToTheGraphThroughPythonServer();

private:
    QString generate(const QTemporaryDir &dir, const siteOptions &opt = siteOptions());
};

QString tst_maketest::generate(const QTemporaryDir &dir, const siteOptions &opt)
{
    QString error;
    if (!siteWriter(opt).write(dir.path(), &error))
        qWarning() << error;
    return dir.path();
}

void tst_maketest::sameSeedSameSite()
{
    siteOptions opt;
    opt.seed = 7;
    const siteWriter a(opt), b(opt);
    QCOMPARE(a.documents(), b.documents());
    QCOMPARE(a.pictures(), b.pictures());
    opt.seed = 8;
    QVERIFY(siteWriter(opt).documents().value("test") != a.documents().value("test"));
    QCOMPARE(a.pictures().size(), 17);
}

void tst_maketest::oneRightAnswerOnEverySlide_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("4 x 4") << QStringList{"a", "b", "c", "d"} << QStringList{"w", "x", "y", "z"};
    QTest::newRow("2 x 2, the fewest") << QStringList{"a", "b"} << QStringList{"x", "y"};
    QTest::newRow("8 x 3") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}
                           << QStringList{"r", "g", "b"};
}

void tst_maketest::oneRightAnswerOnEverySlide()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    int failRight = 0;
    int slides = 0;
    for (quint32 seed = 1; seed <= 20; ++seed) {
        siteOptions opt;
        opt.first = first;
        opt.second = second;
        opt.seed = seed;
        opt.series = 5;
        opt.slides = 10;
        const QString text = QString::fromUtf8(siteWriter(opt).documents().value("test"));
        const QStringList lines = text.split(QStringLiteral("<br>"));
        QCOMPARE(lines.size(), 50);
        for (const QString &line : lines) {
            slideData slide;
            QCOMPARE(testParser::parseSlide(line, &slide), 5);
            auto shares = [&](int b) {
                const variant *v = slide.variants.at(b);
                const variant *s = slide.variants.at(0);
                return int(v->value1 == s->value1) + int(v->value2 == s->value2);
            };
            int right = 0;
            for (int b = 1; b <= 4; ++b) {
                QVERIFY2(shares(b) <= 1, qPrintable(line)); // never the sample itself
                right += shares(b) == 1;
            }
            QVERIFY2(right == 1, qPrintable(line));
            failRight += shares(4) == 1;
            ++slides;
        }
    }
    // The fail button is the answer on about a quarter of the slides.
    QVERIFY(failRight > slides / 8 && failRight < slides * 3 / 8);
}

void tst_maketest::badOptionsRefused()
{
    const auto refused = [](void (*change)(siteOptions &)) {
        siteOptions opt;
        change(opt);
        return !siteWriter(opt).validate().isEmpty();
    };
    QVERIFY(siteWriter(siteOptions()).validate().isEmpty());
    QVERIFY(refused([](siteOptions &o) { o.first = QStringList{"a"}; }));
    QVERIFY(refused([](siteOptions &o) { o.second = QStringList{"x", "x"}; }));
    QVERIFY(refused([](siteOptions &o) { o.first = QStringList{"a", "../b"}; }));
    QVERIFY(refused([](siteOptions &o) { o.first = QStringList{"a", "b c"}; }));
    QVERIFY(refused([](siteOptions &o) { o.second = QStringList{"x", "y#"}; }));
    QVERIFY(refused([](siteOptions &o) { o.series = 0; }));
    QVERIFY(refused([](siteOptions &o) { o.slideTime = -1; }));
}

void tst_maketest::generatedSitePassesCheck()
{
    QTemporaryDir dir;
    siteOptions opt;
    opt.first = QStringList{"круг", "квадрат", "a.b", ".."};
    const QString site = generate(dir, opt);
    QString report;
    QTextStream out(&report);
    siteChecker checker(out);
    QCOMPARE(checker.check(site), siteChecker::Ok);
    QCOMPARE(checker.warnings, 0);
    QVERIFY2(report.contains(QStringLiteral("0 error(s), 0 warning(s)")), qPrintable(report));
}

void tst_maketest::checkOverHttp()
{
    QTemporaryDir dir;
    const QString site = generate(dir);
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serveDirectory(site);
    QString report;
    QTextStream out(&report);
    siteChecker checker(out);
    QCOMPARE(checker.check(server.baseUrl()), siteChecker::Ok);
    QCOMPARE(server.requests.size(), 7 + 17);

    QVERIFY(QFile::remove(site + QStringLiteral("/quelvan/img/square_red.jpg")));
    siteChecker again(out);
    QCOMPARE(again.check(server.baseUrl() + QLatin1Char('/')), siteChecker::MissingPicture);
}

void tst_maketest::checkFindsFaults_data()
{
    QTest::addColumn<QString>("file"); // below quelvan/; empty contents delete the file
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("document missing") << "pars.php" << QByteArray() << int(siteChecker::Unreadable)
                                      << "error: quelvan/pars.php: cannot be read";
    QTest::newRow("number not an integer")
        << "tm.php" << QByteArray("1.5") << int(siteChecker::NotInteger)
        << "error: tm.php: \"1.5\" is not a whole number";
    QTest::newRow("pars with one group")
        << "pars.php" << QByteArray("[a,b]") << int(siteChecker::BadValueLists)
        << "error: pars.php: needs exactly two groups";
    QTest::newRow("pars with three groups")
        << "pars.php" << QByteArray("[a][b][c]") << int(siteChecker::BadValueLists)
        << "error: pars.php: needs exactly two groups";
    QTest::newRow("unsafe name") << "pars.php" << QByteArray("[../x,circle][red]")
                                 << int(siteChecker::UnsafeName)
                                 << "error: pars.php: picture name \"../x_red\" would leave img/";
#ifdef Q_OS_WIN
    const int windowsName = siteChecker::UnsafeName;
#else
    const int windowsName = siteChecker::MissingPicture; // the site lacks circle_a:b.jpg
#endif
    QTest::newRow("name Windows cannot store")
        << "pars.php" << QByteArray("[circle][red,a:b]") << windowsName
        << "warning: pars.php: picture name \"circle_a:b\" cannot be stored on Windows";
    QTest::newRow("short slide") << "test.php"
                                 << QByteArray("[circle,red][square,red]<br>[circle,red]")
                                 << int(siteChecker::ShortSlide)
                                 << "error: test.php, line 1: 2 variants, a slide needs five";
    QTest::newRow("too few slides")
        << "ts_in_series.php" << QByteArray("11") << int(siteChecker::TooFewSlides)
        << "error: test.php: 30 slides, but 11 x 3 = 33 are needed";
    QTest::newRow("picture missing")
        << "img/circle_red.jpg" << QByteArray() << int(siteChecker::MissingPicture)
        << "error: quelvan/img/circle_red.jpg: missing";
    QTest::newRow("picture not listed")
        << "test.php"
        << QByteArray("[circle,red][square,red][star,blue][square,blue][square,green]")
        << int(siteChecker::MissingPicture)
        << "error: test.php, line 1: button 2 shows \"star_blue\", which pars.php does not list";
    QTest::newRow("warning: two right answers")
        << "test.php"
        << QByteArray("[circle,red][square,red][circle,blue][square,blue][square,green]")
        << int(siteChecker::Ok)
        << "warning: test.php, line 1: 2 right answers among buttons 1 to 4";
    QTest::newRow("warning: not a JPEG")
        << "img/fail.jpg" << QByteArray("GIF89a") << int(siteChecker::Ok)
        << "warning: quelvan/img/fail.jpg: not a JPEG picture";
}

void tst_maketest::checkFindsFaults()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contents);
    QFETCH(int, result);
    QFETCH(QString, message);

    QTemporaryDir dir;
    siteOptions opt;
    if (file == QLatin1String("test.php"))
        opt.series = opt.slides = 1;
    const QString site = generate(dir, opt);
    const QString path = site + QStringLiteral("/quelvan/") + file;
    if (contents.isEmpty())
        QVERIFY(QFile::remove(path));
    else
        writeFile(path, contents);

    QString report;
    QTextStream out(&report);
    siteChecker checker(out);
    QCOMPARE(int(checker.check(site)), result);
    QVERIFY2(report.contains(message), qPrintable(report));
}

void tst_maketest::commandLine()
{
    QTemporaryDir dir;
    QProcess tool;
    tool.start(QStringLiteral(QUELVAN_MAKETEST),
               {"--series", "2", "--slides", "4", "--seed", "3", "--first", "a,b,c", dir.path()});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(readFile(dir.path() + "/quelvan/totalseries.php"), QByteArray("2"));
    QCOMPARE(readFile(dir.path() + "/quelvan/pars.php"),
             QByteArray("[a,b,c][red,green,blue,orange]"));
    QCOMPARE(QDir(dir.path() + "/quelvan/img").count() - 2, 13u);

    writeFile(dir.path() + "/quelvan/tm.php", "five");
    tool.start(QStringLiteral(QUELVAN_MAKETEST), {"--check", dir.path()});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), int(siteChecker::NotInteger));
    QVERIFY(tool.readAllStandardOutput().contains("tm.php: \"five\" is not a whole number"));

    tool.start(QStringLiteral(QUELVAN_MAKETEST), {"--series", "x", dir.path()});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 1);
}

void tst_maketest::playedToTheGraphThroughPythonServer()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed; tools/run-tests.sh installs it");

    QTemporaryDir siteDir;
    siteOptions opt;
    opt.series = 3;
    opt.slides = 4;
    opt.pause = 10;
    const QString site = generate(siteDir, opt);
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(python, {"-m", "http.server", "--bind", "127.0.0.1", "--directory", site,
                          QString::number(port)});
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        [port] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port);
            return s.waitForConnected(200);
        }(),
        10000);

    const WorkDir work;
    msClock::setFakeNow(1000);
    {
        MainWindow w;
        w.loadWidget->serverUrl = QStringLiteral("http://127.0.0.1:%1").arg(port);
        QTest::mouseClick(w.loadWidget->getButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<instrShow *>(w.centralWidget()), 20000);
        QCOMPARE(w.instr->instrLabel->text(), siteWriter(opt).defaultInstructions());
        QTest::mouseClick(w.instr->startButton, Qt::LeftButton);

        // Answer every slide right; end the first pause on the clock, the second by the button.
        for (int series = 1; series <= 3; ++series) {
            runTest *runner = w.tester;
            QVERIFY(runner);
            for (int slide = 0; slide < 4; ++slide) {
                int right = -1;
                for (int b = 1; b <= 4; ++b)
                    if (runner->buttons.at(b)->isRight())
                        right = b;
                QVERIFY(right > 0);
                QTest::mouseClick(runner->buttons.at(right), Qt::LeftButton);
            }
            if (series == 1) {
                msClock::advanceFake(10500);
                w.timeNextSeries();
            } else if (series == 2) {
                QTest::mouseClick(w.concl->nextButton, Qt::LeftButton);
            }
        }
        auto *graph = qobject_cast<conclGraph *>(w.centralWidget());
        QVERIFY(graph);
        QCOMPARE(graph->values, (QList<float>{100, 100, 100}));
    }
    msClock::useRealClock();
    server.terminate();
    server.waitForFinished();
}

QTEST_MAIN(tst_maketest)
#include "tst_maketest.moc"
