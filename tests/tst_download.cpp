#include "core/appoptions.h"
#include "core/serverlayout.h"
#include "core/testidentity.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "support/heldopen.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
QStringList withPictures(const QStringList &names)
{
    QStringList paths = TestSite::documentPaths();
    for (const QString &n : names)
        paths.append(QStringLiteral("/quelvan/img/") + n + QStringLiteral(".jpg"));
    return paths;
}
} // namespace

// The download screen, its fetcher and its proxy form: the seven documents, then the
// pictures, each request issued from the handling of the previous answer; the first
// failure stops everything, and no failure harms an older picture.
class tst_download : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(server.listen()); }
    void init();
    void wholeDownload();
    void stops_data();
    void stops();
    void olderPictureReplaced_data();
    void olderPictureReplaced();
    void windowsFileNames();
    void twoWindows();

private:
    TestHttpServer server;
};

void tst_download::init()
{
    server.reset();
    TestSite::small().serve(server);
}

void tst_download::wholeDownload()
{
    const WorkDir work;
    QVERIFY(TestSite::writeFile("img/a_x.jpg", "an older, longer picture from an earlier run"));
    TestSite site = TestSite::small();
    site.test = "[a,x][b,x][a,y][b,z][a,z] \n<br>";
    site.instr = QByteArray("Нажимайте\0скрытое", 27);
    site.tm = "12\n";
    site.serve(server);

    loadInterface screen;
    QCOMPARE(screen.serverUrl, QStringLiteral(QUELVAN_TEST_DEFAULT_URL));
    screen.serverUrl = server.baseUrl();
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    QStringList progress;
    connect(screen.loader, &loading::start, this,
            [&] { progress.append(screen.statusLabel->text()); });
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QVERIFY(ended.wait(10000));

    const QStringList names{"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"};
    QCOMPARE(server.requests, withPictures(names));
    // The test's id: every item as served (what follows a NUL too), in request order.
    QCOMPARE(screen.loader->identity.id(), testIdentity::of(site.served()));
    QCOMPARE(server.connections, 1);
    QCOMPARE(screen.statusLabel->text(), QStringLiteral("Загрузка завершена"));
    QVERIFY(!screen.getButton->isEnabled() && !screen.proxyCheck->isEnabled());
    // Each text as served, not trimmed, cut at a NUL byte.
    QCOMPARE(screen.testText, QStringLiteral("[a,x][b,x][a,y][b,z][a,z] \n<br>"));
    QCOMPARE(screen.instrText, QStringLiteral("Нажимайте"));
    QCOMPARE(screen.tmText + screen.tsInSeriesText + screen.totalSeriesText
                 + screen.pauseSeriesText,
             QStringLiteral("12\n213"));
    for (const QString &n : names)
        QCOMPARE(TestSite::readFile("img/" + n + ".jpg"), site.pictures.value(n));
    QCOMPARE(QDir(QStringLiteral("img")).entryList(QDir::Files | QDir::Hidden).size(), 7);
    // The step count runs on from the documents: the first picture is step 8.
    QCOMPARE(progress.size(), 14);
    QCOMPARE(progress.at(7), QStringLiteral("Выполняю запрос к серверу. Шаг 8"));
}

void tst_download::stops_data()
{
    // The server's failures, whole run long, are the hostile matrix's; these are the
    // client's own: a picture that cannot be stored, no picture directory, and with results
    // on, no usable participant code or results folder.
    QTest::addColumn<QString>("obstacle"); // a file in the way; with a "/", a folder
    QTest::addColumn<QString>("code");     // typed on the screen with results on; null: off
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning"); // what the log must say; folder failures give a why
    auto row = [](const char *name, const char *obstacle, const QString &code, const char *text,
                  const char *warning) {
        QTest::newRow(name) << obstacle << code << QString::fromUtf8(text) << warning;
    };
    row("a directory where a picture goes", "img/a_y.jpg/", QString(), "Не удалось записать файл",
        "cannot write \".*/img/a_y.jpg\" : \"(Is a directory|Access (is )?denied\\.?)\""); // Windows
    row("img is a plain file", "img", QString(), "Не могу создать вспомогательный каталог",
        "cannot make the picture folder \".*/img\" : \".*/img is not a folder\"");
    // Another machine's window may still run: its lock is kept for a day.
    row("a fresh lock of another machine", "img/quelvan.lock", QString(),
        "Каталог с картинками занят другим окном quelvan: %1/img", "in use");
    row("no participant code", "", "", "Введите код участника", "");
    row("a code that would leave the folder", "", " ../x ",
        "Недопустимый код участника «../x»: нужны от 1 до 64 букв, цифр, «-» или «_»", "");
    row("results folder below a plain file", "results", "P1",
        "Не удаётся записать результаты в папку %1/results/run",
        "cannot write results to \".*/results/run\" : \".*/results is not a folder\"");
}

void tst_download::stops()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, code);
    QFETCH(QString, text);
    QFETCH(QString, warning);
    const WorkDir work;
    const bool picture = obstacle.endsWith('/');
    QVERIFY(obstacle.isEmpty()
            || (picture ? QDir().mkpath(obstacle)
                        : TestSite::writeFile(obstacle, "1\nquelvan\nanother-host\n")));
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    appOptions options = appOptions::defaults();
    options.serverUrl = server.baseUrl();
    options.resultsDir = code.isNull() ? QString() : work.path() + "/results/run";
    loadInterface screen(options);
    if (screen.participantEdit)
        screen.participantEdit->setText(code);
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!screen.loader->busy, 10000);
    QTest::qWait(20); // nothing further may be requested
    QCOMPARE(screen.statusLabel->text(), text.contains("%1") ? text.arg(work.path()) : text);
    // Nothing after the picture that failed but the request that left while it was stored,
    // aborted; only a refusal before the first request leaves the button.
    const QStringList asked = picture ? withPictures({"a_x", "a_y"}) : QStringList();
    QCOMPARE(server.requests.mid(0, asked.size()), asked);
    QVERIFY(server.requests.size() <= asked.size() + int(picture));
    QCOMPARE(screen.getButton->isEnabled(), !picture);
    QCOMPARE(TestSite::readFile(picture ? "img/a_x.jpg" : "img"),
             picture ? TestSite::small().pictures.value("a_x")
                     : QByteArray(obstacle == "img" ? "1\nquelvan\nanother-host\n" : "<missing>"));
}

void tst_download::olderPictureReplaced_data()
{
    QTest::addColumn<QString>("older");
    QTest::newRow("plain file") << QStringLiteral("file");
    QTest::newRow("read-only file") << QStringLiteral("read-only");
    // An earlier run died mid-write: its part file must not block the picture for good.
    QTest::newRow("part file left by a crash") << QStringLiteral("part");
    // A viewer holds it: Windows refuses to replace it, and the download says so.
    QTest::newRow("open in a viewer") << QStringLiteral("open");
#ifdef Q_OS_UNIX
    QTest::newRow("link to a file outside img") << QStringLiteral("link");
    QTest::newRow("dangling link") << QStringLiteral("dangling");
#endif
}

void tst_download::olderPictureReplaced()
{
    QFETCH(QString, older);
    const WorkDir work;
    const QString outside = work.path() + QStringLiteral("/outside.jpg");
    const QString gone = work.path() + QStringLiteral("/gone.jpg");
    const QString oldPath = older == QLatin1String("link") ? outside : "img/p.jpg";
    QVERIFY(QDir().mkpath("img"));
    if (older != QLatin1String("dangling"))
        QVERIFY(TestSite::writeFile(oldPath, QByteArray(5000, 'o')));
    if (older == QLatin1String("part"))
        QVERIFY(TestSite::writeFile("img/p.jpg.part", "torn"));
    if (older == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(oldPath, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    if (older == QLatin1String("link") || older == QLatin1String("dangling"))
        QVERIFY(QFile::link(older == QLatin1String("link") ? outside : gone,
                            QStringLiteral("img/p.jpg")));
    std::unique_ptr<HeldOpen> viewer(older == QLatin1String("open") ? new HeldOpen(oldPath)
                                                                    : nullptr);
    QVERIFY(!viewer || viewer->isOpen());
    const QByteArray jpeg = TestSite::small().pictures.value("a_x"), next = jpeg + "next";
    server.setBody(QStringLiteral("/p"), jpeg);
    server.setBody(QStringLiteral("/q"), next);

    // The picture after it is stored as well: replacing must leave nothing behind.
    loading loader;
    QSignalSpy finished(&loader, &loading::finish);
    loader.fileMode = true;
    for (const char *name : {"p", "q"}) {
        loader.fileName = QLatin1String(name);
        QVERIFY(loader.load(server.baseUrl() + '/' + name) && finished.wait(10000));
        QCOMPARE(loader.statusText, QStringLiteral("Данные успешно получены"));
#ifdef Q_OS_WIN
        if (viewer) {
            QVERIFY(!loader.storeHeld() && loader.fileError);
            QCOMPARE(loader.statusText, QStringLiteral("Не удалось записать файл"));
            QCOMPARE(TestSite::readFile(oldPath), QByteArray(5000, 'o'));
            viewer.reset();
            loader.fileError = false;
            QVERIFY(loader.load(server.baseUrl() + '/' + name) && finished.wait(10000));
        }
#endif
        QVERIFY(loader.storeHeld());
    }
    const QFileInfo picture(QStringLiteral("img/p.jpg"));
    QVERIFY(!picture.isSymLink() && picture.permissions() & QFileDevice::WriteOwner);
    QCOMPARE(TestSite::readFile(QStringLiteral("img/p.jpg")), jpeg);
    QCOMPARE(TestSite::readFile(older == QLatin1String("link") ? outside : "img/q.jpg"),
             older == QLatin1String("link") ? QByteArray(5000, 'o') : next);
    QVERIFY(!QFileInfo::exists(gone)); // a dangling link's target is never made
    QCOMPARE(QDir(QStringLiteral("img"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("p.jpg"), QStringLiteral("q.jpg")}));
}

void tst_download::windowsFileNames()
{
    // ":" would write into a stream of another file; every device name stays a device, in
    // any case and with any extension. Elsewhere such names are kept: servers may rely on
    // them.
    QStringList names{".. b_Ж.y", "console_x", "com10", "a:x",  "a*x",  "a?x",   "a\"x",    "a<x",
                      "a>x",      "a|x",       "a\tx",  "a_x.", "a_x ", "aux.x", "nul .jpg"};
    for (const char *device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        names << device << QString::fromLatin1(device).toLower() + ".x";
    for (int i = 1; i <= 9; ++i)
        names << QStringLiteral("COM%1").arg(i) << QStringLiteral("lpt%1.a_b").arg(i);
    for (const QString &n : names) {
        const QByteArray name = n.toUtf8();
        const bool storable = n == ".. b_Ж.y" || n == "console_x" || n == "com10";
        QVERIFY2(serverLayout::isWindowsFileName(n) == storable, name.constData());
#ifdef Q_OS_WIN
        QVERIFY2(serverLayout::isSafePictureName(n) == storable, name.constData());
#else
        QVERIFY2(serverLayout::isSafePictureName(n), name.constData());
#endif
    }
}

void tst_download::twoWindows()
{
    // Two windows started at once on one picture folder: both end with whole pictures, or
    // one says that the folder is in use and fetches nothing; never a failed or torn picture.
    // A lock that another machine left two days ago is taken over.
    const WorkDir work;
    QVERIFY(TestSite::writeFile("pics/quelvan.lock", "1\nquelvan\nanother-host\n"));
    QFile lock("pics/quelvan.lock");
    QVERIFY(lock.open(QIODevice::ReadWrite)
            && lock.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                QFileDevice::FileModificationTime));
    lock.close();
    TestSite site = TestSite::small();
    for (QByteArray &picture : site.pictures)
        picture += QByteArray(2 << 20, 'p'); // still a picture, and slow enough to overlap
    site.serve(server);
    QProcess windows[3];
    QByteArray said[3];
    auto ended = [&](int i) {
        said[i] += windows[i].readAll();
        return said[i].contains("download complete") || said[i].contains("in use");
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_LOGGING_RULES", "quelvan.download.debug=true");
    auto start = [&](QProcess &window) {
        window.setProcessEnvironment(env);
        window.setProcessChannelMode(QProcess::MergedChannels);
        window.start(TestSite::builtProgram(QUELVAN_EXECUTABLE),
                     {"--server", server.baseUrl(), "--pictures", "pics", "--autostart"});
    };
    start(windows[0]);
    start(windows[1]);
    QTRY_VERIFY_WITH_TIMEOUT(ended(0) && ended(1), 30000);
    // The window that downloaded keeps the folder while its test runs.
    start(windows[2]);
    QTRY_VERIFY_WITH_TIMEOUT(ended(2), 30000);
    QVERIFY(said[2].contains("in use"));
    for (QProcess &window : windows) {
        window.kill();
        window.waitForFinished();
    }
    QVERIFY(said[0].contains("download complete") || said[1].contains("download complete"));
    QVERIFY(!said[0].contains("cannot write") && !said[1].contains("cannot write"));
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY2(TestSite::readFile("pics/" + it.key() + ".jpg") == it.value(),
                 qPrintable(it.key()));
}

QTEST_MAIN(tst_download)
#include "tst_download.moc"
