#include "core/appoptions.h"
#include "core/msclock.h"
#include "core/testidentity.h"
#include "download/downloadqueue.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

// With connections or retries set, the download's queue: the documents in order, then N
// pictures at once; what another try may mend asked again after 0.5 s, 1 s ... on the test
// clock; the first failure that is not retried stops everything.
class tst_downloadqueue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(server.listen()); }
    void init();
    void queue_data();
    void queue();

private:
    TestHttpServer server;
};

void tst_downloadqueue::init()
{
    server.reset();
    TestSite::small().serve(server);
}

void tst_downloadqueue::queue_data()
{
    QTest::addColumn<int>("connections");
    QTest::addColumn<int>("retries");
    QTest::addColumn<QString>("path");    // the spoiled answer
    QTest::addColumn<int>("failures");    // before its usual answer; -1: for good
    QTest::addColumn<int>("status");      // of a failure
    QTest::addColumn<QByteArray>("body"); // of a failure
    QTest::addColumn<QString>("text");    // on the screen in the end
    QTest::addColumn<int>("asked");       // requests for the spoiled path
    const QString done = QStringLiteral("Загрузка завершена"), picture = "/quelvan/img/a_y.jpg";
    const QString net = QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:127.0.0.1");
    auto row = [](const char *name, int connections, int retries, const QString &path, int failures,
                  int status, const QByteArray &body, const QString &text, int asked) {
        QTest::newRow(name) << connections << retries << path << failures << status << body << text
                            << asked;
    };
    row("four at once", 4, 0, QString(), 0, 200, "", done, 0);
    row("429 twice, asked twice again", 1, 2, picture, 2, 429, "busy", done, 3);
    row("503 twice, asked once again", 1, 1, picture, 2, 503, "busy", net.arg(403), 2);
    row("a document, 500 once", 4, 1, "/quelvan/tm.php", 1, 500, "", done, 2);
    // What another try cannot mend is never asked again; the first failure stops all.
    row("404", 4, 3, picture, -1, 404, "", net.arg(203), 1);
    row("a refused picture", 4, 3, picture, -1, 200, "<html>Not found</html>", net.arg(399), 1);
    row("a picture that fails its decode", 4, 3, picture, -1, 200, "\xFF\xD8\xFF\xD9", net.arg(399),
        1);
    row("a document over its cap", 4, 3, "/quelvan/test.php", -1, 200,
        QByteArray((1 << 20) + 1, 'x'), net.arg(5), 1);
    row("a redirect not followed", 4, 3, picture, -1, 300, "", net.arg(399), 1);
}

void tst_downloadqueue::queue()
{
    QFETCH(int, connections);
    QFETCH(int, retries);
    QFETCH(QString, path);
    QFETCH(int, failures);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(int, asked);
    const WorkDir work;
    msClock::setFakeNow(1000);
    const auto realClock = qScopeGuard([] { msClock::useRealClock(); });
    const TestHttpServer::Response spoiled{status, body, TestHttpServer::Normal, {}};
    QList<TestHttpServer::Response> first;
    for (int i = 0; i < failures; ++i)
        first.append(spoiled);
    server.setFirstResponses(path, first);
    if (failures < 0)
        server.setResponse(path, spoiled);
    if (connections > 1) // answered only when that many are asked for at once
        server.holdFirst(connections, "/quelvan/img/");
    appOptions options = appOptions::defaults();
    options.serverUrl = server.baseUrl();
    options.connections = connections;
    options.retries = retries;
    loadInterface screen(options);
    QSignalSpy retried(screen.queue, &downloadQueue::retrying);
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    for (int t = 0; t < qMin(failures, retries); ++t) {
        QVERIFY(retried.count() > t || retried.wait(10000));
        const quint32 wait = 500u << t; // not a millisecond before
        msClock::advanceFake(wait - 1);
        screen.queue->poll();
        QTest::qWait(20);
        QCOMPARE(server.requests.count(path), t + 1);
        msClock::advanceFake(1);
        screen.queue->poll();
        QTRY_COMPARE(server.requests.count(path), t + 2);
    }
    QTRY_COMPARE_WITH_TIMEOUT(screen.statusLabel->text(), text, 10000);
    // Nothing more is asked for; a request sent just before the failure may still arrive.
    const int steps = screen.queue->stepCount;
    QTest::qWait(50);
    QCOMPARE(screen.queue->stepCount, steps);
    QVERIFY(server.requests.size() <= steps);
    QCOMPARE(server.requests.count(path), asked);
    if (text != QStringLiteral("Загрузка завершена"))
        return;
    // The documents first, in order, a retried one in its place, one at a time on one
    // connection, and then N at once; every request, retries too, a step of the line;
    // every picture whole.
    QCOMPARE(server.connections, connections);
    QStringList documents = TestSite::documentPaths();
    for (int i = 1; i < asked && path.endsWith(".php"); ++i)
        documents.insert(documents.indexOf(path), path);
    QCOMPARE(server.requests.mid(0, documents.size()), documents);
    QCOMPARE(screen.queue->stepCount, server.requests.size());
    const TestSite site = TestSite::small();
    // The id the chain gives, whatever order the pictures came in and however often asked.
    QCOMPARE(screen.loader->identity.id(), testIdentity::of(site.served()));
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QCOMPARE(TestSite::readFile("img/" + it.key() + ".jpg"), it.value());
}

QTEST_MAIN(tst_downloadqueue)
#include "tst_downloadqueue.moc"
