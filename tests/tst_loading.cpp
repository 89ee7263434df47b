#include "download/serverlayout.h"
#include "download/loading.h"
#include "support/testhttpserver.h"
#include "support/workdir.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_loading : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void failedAnswer_data();
    void failedAnswer();
    void loadWhileBusy();
    void finishMayLoadAgain();
    void pictureStored();
    void pictureReplacesOlderFile_data();
    void pictureReplacesOlderFile();
    void pictureWriteFailureKeepsOlderFile_data();
    void pictureWriteFailureKeepsOlderFile();
    void windowsFileNames_data();
    void windowsFileNames();

private:
    bool fetch(loading &loader, const QString &path);
    static QByteArray readFile(const QString &path);

    TestHttpServer *server = nullptr;
    WorkDir *work = nullptr;
};

void tst_loading::init()
{
    server = new TestHttpServer(this);
    QVERIFY(server->listen());
    work = new WorkDir;
    QVERIFY(work->isValid());
    QVERIFY(QDir().mkdir(QStringLiteral("img")));
}

void tst_loading::cleanup()
{
    delete work;
    work = nullptr;
    delete server;
    server = nullptr;
}

bool tst_loading::fetch(loading &loader, const QString &path)
{
    QSignalSpy finished(&loader, &loading::finish);
    if (!loader.load(server->baseUrl() + path))
        return false;
    return finished.wait(10000);
}

QByteArray tst_loading::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void tst_loading::failedAnswer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");

    QTest::newRow("404 not found") << 404 << 203;
    QTest::newRow("401 unauthorised") << 401 << 204;
    QTest::newRow("500 server error") << 500 << 401;
}

void tst_loading::failedAnswer()
{
    QFETCH(int, status);
    QFETCH(int, code);
    server->setBody(QStringLiteral("/doc"), "a body that must not be kept", status);

    loading loader;
    QVERIFY(fetch(loader, QStringLiteral("/doc")));
    QVERIFY(loader.netError);
    QVERIFY(loader.replyText.isEmpty());
    QCOMPARE(loader.statusText,
             QStringLiteral("Ошибка сетевого соединения:%1  \n По запросу:127.0.0.1").arg(code));

    // A failed picture answer writes no file.
    loader.fileMode = true;
    loader.fileName = QStringLiteral("p");
    QVERIFY(fetch(loader, QStringLiteral("/doc")));
    QVERIFY(!QFile::exists(QStringLiteral("img/p.jpg")));
}

void tst_loading::loadWhileBusy()
{
    server->setBody(QStringLiteral("/doc"), "x");
    loading loader;
    QSignalSpy started(&loader, &loading::start);
    QSignalSpy finished(&loader, &loading::finish);

    QVERIFY(loader.load(server->baseUrl() + QStringLiteral("/doc")));
    QCOMPARE(started.count(), 1); // emitted before load returns
    const QString status = loader.statusText;
    QCOMPARE(status, QStringLiteral("Выполняю запрос к серверу. Шаг 1"));

    QVERIFY(!loader.load(server->baseUrl() + QStringLiteral("/other")));
    QCOMPARE(loader.stepCount, 1);
    QCOMPARE(loader.statusText, status);
    QCOMPARE(started.count(), 1);

    QVERIFY(finished.wait(10000));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(server->requests, QStringList{QStringLiteral("/doc")});
}

void tst_loading::finishMayLoadAgain()
{
    server->setBody(QStringLiteral("/1"), "one");
    server->setBody(QStringLiteral("/2"), "two");
    loading loader;
    QStringList texts;
    connect(&loader, &loading::finish, this, [&] {
        texts.append(loader.replyText);
        if (texts.size() == 1)
            QVERIFY(loader.load(server->baseUrl() + QStringLiteral("/2")));
    });
    QVERIFY(loader.load(server->baseUrl() + QStringLiteral("/1")));
    QTRY_COMPARE(texts.size(), 2);
    QCOMPARE(texts, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    QCOMPARE(loader.stepCount, 2);
    QCOMPARE(server->connections, 1); // the connection is kept alive between requests
}

void tst_loading::pictureStored()
{
    QByteArray picture(100000, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7);
    server->setBody(QStringLiteral("/quelvan/img/a b_я.jpg"), picture);

    loading loader;
    loader.fileMode = true;
    loader.fileName = QStringLiteral("a b_я");
    QVERIFY(fetch(loader, QStringLiteral("/quelvan/img/a b_я.jpg")));
    QCOMPARE(loader.statusText, QStringLiteral("Данные успешно получены"));
    QVERIFY(loader.replyText.isEmpty());
    QCOMPARE(readFile(QStringLiteral("img/a b_я.jpg")), picture);
    // Nothing else is left in the directory, no temporary file either.
    QCOMPARE(QDir(QStringLiteral("img")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("a b_я.jpg")});
}

void tst_loading::pictureReplacesOlderFile_data()
{
    QTest::addColumn<QString>("older");
    QTest::newRow("plain file") << QStringLiteral("file");
    QTest::newRow("read-only file") << QStringLiteral("read-only");
#ifdef Q_OS_UNIX
    QTest::newRow("link to a file outside img") << QStringLiteral("link");
    QTest::newRow("dangling link") << QStringLiteral("dangling");
#endif
}

void tst_loading::pictureReplacesOlderFile()
{
    QFETCH(QString, older);
    const QString outside = work->path() + QStringLiteral("/outside.jpg");
    QFile old(older == QLatin1String("link") ? outside : QStringLiteral("img/p.jpg"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'o'));
    old.close();
    if (older == QLatin1String("read-only"))
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther));
    if (older.contains(QLatin1String("link")))
        QVERIFY(QFile::link(older == QLatin1String("link") ? outside : QStringLiteral("gone"),
                            QStringLiteral("img/p.jpg")));
    server->setBody(QStringLiteral("/p"), "new");
    server->setBody(QStringLiteral("/q"), "next");

    loading loader;
    loader.fileMode = true;
    loader.fileName = QStringLiteral("p");
    QVERIFY(fetch(loader, QStringLiteral("/p")));
    QCOMPARE(loader.statusText, QStringLiteral("Данные успешно получены"));
    // The picture after it is stored as well: a replaced file must leave nothing behind.
    loader.fileName = QStringLiteral("q");
    QVERIFY(fetch(loader, QStringLiteral("/q")));
    QCOMPARE(loader.statusText, QStringLiteral("Данные успешно получены"));
    QVERIFY(!loader.fileError);

    const QFileInfo picture(QStringLiteral("img/p.jpg"));
    QVERIFY(!picture.isSymLink());
    QCOMPARE(readFile(QStringLiteral("img/p.jpg")), QByteArray("new"));
    QCOMPARE(readFile(QStringLiteral("img/q.jpg")), QByteArray("next"));
    QVERIFY(picture.permissions() & QFileDevice::WriteOwner);
    if (older == QLatin1String("link"))
        QCOMPARE(readFile(outside), QByteArray(5000, 'o'));
    QCOMPARE(QDir(QStringLiteral("img")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                   | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("p.jpg"), QStringLiteral("q.jpg")}));
}

void tst_loading::pictureWriteFailureKeepsOlderFile_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("img is a plain file") << QStringLiteral("img-file");
    QTest::newRow("a directory where the picture goes") << QStringLiteral("dir-at-picture");
    QTest::newRow("img missing") << QStringLiteral("no-img");
}

void tst_loading::pictureWriteFailureKeepsOlderFile()
{
    QFETCH(QString, obstacle);
    QVERIFY(QDir(QStringLiteral("img")).removeRecursively());
    if (obstacle == QLatin1String("img-file")) {
        QFile f(QStringLiteral("img"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    } else if (obstacle == QLatin1String("dir-at-picture")) {
        QVERIFY(QDir().mkpath(QStringLiteral("img/p.jpg/inner")));
    }
    server->setBody(QStringLiteral("/p"), "new picture");

    loading loader;
    loader.fileMode = true;
    loader.fileName = QStringLiteral("p");
    QVERIFY(fetch(loader, QStringLiteral("/p")));
    QCOMPARE(loader.statusText, QStringLiteral("Не удалось записать файл"));
    QVERIFY(loader.fileError);
    QVERIFY(!loader.netError);
    if (obstacle == QLatin1String("img-file"))
        QCOMPARE(readFile(QStringLiteral("img")), QByteArray("old"));
    if (obstacle == QLatin1String("dir-at-picture")) {
        QVERIFY(QFileInfo(QStringLiteral("img/p.jpg/inner")).isDir());
        QCOMPARE(QDir(QStringLiteral("img"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("p.jpg")});
    }
}

void tst_loading::windowsFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("storable");
    QTest::newRow("plain") << QStringLiteral("a_x") << true;
    QTest::newRow("blank and Cyrillic inside") << QStringLiteral("a b_Ж") << true;
    QTest::newRow("dots inside") << QStringLiteral(".._x.y") << true;
    QTest::newRow("device as part of a word") << QStringLiteral("console_x") << true;
    QTest::newRow("COM without a digit") << QStringLiteral("COM_x") << true;
    QTest::newRow("colon: another file's stream") << QStringLiteral("a:x") << false;
    for (const char *c : {"*", "?", "\"", "<", ">", "|"})
        QTest::newRow(c) << QStringLiteral("a%1x").arg(QLatin1String(c)) << false;
    QTest::newRow("tab") << QStringLiteral("a\tx") << false;
    QTest::newRow("trailing dot") << QStringLiteral("a_x.") << false;
    QTest::newRow("trailing blank") << QStringLiteral("a_x ") << false;
    QTest::newRow("NUL") << QStringLiteral("NUL") << false;
    QTest::newRow("con, any case") << QStringLiteral("con") << false;
    QTest::newRow("device with an extension") << QStringLiteral("aux.x") << false;
    QTest::newRow("COM1") << QStringLiteral("COM1") << false;
    QTest::newRow("lpt9") << QStringLiteral("lpt9") << false;
}

void tst_loading::windowsFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, storable);
    QCOMPARE(serverLayout::isWindowsFileName(name), storable);
    // Elsewhere such names are kept: servers may rely on them.
#ifdef Q_OS_WIN
    QCOMPARE(serverLayout::isSafePictureName(name), storable);
#else
    QVERIFY(serverLayout::isSafePictureName(name));
#endif
}

QTEST_GUILESS_MAIN(tst_loading)
#include "tst_loading.moc"
