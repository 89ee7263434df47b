#include "app/mainwindow.h"
#include "core/msclock.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "net/getrequest.h"
#include "screens/instrshow.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "test/runtest.h"

#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// What a hostile or broken test server can do to a whole run. Every row spoils one answer
// and names the text that must stand on the screen in the end; every row also checks that
// nothing but pictures is left in img/ and that every picture is the older file or the one
// served, byte for byte.
namespace {
enum Spoil {
    Status,
    Refused,
    Closed,
    ShortBody,
    Reset,
    Silent,
    Gzip,
    GzipSecond,
    Moved,
    Loop,
    NoLocation,
    Body
};

const QString netError = QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:127.0.0.1");
const QString listFailure = QStringLiteral("Не получилось создать список требуемых ресурсов");
const QString buildFailure = QStringLiteral("Ошибка формирования теста!");
const QString picture = QStringLiteral("/quelvan/img/a_y.jpg");

QString statusLine(int slideTime, int seriesSeconds = -1)
{
    return QStringLiteral("серия:1  1/2  время на слайд:%1 c  временя на серию:%2 c")
        .arg(slideTime)
        .arg(seriesSeconds < 0 ? 2 * slideTime : seriesSeconds);
}
#ifdef Q_OS_LINUX
qint64 peakMemory() // bytes, from the kernel's high-water mark of this process
{
    const QByteArray status = TestSite::readFile(QStringLiteral("/proc/self/status"));
    const int at = status.indexOf("VmHWM:");
    return status.mid(at + 6, status.indexOf('\n', at) - at - 6)
               .trimmed()
               .split(' ')
               .first()
               .toLongLong()
           * 1024;
}
#endif
QString doc(const char *name)
{
    return QStringLiteral("/quelvan/%1.php").arg(QLatin1String(name));
}
} // namespace

Q_DECLARE_METATYPE(Spoil)

class tst_hostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        msClock::setFakeNow(1000);
        QImage big(400, 400, QImage::Format_RGB32);
        big.fill(Qt::red);
        QVERIFY(big.save(outside.path() + "/big.jpg"));
#ifdef Q_OS_UNIX
        // Opened, it would hold the window for ever.
        QCOMPARE(QProcess::execute("mkfifo", {outside.path() + "/fifo"}), 0);
#endif
    }
    void matrix_data();
    void matrix();

private:
    QTemporaryDir outside; // a picture that is none of the test's
};

void tst_hostile::matrix_data()
{
    QTest::addColumn<QString>("path"); // the spoiled answer
    QTest::addColumn<Spoil>("spoil");
    QTest::addColumn<int>("status");      // the status of a Status or Body answer
    QTest::addColumn<QByteArray>("body"); // the body of a Body answer
    QTest::addColumn<QString>("expected");

    const QByteArray a = "[a,x][b,x][a,y][b,z][a,z]", none;
    auto row = [](const char *name, const QString &path, Spoil spoil, int status,
                  const QByteArray &body, const QString &expected) {
        QTest::newRow(name) << path << spoil << status << body << expected;
    };
    // Failures: the network error text, the toolkit's code. A failed pars answer leaves an
    // empty text, which fails as a list.
    row("tm: 500", doc("tm"), Status, 500, none, netError.arg(401));
    row("pars: 404", doc("pars"), Status, 404, none, listFailure);
    row("instr: refused", doc("instr"), Refused, 200, none, netError.arg(1));
    row("picture: closed before the headers", picture, Closed, 200, none, netError.arg(2));
    row("test: body shorter than its length", doc("test"), ShortBody, 200, none, netError.arg(2));
#ifdef Q_OS_UNIX
    row("picture: reset in mid-body", picture, Reset, 200, none, netError.arg(2));
#endif
    row("tm: silent", doc("tm"), Silent, 200, none, netError.arg(5));
    // Cut off at their caps, not held in memory: 1 MiB for a document, 64 for a picture.
    const QByteArray huge((64 << 20) + 4096, 'x');
    row("test: over 1 MiB", doc("test"), Body, 200, QByteArray((1 << 20) + 1, 'x'),
        netError.arg(5));
    row("picture: 64 MiB and more", picture, Body, 200, huge, netError.arg(5));
    // Redirects: followed when safe, never stored as the answer.
    row("picture: moved", picture, Moved, 301, none, statusLine(5));
    row("picture: redirect loop", picture, Loop, 302, none, netError.arg(10));
    row("picture: redirect without Location", picture, NoLocation, 301, none, netError.arg(301));
    row("tm: 300 multiple choices", doc("tm"), Body, 300, "7", netError.arg(399));
    // Bodies that arrive whole but are odd.
    row("test: empty", doc("test"), Body, 200, none, buildFailure);
    row("tm: empty", doc("tm"), Body, 200, none, statusLine(0));
    row("pars: ../x", doc("pars"), Body, 200, "[a,b][../x,y,z]", listFailure);
    row("pars: a\\b", doc("pars"), Body, 200, "[a\\b,b][x,y,z]", listFailure);
    row("test: a slide of four variants", doc("test"), Body, 200,
        a + "<br>" + QByteArray("[a,x]").repeated(4), buildFailure);
    row("tm: 2147483648 reads 0", doc("tm"), Body, 200, "2147483648", statusLine(0));
    // Answers that would take memory or files they must not: a gzip answer of 1 MB that
    // unpacks to 1 GiB, compressed although asked for identity; answers that are no picture,
    // or cut off (tst_pictureheader reads each format, and those only a desktop's extra
    // plugins read); instructions naming files that are no pictures of the test, sized so
    // that they are only read when painted.
    auto python = [](const char *script) {
        QProcess p;
        p.start("python3", {"-c", QString::fromLatin1(script)});
        p.waitForFinished(60000);
        return p.readAllStandardOutput();
    };
    const QByteArray gigabyte = python("import zlib,sys\nc=zlib.compressobj(9,zlib.DEFLATED,31)\n"
                                       "z=bytes(1<<20)\nsys.stdout.buffer.write(b''.join("
                                       "[c.compress(z) for i in range(1024)]+[c.flush()]))");
    row("picture: gzip to 1 GiB", picture, Gzip, 200, gigabyte, netError.arg(399));
    row("test: gzip, the second coding", doc("test"), GzipSecond, 200,
        python("import gzip,sys\nsys.stdout.buffer.write("
               "gzip.compress(b'[a,x][b,x][a,y][b,z][a,z]'))"),
        netError.arg(399));
    row("picture: a page, not a picture", picture, Body, 200, "<html>Not found</html>",
        netError.arg(399));
    const QByteArray jpeg = TestSite::small().pictures.value("a_y");
    row("picture: JPEG cut before its end", picture, Body, 200, jpeg.chopped(3), netError.arg(399));
    // Whole by its structure, so the next request leaves before the decode fails.
    row("picture: a JPEG of no pixels", picture, Body, 200, "\xFF\xD8\xFF\xD9", netError.arg(399));
    const QByteArray outsider = outside.path().toUtf8() + "/big.jpg";
    row("instr: /dev/zero, a FIFO, files outside img, backgrounds", doc("instr"), Body, 200,
        "<img src=/dev/zero><img src=/dev/zero width=10 height=10><img src=\""
            + outside.path().toUtf8() + "/fifo\" width=10 height=10><img src=\"file://" + outsider
            + "\"><img src=\"" + outsider
            + "\" width=10 height=10><p style=\"background-image: url(" + outsider
            + ")\">x</p><table background=\"" + outsider + "\"><tr><td background=/dev/zero>x</td>"
            + "<td style=\"background-image: url(" + outsider
            + ")\">x</td></tr></table>"
              "<img src=img/../a_x.jpg>",
        statusLine(5));
    // Markup in a value is shown as written, never read: this one would read 2 GB.
    row("test: markup in a value whose picture is missing", doc("test"), Body, 200,
        "[<img src=/dev/zero>,x][b,x][a,y][b,z][a,z]<br>" + a,
        "Ошибка! Отсутствует необходимый файл с картинкой для варианта: <img src=/dev/zero> x");
    row("totalseries: 2147483647 needs too many slides", doc("totalseries"), Body, 200,
        "2147483647", buildFailure);
}

void tst_hostile::matrix()
{
    QFETCH(QString, path);
    QFETCH(Spoil, spoil);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);

    const WorkDir work;
    const TestSite site = TestSite::small(2);
    for (const QString &name : site.pictures.keys()) // an earlier run's pictures
        QVERIFY(TestSite::writeFile("img/" + name + ".jpg", "older " + name.toUtf8()));
    TestHttpServer server;
    QVERIFY(server.listen());
    site.serve(server);
    TestHttpServer::Response r;
    r.status = status;
    r.body = spoil == Body || spoil == Gzip || spoil == GzipSecond
                 ? body
                 : QByteArray("a body that must not be used");
    if (spoil <= GzipSecond) // the server's behaviours, in the same order
        r.behaviour = TestHttpServer::Behaviour(spoil);
    if (spoil == Loop || (spoil == Body && status == 300))
        r.location = path.toUtf8();
    if (spoil == Moved)
        server.move(path, QStringLiteral("/moved") + path);
    else
        server.setResponse(path, r);

#ifdef Q_OS_LINUX
    const qint64 peakBefore = peakMemory();
#endif
    QString text = QStringLiteral("unexpected screen");
    {
        MainWindow w;
        QPointer<loadInterface> screen = w.loadWidget;
        screen->serverUrl = server.baseUrl();
        screen->loader->transferTimeout = 300;
        QTest::mouseClick(screen->getButton, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !screen || !screen->loader->busy; }, 30000));
        if (screen && w.centralWidget() == screen) {
            QTest::qWait(50); // nothing more may be requested
            text = screen->statusLabel->text();
            // Nothing after the spoiled answer, but a request that left before its decode.
            QVERIFY(server.requests.size() - server.requests.lastIndexOf(path) <= 2);
        } else {
            // Nothing was read for the instructions, laid out or painted: no picture in
            // them takes room, none shows red.
            QVERIFY(w.instr->instrLabel->sizeHint().height() < 100);
            const QImage shot = w.instr->grab().toImage();
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    QVERIFY(qRed(shot.pixel(x, y)) < 200 || qGreen(shot.pixel(x, y)) > 100);
            QTest::mouseClick(w.instr->startButton, Qt::LeftButton);
            if (auto *runner = qobject_cast<runTest *>(w.centralWidget()))
                text = runner->statusLabel->text();
        }
        // No label but the instructions reads what a server sent as markup.
        for (const QLabel *label : w.findChildren<QLabel *>()) {
            const QObject *up = label;
            while (up && !qobject_cast<const instrShow *>(up))
                up = up->parent();
            QVERIFY(up || label->textFormat() == Qt::PlainText);
        }
    }
    QCOMPARE(text, expected);
#ifdef Q_OS_LINUX
    // Whatever was sent, memory grows by a small multiple of the answer cap at most.
    QVERIFY2(peakMemory() - peakBefore < 5 * getRequest::maxReplyBytes,
             qPrintable(QString::number(peakMemory() - peakBefore)));
#endif

    // Nothing beside img/, nothing below it but pictures.
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("img")});
    const QDir img(QStringLiteral("img"));
    QCOMPARE(img.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             img.entryList({"*.jpg"}, QDir::Files | QDir::Hidden));
    // Every picture whole: the older file or exactly what was served; a moved one is new.
    for (const QString &name : site.pictures.keys()) {
        const QByteArray now = TestSite::readFile(QStringLiteral("img/") + name + ".jpg");
        const bool spoiled = path == QStringLiteral("/quelvan/img/") + name + ".jpg";
        const QByteArray served = spoiled && spoil == Body ? body : site.pictures.value(name);
        if (spoiled && spoil == Moved)
            QCOMPARE(now, served);
        else
            QVERIFY2(now == "older " + name.toUtf8() || (now == served && !spoiled),
                     qPrintable(name));
    }
}

QTEST_MAIN(tst_hostile)
#include "tst_hostile.moc"
