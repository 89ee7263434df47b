#include "results/resultssender.h"
#include "support/testhttpserver.h"
#include "support/uploadrun.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>

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

// The program on its own reaching the store, as a lab's script or SSH session runs it:
// --send-results with the runs that windows left, and --check-upload.
class tst_sendresults : public UploadStore
{
    Q_OBJECT
private slots:
    void afterAKill();
    void aFileThatCannotBeRead_data();
    void aFileThatCannotBeRead();
    void answerWithoutEnd_data();
    void answerWithoutEnd();
    void probe_data();
    void probe();

private:
    // A store that answers as a row says, at hostile.baseUrl() + "/up".
    TestHttpServer hostile;
    // A run whose last three files the store turns away for now (429); then the window is
    // gone, as in a kill.
    void killedBeforeItsLastFiles(const appOptions &options);
    // --send-results for `options`: what it says, its exit status in *status.
    QString sendResults(const appOptions &options, int *status);
    // The program itself, with the store's user and `password` in the person's settings
    // file: its standard output, and its exit status in *status.
    QString quelvan(const QStringList &args, const QByteArray &password, int *status);
};

void tst_sendresults::killedBeforeItsLastFiles(const appOptions &options)
{
    Run run(options);
    QVERIFY(run.firstSeriesDelivered());
    dav.setFailing(true);
    run.end();
    QTRY_COMPARE(run.answers.count(), 2 + 3);
    dav.setFailing(false);
}

// Against a store that never answers, one wait in all, named as one, not one for each of
// the three files; once it answers, everything is sent, and a second time nothing is left.
void tst_sendresults::afterAKill()
{
    const appOptions o = options();
    killedBeforeItsLastFiles(o);
    dav.pause(true);
    QString said;
    QTextStream out(&said);
    QElapsedTimer waited;
    waited.start();
    QVERIFY2(!resultsSender::sendAllOnce(o.resultsDir, o.uploadUrl, "tester", "s3cret", out, 1000),
             qPrintable(said));
    // Three waits take 2.85 s at least (the time-out's timer may end 5 % early).
    QVERIFY2(waited.elapsed() < 2000 && said.contains(": no answer within 1 s"), qPrintable(said));
    dav.pause(false);
    SKIP_OUTSIDE_A_SPARE_PROFILE();
    int status = -1;
    said = sendResults(o, &status);
    QVERIFY2(status == 0 && said.startsWith("quelvan: sent quelvan_P_"), qPrintable(said));
    QCOMPARE(sendResults(o, &status), QStringLiteral("quelvan: nothing to send\n"));
    QCOMPARE(status, 0);
    delivered(o.resultsDir, 1);
}

void tst_sendresults::aFileThatCannotBeRead_data()
{
    QTest::addColumn<bool>("confirmed"); // the file's earlier rows, by the window
    QTest::newRow("sent in part before") << true;
    // Nothing confirmed and nothing readable compared equal once: "sent".
    QTest::newRow("never confirmed") << false;
}

// A file that cannot be read: the run is not sent, not forgotten, and the lab's copy of the
// file stays as it was.
void tst_sendresults::aFileThatCannotBeRead()
{
    QFETCH(bool, confirmed);
    const appOptions o = options();
    if (confirmed) {
        killedBeforeItsLastFiles(o);
    } else { // the store down for the whole run
        dav.stop();
        Run run(o);
        run.w.nextSeries();
        run.end();
        QTRY_COMPARE(QDir(o.resultsDir).entryList({"*_graph.png"}).size(), 1);
        QCOMPARE(dav.start(), QString());
    }
    const QString trials = added().filter("_trials.csv").value(0);
    const QByteArray labCopy = dav.file(trials);
    const QString local = QDir(o.resultsDir).entryList({"*_trials.csv"}).constFirst();
    QVERIFY(QFile::remove(o.resultsDir + '/' + local) && QDir(o.resultsDir).mkdir(local));
    SKIP_OUTSIDE_A_SPARE_PROFILE();
    int status = -1;
    const QString said = sendResults(o, &status);
    QCOMPARE(status, 1);
    QVERIFY2(said.startsWith("quelvan: not sent quelvan_P_") && said.contains("cannot read"),
             qPrintable(said));
    QCOMPARE(runOutbox::stems(o.resultsDir).size(), 1);
    QCOMPARE(dav.file(trials), labCopy);
    QCOMPARE(added().filter("_trials.csv").size(), int(confirmed));
}

void tst_sendresults::answerWithoutEnd_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("atLeastMs");
    QTest::newRow("201, then a body without end") << int(TestHttpServer::Endless) << 0;
    // Never silent: only the deadline, twice the silence, ends it.
    QTest::newRow("201, then a byte at a time") << int(TestHttpServer::Trickle) << 1900;
}

// A store's answer is read up to a small size and a deadline; the status line decides.
void tst_sendresults::answerWithoutEnd()
{
    QFETCH(int, behaviour);
    QFETCH(int, atLeastMs);
    QVERIFY(hostile.isListening() || hostile.listen());
    hostile.setFallback({201, {}, TestHttpServer::Behaviour(behaviour), {}});
    const QString folder = options().resultsDir;
    runOutbox record(folder, "quelvan_T_2026-01-02_03-04-05");
    record.runId = "0123456789abcdef";
    QVERIFY(record.save() && TestSite::writeFile(record.path(record.files().at(1)), "1,2\r\n"));
    QString said;
    QTextStream out(&said);
    QElapsedTimer waited;
    waited.start();
    QVERIFY2(resultsSender::sendAllOnce(folder, hostile.baseUrl() + "/up", "", "", out, 1000),
             qPrintable(said));
    QVERIFY(waited.elapsed() >= atLeastMs && runOutbox::stems(folder).isEmpty());
}

QString tst_sendresults::sendResults(const appOptions &options, int *status)
{
    return quelvan(
        {"--send-results", "--results", options.resultsDir, "--upload", options.uploadUrl},
        "s3cret", status);
}

QString tst_sendresults::quelvan(const QStringList &args, const QByteArray &password, int *status)
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
    // The event loop runs meanwhile: a store in this process answers.
    (void)QTest::qWaitFor([&] { return quelvan.state() == QProcess::NotRunning; }, 30000);
    *status = quelvan.exitCode();
    return QString::fromUtf8(quelvan.readAllStandardOutput());
}

void tst_sendresults::probe_data()
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
    // Stores that would hold the program for ever, or write on the terminal.
    QTest::newRow("201, then a body without end")
        << "endless" << QByteArray("s3cret") << 0 << "quelvan: stored http://127.0.0.1:";
    QTest::newRow("a redirect with escape sequences")
        << "escapes" << QByteArray("s3cret") << 1
        << "; the address is redirected to /\\x1b[32mALL GOOD: use that address";
}

void tst_sendresults::probe()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, password);
    QFETCH(int, status);
    QFETCH(QString, said);
    SKIP_OUTSIDE_A_SPARE_PROFILE();
    QVERIFY(hostile.isListening() || hostile.listen());
    hostile.setFallback(
        folder == "endless"
            ? TestHttpServer::Response{201, {}, TestHttpServer::Endless, {}}
            : TestHttpServer::Response{
                307, {}, TestHttpServer::Normal, "/\x1b[32mALL GOOD", "Moved\x1b[2J"});
    const bool ownStore = folder != "endless" && folder != "escapes";
    const QString url = folder.isEmpty()
                            ? QStringLiteral("http://127.0.0.1:%1/up").arg(TestSite::freePort())
                        : ownStore ? dav.url(qPrintable(folder))
                                   : hostile.baseUrl() + "/up";
    int got = -1;
    const QString out = quelvan({"--check-upload", "--upload", url}, password, &got);
    QCOMPARE(got, status);
    QVERIFY2(out.contains(said) && !out.contains('\x1b'), qPrintable(out));
    // A short file that says what it is, stored once, and only when the store took it.
    QCOMPARE(added().filter("quelvan_probe_").size(), int(status == 0 && ownStore));
    QVERIFY(status || !ownStore
            || dav.file(out.section('/', -1).trimmed()).contains("quelvan --check-upload"));
}

QTEST_MAIN(tst_sendresults)
#include "tst_sendresults.moc"
