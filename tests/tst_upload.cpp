#include "app/appoptions.h"
#include "app/mainwindow.h"
#include "app/msclock.h"
#include "download/loadinterface.h"
#include "results/resultsuploader.h"
#include "results/resultswriter.h"
#include "results/runoutbox.h"
#include "support/davserver.h"
#include "support/testsite.h"
#include "test/runtest.h"

#include <QLabel>
#include <QProcess>
#include <QtTest>

namespace {
enum Trouble { None, Down, Failing, Killed };
const QString sent = QStringLiteral("Результаты отправлены");
const QString later = QStringLiteral("Результаты будут отправлены позже");
const QString refused = QStringLiteral("Результаты не отправлены");
} // namespace
Q_DECLARE_METATYPE(Trouble)

// Each run's files delivered to a real WebDAV store (nginx taking PUT with basic
// authentication) whatever the server does meanwhile; the waits between tries run on the
// test clock.
class tst_upload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { msClock::setFakeNow(1000); }
    void cleanupTestCase() { msClock::useRealClock(); }
    void deliver_data();
    void deliver();

private:
    // Two series of one slide in `w`, from the instructions to the graph.
    void play(MainWindow &w, const QDateTime &start, Trouble trouble, bool accepted);

    WorkDir work;
    DavServer dav;
    QString davProblem;
};

void tst_upload::initTestCase()
{
    const TestSite site = TestSite::small(2);
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY(TestSite::writeFile("img/" + it.key() + ".jpg", it.value()));
    davProblem = dav.start();
}

void tst_upload::play(MainWindow &w, const QDateTime &start, Trouble trouble, bool accepted)
{
    loadInterface *screen = w.loadWidget;
    screen->testText = QString::fromUtf8(TestSite::small(2).test);
    // Slides and pauses longer than the clock is ever set forward: only the test ends them.
    screen->tmText = "100000";
    screen->pauseSeriesText = "100000";
    screen->tsInSeriesText = "1";
    screen->totalSeriesText = "2";
    screen->participant = "P";
    screen->runStart = start;
    int calls = dav.log().size();
    w.endLoading();
    w.startTest();
    w.tester->pressBut(1); // the first series ends: its two files go, answered in the pause
    calls += 2;
    if (trouble != Down)
        QTRY_COMPARE(dav.log().size(), calls);
    if (accepted) {
        // Both confirmed, and the pause goes on: the run is not over, nothing is forgotten.
        runOutbox record(w.results->folder, w.results->stem);
        QTRY_VERIFY(record.load() && record.confirmed.size() == 2);
        w.uploader->poll();
    }
    if (trouble == Failing) {
        // Tried again after 1, 2 and 4 s, and not a millisecond before.
        for (const quint32 wait : {1000, 2000, 4000}) {
            msClock::advanceFake(wait - 1);
            w.uploader->poll();
            QTest::qWait(50);
            QCOMPARE(dav.log().size(), calls);
            msClock::advanceFake(1);
            w.uploader->poll();
            calls += 2;
            QTRY_COMPARE(dav.log().size(), calls);
        }
        // While the next series runs nothing is tried, however long it takes.
        w.nextSeries();
        msClock::advanceFake(600000);
        w.uploader->poll();
        QTest::qWait(200);
        QCOMPARE(dav.log().size(), calls);
    } else {
        w.nextSeries();
    }
    w.tester->pressBut(1);
    QTRY_VERIFY(QFile::exists(w.results->folder + '/' + w.results->stem + "_graph.png"));
}

void tst_upload::deliver_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<Trouble>("trouble"); // during the run; mended afterwards
    QTest::addColumn<int>("runs");        // started in the same second, with the same code
    QTest::addColumn<QString>("shown");   // under the graph
    QTest::newRow("a whole run") << "s3cret" << None << 1 << sent;
    QTest::newRow("two runs in the same second") << "s3cret" << None << 2 << sent;
    QTest::newRow("server down, up at the next start") << "s3cret" << Down << 1 << later;
    QTest::newRow("500 for a while") << "s3cret" << Failing << 1 << later;
    QTest::newRow("killed while sending, then --send-results") << "s3cret" << Killed << 1 << "";
    QTest::newRow("a wrong password") << "wrong" << None << 1 << refused;
}

void tst_upload::deliver()
{
    QFETCH(QString, password);
    QFETCH(Trouble, trouble);
    QFETCH(int, runs);
    QFETCH(QString, shown);
    if (!davProblem.isEmpty())
        QSKIP(qPrintable(davProblem));
    appOptions options = appOptions::defaults();
    options.resultsDir = work.path() + "/" + QTest::currentDataTag();
    options.uploadUrl = dav.url();
    options.uploadUser = "tester";
    options.uploadPassword = password;
    QVERIFY(QDir().mkpath(options.resultsDir)); // made by the download screen
    const QStringList before = dav.stored();
    if (trouble == Down)
        dav.stop();
    dav.setFailing(trouble == Failing);
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < runs; ++i) {
        MainWindow w(options);
        play(w, start, trouble, password == "s3cret" && (trouble == None || trouble == Killed));
        if (trouble == Killed)
            break; // uploads are under way: gone with the window, as in a kill
        const auto *line = w.centralWidget()->findChildren<QLabel *>().constLast();
        QTRY_COMPARE(line->text(), shown);
        if (trouble == Failing) { // mended: the next try, once due, delivers
            dav.setFailing(false);
            for (int i = 0; i < 100 && line->text() != sent; ++i) {
                msClock::advanceFake(resultsUploader::longestWaitMs);
                w.uploader->poll();
                QTest::qWait(50);
            }
            QCOMPARE(line->text(), sent);
        }
        if (password == "wrong") { // one try a file, no loop; the run stays for a later start
            msClock::advanceFake(600000);
            w.uploader->poll();
            QTest::qWait(200);
            QCOMPARE(dav.log().filter("401").size(), 2);
            QCOMPARE(runOutbox::stems(options.resultsDir).size(), 1);
            return;
        }
    }
    if (trouble == Down) { // the next start sends it, from the download screen
        QCOMPARE(runOutbox::stems(options.resultsDir).size(), 1);
        QCOMPARE(dav.start(), QString());
        MainWindow next(options);
        QTRY_COMPARE(runOutbox::stems(options.resultsDir), QStringList());
    }
    if (trouble == Killed) {
        QVERIFY(TestSite::writeFile(work.path() + "/config/quelvan/quelvan.conf",
                                    "upload-user=tester\nupload-password=s3cret\n"));
        QProcess quelvan;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", work.path() + "/config");
        quelvan.setProcessEnvironment(env);
        quelvan.start(QUELVAN_EXECUTABLE, {"--send-results", "--results", options.resultsDir,
                                           "--upload", options.uploadUrl});
        QVERIFY(quelvan.waitForFinished(30000));
        QCOMPARE(quelvan.exitCode(), 0);
        QVERIFY(quelvan.readAllStandardOutput().startsWith("quelvan: sent quelvan_P_"));
    }

    // Every file of every run on the server, byte for byte, under a name with the run's id,
    // which is the last column of its rows; nothing left to send.
    QCOMPARE(runOutbox::stems(options.resultsDir), QStringList());
    const QStringList local =
        QDir(options.resultsDir).entryList({"quelvan_*"}, QDir::Files, QDir::Name);
    QStringList added = dav.stored();
    for (const QString &name : before)
        added.removeOne(name);
    QCOMPARE(added.size(), 3 * runs);
    QCOMPARE(local.size(), 3 * runs);
    const QRegularExpression id("_([0-9a-f]{16})(?=_(trials|series|graph))");
    for (const QString &name : qAsConst(added)) {
        const QString runId = id.match(name).captured(1);
        const QString file = options.resultsDir + '/' + QString(name).remove(id);
        QCOMPARE(dav.file(name), TestSite::readFile(file));
        QVERIFY(name.endsWith(".png") || dav.file(name).endsWith(',' + runId.toUtf8() + "\r\n"));
    }
}

QTEST_MAIN(tst_upload)
#include "tst_upload.moc"
