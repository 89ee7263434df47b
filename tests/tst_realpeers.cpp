#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "download/downloadqueue.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "download/proxyconf.h"
#include "results/resultswriter.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/tlsserver.h"
#include "test/runtest.h"

#include <QAuthenticator>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

// The download against what only a real counterpart proves: a TLS server (nginx), an
// authenticating proxy (squid) and file systems that refuse the write (Linux only: a
// Windows test under Wine skips those rows).
class tst_realpeers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void download_data();
    void download();
    void resultsOnFullDisk();

private:
    TlsServer tls;
    QString tlsProblem;
    QTemporaryDir dir{TestSite::serverFolder()};
    QProcess squid;
    quint16 squidPort = 0;
    TestHttpServer origin;
};

namespace {
bool mountTmpfs(const QString &dir, const QString &options)
{
#ifdef Q_OS_WIN
    // No mount: those rows skip there by design.
    Q_UNUSED(dir)
    Q_UNUSED(options)
    return false;
#else
    return QDir().mkpath(dir)
           && QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", dir}) == 0;
#endif
}
} // namespace

void tst_realpeers::initTestCase()
{
    QVERIFY(origin.listen());
    tlsProblem = tls.start(TestSite::small());
    if (tlsProblem.isEmpty())
        tls.trustAuthority();

    const QString program = TestSite::hostProgram("squid", {"/usr/sbin"});
    const QString helper = TestSite::hostProgram("basic_ncsa_auth", {"/usr/lib/squid"});
    const QString htpasswd = TestSite::hostProgram(QStringLiteral("htpasswd"));
    if (program.isEmpty() || helper.isEmpty() || htpasswd.isEmpty())
        return; // the proxy rows skip
    const QString d = TestSite::hostPath(dir.path());
    QCOMPARE(TestSite::hostRun(htpasswd, {"-bc", d + "/passwd", "tester", "s3cret"}), 0);
    squidPort = TestSite::freePort();
    QVERIFY(TestSite::writeFile(
        dir.path() + "/squid.conf",
        QStringLiteral("http_port 127.0.0.1:%1\npid_filename %2/squid.pid\n"
                       "access_log stdio:%2/access.log\ncache_log %2/cache.log\ncache deny all\n"
                       "netdb_filename none\npinger_enable off\nshutdown_lifetime 0 seconds\n"
                       "auth_param basic program %3 %2/passwd\n"
                       "acl authed proxy_auth REQUIRED\nhttp_access allow authed\n")
            .arg(squidPort)
            .arg(d, helper)
            .toUtf8()));
    // squid started as root drops to the user proxy, which must reach its files.
#ifdef Q_OS_UNIX
    if (const passwd *pw = geteuid() == 0 ? getpwnam("proxy") : nullptr)
        for (const QString &f : {d, d + "/passwd", d + "/squid.conf"})
            QVERIFY(::chown(QFile::encodeName(f).constData(), pw->pw_uid, pw->pw_gid) == 0);
#else
    TestSite::hostRun(TestSite::hostProgram("sh"),
                      {"-c", "[ $(/usr/bin/id -u) != 0 ] || /bin/chown -R proxy:proxy $0", d});
#endif
    TestSite::startServer(squid, program, {"-N", "-f", d + "/squid.conf"}, dir.path());
    QVERIFY(TestSite::waitForPort(squidPort));
}

void tst_realpeers::cleanupTestCase()
{
    TestSite::stopServer(squid, dir.path(), squidPort);
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

void tst_realpeers::download_data()
{
    QTest::addColumn<int>("server");    // a TLS listener, or -1 for the plain origin
    QTest::addColumn<QString>("proxy"); // "" none, "user:password" through squid, "down"
    QTest::addColumn<QString>("mount"); // options of a tmpfs over img/, or ""
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("connections");
    QTest::addColumn<int>("retries");
    const QString done = QStringLiteral("Загрузка завершена");
    const QString failed = QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:127.0.0.1");
    auto row = [](const char *name, int server, const char *proxy, const char *mount,
                  const QString &expected, int connections = 1, int retries = 0) {
        QTest::newRow(name) << server << proxy << mount << expected << connections << retries;
    };
    // 6 is a failed TLS handshake, 11 a redirect to a less safe scheme.
    row("trusted authority", TlsServer::Good, "", "", done);
    // Several pictures at once go as HTTP/2 streams of one connection where it is offered.
    row("trusted authority, four at once", TlsServer::Good, "", "", done, 4);
    row("http redirected to https", TlsServer::ToHttps, "", "", done);
    row("unknown authority", TlsServer::UnknownCa, "", "", failed.arg(6));
    row("certificate for another host", TlsServer::WrongHost, "", "", failed.arg(6));
    // Another try cannot mend a certificate.
    row("expired certificate, retries set", TlsServer::Expired, "", "", failed.arg(6), 1, 3);
    row("https redirected to http", TlsServer::ToHttp, "", "", failed.arg(11));
    // 407 from squid is the toolkit's 105; a refused HTTP proxy a plain refused connection.
    // Through the proxy an https server is reached by CONNECT, its certificate still checked.
    row("proxy, right credentials", -1, "tester:s3cret", "", done);
    row("proxy, https", TlsServer::Good, "tester:s3cret", "", done);
    row("proxy, wrong password", -1, "tester:wrong", "", failed.arg(105));
    row("proxy, no credentials", -1, ":", "", failed.arg(105));
    row("proxy not running", -1, "down", "", failed.arg(1));
    // Root ignores permission bits, so the refusal comes from a small tmpfs over img/.
    row("read-only file system", -1, "", "ro", QStringLiteral("Не удалось записать файл"));
    row("full file system", -1, "", "size=64k", QStringLiteral("Не удалось записать файл"));
}

void tst_realpeers::download()
{
    QFETCH(int, server);
    QFETCH(QString, proxy);
    QFETCH(QString, mount);
    QFETCH(QString, expected);
    QFETCH(int, connections);
    QFETCH(int, retries);
    if (server >= 0 && !tlsProblem.isEmpty())
        QSKIP(qPrintable(tlsProblem));
    const bool trusted =
        server == TlsServer::Good || server == TlsServer::ToHttps || server == TlsServer::ToHttp;
    if (trusted && TestSite::underWine())
        QSKIP("fails only under Wine's own TLS: its schannel refuses the test's authority, so no "
              "handshake with a trusted certificate succeeds there");
    if (!proxy.isEmpty() && !squidPort)
        QSKIP("squid, basic_ncsa_auth or htpasswd is missing; tools/run-tests.sh installs them");
    const WorkDir work;
    const QString img = work.path() + QStringLiteral("/img");
    TestSite site = TestSite::small();
    const QByteArray older(20000, 'o'); // an earlier run's picture
    auto unmount = qScopeGuard([&] { QProcess::execute("umount", {img}); });
    if (mount.isEmpty())
        unmount.dismiss();
    else {
        if (!mountTmpfs(img, "size=64k"))
            QSKIP("cannot mount a tmpfs over img/ (needs root and mount; none on Windows)");
        QVERIFY(TestSite::writeFile(QStringLiteral("img/a_x.jpg"), older));
        if (mount == QLatin1String("ro"))
            QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", img}), 0);
        site.pictures[QStringLiteral("a_x")] += QByteArray(60000, 'n'); // too big
    }
    origin.reset();
    site.serve(origin);
    const int logged = tls.accessLog().size();

    appOptions options = appOptions::defaults();
    options.serverUrl = server < 0 ? origin.baseUrl() : tls.url(TlsServer::Listener(server));
    options.connections = connections;
    options.retries = retries;
    loadInterface screen(options);
    int prompts = 0;
    if (!proxy.isEmpty()) {
        QCOMPARE(screen.pconf->portEdit->text(), QStringLiteral("8080"));
        QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
        screen.pconf->hostEdit->setText(QStringLiteral("127.0.0.1"));
        screen.pconf->portEdit->setText(
            QString::number(proxy == "down" ? TestSite::freePort() : squidPort));
        screen.pconf->userEdit->setText(proxy.section(QLatin1Char(':'), 0, 0));
        screen.pconf->passwordEdit->setText(proxy.section(QLatin1Char(':'), 1));
        connect(screen.loader->manager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
                [&prompts] { ++prompts; });
    }
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    int retried = 0, queueFailed = 0;
    if (screen.queue) {
        connect(screen.queue, &downloadQueue::retrying, this, [&retried] { ++retried; });
        connect(screen.queue, &downloadQueue::failed, this, [&queueFailed] { ++queueFailed; });
    }
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    const bool stopped = QTest::qWaitFor(
        [&] {
            return ended.count() || queueFailed || screen.loader->netError
                   || screen.loader->fileError;
        },
        30000);
    QTest::qWait(50); // nothing more may be requested
    const QByteArray now = TestSite::readFile(QStringLiteral("img/a_x.jpg"));
    const QStringList left = QDir(img).entryList(QDir::Files | QDir::Hidden);

    QVERIFY(stopped);
    QCOMPARE(screen.statusLabel->text(), expected);
    QVERIFY(prompts <= 1); // asked once at most, never in a loop
    QCOMPARE(retried, 0);
    const bool whole = expected == QStringLiteral("Загрузка завершена");
    QCOMPARE(left.size(), whole ? 7 : !mount.isEmpty());
    // Nothing after a picture that failed, and the older picture intact.
    if (server < 0) // and the one that left while the failed picture was stored, aborted
        QCOMPARE(origin.requests.size() - int(!mount.isEmpty() && origin.requests.size() == 9),
                 !mount.isEmpty() ? 8
                 : whole          ? 14
                                  : 0);
    QVERIFY(mount.isEmpty() || now == older);
    // The requests go over one kept-alive connection of the TLS listener, or through squid,
    // which logs them, made as the user.
    QSet<QString> used;
    for (const QString &line : tls.accessLog().mid(logged)) {
        used.insert(line.section(QLatin1Char(' '), 0, 0));
        QVERIFY2(connections == 1 || line.endsWith("HTTP/2.0"), qPrintable(line));
    }
    if (whole && server >= 0 && proxy.isEmpty())
        QCOMPARE(used.size(), server == TlsServer::ToHttps ? 2 : 1);
    if (whole && !proxy.isEmpty())
        QTRY_VERIFY(TestSite::readFile(dir.path() + "/access.log")
                        .contains(server < 0 ? "tester" : "CONNECT 127.0.0.1:"));
}

void tst_realpeers::resultsOnFullDisk()
{
    // A results folder that fills up mid-run: the test goes on to its graph, every row
    // written stays whole, and the graph screen says so.
    const WorkDir work;
    const TestSite site = TestSite::small(200);
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY(TestSite::writeFile("img/" + it.key() + ".jpg", it.value()));
    appOptions options = appOptions::defaults();
    options.resultsDir = work.path() + "/results";
    if (!mountTmpfs(options.resultsDir, "size=8k")) // two pages: about 50 rows
        QSKIP("cannot mount a tmpfs (needs root and mount; none on Windows)");
    auto unmount = qScopeGuard([&] { QProcess::execute("umount", {options.resultsDir}); });
    MainWindow w(options);
    loadInterface *screen = w.loadWidget;
    screen->testText = QString::fromUtf8(site.test);
    screen->tmText = "5";
    screen->tsInSeriesText = "100";
    screen->totalSeriesText = "2";
    screen->participant = "P";
    screen->runStart = QDateTime::currentDateTime();
    w.endLoading();
    w.startTest();
    for (int i = 0; i < 200; ++i) {
        if (!w.tester)
            w.nextSeries();
        w.tester->pressBut(1);
    }
    const auto *notice = w.centralWidget()->findChild<QLabel *>();
    QTRY_COMPARE(notice->text(), "Результаты сохранены не полностью: " + options.resultsDir);
    QVERIFY(!notice->isHidden());
    const QList<QByteArray> rows =
        TestSite::readFile(options.resultsDir + '/' + w.results->stem + "_trials.csv").split('\n');
    QVERIFY2(rows.size() > 10 && rows.size() < 200, qPrintable(QString::number(rows.size())));
    QCOMPARE(rows.last(), QByteArray());                       // the file ends with a whole row
    for (const QByteArray &row : rows.mid(1, rows.size() - 2)) // as many fields as the header
        QVERIFY2(row.count(',') == rows.first().count(',') && row.endsWith('\r'), row.constData());
    // No graph is better than an empty one, even one small enough to wait in a buffer for
    // the last write.
    const QString graph = options.resultsDir + '/' + w.results->stem + "_graph.png";
    QVERIFY(!QFile::exists(graph));
    w.results->graph(QImage(8, 8, QImage::Format_RGB32));
    QVERIFY(!QFile::exists(graph));
}

QTEST_MAIN(tst_realpeers)
#include "tst_realpeers.moc"
