#include "maketest/sitechecker.h"
#include "maketest/sitewriter.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "test/slidedata.h"
#include "test/testparser.h"
#include "test/variant.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

// quelvan-maketest: the sites it writes, and what its check finds.
class tst_maketest : public QObject
{
    Q_OBJECT
private slots:
    void sameSeedSameSite();
    void oneRightAnswerOnEverySlide();
    void checkFindsFaults_data();
    void checkFindsFaults();
    void commandLine();
};

void tst_maketest::sameSeedSameSite()
{
    siteOptions opt;
    opt.seed = 7;
    const siteWriter a(opt), b(opt);
    QVERIFY(a.documents() == b.documents() && a.pictures() == b.pictures());
    QCOMPARE(a.pictures().size(), 17);
    opt.seed = 8;
    QVERIFY(siteWriter(opt).documents().value("test") != a.documents().value("test"));
    opt.first = QStringList{"a", "../b"};
    QVERIFY(!siteWriter(opt).validate().isEmpty());
}

void tst_maketest::oneRightAnswerOnEverySlide()
{
    siteOptions opt;
    opt.first = QStringList{"a", "b"}; // the fewest values make it hardest
    opt.second = QStringList{"x", "y", "z", "w"};
    int failRight = 0, slides = 0;
    for (opt.seed = 1; opt.seed <= 20; ++opt.seed) {
        const QString text = QString::fromUtf8(siteWriter(opt).documents().value("test"));
        for (const QString &line : text.split(QStringLiteral("<br>"))) {
            slideData slide;
            QCOMPARE(testParser::parseSlide(line, &slide), 5);
            QList<int> shared; // values each of buttons 1 to 4 shares with the sample
            for (const variant *v : slide.variants.mid(1))
                shared << int(v->value1 == slide.variants.at(0)->value1)
                              + int(v->value2 == slide.variants.at(0)->value2);
            QVERIFY2(shared.count(1) == 1 && shared.count(2) == 0, qPrintable(line));
            failRight += shared.last();
            ++slides;
        }
    }
    // The fail button is the answer on about a quarter of the slides.
    QVERIFY(failRight > slides / 8 && failRight < slides * 3 / 8);
}

void tst_maketest::checkFindsFaults_data()
{
    QTest::addColumn<QString>("file"); // below quelvan/; empty contents delete the file
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    auto row = [](const char *file, const QByteArray &contents, int result, const char *message) {
        QTest::newRow(message) << file << contents << result << QString::fromUtf8(message);
    };
    using C = siteChecker;
    row("pars.php", "", C::Unreadable, "error: quelvan/pars.php: cannot be read");
    row("tm.php", "1.5", C::NotInteger, "error: tm.php: \"1.5\" is not a whole number");
    row("pars.php", "[a][b][c]", C::BadValueLists, "error: pars.php: needs exactly two groups");
    row("pars.php", "[../x,circle][red]", C::UnsafeName,
        "error: pars.php: picture name \"../x_red\" would leave img/");
#ifdef Q_OS_WIN
    const int windowsName = C::UnsafeName;
#else
    const int windowsName = C::MissingPicture; // the site lacks circle_a:b.jpg
#endif
    row("pars.php", "[circle][red,a:b]", windowsName,
        "warning: pars.php: picture name \"circle_a:b\" cannot be stored on Windows");
    row("test.php", "[circle,red][square,red]<br>[circle,red]", C::ShortSlide,
        "error: test.php, line 1: 2 variants, a slide needs five");
    row("ts_in_series.php", "11", C::TooFewSlides,
        "error: test.php: 1 slides, but 11 x 1 = 11 are needed");
    row("img/circle_red.jpg", "", C::MissingPicture, "error: quelvan/img/circle_red.jpg: missing");
    row("test.php", "[circle,red][square,red][star,blue][square,blue][square,green]",
        C::MissingPicture, "error: test.php, line 1: button 2 shows \"star_blue\", which pars.php");
    row("test.php", "[circle,red][square,red][circle,blue][square,blue][square,green]", C::Ok,
        "warning: test.php, line 1: 2 right answers among buttons 1 to 4");
    row("test.php", "[circle,red][square,blue][square,blue][square,blue][square,green]", C::Ok,
        "warning: test.php, line 1: 0 right answers among buttons 1 to 4");
    // What the client refuses as a picture or a document; what it shows but needs no JPEG.
    QByteArray png, bmp;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    QDataStream header(&bmp, QIODevice::WriteOnly);
    header.setByteOrder(QDataStream::LittleEndian);
    header << quint16(0x4D42) << quint32(54) << quint32(0) << quint32(54) << quint32(40)
           << qint32(6000) << qint32(6000) << quint16(1) << quint16(24) << quint32(0) << quint32(0)
           << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    row("img/fail.jpg", png, C::Ok, "warning: quelvan/img/fail.jpg: not a JPEG picture");
    row("img/fail.jpg", "<html>Not found</html>", C::NotAPicture,
        "error: quelvan/img/fail.jpg: not a JPEG, PNG, GIF or BMP picture that can be decoded; "
        "quelvan stops there with error 399");
    row("img/fail.jpg", bmp, C::TooManyPixels,
        "error: quelvan/img/fail.jpg: over the 32 megapixels a picture may have");
    row("test.php", QByteArray((1 << 20) + 1, ' '), C::OverCap,
        "error: quelvan/test.php: over the 1 MiB a document may have; quelvan stops there with "
        "error 5");
    row("instr.php", QByteArray("Нажмите на картинку. ").repeated(60), C::Ok,
        "on a 1024 x 768 screen quelvan wraps them");
    row("instr.php", QByteArray("<p>строка</p>").repeated(80), C::Ok,
        "on a 1024 x 768 screen quelvan scrolls them");
}

void tst_maketest::checkFindsFaults()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contents);
    QFETCH(int, result);
    QFETCH(QString, message);

    QTemporaryDir dir;
    siteOptions opt;
    opt.series = opt.slides = 1;
    QString report;
    QVERIFY(siteWriter(opt).write(dir.path(), &report));
    const QString path = dir.path() + QStringLiteral("/quelvan/") + file;
    if (contents.isEmpty())
        QVERIFY(QFile::remove(path));
    else
        QVERIFY(TestSite::writeFile(path, contents));
    QTextStream out(&report);
    siteChecker checker(out);
    QCOMPARE(int(checker.check(dir.path())), result);
    QVERIFY2(report.contains(message), qPrintable(report));
}

void tst_maketest::commandLine()
{
    // A written site passes the check, read from a server as quelvan reads it.
    QTemporaryDir dir;
    QProcess tool;
    auto run = [&](const QStringList &args) {
        tool.start(QStringLiteral(QUELVAN_MAKETEST), args); // the server answers meanwhile
        return QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, 30000)
                   ? tool.exitCode()
                   : -1;
    };
    QCOMPARE(run({"--series", "2", "--slides", "4", "--first", "круг,a.b,.x", dir.path()}), 0);
    QCOMPARE(TestSite::readFile(dir.path() + "/quelvan/pars.php"),
             QByteArray("[круг,a.b,.x][red,green,blue,orange]"));
    QCOMPARE(QDir(dir.path() + "/quelvan/img").entryList(QDir::Files | QDir::Hidden).size(), 13);
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serveDirectory(dir.path());
    QCOMPARE(run({"--check", server.baseUrl() + '/'}), 0);
    QVERIFY(tool.readAllStandardOutput().contains("0 error(s), 0 warning(s)"));
    // The address as quelvan takes it: one level too deep is named, and nothing is fetched.
    server.requests.clear();
    QCOMPARE(run({"--check", server.baseUrl() + "/quelvan/"}), 1);
    QVERIFY(QString::fromUtf8(tool.readAllStandardError())
                .contains("quelvan-maketest: --check: \"" + server.baseUrl()
                          + "/quelvan/\" must not have a path\nquelvan-maketest: hint: name the "
                            "server without /quelvan, as quelvan takes it: "
                          + server.baseUrl() + "\n"));
    QCOMPARE(server.requests, QStringList());

    QVERIFY(TestSite::writeFile(dir.path() + "/quelvan/tm.php", "five"));
    QCOMPARE(run({"--check", dir.path()}), int(siteChecker::NotInteger));
    // A bad value is no success, and writes nothing.
    for (const QStringList &bad :
         {QStringList{"--slide-time", "x", "--pause", "y"}, {"--seed", "-1"}, {"--series", "0"}})
        QCOMPARE(run(bad + QStringList{dir.path() + "/bad"}), 1);
    QVERIFY(!QFileInfo::exists(dir.path() + "/bad/quelvan"));
}

QTEST_MAIN(tst_maketest)
#include "tst_maketest.moc"
