#include "core/appoptions.h"
#include "core/languagechoice.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "maketest/sitechecker.h"
#include "maketest/sitetexts.h"
#include "maketest/sitewriter.h"
#include "pictures/picturedecoder.h"
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
    void ownPictures_data();
    void ownPictures();
    void numerals_data();
    void numerals();
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
    auto row = [](const char *file, const QByteArray &contents, int result,
                  const QString &message) {
        QTest::newRow(message.toUtf8().constData()) << file << contents << result << message;
    };
    using C = siteChecker;
    row("pars.php", "", C::Unreadable, "error: quelvan/pars.php: cannot be read");
    row("tm.php", "1.5", C::NotInteger, "error: tm.php: \"1.5\" is not a whole number");
    row("pars.php", "[a][b][c]", C::BadValueLists, "error: pars.php: needs exactly two groups");
    row("pars.php", "[../x,circle][red]", C::UnsafeName,
        "error: pars.php: picture name \"../x_red\" would leave img/");
#ifdef Q_OS_WIN
    const int windowsName = C::UnsafeName;
    const QString windowsNameSays = "error: ";
#else
    const int windowsName = C::MissingPicture; // the site lacks circle_a:b.jpg
    const QString windowsNameSays = "warning: ";
#endif
    // What the server wrote reaches the terminal with its control characters written out.
    row("pars.php", "[circle][red,a:b\x1b[2J]", windowsName,
        windowsNameSays
            + "pars.php: picture name \"circle_a:b\\x1b[2J\" cannot be stored on Windows");
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
    // Which pictures are whole or too large, format by format: tst_pictureheader.
    QByteArray png, bmp;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(&buffer, "PNG"));
    QDataStream header(&bmp, QIODevice::WriteOnly);
    header.setByteOrder(QDataStream::LittleEndian);
    header << quint16(0x4D42) << quint32(54) << quint32(0) << quint32(54) << quint32(40)
           << qint32(65535) << qint32(65535) << quint16(1) << quint16(24) << quint32(0)
           << quint32(0) << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    row("img/fail.jpg", png.chopped(12), C::NotAPicture,
        "error: quelvan/img/fail.jpg: a picture cut off before its end; quelvan stops there");
    row("img/fail.jpg", png, C::Ok, "warning: quelvan/img/fail.jpg: not a JPEG picture");
    row("img/fail.jpg", "<html>Not found</html>", C::NotAPicture,
        "error: quelvan/img/fail.jpg: not a JPEG, PNG, GIF or BMP picture that can be decoded; "
        "quelvan stops there with error 399");
    row("img/fail.jpg", bmp, C::TooManyPixels,
        "error: quelvan/img/fail.jpg: it would decode to more than the 128 MiB a picture may take");
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
    // A written site passes the check, read from a server as quelvan reads it: one order of
    // a study, in a folder of the server's (http://host/orderB/quelvan/test.php).
    QTemporaryDir root;
    const QString site = root.path() + "/orderB";
    QProcess tool;
    auto run = [&](const QStringList &args) {
        // Text mode: lines end in \n on Windows too. The server answers meanwhile.
        tool.start(TestSite::builtProgram(QUELVAN_MAKETEST), args,
                   QIODevice::ReadWrite | QIODevice::Text);
        return QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, 30000)
                   ? tool.exitCode()
                   : -1;
    };
    // Help and a mistake are printed, never a message box that holds a script.
    QCOMPARE(run({"--help"}), 0);
    QVERIFY(tool.readAllStandardOutput().contains("--check <site>"));
    QCOMPARE(run({"--slides"}), 1);
    QVERIFY(tool.readAllStandardError().contains("Missing value after '--slides'"));
    QCOMPARE(run({"--series", "2", "--slides", "4", "--first", "круг,a.b,.x", "--language", "EN-gb",
                  site}),
             0);
    const QString testId =
        QString::fromUtf8(tool.readAllStandardOutput()).section("test id: ", 1).left(16);
    QVERIFY(TestSite::readFile(site + "/quelvan/instr.php").startsWith("<h3>Attention test"));
    QCOMPARE(TestSite::readFile(site + "/quelvan/pars.php"),
             QByteArray("[круг,a.b,.x][red,green,blue,orange]"));
    QCOMPARE(QDir(site + "/quelvan/img").entryList(QDir::Files | QDir::Hidden).size(), 13);
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serveDirectory(root.path());
    const QString orderB = server.baseUrl() + "/orderB";
    QCOMPARE(run({"--check", orderB + '/'}), 0);
    const QByteArray checked = tool.readAllStandardOutput();
    QVERIFY(checked.contains("0 error(s), 0 warning(s)"));
    // The test's id: the same read from any address, and the one quelvan's download gives,
    // which goes into the data.
    QVERIFY2(testId.size() == 16 && checked.contains("test id: " + testId.toUtf8()),
             checked.constData());
    appOptions options;
    QString said;
    QCOMPARE(appOptions::parse({"quelvan", "--server", orderB}, &options, &said), appOptions::Run);
    options.pictureDir = site + "/downloaded";
    loadInterface client(options);
    QSignalSpy downloaded(&client, &loadInterface::endLoading);
    client.startInit();
    QVERIFY(downloaded.wait(20000));
    QCOMPARE(client.loader->identity.id(), testId);
    QCOMPARE(server.requests.first(), QStringLiteral("/orderB/quelvan/test.php"));
    // The address as quelvan takes it: one level too deep is named, and nothing is fetched.
    server.requests.clear();
    QCOMPARE(run({"--check", orderB + "/quelvan/"}), 1);
    QCOMPARE(QString::fromUtf8(tool.readAllStandardError()),
             "quelvan-maketest: --check: \"" + orderB
                 + "/quelvan/\" names the test's own folder; name the one that holds it: " + orderB
                 + "\n");
    QCOMPARE(server.requests, QStringList());

    // One picture's bytes changed (still whole: data after its end) make another test.
    const QString picture = site + "/quelvan/img/a.b_red.jpg";
    QVERIFY(TestSite::writeFile(picture, TestSite::readFile(picture) + "x"));
    QCOMPARE(run({"--check", site}), 0);
    const QString changed = QString::fromUtf8(tool.readAllStandardOutput());
    QVERIFY2(changed.contains("test id: ") && !changed.contains(testId), qPrintable(changed));

    QVERIFY(TestSite::writeFile(site + "/quelvan/tm.php", "five"));
    QCOMPARE(run({"--check", site}), int(siteChecker::NotInteger));
    // A bad value is no success, and writes nothing.
    for (const QStringList &bad :
         {QStringList{"--slide-time", "x", "--pause", "y"}, {"--seed", "-1"}, {"--series", "0"}})
        QCOMPARE(run(bad + QStringList{site + "/bad"}), 1);
    QVERIFY(!QFileInfo::exists(site + "/bad/quelvan"));
    // A lab's own instructions, from a file Notepad saved, follow the counts and times.
    QVERIFY(TestSite::writeFile(
        root.path() + "/instr.html",
        "\xEF\xBB\xBF{series} Serien, {slides} Folien, {seconds} s, {pause} s"));
    QCOMPARE(run({"--series", "2", "--slides", "4", "--pause", "7", "--instr-file",
                  root.path() + "/instr.html", root.path() + "/own"}),
             0);
    QCOMPARE(TestSite::readFile(root.path() + "/own/quelvan/instr.php"),
             QByteArray("2 Serien, 4 Folien, 5 s, 7 s"));
    QCOMPARE(run({"--instr-file", root.path() + "/none.html", site + "/bad"}), 1);
    QCOMPARE(run({"--language", "xx", site + "/bad"}), 1);
}

void tst_maketest::ownPictures_data()
{
    QTest::addColumn<QStringList>("files"); // "name" a picture, "name=text" a file of text,
                                            // "name^" a camera JPEG turned by its EXIF tag,
                                            // "name!" a picture cut short
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message"); // a line on standard error; empty: written
    QTest::addColumn<int>("status");
    const QStringList set{"a_x.png", "a_y.jpg", "a_z.bmp",  "a_w.png",
                          "b_x.jpg", "b_y.png", "b_z.jpg^", "b_w.jpg"};
    auto row = [](const char *name, const QStringList &files, const QString &message,
                  const QStringList &args = {}) {
        QTest::newRow(name) << files << args << message
                            << (message.isEmpty() || message.contains("skipped") ? 0 : 1);
    };
    row("mixed formats, the fail sign drawn, a photo turned upright", set, QString());
    QTest::newRow("kept as they are") << set << QStringList{"--keep-pictures"} << QString() << 0;
    row("kept, but cut short", set.mid(0, 1) + QStringList{"a_y.jpg!"} + set.mid(2),
        "a_y.jpg: cannot be read as a picture (a picture cut off before its end)",
        {"--keep-pictures"});
    row("the system's litter skipped",
        set + QStringList{".DS_Store=x", "Thumbs.db=x", "desktop.ini=x", ".a_q.png=x"},
        "Thumbs.db: skipped, a file of the system");
    row("a stray file", set + QStringList{"notes.txt=x"},
        "notes.txt: the name needs exactly one \"_\", between the first and the second value");
    row("a combination missing", QStringList(set.mid(1)), "a_x: missing, the picture of a and x");
    row("two files for one combination", set + QStringList{"A_x.jpg"},
        "A_x.jpg and a_x.png: two files for one picture");
    row("unreadable", QStringList{"a_x.png=not a picture"} + QStringList(set.mid(1)),
        "a_x.png: cannot be read as a picture");
    // The options are checked first: no picture is read for a bad size.
    row("--picture-size 0", QStringList{"a_x.png=not a picture"} + QStringList(set.mid(1)),
        "--picture-size must be between 16 and 2000", {"--picture-size", "0"});
    row("a value with _", set + QStringList{"a_x_y.png"},
        "a_x_y.png: the name needs exactly one \"_\", between the first and the second value");
    row("a name Windows cannot store", QStringList{"a_x:.png"} + set,
        "a_x:.png: not usable as a picture name (it cannot be stored on Windows)");
    row("too small", QStringList(set.mid(0, 3) + set.mid(4, 3)),
        "too few values: 2 first x 3 second; slides with three different wrong answers need "
        "(first - 1) x (second - 1) >= 3, for example 2 x 4 or 3 x 3");
}

void tst_maketest::ownPictures()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, status);
    QTemporaryDir dir;
    // EXIF with one entry: orientation 6, the camera held upright (turn 90 degrees right).
    const QByteArray exif = QByteArray::fromHex("ffe10022457869660000"         // APP1, "Exif"
                                                "4d4d002a00000008"             // big-endian TIFF
                                                "0001011200030000000100060000" // orientation 6
                                                "00000000");
    for (const QString &f : files) {
        const QString path = dir.path() + "/own/" + f.section('=', 0, 0).remove('^').remove('!');
        QImage image(1000, 500, QImage::Format_ARGB32);
        image.fill(QColor(20, 200, 40, 128));
        image.setText("Comment", "taken at 59.93N 30.31E");
        QVERIFY(f.contains('=') ? TestSite::writeFile(path, f.section('=', 1).toUtf8())
                                : QDir().mkpath(dir.path() + "/own") && image.save(path));
        QByteArray camera = TestSite::readFile(path);
        QVERIFY(!f.endsWith('^') || TestSite::writeFile(path, camera.insert(2, exif)));
        QVERIFY(!f.endsWith('!') || TestSite::writeFile(path, camera.chopped(2)));
    }
    QProcess tool;
    for (const char *site : {"/again", "/site"}) { // equal options and pictures, equal bytes
        tool.start(TestSite::builtProgram(QUELVAN_MAKETEST),
                   QStringList{"--pictures", dir.path() + "/own", "--seed", "3", dir.path() + site}
                       + args,
                   QIODevice::ReadWrite | QIODevice::Text);
        QVERIFY(tool.waitForFinished(30000));
    }
    const QString said = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), status);
    QVERIFY2(said.contains(message), qPrintable(said));
    QCOMPARE(said.count("cannot be read"), int(message.contains("cannot be read")));
    const QString img = dir.path() + "/site/quelvan/img/";
    QCOMPARE(QFileInfo::exists(dir.path() + "/site/quelvan"), status == 0);
    if (status != 0)
        return;
    // The lists from the names, sorted; the photo upright wherever the client shows it.
    QCOMPARE(TestSite::readFile(dir.path() + "/site/quelvan/pars.php"),
             QByteArray("[a,b][w,x,y,z]"));
    QCOMPARE(pictureDecoder::decode(img + "b_z.jpg", QSize(90, 90)).size(), QSize(45, 90));
    QVERIFY(QFile::exists(img + "fail.jpg"));
    for (const QString &f : QDir(img).entryList(QDir::Files) + QStringList{"../test.php"})
        QCOMPARE(TestSite::readFile(img + f),
                 TestSite::readFile(dir.path() + "/again/quelvan/img/" + f));
    if (args.contains("--keep-pictures")) { // every byte kept, the metadata with it
        QCOMPARE(TestSite::readFile(img + "b_z.jpg"),
                 TestSite::readFile(dir.path() + "/own/b_z.jpg"));
        return;
    }
    // Small, upright, without the author's metadata.
    QCOMPARE(QImage(img + "b_z.jpg").size(), QSize(180, 360));
    QVERIFY(!TestSite::readFile(img + "a_x.jpg").contains("59.93N"));
    QCOMPARE(QImage(img + "a_x.jpg").pixelColor(100, 100).green() / 10, 22); // half on white
    QTextStream none(stdout);
    siteChecker checker(none); // usable, and one right answer on every slide: no warning
    QCOMPARE(int(checker.check(dir.path() + "/site")) + checker.warnings, 0);
}

void tst_maketest::numerals_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("slides");  // as "по N ... в каждой" needs them
    QTest::addColumn<QString>("english"); // --language en: one, or any other number
    QTest::addColumn<QString>("german");  // --language de, as "Der Test hat ..." needs them
    auto row = [](int n, const char *series, const char *slides, const char *english = "s",
                  const char *german = "%1 Serien mit je %1 Folien") {
        QTest::newRow(series) << n << QString::fromUtf8(series) << QString::fromUtf8(slides)
                              << QString::fromLatin1(english) << QString::fromUtf8(german).arg(n);
    };
    row(1, "1 серия", "1 слайду", "", "1 Serie mit je 1 Folie");
    row(3, "3 серии", "3 слайда");
    row(5, "5 серий", "5 слайдов");
    row(11, "11 серий", "11 слайдов");
    row(14, "14 серий", "14 слайдов");
    row(21, "21 серия", "21 слайду");
    row(22, "22 серии", "22 слайда");
    row(112, "112 серий", "112 слайдов");
}

void tst_maketest::numerals()
{
    QFETCH(int, n);
    QFETCH(QString, series);
    QFETCH(QString, slides);
    const QString text = siteTexts::instructions("ru", 4, n, n, 10, false);
    QVERIFY2(text.contains(QStringLiteral("В тесте %1, по %2 в каждой").arg(series, slides)),
             qPrintable(text));
    // Photos have no shape and colour to speak of.
    QVERIFY(text.contains(QStringLiteral("<b>форма</b>")));
    QVERIFY(!siteTexts::instructions("ru", 4, n, n, 10, true).contains(QStringLiteral("форм")));
    QFETCH(QString, english);
    const QString en = siteTexts::instructions("en", n, n, n, 10, false);
    QVERIFY2(en.contains(QStringLiteral("You have %1 second%2 for each slide. The test has %1 "
                                        "series of %1 slide%2 each;")
                             .arg(n)
                             .arg(english))
                 && en.contains("<b>shape</b>") && en.contains("a pause of 10 seconds"),
             qPrintable(en));
    QVERIFY(!siteTexts::instructions("en", n, n, n, 10, true).contains("shape"));
    QFETCH(QString, german);
    QVERIFY(siteTexts::instructions("de", 1, n, n, 10, false)
                .contains("Der Test hat " + german + ";<br>"));
    // Every language names the start button as the window shows it in that language.
    for (const QString &language : siteTexts::languages()) {
        languageChoice::install(language);
        const QString start = QCoreApplication::translate("instrShow", "Начать тест");
        QVERIFY2(siteTexts::instructions(language, 1, n, n, 1, true).contains(start),
                 qPrintable(language));
    }
    languageChoice::install("ru");
}

QTEST_MAIN(tst_maketest)
#include "tst_maketest.moc"
