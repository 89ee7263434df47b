#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "core/backoff.h"
#include "core/msclock.h"
#include "download/loadinterface.h"
#include "results/resultssender.h"
#include "results/resultsuploader.h"
#include "results/resultswriter.h"
#include "results/runoutbox.h"
#include "support/davserver.h"
#include "support/testsite.h"
#include "test/runtest.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
enum Trouble { None, Late, Down, Failing, Killed, Unreadable, Silent, NoRecord, Moved };
// Under the graph: where the results are, in each state.
const QString sent = QStringLiteral("Результаты отправлены. Копия осталась на этом компьютере.");
const QString later = QStringLiteral("Результаты будут отправлены позже. Они сохранены здесь и "
                                     "уйдут сейчас или при следующем запуске.");
const QString refused = QStringLiteral("Результаты не отправлены. Они сохранены в папке %1 — "
                                       "сообщите лаборатории.");

// Answers the question asked when the window closes with its run still on its way.
void answer(QWidget &window, const QString &button)
{
    auto *question = window.findChild<QMessageBox *>();
    QVERIFY(question);
    for (QAbstractButton *b : question->buttons()) {
        if (b->text() == button)
            b->click();
    }
}
} // namespace
Q_DECLARE_METATYPE(Trouble)

// The program started on its own reads the person's settings file: on Windows the profile's
// own, which no variable moves, so there only in a profile made for the suite.
#ifdef Q_OS_WIN
#define SKIP_OUTSIDE_A_SPARE_PROFILE()                                                             \
    if (!qEnvironmentVariableIsSet("QUELVAN_THROWAWAY_PROFILE"))                                   \
    QSKIP("writes the profile's settings file: set QUELVAN_THROWAWAY_PROFILE in a profile made "   \
          "for the suite (tools/windows/run-tests.sh does)")
#else
#define SKIP_OUTSIDE_A_SPARE_PROFILE()
#endif

// Each run's files delivered to a real WebDAV store (nginx taking PUT with basic
// authentication) whatever the server does meanwhile; the waits between tries run on the
// test clock.
class tst_upload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init()
    {
        msClock::setFakeNow(1000);
        dav.pause(false); // as a failed row may have left it
    }
    void cleanupTestCase() { msClock::useRealClock(); }
    void deliver_data();
    void deliver();
    void probe_data();
    void probe();

private:
    // The program itself, with the store's user and `password` in the person's settings
    // file: its standard output, and its exit status in *status.
    QString quelvan(const QStringList &args, const QByteArray &password, int *status);
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
    if (trouble == Late) { // nothing under way in the middle of the test: closing asks nothing
        QVERIFY(w.close());
        w.show();
    }
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
    if (trouble == Silent)
        dav.pause(true); // the last files go to a store that never answers
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
    QTest::newRow("a store that never answers --send-results") << "s3cret" << Silent << 1 << "";
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
    options.uploadUrl = dav.url(trouble == Moved ? "moved" : "up");
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
        w.show();
        play(w, start, trouble,
             password == "s3cret"
                 && (trouble == None || trouble == Killed || trouble == Unreadable
                     || trouble == Silent));
        if (trouble == Killed || trouble == Unreadable || trouble == Silent)
            break; // uploads are under way: gone with the window, as in a kill
        const auto *line = w.centralWidget()->findChildren<QLabel *>().constLast();
        QTRY_COMPARE(line->text(), shown == refused
                                       ? shown.arg(QDir::toNativeSeparators(options.resultsDir))
                                       : shown);
        // Closing asks first only while the run is on its way.
        QCOMPARE(w.close(), shown != later);
        if (trouble == Down) {
            answer(w, QStringLiteral("Закрыть"));
            QVERIFY(!w.isVisible());
        }
        if (trouble == Failing) { // mended: the next try, once due, delivers
            answer(w, QStringLiteral("Подождать"));
            QVERIFY(w.isVisible());
            dav.setFailing(false);
            for (int i = 0; i < 100 && line->text() != sent; ++i) {
                msClock::advanceFake(resultsUploader::longestWaitMs);
                w.uploader->poll();
                QTest::qWait(50);
            }
            QCOMPARE(line->text(), sent);
            QTRY_VERIFY(!w.isVisible()); // and then the window closes
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
    if (trouble == Silent) { // one wait in all, named as one, not one for each of three files
        QString said;
        QTextStream out(&said);
        QElapsedTimer waited;
        waited.start();
        const bool all = resultsSender::sendAllOnce(options.resultsDir, options.uploadUrl, "tester",
                                                    password, out, 1000);
        QVERIFY2(!all, qPrintable(said));
        // Three waits take 2.85 s at least (the time-out's timer may end 5 % early).
        QVERIFY2(waited.elapsed() < 2000 && said.contains(": no answer within 1 s"),
                 qPrintable(said));
        dav.pause(false);
    }
    if (trouble == Killed || trouble == Unreadable || trouble == Silent) {
        SKIP_OUTSIDE_A_SPARE_PROFILE();
        const QStringList send{"--send-results", "--results", options.resultsDir, "--upload",
                               options.uploadUrl};
        int status = -1;
        const QString said = quelvan(send, "s3cret", &status);
        if (trouble == Unreadable) { // not sent, not forgotten, and the lab's copy as it was
            QCOMPARE(status, 1);
            QVERIFY2(said.startsWith("quelvan: not sent quelvan_P_")
                         && said.contains("cannot read"),
                     qPrintable(said));
            QCOMPARE(runOutbox::stems(options.resultsDir).size(), 1);
            QCOMPARE(dav.file(trials), labCopy);
            return;
        }
        QVERIFY(status == 0 && said.startsWith("quelvan: sent quelvan_P_"));
        // Once more: nothing is left.
        QCOMPARE(quelvan(send, "s3cret", &status), QStringLiteral("quelvan: nothing to send\n"));
        QCOMPARE(status, 0);
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
        QVERIFY(name.endsWith(".png") || dav.file(name).contains(',' + runId.toUtf8() + ','));
    }
}

QString tst_upload::quelvan(const QStringList &args, const QByteArray &password, int *status)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
#ifdef Q_OS_WIN
    // The profile's own file, which no variable moves (skipToSpareProfile).
    const QString settings =
        QSettings(QSettings::IniFormat, QSettings::UserScope, "quelvan", "quelvan").fileName();
#else
    const QString settings = work.path() + "/config/quelvan/quelvan.conf";
    env.insert("XDG_CONFIG_HOME", work.path() + "/config");
#endif
    TestSite::writeFile(settings, "upload-user=tester\nupload-password=" + password + "\n");
    QProcess quelvan;
    quelvan.setProcessEnvironment(env);
    quelvan.start(TestSite::builtProgram(QUELVAN_EXECUTABLE), args,
                  QIODevice::ReadWrite | QIODevice::Text); // lines end in \n on Windows too
    quelvan.waitForFinished(30000);
    *status = quelvan.exitCode();
    return QString::fromUtf8(quelvan.readAllStandardOutput());
}

void tst_upload::probe_data()
{
    QTest::addColumn<QString>("folder"); // on the store; empty: a port where nothing listens
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("stored") << "up" << QByteArray("s3cret") << 0
                            << "quelvan: stored " + dav.url() + "/quelvan_probe_";
    QTest::newRow("a wrong password")
        << "up" << QByteArray("wrong") << 1
        << "HTTP 401 Unauthorized; the user name or password is wrong";
    QTest::newRow("no PUT there") << "noput" << QByteArray("s3cret") << 1
                                  << "HTTP 405 Not Allowed; the server does not take PUT";
    QTest::newRow("a store root that is a file")
        << "broken" << QByteArray("s3cret") << 1
        << "HTTP 500 Internal Server Error; the server failed: its error log says why";
    QTest::newRow("a redirect") << "moved" << QByteArray("s3cret") << 1
                                << "HTTP 307 Temporary Redirect; the address is redirected to";
    QTest::newRow("nothing listening") << "" << QByteArray("s3cret") << 1
                                       << "Connection refused; no connection: is the address right";
}

void tst_upload::probe()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, password);
    QFETCH(int, status);
    QFETCH(QString, said);
    if (!davProblem.isEmpty())
        QSKIP(qPrintable(davProblem));
    SKIP_OUTSIDE_A_SPARE_PROFILE();
    const QString url = folder.isEmpty()
                            ? QStringLiteral("http://127.0.0.1:%1/up").arg(TestSite::freePort())
                            : dav.url(qPrintable(folder));
    const QStringList before = dav.stored();
    int got = -1;
    const QString out = quelvan({"--check-upload", "--upload", url}, password, &got);
    QCOMPARE(got, status);
    QVERIFY2(out.contains(said), qPrintable(out));
    // A short file that says what it is, stored once, and only when the store took it.
    const QStringList probes = dav.stored().filter("quelvan_probe_");
    QCOMPARE(probes.size(), before.filter("quelvan_probe_").size() + int(status == 0));
    QVERIFY(status || dav.file(out.section('/', -1).trimmed()).contains("quelvan --check-upload"));
}

QTEST_MAIN(tst_upload)
#include "tst_upload.moc"
