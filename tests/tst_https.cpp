#include "download/loading.h"
#include "download/loadinterface.h"
#include "support/testsite.h"
#include "support/tlsserver.h"
#include "support/workdir.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// The download from a real TLS server (nginx), whose certificates come from an authority
// that only this process trusts.
class tst_https : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void download_data();
    void download();

private:
    TlsServer server;
};

void tst_https::initTestCase()
{
    const QString why = server.start(TestSite::small());
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    server.trustAuthority();
}

void tst_https::download_data()
{
    QTest::addColumn<int>("listener");
    QTest::addColumn<QString>("expected");

    const QString done = QStringLiteral("Загрузка завершена");
    const QString failed = QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:127.0.0.1");
    QTest::newRow("trusted authority") << int(TlsServer::Good) << done;
    QTest::newRow("http redirected to https") << int(TlsServer::ToHttps) << done;
    // The toolkit's code 6 is a failed TLS handshake, 11 a redirect to a less safe scheme.
    QTest::newRow("unknown authority") << int(TlsServer::UnknownCa) << failed.arg(6);
    QTest::newRow("certificate for another host") << int(TlsServer::WrongHost) << failed.arg(6);
    QTest::newRow("expired certificate") << int(TlsServer::Expired) << failed.arg(6);
    QTest::newRow("https redirected to http") << int(TlsServer::ToHttp) << failed.arg(11);
}

void tst_https::download()
{
    QFETCH(int, listener);
    QFETCH(QString, expected);
    const WorkDir work;
    const int logged = server.accessLog().size();

    loadInterface screen;
    screen.serverUrl = server.url(TlsServer::Listener(listener));
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(ended.count() > 0 || screen.loader->netError, 20000);
    QCOMPARE(screen.statusLabel->text(), expected);

    const QStringList entries = QDir(QStringLiteral("img")).entryList(QDir::Files | QDir::Hidden);
    if (ended.isEmpty()) {
        QVERIFY(entries.isEmpty());
        return;
    }
    QCOMPARE(entries.size(), 7);
    QCOMPARE(screen.loader->stepCount, 14); // a redirect is not a step of its own
    // Every request went over one kept-alive connection of the TLS listener.
    QStringList connections;
    for (const QString &line : server.accessLog().mid(logged))
        if (!connections.contains(line.section(QLatin1Char(' '), 0, 0)))
            connections.append(line.section(QLatin1Char(' '), 0, 0));
    QCOMPARE(connections.size(), listener == TlsServer::ToHttps ? 2 : 1);
}

QTEST_MAIN(tst_https)
#include "tst_https.moc"
