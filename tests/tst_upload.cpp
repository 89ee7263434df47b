#include "app/appoptions.h"
#include "app/mainwindow.h"
#include "app/backoff.h"
#include "app/msclock.h"
#include "download/loadinterface.h"
#include "results/resultsuploader.h"
#include "results/resultswriter.h"
#include "results/runoutbox.h"
#include "support/davserver.h"
#include "support/testsite.h"
#include "test/runtest.h"

#include <QLabel>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {
enum Trouble { None, Late, Down, Failing, Killed, Unreadable, NoRecord, Moved };
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
    qRegisterMetaType<QNetworkReply *>();
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
    w.endLoading();
    const QString outbox = runOutbox::folder(w.results->folder);
    QVERIFY(trouble != NoRecord || TestSite::writeFile(outbox, "in the way"));
    w.startTest();
    QSignalSpy answers(w.uploader->findChild<QNetworkAccessManager *>(),
                       &QNetworkAccessManager::finished);
    w.tester->pressBut(1); // the first series ends: its two files go, answered in the pause
    if (trouble == Late)
        w.nextSeries(); // or once the next series runs
    QTRY_COMPARE(answers.count(), 2);
    runOutbox record(w.results->folder, w.results->stem);
    // Noted, but written only once the series has ended: no disk sync delays a click.
    QVERIFY(trouble != Late || (record.load() && record.confirmed.isEmpty()));
    if (trouble == NoRecord) { // kept nowhere a later start would find it, until it can be
        QCOMPARE(w.uploader->state(), resultsUploader::Refused);
        QVERIFY(QFile::remove(outbox));
    }
    if (accepted) {
        // Both confirmed, and the pause goes on: the run is not over, nothing is forgotten.
        QTRY_VERIFY(record.load() && record.confirmed.size() == 2);
        w.uploader->poll();
    }
    if (trouble == Failing) {
        // Tried again after 1, 2 and 4 s, and not a millisecond before.
        for (const quint32 wait : {1000, 2000, 4000}) {
            const int answered = answers.count();
            msClock::advanceFake(wait - 1);
            w.uploader->poll();
            QTest::qWait(50);
            QCOMPARE(answers.count(), answered);
            msClock::advanceFake(1);
            w.uploader->poll();
            QTRY_COMPARE(answers.count(), answered + 2);
        }
        // While the next series runs nothing is tried, however long it takes.
        w.nextSeries();
        const int answered = answers.count();
        msClock::advanceFake(600000);
        w.uploader->poll();
        QTest::qWait(200);
        QCOMPARE(answers.count(), answered);
        // However long the server fails, the wait stays at its most and the count stops.
        backoff wait(resultsUploader::firstWaitMs, resultsUploader::longestWaitMs);
        for (int i = 0; i < 10000; ++i)
            wait.failed();
        QVERIFY(wait.remainingMs() == resultsUploader::longestWaitMs && wait.failures() < 10);
    } else if (trouble != Late) {
        w.nextSeries();
    }
    w.tester->pressBut(1);
    QVERIFY((trouble != Late && trouble != NoRecord)
            || (record.load() && record.confirmed.size() == 2
                && !QLockFile(record.lockPath()).tryLock(0))); // held, so no sender takes it
    QTRY_VERIFY(QFile::exists(w.results->folder + '/' + w.results->stem + "_graph.png"));
}

void tst_upload::deliver_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<Trouble>("trouble"); // during the run; mended afterwards
    QTest::addColumn<int>("runs");        // started in the same second, with the same code
    QTest::addColumn<QString>("shown");   // under the graph
    QTest::newRow("a whole run, answered during the next series") << "s3cret" << Late << 1 << sent;
    QTest::newRow("two runs in the same second") << "s3cret" << None << 2 << sent;
    QTest::newRow("server down, up at the next start") << "s3cret" << Down << 1 << later;
    QTest::newRow("429 for a while") << "s3cret" << Failing << 1 << later;
    QTest::newRow("killed while sending, then --send-results") << "s3cret" << Killed << 1 << "";
    QTest::newRow("a file that cannot be read, then --send-results")
        << "s3cret" << Unreadable << 1 << "";
    QTest::newRow("its record written late") << "s3cret" << NoRecord << 1 << sent;
    QTest::newRow("a wrong password") << "wrong" << None << 1 << refused;
    QTest::newRow("a redirect") << "s3cret" << Moved << 1 << refused;
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
    options.uploadUrl = trouble == Moved ? dav.movedUrl() : dav.url();
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
        play(w, start, trouble,
             password == "s3cret"
                 && (trouble == None || trouble == Killed || trouble == Unreadable));
        if (trouble == Killed || trouble == Unreadable)
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
        if (shown == refused) { // one try a file, no loop; the run stays for a later start
            msClock::advanceFake(600000);
            w.uploader->poll();
            QTest::qWait(200);
            QCOMPARE(dav.log().filter(trouble == Moved ? "307" : "401").size(), 2);
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
    QString trials; // the lab's copy of the run's trials, when the local one cannot be read
    QByteArray labCopy;
    if (trouble == Unreadable) {
        trials = dav.stored().filter("_trials.csv").constLast();
        labCopy = dav.file(trials);
        const QString local = QDir(options.resultsDir).entryList({"*_trials.csv"}).constFirst();
        QVERIFY(QFile::remove(options.resultsDir + '/' + local)
                && QDir(options.resultsDir).mkdir(local));
    }
    if (trouble == Killed || trouble == Unreadable) {
        QVERIFY(TestSite::writeFile(work.path() + "/config/quelvan/quelvan.conf",
                                    "upload-user=tester\nupload-password=s3cret\n"));
        QProcess quelvan;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", work.path() + "/config");
        quelvan.setProcessEnvironment(env);
        quelvan.start(QUELVAN_EXECUTABLE, {"--send-results", "--results", options.resultsDir,
                                           "--upload", options.uploadUrl});
        QVERIFY(quelvan.waitForFinished(30000));
        const QString said = quelvan.readAllStandardOutput();
        if (trouble == Unreadable) { // not sent, not forgotten, and the lab's copy as it was
            QCOMPARE(quelvan.exitCode(), 1);
            QVERIFY2(said.startsWith("quelvan: not sent quelvan_P_") && said.contains("cannot read"),
                     qPrintable(said));
            QCOMPARE(runOutbox::stems(options.resultsDir).size(), 1);
            QCOMPARE(dav.file(trials), labCopy);
            return;
        }
        QCOMPARE(quelvan.exitCode(), 0);
        QVERIFY(said.startsWith("quelvan: sent quelvan_P_"));
        quelvan.start(QUELVAN_EXECUTABLE, quelvan.arguments()); // once more: nothing is left
        QVERIFY(quelvan.waitForFinished(30000) && quelvan.exitCode() == 0);
        QCOMPARE(quelvan.readAllStandardOutput(), QByteArray("quelvan: nothing to send\n"));
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
