#include "maketest/sitechecker.h"
#include "maketest/sitetexts.h"
#include "support/testsite.h"
#include "test/picturedecoder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

// quelvan-maketest --pictures: a test made from the author's own pictures, and the
// instructions it writes for them.
class tst_ownpictures : public QObject
{
    Q_OBJECT
private slots:
    void ownPictures_data();
    void ownPictures();
    void numerals_data();
    void numerals();
};

void tst_ownpictures::ownPictures_data()
{
    QTest::addColumn<QStringList>("files"); // "name" a picture, "name=text" a file of text,
                                            // "name^" a camera JPEG turned by its EXIF tag
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

void tst_ownpictures::ownPictures()
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
        const QString path = dir.path() + "/own/" + f.section('=', 0, 0).remove('^');
        QImage image(1000, 500, QImage::Format_ARGB32);
        image.fill(QColor(20, 200, 40, 128));
        image.setText("Comment", "taken at 59.93N 30.31E");
        QVERIFY(f.contains('=') ? TestSite::writeFile(path, f.section('=', 1).toUtf8())
                                : QDir().mkpath(dir.path() + "/own") && image.save(path));
        QByteArray camera = TestSite::readFile(path);
        QVERIFY(!f.endsWith('^') || TestSite::writeFile(path, camera.insert(2, exif)));
    }
    QProcess tool;
    for (const char *site : {"/again", "/site"}) { // equal options and pictures, equal bytes
        tool.start(QUELVAN_MAKETEST,
                   QStringList{"--pictures", dir.path() + "/own", "--seed", "3", dir.path() + site}
                       + args);
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

void tst_ownpictures::numerals_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("slides"); // as "по N ... в каждой" needs them
    auto row = [](int n, const char *series, const char *slides) {
        QTest::newRow(series) << n << QString::fromUtf8(series) << QString::fromUtf8(slides);
    };
    row(1, "1 серия", "1 слайду");
    row(3, "3 серии", "3 слайда");
    row(5, "5 серий", "5 слайдов");
    row(11, "11 серий", "11 слайдов");
    row(14, "14 серий", "14 слайдов");
    row(21, "21 серия", "21 слайду");
    row(22, "22 серии", "22 слайда");
    row(112, "112 серий", "112 слайдов");
}

void tst_ownpictures::numerals()
{
    QFETCH(int, n);
    QFETCH(QString, series);
    QFETCH(QString, slides);
    const QString text = siteTexts::instructions(4, n, n, 10, false);
    QVERIFY2(text.contains(QStringLiteral("В тесте %1, по %2 в каждой").arg(series, slides)),
             qPrintable(text));
    // Photos have no shape and colour to speak of.
    QVERIFY(text.contains(QStringLiteral("<b>форма</b>")));
    QVERIFY(!siteTexts::instructions(4, n, n, 10, true).contains(QStringLiteral("форм")));
}

QTEST_MAIN(tst_ownpictures)
#include "tst_ownpictures.moc"
