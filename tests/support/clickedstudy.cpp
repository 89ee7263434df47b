#include "support/clickedstudy.h"

#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "core/msclock.h"
#include "results/resultsuploader.h"
#include "results/resultswriter.h"
#include "results/runoutbox.h"
#include "screens/instrshow.h"
#include "support/testsite.h"
#include "test/runtest.h"
#include "test/slidebutton.h"

#include <QtTest>

void ClickedStudy::play(const appOptions &options, const QString &code, int series)
{
    const int n = code.right(1).toInt();
    MainWindow w(options);
    w.show();
    QTest::keyClicks(w.focusWidget(), code);
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<instrShow *>(w.centralWidget()), 10000);
    QTest::keyClick(w.focusWidget(), Qt::Key_Space);
    for (int s = 1; s <= series; ++s) {
        for (int slide = 1; slide <= 2; ++slide) {
            msClock::advanceFake(quint32(100 * n + 50 * (2 * s + slide)));
            const int button = (n + s + slide) % 3 == 0 ? 3 : 1; // 3 is wrong on both slides
            QTest::mouseClick(w.tester->buttons.at(button), Qt::LeftButton);
        }
        if (s < w.seriesTotal)
            QTest::keyClick(w.focusWidget(), Qt::Key_Return); // ends the pause
    }
    if (series == w.seriesTotal)
        QTRY_VERIFY(QFile::exists(w.results->folder + '/' + w.results->stem + "_graph.png"));
}

void ClickedStudy::toStore(const QString &data, const QString &store, const QString &twice)
{
    QVERIFY(QDir().mkpath(store));
    const QStringList names = QDir(data).entryList(QDir::Files);
    for (const QString &name : names) {
        runOutbox outbox(data, name.left(name.lastIndexOf('_')));
        const QList<QByteArray> rows =
            TestSite::readFile(data + '/' + outbox.stem + "_trials.csv").split('\n');
        const int column = QString(rows.first()).split(',').indexOf("run_id");
        if (column >= 0 && rows.size() > 1)
            outbox.runId = rows.at(1).split(',').value(column);
        const QString stored =
            outbox.runId.isEmpty() ? name : resultsUploader::uploadName(outbox, name);
        QVERIFY(QFile::copy(data + '/' + name, store + '/' + stored));
        if (name.startsWith(twice))
            QVERIFY(QFile::copy(data + '/' + name, store + '/' + name));
    }
}

void ClickedStudy::olderVersion(const QString &trials)
{
    QByteArray older;
    for (const QByteArray &line : TestSite::readFile(trials).split('\n'))
        if (!line.isEmpty())
            older += line.left(line.lastIndexOf(',')) + "\r\n";
    QVERIFY(QFile::remove(trials) && TestSite::writeFile(trials, older));
}

QByteArray ClickedStudy::snapshot(const QString &folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QFileInfo &file :
         QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        hash.addData(file.fileName().toUtf8());
        hash.addData(TestSite::readFile(file.filePath()));
    }
    return hash.result();
}
