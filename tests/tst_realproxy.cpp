#include "download/loading.h"
#include "download/loadinterface.h"
#include "download/proxyconf.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/tlsserver.h"
#include "support/workdir.h"

#include <QAuthenticator>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// The download through a real squid on 127.0.0.1 with basic authentication.
class tst_realproxy : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void rightCredentials();
    void wrongCredentials_data();
    void wrongCredentials();
    void proxyNotRunning();
    void httpsThroughProxy();

private:
    static quint16 freePort();
    // Runs a download through the proxy; returns the screen's final status text.
    QString download(quint16 port, const QString &user, const QString &password,
                     int *authPrompts = nullptr, const QString &server = QString());

    QTemporaryDir dir;
    QProcess squid;
    quint16 squidPort = 0;
    TestHttpServer origin;
    WorkDir *work = nullptr;
};

quint16 tst_realproxy::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

void tst_realproxy::initTestCase()
{
    const QString squidProgram =
        QStandardPaths::findExecutable(QStringLiteral("squid"), {"/usr/sbin", "/usr/local/sbin"});
    const QString helper = QStringLiteral("/usr/lib/squid/basic_ncsa_auth");
    const QString htpasswd = QStandardPaths::findExecutable(QStringLiteral("htpasswd"));
    if (squidProgram.isEmpty() || !QFile::exists(helper) || htpasswd.isEmpty())
        QSKIP("squid, its basic_ncsa_auth helper or htpasswd is missing; "
              "tools/run-tests.sh installs squid and apache2-utils");

    QVERIFY(origin.listen());
    TestSite::small().serve(origin);

    const QString d = dir.path();
    QCOMPARE(QProcess::execute(htpasswd, {"-bc", d + "/passwd", "tester", "s3cret"}), 0);
    squidPort = freePort();
    QFile conf(d + "/squid.conf");
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("http_port 127.0.0.1:%1\n"
                              "pid_filename %2/squid.pid\n"
                              "access_log stdio:%2/access.log\n"
                              "cache_log %2/cache.log\n"
                              "cache_store_log none\n"
                              "cache deny all\n"
                              "coredump_dir %2\n"
                              "netdb_filename none\n"
                              "pinger_enable off\n"
                              "shutdown_lifetime 0 seconds\n"
                              "auth_param basic program %3 %2/passwd\n"
                              "auth_param basic realm quelvan\n"
                              "acl authed proxy_auth REQUIRED\n"
                              "http_access allow authed\n"
                              "http_access deny all\n")
                   .arg(squidPort)
                   .arg(d, helper)
                   .toUtf8());
    conf.close();
    // squid started as root drops to the user proxy, which must reach its files.
    if (geteuid() == 0) {
        if (const passwd *pw = getpwnam("proxy")) {
            for (const QString &f : {d, d + "/passwd", d + "/squid.conf"})
                QVERIFY(::chown(QFile::encodeName(f).constData(), pw->pw_uid, pw->pw_gid) == 0);
        }
    }

    squid.setProcessChannelMode(QProcess::MergedChannels);
    squid.start(squidProgram, {"-N", "-f", d + "/squid.conf"});
    QVERIFY(squid.waitForStarted());
    const bool up = QTest::qWaitFor(
        [this] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, squidPort);
            return s.waitForConnected(200);
        },
        30000);
    if (!up) {
        QFile log(d + "/cache.log");
        log.open(QIODevice::ReadOnly);
        qWarning() << squid.readAll() << log.readAll();
        QFAIL("squid did not start listening");
    }
}

void tst_realproxy::cleanupTestCase()
{
    if (squid.state() != QProcess::NotRunning) {
        squid.terminate();
        if (!squid.waitForFinished(10000))
            squid.kill();
    }
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

void tst_realproxy::init()
{
    work = new WorkDir;
    origin.requests.clear();
}

void tst_realproxy::cleanup()
{
    delete work;
}

QString tst_realproxy::download(quint16 port, const QString &user, const QString &password,
                                int *authPrompts, const QString &server)
{
    loadInterface screen;
    screen.serverUrl = server.isEmpty() ? origin.baseUrl() : server;
    QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
    screen.pconf->hostEdit->setText(QStringLiteral("127.0.0.1"));
    screen.pconf->portEdit->setText(QString::number(port));
    screen.pconf->userEdit->setText(user);
    screen.pconf->passwordEdit->setText(password);
    int prompts = 0;
    connect(screen.loader->manager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
            [&prompts] { ++prompts; });
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return ended.count() > 0 || screen.loader->netError; }, 30000))
        return QStringLiteral("the download did not end");
    QTest::qWait(100);
    if (authPrompts)
        *authPrompts = prompts;
    return screen.statusLabel->text();
}

void tst_realproxy::rightCredentials()
{
    QCOMPARE(download(squidPort, "tester", "s3cret"), QStringLiteral("Загрузка завершена"));
    QCOMPARE(origin.requests.size(), 14);
    // The proxy's own log shows every request, made as the user.
    QFile log(dir.path() + "/access.log");
    QTRY_VERIFY(log.size() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            log.open(QIODevice::ReadOnly);
            const QByteArray text = log.readAll();
            log.close();
            return text.count("tester") >= 14 && text.contains("/quelvan/test.php")
                   && text.contains("/quelvan/img/fail.jpg");
        }(),
        10000);
}

void tst_realproxy::wrongCredentials_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << "tester"
                                    << "wrong";
    QTest::newRow("unknown user") << "nobody"
                                  << "s3cret";
    QTest::newRow("no credentials") << ""
                                    << "";
}

void tst_realproxy::wrongCredentials()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    int prompts = 0;
    // 407 from squid: the toolkit's code 105, ProxyAuthenticationRequiredError.
    QCOMPARE(download(squidPort, user, password, &prompts),
             QStringLiteral("Ошибка сетевого соединения:105  \n По запросу:127.0.0.1"));
    QVERIFY(prompts <= 1); // asked once at most, never in a loop
    QVERIFY(origin.requests.isEmpty());
}

void tst_realproxy::proxyNotRunning()
{
    // The toolkit reports a refused HTTP proxy as a plain refused connection (1).
    QCOMPARE(download(freePort(), "tester", "s3cret"),
             QStringLiteral("Ошибка сетевого соединения:1  \n По запросу:127.0.0.1"));
    QVERIFY(origin.requests.isEmpty());
}

void tst_realproxy::httpsThroughProxy()
{
    TlsServer tls;
    const QString why = tls.start(TestSite::small());
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    tls.trustAuthority();
    // The proxy only relays the encrypted stream (CONNECT); the certificate is still checked.
    QCOMPARE(download(squidPort, "tester", "s3cret", nullptr, tls.url(TlsServer::Good)),
             QStringLiteral("Загрузка завершена"));
    QCOMPARE(tls.accessLog().size(), 14);
    QFile log(dir.path() + "/access.log");
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            log.open(QIODevice::ReadOnly);
            const QByteArray text = log.readAll();
            log.close();
            return text.contains("CONNECT 127.0.0.1:") && text.contains("tester");
        }(),
        10000);
}

QTEST_MAIN(tst_realproxy)
#include "tst_realproxy.moc"
