#include "core/backoff.h"
#include "support/uploadrun.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>

namespace {
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

// Each run's files delivered from its window to a real WebDAV store whatever the store does
// meanwhile; the waits between tries run on the test clock.
class tst_upload : public UploadStore
{
    Q_OBJECT
private slots:
    void everyRunDelivered();
    void recordWrittenLate();
    void storeDownUntilTheNextStart();
    void tooManyRequestsForAWhile();
    void refusedOnce_data();
    void refusedOnce();
    void closedMidTest();
    void questionGoesWithItsReason();
    void systemProxyCarriesUploads();
};

// Two runs with the same code in the same second, each delivered whole under a name of its
// own: the first answered in its pause, the second only while its last series runs, which
// notes the answers but writes them once the series has ended, so that no disk sync delays
// a click. The window closes without asking, in the middle of the test and once it is sent.
void tst_upload::everyRunDelivered()
{
    const appOptions o = options();
    const QDateTime start = QDateTime::currentDateTime();
    {
        Run run(o, start);
        QVERIFY(run.firstSeriesDelivered());
        run.end();
        QVERIFY(run.shows(sent) && run.w.close());
    }
    Run run(o, start);
    run.w.nextSeries();
    QTRY_COMPARE(run.answers.count(), 2);
    QVERIFY(run.recorded(0) && run.w.close());
    run.w.show();
    run.end();
    QVERIFY(run.recorded(2));
    QVERIFY(run.shows(sent) && run.w.close());
    delivered(o.resultsDir, 2);
}

// A record that cannot be written at first: the run is kept nowhere a later start would find
// it, which the window says, until it can be, and then delivered.
void tst_upload::recordWrittenLate()
{
    const appOptions o = options();
    const QString outbox = runOutbox::folder(o.resultsDir);
    QVERIFY(TestSite::writeFile(outbox, "in the way"));
    Run run(o);
    QTRY_COMPARE(run.answers.count(), 2);
    QCOMPARE(run.w.uploader->state(), resultsUploader::Refused);
    QVERIFY(QFile::remove(outbox));
    QVERIFY(run.firstSeriesDelivered());
    run.end();
    QVERIFY(run.shows(sent) && run.w.close());
    delivered(o.resultsDir, 1);
}

// A store that is down: the results will go later, closing asks first, and the next start
// sends them from the download screen.
void tst_upload::storeDownUntilTheNextStart()
{
    const appOptions o = options();
    dav.stop();
    {
        Run run(o);
        QTRY_COMPARE(run.answers.count(), 2);
        run.w.nextSeries();
        run.end();
        QVERIFY(run.shows(later) && !run.w.close());
        answer(run.w, QStringLiteral("Закрыть"));
        QVERIFY(!run.w.isVisible());
    }
    QCOMPARE(runOutbox::stems(o.resultsDir).size(), 1);
    QCOMPARE(dav.start(), QString());
    MainWindow next(o);
    QTRY_COMPARE(runOutbox::stems(o.resultsDir), QStringList());
    delivered(o.resultsDir, 1);
}

// 429 for a while: tried again after 1, 2 and 4 s and not a millisecond before, never while
// a series runs; a window asked to wait delivers once the store takes the files, and closes.
void tst_upload::tooManyRequestsForAWhile()
{
    const appOptions o = options();
    dav.setFailing(true);
    Run run(o);
    QTRY_COMPARE(run.answers.count(), 2);
    for (const quint32 wait : {1000, 2000, 4000}) {
        const int answered = run.answers.count();
        QCOMPARE(run.answersAfter(wait - 1), answered);
        run.answersAfter(1, 0);
        QTRY_COMPARE(run.answers.count(), answered + 2);
    }
    // While the next series runs nothing is tried, however long it takes.
    run.w.nextSeries();
    const int answered = run.answers.count();
    QCOMPARE(run.answersAfter(600000, 200), answered);
    // However long the server fails, the wait stays at its most and the count stops.
    backoff wait(resultsUploader::firstWaitMs, resultsUploader::longestWaitMs);
    for (int i = 0; i < 10000; ++i)
        wait.failed();
    QVERIFY(wait.remainingMs() == resultsUploader::longestWaitMs && wait.failures() < 10);
    run.end();
    QVERIFY(run.shows(later) && !run.w.close());
    answer(run.w, QStringLiteral("Подождать"));
    QVERIFY(run.w.isVisible());
    dav.setFailing(false);
    for (int i = 0; i < 100 && !run.shows(sent, 50); ++i)
        run.answersAfter(resultsUploader::longestWaitMs, 0);
    QVERIFY(run.shows(sent));
    QTRY_VERIFY(!run.w.isVisible()); // and then the window closes
    delivered(o.resultsDir, 1);
}

void tst_upload::refusedOnce_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status"); // that the store answers
    QTest::newRow("a wrong password") << QString("up") << QString("wrong") << 401;
    QTest::newRow("a redirect") << QString("moved") << QString("s3cret") << 307;
}

// Refused: one try a file, no loop, and the run stays for a later start; the window says so
// and closes without asking.
void tst_upload::refusedOnce()
{
    QFETCH(QString, store);
    QFETCH(QString, password);
    QFETCH(int, status);
    const appOptions o = options(store, password);
    const int tried = dav.log().filter(QString::number(status)).size();
    Run run(o);
    QTRY_COMPARE(run.answers.count(), 2);
    run.w.nextSeries();
    run.end();
    QVERIFY(run.shows(refused.arg(QDir::toNativeSeparators(o.resultsDir))) && run.w.close());
    run.answersAfter(600000, 200);
    QCOMPARE(dav.log().filter(QString::number(status)).size() - tried, 2);
    QCOMPARE(runOutbox::stems(o.resultsDir).size(), 1);
}

// Closed mid-test while its files are on their way: no question, behind which the next
// series would run; the next start sends what is left.
void tst_upload::closedMidTest()
{
    dav.pause(true);
    Run run(options());
    QVERIFY(run.w.close() && !run.w.findChild<QMessageBox *>());
    dav.pause(false);
}

// After the last series the question comes while a file waits for its next try, with nothing
// in flight; it goes, and the window closes, once the file has arrived, unanswered.
void tst_upload::questionGoesWithItsReason()
{
    const appOptions o = options();
    Run run(o);
    QVERIFY(run.firstSeriesDelivered());
    dav.setFailing(true);
    run.end();
    QTRY_COMPARE(run.answers.count(), 2 + 3);
    QVERIFY(run.shows(later) && !run.w.close());
    QPointer<QMessageBox> question = run.w.findChild<QMessageBox *>();
    QVERIFY(question);
    dav.setFailing(false);
    run.answersAfter(resultsUploader::longestWaitMs, 0);
    QTRY_VERIFY(!question && !run.w.isVisible());
    delivered(o.resultsDir, 1);
}

// The window's uploads take the system's proxy, as --send-results and --check-upload do, when
// the participant entered none: here one where nothing listens, so nothing arrives.
void tst_upload::systemProxyCarriesUploads()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps its proxy settings in the system, not in the environment");
#endif
    const QByteArray noProxy = qgetenv("no_proxy"); // a machine's own may name 127.0.0.1
    qunsetenv("no_proxy");
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(TestSite::freePort()).toUtf8());
    const auto restore = qScopeGuard([noProxy] {
        qunsetenv("http_proxy");
        if (!noProxy.isNull())
            qputenv("no_proxy", noProxy);
    });
    Run run(options());
    QTRY_COMPARE(run.answers.count(), 2);
    QCOMPARE(added(), QStringList());
    QCOMPARE(run.w.uploader->state(), resultsUploader::Pending);
}

QTEST_MAIN(tst_upload)
#include "tst_upload.moc"
