#include "download/loading.h"
#include "download/loadinterface.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/workdir.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// What goes over the wire, written out: the expected requests, not the client's own table.
const QStringList documentPaths{
    QStringLiteral("/quelvan/test.php"),        QStringLiteral("/quelvan/instr.php"),
    QStringLiteral("/quelvan/tm.php"),          QStringLiteral("/quelvan/ts_in_series.php"),
    QStringLiteral("/quelvan/totalseries.php"), QStringLiteral("/quelvan/pauseseries.php"),
    QStringLiteral("/quelvan/pars.php"),
};

QStringList picturePaths(const QStringList &names)
{
    QStringList paths;
    for (const QString &n : names)
        paths.append(QStringLiteral("/quelvan/img/") + n + QStringLiteral(".jpg"));
    return paths;
}

const QString listFailure = QStringLiteral("Не получилось создать список требуемых ресурсов");
} // namespace

class tst_loadinterface : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void initialState();
    void wholeDownload();
    void firstAnswerFails();
    void seventhAnswerFails();
    void pictureList_data();
    void pictureList();
    void pictureFailsMidway();
    void pictureOverwritten();
    void pictureNotWritable();
    void imgIsPlainFile();
    void serverBusy();

private:
    // Presses the button and waits until the download has stopped, one way or another.
    void download(loadInterface &screen);

    TestHttpServer *server = nullptr;
    WorkDir *work = nullptr;
};

void tst_loadinterface::init()
{
    server = new TestHttpServer(this);
    QVERIFY(server->listen());
    work = new WorkDir;
    QVERIFY(work->isValid());
}

void tst_loadinterface::cleanup()
{
    delete work;
    delete server;
    work = nullptr;
    server = nullptr;
}

void tst_loadinterface::download(loadInterface &screen)
{
    screen.serverUrl = server->baseUrl();
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!screen.loader->busy, 10000);
    QTest::qWait(20); // nothing further may be requested
    QVERIFY(!screen.loader->busy);
}

void tst_loadinterface::initialState()
{
    loadInterface screen;
    QVERIFY(screen.statusLabel->text().isEmpty());
    QCOMPARE(screen.getButton->text(), QStringLiteral("Получить тест с сервера"));
    QVERIFY(screen.getButton->isEnabled());
    QCOMPARE(screen.step, 0);
    QCOMPARE(screen.loader->statusText, QStringLiteral("Готов к соединению"));
    QCOMPARE(screen.serverUrl, QStringLiteral(QUELVAN_TEST_DEFAULT_URL));
}

void tst_loadinterface::wholeDownload()
{
    TestSite site = TestSite::small();
    site.test = "[a,x][b,x][a,y][b,z][a,z] \n<br>";
    site.instr = "Нажимайте\0скрытое";
    site.tm = "12\n";
    site.serve(*server);

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    QStringList progress;
    connect(screen.loader, &loading::start, this,
            [&] { progress.append(screen.statusLabel->text()); });
    download(screen);

    const QStringList names{"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"};
    QCOMPARE(server->requests, documentPaths + picturePaths(names));
    QCOMPARE(server->connections, 1);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(screen.statusLabel->text(), QStringLiteral("Загрузка завершена"));
    QVERIFY(!screen.getButton->isEnabled());
    QVERIFY(!screen.proxyCheck->isEnabled());

    QCOMPARE(screen.testText, QStringLiteral("[a,x][b,x][a,y][b,z][a,z] \n<br>"));
    QCOMPARE(screen.instrText, QStringLiteral("Нажимайте"));
    QCOMPARE(screen.tmText, QStringLiteral("12\n"));
    QCOMPARE(screen.tsInSeriesText, QStringLiteral("2"));
    QCOMPARE(screen.totalSeriesText, QStringLiteral("1"));
    QCOMPARE(screen.pauseSeriesText, QStringLiteral("3"));
    QCOMPARE(screen.fileList, names);

    for (const QString &n : names) {
        QFile f(QStringLiteral("img/") + n + QStringLiteral(".jpg"));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(n));
        QCOMPARE(f.readAll(), site.pictures.value(n));
    }
    // The step count runs on from the documents: the first picture is step 8.
    QCOMPARE(progress.size(), 14);
    QCOMPARE(progress.at(0), QStringLiteral("Выполняю запрос к серверу. Шаг 1"));
    QCOMPARE(progress.at(7), QStringLiteral("Выполняю запрос к серверу. Шаг 8"));
    QCOMPARE(progress.at(13), QStringLiteral("Выполняю запрос к серверу. Шаг 14"));
}

void tst_loadinterface::firstAnswerFails()
{
    TestSite::small().serve(*server);
    server->setBody(QStringLiteral("/quelvan/test.php"), "gone", 404);

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    download(screen);
    QCOMPARE(server->requests, QStringList{documentPaths.first()});
    QCOMPARE(screen.statusLabel->text(),
             QStringLiteral("Ошибка сетевого соединения:203  \n По запросу:127.0.0.1"));
    QVERIFY(screen.testText.isEmpty());
    QVERIFY(!screen.getButton->isEnabled());
    QCOMPARE(ended.count(), 0);
}

void tst_loadinterface::seventhAnswerFails()
{
    TestSite::small().serve(*server);
    server->setBody(QStringLiteral("/quelvan/pars.php"), "[a][x]", 500);

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    download(screen);
    QCOMPARE(server->requests, documentPaths);
    QCOMPARE(screen.statusLabel->text(), listFailure);
    QCOMPARE(ended.count(), 0);
}

void tst_loadinterface::pictureList_data()
{
    QTest::addColumn<QByteArray>("pars");
    QTest::addColumn<QStringList>("pictures"); // empty: the list cannot be built

    const QStringList none;
    QTest::newRow("two groups") << QByteArray("[a,b][x,y,z]")
                                << QStringList{"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"};
    QTest::newRow("one value each") << QByteArray("[a][b]") << QStringList{"a_b", "fail"};
    QTest::newRow("repeated value") << QByteArray("[a,a][x]") << QStringList{"a_x", "a_x", "fail"};
    QTest::newRow("empty values") << QByteArray("[,][x]") << QStringList{"_x", "_x", "fail"};
    QTest::newRow("empty middle value")
        << QByteArray("[a,,b][x]") << QStringList{"a_x", "_x", "b_x", "fail"};
    QTest::newRow("blank kept") << QByteArray("[a, b][x]") << QStringList{"a_x", " b_x", "fail"};
    QTest::newRow("text around groups")
        << QByteArray("<p>\n[a,b]\r\nи [x]</p>") << QStringList{"a_x", "b_x", "fail"};
    QTest::newRow("bracket right after bracket")
        << QByteArray("[]][x]") << QStringList{"]_x", "fail"};
    QTest::newRow("dots and letters are safe")
        << QByteArray("[..,.][я b]") << QStringList{".._я b", "._я b", "fail"};
    QTest::newRow("one group") << QByteArray("[a,b]") << none;
    QTest::newRow("three groups") << QByteArray("[a][b][c]") << none;
    QTest::newRow("five groups") << QByteArray("[a,b][x][y][z][w]") << none;
    QTest::newRow("no group") << QByteArray("a,b x,y") << none;
    QTest::newRow("empty body") << QByteArray() << none;
    QTest::newRow("slash in a value") << QByteArray("[../x,a][y]") << none;
    QTest::newRow("absolute path") << QByteArray("[a][/abs]") << none;
    QTest::newRow("backslash") << QByteArray("[a\\b][x]") << none;
    // 1001 x 1000 names: past the million pictures a list may ask for.
    QTest::newRow("too many pictures")
        << QByteArray("[" + QByteArray(1000, ',') + "][" + QByteArray(999, ',') + "]") << none;
}

void tst_loadinterface::pictureList()
{
    QFETCH(QByteArray, pars);
    QFETCH(QStringList, pictures);
    TestSite site = TestSite::small();
    site.pars = pars;
    site.serve(*server);
    for (const QString &n : pictures)
        server->setBody(QStringLiteral("/quelvan/img/") + n + QStringLiteral(".jpg"), n.toUtf8());

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    download(screen);

    QCOMPARE(server->requests, documentPaths + picturePaths(pictures));
    if (pictures.isEmpty()) {
        QCOMPARE(screen.statusLabel->text(), listFailure);
        QCOMPARE(ended.count(), 0);
        QVERIFY(!QDir(QStringLiteral("img")).exists(QStringLiteral("fail.jpg")));
    } else {
        QCOMPARE(screen.statusLabel->text(), QStringLiteral("Загрузка завершена"));
        QCOMPARE(ended.count(), 1);
        for (const QString &n : pictures)
            QVERIFY2(QFile::exists(QStringLiteral("img/") + n + QStringLiteral(".jpg")),
                     qPrintable(n));
    }
    // Nothing is ever written beside the picture directory.
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("img")});
}

void tst_loadinterface::pictureFailsMidway()
{
    TestSite::small().serve(*server);
    server->setBody(QStringLiteral("/quelvan/img/a_y.jpg"), "", 404);

    loadInterface screen;
    download(screen);
    QCOMPARE(server->requests, documentPaths + picturePaths({"a_x", "a_y"}));
    QVERIFY(QFile::exists(QStringLiteral("img/a_x.jpg")));
    QVERIFY(!QFile::exists(QStringLiteral("img/a_y.jpg")));
    QVERIFY(
        screen.statusLabel->text().startsWith(QStringLiteral("Ошибка сетевого соединения:203")));
}

void tst_loadinterface::pictureOverwritten()
{
    QVERIFY(QDir().mkdir(QStringLiteral("img")));
    QFile old(QStringLiteral("img/a_x.jpg"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older, longer picture from an earlier run");
    old.close();
    const TestSite site = TestSite::small();
    site.serve(*server);

    // A second run replaces every picture of the first.
    for (int run = 0; run < 2; ++run) {
        loadInterface screen;
        download(screen);
        QCOMPARE(screen.statusLabel->text(), QStringLiteral("Загрузка завершена"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), site.pictures.value(QStringLiteral("a_x")));
        old.close();
        // Nothing but the pictures is left behind, while the screen still exists.
        QCOMPARE(QDir(QStringLiteral("img")).entryList(QDir::Files | QDir::Hidden).size(), 7);
    }
}

void tst_loadinterface::pictureNotWritable()
{
    QVERIFY(QDir().mkpath(QStringLiteral("img/a_y.jpg")));
    TestSite::small().serve(*server);

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    download(screen);
    QCOMPARE(screen.statusLabel->text(), QStringLiteral("Не удалось записать файл"));
    QVERIFY(screen.loader->fileError);
    QCOMPARE(server->requests, documentPaths + picturePaths({"a_x", "a_y"}));
    QCOMPARE(ended.count(), 0);
}

void tst_loadinterface::imgIsPlainFile()
{
    QFile img(QStringLiteral("img"));
    QVERIFY(img.open(QIODevice::WriteOnly));
    img.close();
    TestSite::small().serve(*server);

    loadInterface screen;
    screen.serverUrl = server->baseUrl();
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QCOMPARE(screen.statusLabel->text(), QStringLiteral("Не могу создать вспомогательный каталог"));
    QVERIFY(screen.getButton->isEnabled());
    QVERIFY(screen.proxyCheck->isEnabled());
    QCOMPARE(screen.step, 0);
    QTest::qWait(20);
    QVERIFY(server->requests.isEmpty());
}

void tst_loadinterface::serverBusy()
{
    TestSite::small().serve(*server);
    loadInterface screen;
    screen.serverUrl = server->baseUrl();
    QVERIFY(QDir().mkdir(QStringLiteral("img")));
    QVERIFY(screen.loader->load(server->baseUrl() + QStringLiteral("/quelvan/tm.php")));

    screen.loadNext();
    QCOMPARE(screen.statusLabel->text(), QStringLiteral("сервер занят"));
    QCOMPARE(screen.step, 0);
    screen.makeLoadingFile(QStringLiteral("a_x"));
    QCOMPARE(screen.statusLabel->text(), QStringLiteral("сервер занят"));
    QVERIFY(!screen.loader->fileMode);
}

QTEST_MAIN(tst_loadinterface)
#include "tst_loadinterface.moc"
