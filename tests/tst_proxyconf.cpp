#include "download/loading.h"
#include "download/loadinterface.h"
#include "download/proxyconf.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/workdir.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_proxyconf : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void initialState();
    void port_data();
    void port();
    void fieldsTakenAsTyped();
    void checkBoxToggles();
    void appliedOnlyWhenStarted();
    void downloadGoesThroughProxy();
};

void tst_proxyconf::cleanup()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

void tst_proxyconf::initialState()
{
    loadInterface screen;
    QCOMPARE(screen.proxyCheck->text(), QStringLiteral("Использовать Proxy"));
    QVERIFY(!screen.proxyCheck->isChecked());
    QVERIFY(!screen.pconf->isEnabled());
    QVERIFY(!screen.useProxy);

    proxyConf &p = *screen.pconf;
    QCOMPARE(p.hostLabel->text(), QStringLiteral("Имя proxy:"));
    QCOMPARE(p.portLabel->text(), QStringLiteral("Порт:"));
    QCOMPARE(p.userLabel->text(), QStringLiteral("Имя пользователя:"));
    QCOMPARE(p.passwordLabel->text(), QStringLiteral("Пароль:"));
    QCOMPARE(p.portEdit->text(), QStringLiteral("8080"));
    QCOMPARE(p.passwordEdit->echoMode(), QLineEdit::Password);
    QVERIFY(p.hostEdit->text().isEmpty());
}

void tst_proxyconf::port_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");

    QTest::newRow("untouched") << QStringLiteral("8080") << 8080;
    QTest::newRow("blanks around") << QStringLiteral(" 3128 ") << 3128;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("letters") << QStringLiteral("80a") << 0;
    QTest::newRow("fraction") << QStringLiteral("80.5") << 0;
    QTest::newRow("low 16 bits of 70000") << QStringLiteral("70000") << 4464;
    QTest::newRow("65536 wraps to 0") << QStringLiteral("65536") << 0;
    QTest::newRow("-1 wraps to 65535") << QStringLiteral("-1") << 65535;
    QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999") << 0;
}

void tst_proxyconf::port()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    proxyConf p;
    p.portEdit->setText(text);
    p.makeProxy();
    QCOMPARE(int(p.proxy.port()), port);
}

void tst_proxyconf::fieldsTakenAsTyped()
{
    proxyConf p;
    QTest::keyClicks(p.passwordEdit, QStringLiteral("s3cr et"));
    QVERIFY(p.passwordEdit->displayText() != p.passwordEdit->text()); // masked on screen
    p.hostEdit->setText(QStringLiteral(" proxy.local "));
    p.userEdit->setText(QStringLiteral("Иван "));
    p.makeProxy();

    QCOMPARE(p.proxy.type(), QNetworkProxy::HttpProxy);
    QCOMPARE(p.proxy.hostName(), QStringLiteral(" proxy.local "));
    QCOMPARE(p.proxy.user(), QStringLiteral("Иван "));
    QCOMPARE(p.proxy.password(), QStringLiteral("s3cr et"));
    QCOMPARE(QNetworkProxy::applicationProxy(), p.proxy);
}

void tst_proxyconf::checkBoxToggles()
{
    loadInterface screen;
    QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
    QVERIFY(screen.useProxy);
    QVERIFY(screen.pconf->isEnabled());
    QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
    QVERIFY(!screen.useProxy);
    QVERIFY(!screen.pconf->isEnabled());
}

void tst_proxyconf::appliedOnlyWhenStarted()
{
    const WorkDir work;

    // Ticked and unticked again: starting uses no proxy.
    const QNetworkProxy before = QNetworkProxy::applicationProxy();
    {
        loadInterface screen;
        screen.serverUrl = QStringLiteral("http://127.0.0.1:1");
        screen.pconf->hostEdit->setText(QStringLiteral("unused.invalid"));
        QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
        QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
        QTest::mouseClick(screen.getButton, Qt::LeftButton);
        QCOMPARE(screen.loader->manager->proxy().type(), QNetworkProxy::DefaultProxy);
        QCOMPARE(QNetworkProxy::applicationProxy(), before);
        QTRY_VERIFY(!screen.loader->busy);
    }
    // Ticked: nothing is applied until the button is pressed.
    {
        loadInterface screen;
        screen.serverUrl = QStringLiteral("http://127.0.0.1:1");
        QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
        screen.pconf->hostEdit->setText(QStringLiteral("127.0.0.1"));
        screen.pconf->portEdit->setText(QStringLiteral("1"));
        QCOMPARE(screen.loader->manager->proxy().type(), QNetworkProxy::DefaultProxy);
        QTest::mouseClick(screen.getButton, Qt::LeftButton);
        QCOMPARE(screen.loader->manager->proxy().hostName(), QStringLiteral("127.0.0.1"));
        QCOMPARE(QNetworkProxy::applicationProxy().type(), QNetworkProxy::HttpProxy);
        // Edits after the start change nothing.
        screen.pconf->hostEdit->setText(QStringLiteral("other"));
        QCOMPARE(screen.loader->manager->proxy().hostName(), QStringLiteral("127.0.0.1"));
        QTRY_VERIFY(!screen.loader->busy);
    }
}

void tst_proxyconf::downloadGoesThroughProxy()
{
    // The test server plays the proxy; the server name does not resolve, so every
    // answer that arrives came through it.
    TestHttpServer proxy;
    QVERIFY(proxy.listen());
    TestSite::small().serve(proxy);
    const WorkDir work;

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    screen.serverUrl = QStringLiteral("http://quelvan-test-server.invalid");
    QTest::mouseClick(screen.proxyCheck, Qt::LeftButton);
    screen.pconf->hostEdit->setText(QStringLiteral("127.0.0.1"));
    screen.pconf->portEdit->setText(QString::number(proxy.port()));
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QVERIFY(ended.wait(10000));
    QCOMPARE(proxy.requests.size(), 14);
    QCOMPARE(proxy.requests.first(), QStringLiteral("/quelvan/test.php"));
}

QTEST_MAIN(tst_proxyconf)
#include "tst_proxyconf.moc"
