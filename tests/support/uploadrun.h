#ifndef UPLOADRUN_H
#define UPLOADRUN_H

#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "core/msclock.h"
#include "download/loadinterface.h"
#include "results/resultsuploader.h"
#include "results/resultswriter.h"
#include "results/runoutbox.h"
#include "support/davserver.h"
#include "support/testsite.h"
#include "test/runtest.h"

#include <QLabel>
#include <QLockFile>
#include <QSignalSpy>
#include <QtTest>

// What the tests of the results' way to the lab's store share (tst_upload in the window,
// tst_sendresults by the program on its own).

// A window's run of two series of one slide, its first series just ended and its two files
// on their way. Slides and pauses last longer than the clock is ever set forward: only the
// test ends them.
struct Run
{
    explicit Run(const appOptions &options, const QDateTime &start = QDateTime::currentDateTime())
        : w(options)
    {
        w.show();
        loadInterface *screen = w.loadWidget;
        screen->testText = QString::fromUtf8(TestSite::small(2).test);
        screen->tmText = screen->pauseSeriesText = "100000";
        screen->tsInSeriesText = "1";
        screen->totalSeriesText = "2";
        screen->participant = "P";
        screen->runStart = start;
        w.endLoading();
        w.startTest();
        w.tester->pressBut(1);
    }
    // The record on the disk holds `files` confirmed and the test's id, under the window's
    // lock, so that no sender takes the run up meanwhile.
    bool recorded(int files) const
    {
        runOutbox record(w.results->folder, w.results->stem);
        return record.load() && record.confirmed.size() == files
               && record.testId == w.results->testId && !record.testId.isEmpty()
               && !QLockFile(record.lockPath()).tryLock(0);
    }
    // Both files of the first series recorded while the pause goes on: the run is not over,
    // nothing is forgotten. Then the last series.
    bool firstSeriesDelivered()
    {
        const bool both = QTest::qWaitFor([this] { return recorded(2); });
        w.uploader->poll();
        w.nextSeries();
        return both;
    }
    // The answers once the clock has moved on by `ms` and the uploader has looked.
    int answersAfter(qint64 ms, int settle = 50)
    {
        msClock::advanceFake(ms);
        w.uploader->poll();
        QTest::qWait(settle);
        return answers.count();
    }
    void end() { w.tester->pressBut(1); }
    // The graph saved, and `text` under it.
    bool shows(const QString &text, int timeout = 10000) const
    {
        return QTest::qWaitFor(
            [&] {
                return QFile::exists(w.results->folder + '/' + w.results->stem + "_graph.png")
                       && w.centralWidget()->findChildren<QLabel *>().constLast()->text() == text;
            },
            timeout);
    }

    MainWindow w;
    QSignalSpy answers{w.uploader, &resultsUploader::answered};
};

// A real WebDAV store (nginx taking PUT with basic authentication), skipping every test where
// it cannot run, and a results folder for each test; a test class derives from it.
class UploadStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const TestSite site = TestSite::small(2); // the pictures a run shows
        for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
            QVERIFY(TestSite::writeFile("img/" + it.key() + ".jpg", it.value()));
        davProblem = dav.start();
    }
    // The test clock, the store as a failed test may have left it, and what it holds.
    void init()
    {
        if (!davProblem.isEmpty())
            QSKIP(qPrintable(davProblem));
        msClock::setFakeNow(1000);
        dav.pause(false);
        dav.setFailing(false);
        before = dav.stored();
    }
    void cleanupTestCase() { msClock::useRealClock(); }

protected:
    // Results in a folder of the test's own, sent to `store` as "tester".
    appOptions options(const QString &store = "up", const QString &password = "s3cret") const
    {
        appOptions options = appOptions::defaults();
        options.resultsDir =
            work.path() + '/' + QTest::currentTestFunction() + QTest::currentDataTag();
        options.uploadUrl = dav.url(qPrintable(store));
        options.uploadUser = "tester";
        options.uploadPassword = password;
        QDir().mkpath(options.resultsDir); // made by the download screen
        return options;
    }
    // The files the store took since the test began.
    QStringList added() const
    {
        QStringList added = dav.stored();
        for (const QString &name : before)
            added.removeOne(name);
        return added;
    }
    // Every file of every run in `folder` on the store, byte for byte, under a name with
    // the run's id, which its rows hold; nothing left to send.
    void delivered(const QString &folder, int runs) const
    {
        QCOMPARE(runOutbox::stems(folder), QStringList());
        QCOMPARE(QDir(folder).entryList({"quelvan_*"}, QDir::Files).size(), 3 * runs);
        const QStringList names = added();
        QCOMPARE(names.size(), 3 * runs);
        const QRegularExpression id("_([0-9a-f]{16})(?=_(trials|series|graph))");
        for (const QString &name : names) {
            const QString runId = id.match(name).captured(1);
            QCOMPARE(dav.file(name), TestSite::readFile(folder + '/' + QString(name).remove(id)));
            QVERIFY(name.endsWith(".png") || dav.file(name).contains(',' + runId.toUtf8() + ','));
        }
    }

    WorkDir work;
    DavServer dav;
    QString davProblem;
    QStringList before;
};

#endif // UPLOADRUN_H
