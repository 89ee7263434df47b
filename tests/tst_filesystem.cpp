#include "download/loading.h"
#include "download/loadinterface.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "support/workdir.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The picture directory on a file system that refuses the write. Root ignores permission
// bits, so the refusal comes from a small tmpfs mounted over img/; without the right to
// mount, the cases skip.
class tst_filesystem : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusedWriteKeepsOlderPicture_data();
    void refusedWriteKeepsOlderPicture();

private:
    bool mountImg(const QString &options);

    WorkDir *work = nullptr;
    bool mounted = false;
};

void tst_filesystem::init()
{
    work = new WorkDir;
    QVERIFY(work->isValid());
    QVERIFY(QDir().mkdir(QStringLiteral("img")));
}

void tst_filesystem::cleanup()
{
    if (mounted)
        QProcess::execute(QStringLiteral("umount"), {work->path() + QStringLiteral("/img")});
    mounted = false;
    delete work;
}

bool tst_filesystem::mountImg(const QString &options)
{
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {"-t", "tmpfs", "-o", options, "tmpfs", work->path() + QStringLiteral("/img")});
    mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit
              && mount.exitCode() == 0;
    return mounted;
}

void tst_filesystem::refusedWriteKeepsOlderPicture_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("read-only file system") << QStringLiteral("size=1m") << true;
    QTest::newRow("full file system") << QStringLiteral("size=64k") << false;
}

void tst_filesystem::refusedWriteKeepsOlderPicture()
{
    QFETCH(QString, options);
    QFETCH(bool, readOnly);
    if (!mountImg(options))
        QSKIP("cannot mount a tmpfs over img/ (needs root and mount)");

    // An older picture from an earlier run.
    const QByteArray older(20000, 'o');
    QFile old(QStringLiteral("img/a_x.jpg"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    QCOMPARE(old.write(older), qint64(older.size()));
    old.close();
    if (readOnly)
        QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                                   {"-o", "remount,ro", work->path() + QStringLiteral("/img")}),
                 0);

    TestHttpServer server;
    QVERIFY(server.listen());
    TestSite site = TestSite::small();
    site.pictures.insert(QStringLiteral("a_x"), QByteArray(60000, 'n')); // does not fit
    site.serve(server);

    loadInterface screen;
    QSignalSpy ended(&screen, &loadInterface::endLoading);
    screen.serverUrl = server.baseUrl();
    QTest::mouseClick(screen.getButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(screen.loader->fileError, 10000);
    QTest::qWait(50);

    QCOMPARE(screen.statusLabel->text(), QStringLiteral("Не удалось записать файл"));
    QVERIFY(!screen.loader->netError);
    QCOMPARE(server.requests.size(), 8); // nothing after the picture that failed
    QCOMPARE(ended.count(), 0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), older);
    QCOMPARE(QDir(QStringLiteral("img")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("a_x.jpg")});
}

QTEST_MAIN(tst_filesystem)
#include "tst_filesystem.moc"
