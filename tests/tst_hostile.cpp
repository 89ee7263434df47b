#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "download/loading.h"
#include "download/serverlayout.h"
#include "download/loadinterface.h"
#include "app/mainwindow.h"
#include "app/msclock.h"
#include "test/runtest.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/workdir.h"

#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// What a hostile or broken test server can do to a whole run. Every row names the request
// it spoils and the text that must stand on the screen in the end; every row also checks
// that nothing was written outside img/ and that every picture is either the one served or
// the older file, byte for byte.
namespace {
enum Spoil {
    Status404,
    Status500,
    Refused,
    ClosedBeforeHeaders,
    ShortBody,
    ResetMidBody,
    Silent,
    Moved,          // a redirect to where the real answer now is
    RedirectLoop,   // a redirect to itself
    RedirectNowhere, // a redirect without a Location
    Choices,         // 300, which no client follows by itself
    Body,
};

const QString netError = QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:127.0.0.1");
const QString listFailure = QStringLiteral("Не получилось создать список требуемых ресурсов");
const QString buildFailure = QStringLiteral("Ошибка формирования теста!");

QString statusLine(int slideTime, int slideTotal, int seriesSeconds)
{
    return QStringLiteral("серия:1  1/%1  время на слайд:%2 c  временя на серию:%3 c")
        .arg(slideTotal)
        .arg(slideTime)
        .arg(seriesSeconds);
}
} // namespace

Q_DECLARE_METATYPE(Spoil)

class tst_hostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void matrix_data();
    void matrix();
    void millionPictureList();

private:
    QString run(MainWindow &w, TestHttpServer &server);
};

void tst_hostile::initTestCase()
{
    msClock::setFakeNow(1000);
}

QString tst_hostile::run(MainWindow &w, TestHttpServer &server)
{
    QPointer<loadInterface> screen = w.loadWidget;
    screen->serverUrl = server.baseUrl();
    screen->loader->transferTimeout = 300;
    QTest::mouseClick(screen->getButton, Qt::LeftButton);
    // The download ends in the instructions or stops with the fetcher idle.
    if (!QTest::qWaitFor([&] { return !screen || !screen->loader->busy; }, 30000))
        return QStringLiteral("download did not end");
    if (screen && w.centralWidget() == screen) {
        QTest::qWait(50); // nothing more may be requested
        return screen->statusLabel->text();
    }
    QTest::mouseClick(w.instr->startButton, Qt::LeftButton);
    if (auto *runner = qobject_cast<runTest *>(w.centralWidget()))
        return runner->statusLabel->text();
    if (auto *pause = qobject_cast<conclusionShow *>(w.centralWidget()))
        return pause->resultLabel->text();
    if (qobject_cast<conclGraph *>(w.centralWidget()))
        return QStringLiteral("graph");
    return QStringLiteral("unexpected screen");
}

void tst_hostile::matrix_data()
{
    QTest::addColumn<QString>("path"); // the spoiled request
    QTest::addColumn<Spoil>("spoil");
    QTest::addColumn<QByteArray>("body"); // for Body: what the server sends instead
    QTest::addColumn<QString>("expected");

    const QStringList docs = serverLayout::documents();
    const QString a = QStringLiteral("[a,x][b,x][a,y][b,z][a,z]");
    struct Failure
    {
        const char *name;
        Spoil spoil;
        int code;
    };
    const Failure failures[] = {
        {"404", Status404, 203},
        {"500", Status500, 401},
        {"connection refused", Refused, 1},
        {"closed before the headers", ClosedBeforeHeaders, 2},
        {"body shorter than its length", ShortBody, 2},
        {"reset in mid-body", ResetMidBody, 2},
    };
    for (const Failure &f : failures) {
        for (const QString &doc : docs) {
            const QString path = serverLayout::documentPath(doc);
            // A failed pars answer leaves an empty text, which fails as a list.
            QTest::addRow("%s: %s", qPrintable(doc), f.name)
                << path << f.spoil << QByteArray()
                << (doc == QLatin1String("pars") ? listFailure : netError.arg(f.code));
        }
        QTest::addRow("picture: %s", f.name) << QStringLiteral("/quelvan/img/a_y.jpg") << f.spoil
                                             << QByteArray() << netError.arg(f.code);
    }

    // Real servers fall silent and move things; a redirect page is never taken as the answer.
    const QString picture = QStringLiteral("/quelvan/img/a_y.jpg");
    QTest::newRow("tm: silent") << "/quelvan/tm.php" << Silent << QByteArray() << netError.arg(5);
    QTest::newRow("tm: moved") << "/quelvan/tm.php" << Moved << QByteArray() << statusLine(5, 2, 10);
    QTest::newRow("picture: moved") << picture << Moved << QByteArray() << statusLine(5, 2, 10);
    QTest::newRow("picture: redirect loop") << picture << RedirectLoop << QByteArray()
                                            << netError.arg(10);
    // The toolkit fails a redirect without a Location itself (301, unknown protocol); a 3xx
    // that it does not follow ends as a protocol failure (399).
    QTest::newRow("picture: redirect without Location")
        << picture << RedirectNowhere << QByteArray() << netError.arg(301);
    QTest::newRow("instr: 300 multiple choices")
        << "/quelvan/instr.php" << Choices << QByteArray() << netError.arg(399);
    QTest::newRow("picture: 300 multiple choices")
        << picture << Choices << QByteArray() << netError.arg(399);

    // Answers past 64 MiB are cut off rather than held in memory.
    const QByteArray huge((64 << 20) + 4096, 'x');
    QTest::newRow("test: 64 MiB and more")
        << "/quelvan/test.php" << Body << huge << netError.arg(5);
    QTest::newRow("picture: 64 MiB and more")
        << "/quelvan/img/b_z.jpg" << Body << huge << netError.arg(5);

    // Bodies that arrive whole but are odd.
    QTest::newRow("test: empty") << "/quelvan/test.php" << Body << QByteArray() << buildFailure;
    QTest::newRow("instr: empty") << "/quelvan/instr.php" << Body << QByteArray()
                                  << statusLine(5, 2, 10);
    QTest::newRow("tm: empty") << "/quelvan/tm.php" << Body << QByteArray() << statusLine(0, 2, 0);
    QTest::newRow("ts_in_series: empty")
        << "/quelvan/ts_in_series.php" << Body << QByteArray() << "graph";
    QTest::newRow("pars: empty") << "/quelvan/pars.php" << Body << QByteArray() << listFailure;
    QTest::newRow("picture: empty")
        << "/quelvan/img/a_x.jpg" << Body << QByteArray() << statusLine(5, 2, 10);
    QTest::newRow("test: NUL cuts the second slide")
        << "/quelvan/test.php" << Body
        << QByteArray(a.toUtf8() + QByteArray("<br>\0", 5) + a.toUtf8()) << buildFailure;
    QTest::newRow("tm: NUL after the digits") << "/quelvan/tm.php" << Body
                                              << QByteArray("7\0"
                                                            "00",
                                                            4)
                                              << statusLine(7, 2, 14);
    QTest::newRow("pars: NUL in the second group")
        << "/quelvan/pars.php" << Body << QByteArray("[a,b][x,\0y,z]", 13) << listFailure;
    QTest::newRow("picture: NUL bytes kept")
        << "/quelvan/img/a_x.jpg" << Body << QByteArray("\xff\xd8\0\0\0\xff", 6)
        << statusLine(5, 2, 10);
    QTest::newRow("instr: invalid UTF-8")
        << "/quelvan/instr.php" << Body << QByteArray("\xc3\x28\xff\xfe<b>")
        << statusLine(5, 2, 10);
    QTest::newRow("test: invalid UTF-8 between variants")
        << "/quelvan/test.php" << Body << QByteArray(a.toUtf8() + "\xc3\x28\xff<br>" + a.toUtf8())
        << statusLine(5, 2, 10);
    QTest::newRow("pars: invalid UTF-8 value")
        << "/quelvan/pars.php" << Body << QByteArray("[a,b,\xff][x,y,z]") << statusLine(5, 2, 10);
    QTest::newRow("instr: 5 MiB") << "/quelvan/instr.php" << Body << QByteArray(5 << 20, 'i')
                                  << statusLine(5, 2, 10);
    QTest::newRow("test: 5 MiB of text around the slides")
        << "/quelvan/test.php" << Body
        << QByteArray(QByteArray(5 << 20, ' ') + a.toUtf8() + "<br>" + a.toUtf8())
        << statusLine(5, 2, 10);
    QTest::newRow("pars: 5 MiB between the groups")
        << "/quelvan/pars.php" << Body
        << QByteArray("[a,b]" + QByteArray(5 << 20, '\n') + "[x,y,z]") << statusLine(5, 2, 10);
    // The first group runs from the first "[" to the first "]": its value is 5 MiB long, and
    // the server has no such picture.
    QTest::newRow("pars: 5 MiB of [ before the groups")
        << "/quelvan/pars.php" << Body << QByteArray(QByteArray(5 << 20, '[') + "[a,b][x,y,z]")
        << netError.arg(203);

    // Value lists.
    QTest::newRow("pars: no group")
        << "/quelvan/pars.php" << Body << QByteArray("a,b x,y") << listFailure;
    QTest::newRow("pars: one group")
        << "/quelvan/pars.php" << Body << QByteArray("[a,b]") << listFailure;
    QTest::newRow("pars: three groups")
        << "/quelvan/pars.php" << Body << QByteArray("[a][x][z]") << listFailure;
    QTest::newRow("pars: ../x") << "/quelvan/pars.php" << Body << QByteArray("[a,b][../x,y,z]")
                                << listFailure;
    QTest::newRow("pars: /abs") << "/quelvan/pars.php" << Body << QByteArray("[/abs,a,b][x,y,z]")
                                << listFailure;
    QTest::newRow("pars: a\\b") << "/quelvan/pars.php" << Body << QByteArray("[a\\b,a,b][x,y,z]")
                                << listFailure;
    QTest::newRow("pars: .. . a b and Cyrillic are safe")
        << "/quelvan/pars.php" << Body << QByteArray("[a,b,..,.][x,y,z,a b,Ж]")
        << statusLine(5, 2, 10);

    // Test texts.
    for (int n = 1; n <= 4; ++n)
        QTest::addRow("test: a slide of %d variants", n)
            << "/quelvan/test.php" << Body
            << QByteArray(a.toUtf8() + "<br>" + QByteArray("[a,x]").repeated(n)) << buildFailure;
    QTest::newRow("tm: 2147483648 reads 0")
        << "/quelvan/tm.php" << Body << QByteArray("2147483648") << statusLine(0, 2, 0);
    QTest::newRow("tm: -5") << "/quelvan/tm.php" << Body << QByteArray("-5")
                            << statusLine(-5, 2, -10);
    QTest::newRow("ts_in_series: 99999999999 reads 0")
        << "/quelvan/ts_in_series.php" << Body << QByteArray("99999999999") << "graph";
    QTest::newRow("ts_in_series: -5")
        << "/quelvan/ts_in_series.php" << Body << QByteArray("-5") << "graph";
    QTest::newRow("totalseries: 2147483647 needs too many slides")
        << "/quelvan/totalseries.php" << Body << QByteArray("2147483647") << buildFailure;
    QTest::newRow("totalseries: -5")
        << "/quelvan/totalseries.php" << Body << QByteArray("-5") << statusLine(5, 2, 10);
    QTest::newRow("test: 10 MB of variants")
        << "/quelvan/test.php" << Body
        << QByteArray(QByteArray("[a,x]").repeated(1 << 20) + "<br>"
                      + QByteArray("[b,y]").repeated(1 << 20))
        << statusLine(5, 2, 10);
}

void tst_hostile::matrix()
{
    QFETCH(QString, path);
    QFETCH(Spoil, spoil);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);

    const WorkDir work;
    QVERIFY(work.isValid());
    // Pictures of an earlier run, which no failure may damage.
    QVERIFY(QDir().mkdir(QStringLiteral("img")));
    TestSite site = TestSite::small(2);
    QMap<QString, QByteArray> older;
    for (const QString &name : site.pictures.keys()) {
        older.insert(name, "older picture " + name.toUtf8());
        QFile f(QStringLiteral("img/") + name + QStringLiteral(".jpg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(older.value(name));
    }

    TestHttpServer server;
    QVERIFY(server.listen());
    site.serve(server);
    TestHttpServer::Response r;
    r.body = "a body that must not be used";
    switch (spoil) {
    case Status404: r.status = 404; break;
    case Status500: r.status = 500; break;
    case Refused: r.behaviour = TestHttpServer::StopListening; break;
    case ClosedBeforeHeaders: r.behaviour = TestHttpServer::CloseBeforeHeaders; break;
    case ShortBody: r.behaviour = TestHttpServer::ShortBody; break;
    case ResetMidBody: r.behaviour = TestHttpServer::ResetMidBody; break;
    case Silent: r.behaviour = TestHttpServer::Silent; break;
    case Moved: break;
    case RedirectLoop: r.status = 302; r.location = path.toUtf8(); break;
    case RedirectNowhere: r.status = 301; break;
    case Choices: r.status = 300; r.location = "/elsewhere"; break;
    case Body: r.body = body; break;
    }
    if (spoil == Moved)
        server.move(path, QStringLiteral("/moved") + path);
    else
        server.setResponse(path, r);
    // Safe look-alike names get pictures too.
    for (const QString &n :
         {"a_a b", "a_Ж", "b_a b", "b_Ж", ".._x", ".._y", ".._z", ".._a b", ".._Ж", "._x", "._y",
          "._z", "._a b", "._Ж", "a_x", "\uFFFD_x", "\uFFFD_y", "\uFFFD_z"})
        if (!site.pictures.contains(n))
            server.setBody(QStringLiteral("/quelvan/img/%1.jpg").arg(n), TestSite::jpeg(Qt::gray));

    {
        MainWindow w;
        const QString text = run(w, server);
        QCOMPARE(text, expected);
    }

    // Nothing beside img/, nothing below it but pictures, no temporary file left.
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("img")});
    QDirIterator it(QStringLiteral("img"), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QVERIFY2(info.isFile() && info.fileName().endsWith(QLatin1String(".jpg")),
                 qPrintable(info.fileName()));
    }
    // Every picture is whole: the older file or exactly what the server sent.
    const bool pictureSpoiled = path.startsWith(QLatin1String("/quelvan/img/"));
    for (const QString &name : site.pictures.keys()) {
        QFile f(QStringLiteral("img/") + name + QStringLiteral(".jpg"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray now = f.readAll();
        const bool isSpoiled = pictureSpoiled && path.contains(QStringLiteral("/") + name + ".");
        const QByteArray served = isSpoiled && spoil == Body ? body : site.pictures.value(name);
        if (isSpoiled && spoil == Moved)
            QCOMPARE(now, served);
        else
            QVERIFY2(now == older.value(name) || (now == served && !(isSpoiled && spoil != Body)),
                     qPrintable(name));
    }
}

void tst_hostile::millionPictureList()
{
    // 1000 x 1000 values make a list of a million and one names; it is built, and the
    // download goes on until the first picture the server lacks.
    const WorkDir work;
    QVERIFY(work.isValid());
    TestHttpServer server;
    QVERIFY(server.listen());
    TestSite site = TestSite::small(2);
    QStringList values;
    for (int i = 0; i < 1000; ++i)
        values.append(QString::number(i));
    site.pars = ('[' + values.join(',') + "][" + values.join(',') + ']').toUtf8();
    site.serve(server);
    server.setBody(QStringLiteral("/quelvan/img/0_0.jpg"), "first");

    loadInterface screen;
    screen.serverUrl = server.baseUrl();
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(screen.loader->netError, 30000);
    QCOMPARE(screen.fileList.size(), 1000001);
    QCOMPARE(screen.fileList.at(1), QStringLiteral("0_1"));
    QCOMPARE(screen.fileList.last(), QStringLiteral("fail"));
    QCOMPARE(server.requests.size(), 9);
    QCOMPARE(screen.statusLabel->text(), netError.arg(203));
}

QTEST_MAIN(tst_hostile)
#include "tst_hostile.moc"
