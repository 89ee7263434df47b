#include "app/mainwindow.h"

#include "app/closeguard.h"
#include "core/logcategories.h"
#include "core/msclock.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "download/proxyconf.h"
#include "results/resultsuploader.h"
#include "results/resultswriter.h"
#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "screens/uploadline.h"
#include "test/runtest.h"
#include "test/slidebutton.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QIcon>
#include <QLabel>
#include <QLockFile>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

// The icon's renderings are resources of a static library, which must load them itself
// (outside any namespace). PNG, which every Qt reads, where the SVG plugin may be missing.
static QIcon programIcon()
{
    Q_INIT_RESOURCE(quelvan);
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"));
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

MainWindow::MainWindow(QWidget *parent) : MainWindow(appOptions::defaults(), parent) {}

MainWindow::MainWindow(const appOptions &options, QWidget *parent)
    : QMainWindow(parent),
      options(options)
{
    setWindowIcon(programIcon());
    loadWidget = new loadInterface(options, this);
    loadWidget->icons = &icons;
    setCentralWidget(loadWidget);
    connect(loadWidget, &loadInterface::endLoading, this, &MainWindow::endLoading);
    if (options.autoStart)
        QTimer::singleShot(0, loadWidget, &loadInterface::startInit);
    if (!options.uploadUrl.isEmpty()) {
        uploader = new resultsUploader(options.resultsDir, options.uploadUrl, options.uploadUser,
                                       options.uploadPassword, this);
        // Runs that earlier windows could not deliver go in the background, once the
        // window is up.
        QTimer::singleShot(0, uploader, &resultsUploader::sendPending);
        new closeGuard(this, uploader);
    }
}

MainWindow::~MainWindow() = default;

int MainWindow::seriesScore(int right, int total)
{
    // A series in which no slide was shown has no quotient; it scores 0. In integers: in
    // floating point 29 of 50 came out as 57.99... and was cut to 57.
    if (total == 0)
        return 0;
    return int(qint64(right) * 100 / total);
}

void MainWindow::replaceCentral(QWidget *next, QPushButton *button)
{
    // The old screen may be the sender of the signal being handled: it is only hidden
    // here and deleted once control is back in the event loop.
    QWidget *old = centralWidget();
    setCentralWidget(next);
    if (old) {
        old->hide();
        old->deleteLater();
    }
    if (button) {
        button->setAutoDefault(true);
        button->setFocus();
    }
    keepOnScreen();
}

QRect MainWindow::screenArea() const
{
    const QScreen *s = screen();
    return isFullScreen() ? s->geometry() : s->availableGeometry();
}

void MainWindow::keepOnScreen()
{
    // Only a window that an earlier screen left larger than the screen, or partly off it,
    // is changed: it shrinks to the screen's area and moves into it.
    if (!isVisible() || isFullScreen())
        return;
    const QRect area = screenArea();
    const QSize frame = frameGeometry().size() - size();
    const QSize most = area.size() - frame;
    if (width() > most.width() || height() > most.height())
        resize(size().boundedTo(most));
    if (!area.contains(QRect(frameGeometry().topLeft(), size() + frame)))
        move(qBound(area.left(), x(), area.right() - width() - frame.width() + 1),
             qBound(area.top(), y(), area.bottom() - height() - frame.height() + 1));
}

void MainWindow::endLoading()
{
    instr = new instrShow(this);
    instr->setInstructions(loadWidget->instrText, options.pictureDir, loadWidget->fileList);
    connect(instr->startButton, &QPushButton::clicked, this, &MainWindow::startTest);
    const QSize wanted = instr->fitInto(screenArea().size());

    // setCentralWidget hides the download screen and deletes it later, so its texts
    // stay readable for the rest of this slot.
    replaceCentral(instr, instr->startButton);
    if (wanted.isValid() && !isFullScreen()) {
        resize(wanted);
        keepOnScreen();
    }

    if (!options.resultsDir.isEmpty()) {
        results = new resultsWriter(options.resultsDir, loadWidget->participant,
                                    loadWidget->serverUrl, loadWidget->runStart, this);
        results->testId = loadWidget->loader->identity.id();
    }
    if (uploader) {
        // Fed by the writer: what its files are called, and when they may be sent.
        connect(results, &resultsWriter::opened, uploader, &resultsUploader::track);
        connect(results, &resultsWriter::seriesStarted, uploader, &resultsUploader::hold);
        connect(results, &resultsWriter::saved, uploader, &resultsUploader::release);
        if (loadWidget->useProxy)
            uploader->setProxy(loadWidget->pconf->proxy);
    }
    folderLock = std::move(loadWidget->folderLock);
    tdata = loadWidget->testText;
    qCDebug(lcFlow) << "tdata=" << tdata;
    slideTime = loadWidget->tmText.toInt();
    slideTotal = loadWidget->tsInSeriesText.toInt();
    seriesTotal = loadWidget->totalSeriesText.toInt();
    pauseTime = loadWidget->pauseSeriesText.toInt();
    loadWidget = nullptr;
}

void MainWindow::startTest()
{
    if (pauseTimer)
        return; // the test starts once
    pauseTimer = new QTimer(this);
    pauseTimer->setTimerType(Qt::PreciseTimer); // a coarse timer may fire 25 ms early
    instr = nullptr;
    if (results)
        results->open();
    startSeries(1);
}

void MainWindow::startSeries(int series)
{
    tester = new runTest(tdata, slideTime, slideTotal, seriesTotal, pauseTime, this);
    tester->keyboardAnswers = options.keyboardAnswers;
    tester->exactLimit = options.exactLimit;
    connect(tester, &runTest::endTest, this, &MainWindow::endTest);
    if (results)
        connect(tester, &runTest::slideEnded, results, &resultsWriter::trial);
    for (slideButton *button : qAsConst(tester->buttons)) {
        button->pictureDir = options.pictureDir;
        button->icons = &icons;
    }
    replaceCentral(tester);
    if (results)
        results->startSeries();
    tekSeries = series;
    tester->startTest(series);
}

void MainWindow::setPauseLine(int series, int seconds, QChar secondsUnit)
{
    // Two texts, one per unit, so that a translation may write its own unit for both; the
    // seconds choose the plural form.
    QString line;
    if (secondsUnit == latinC)
        //: Pause screen as the pause begins: %1 the series just ended, %2 all series, %n the
        //: seconds left. Its twin, "ticking", counts the seconds down: translate both alike.
        line = QCoreApplication::translate(
            "MainWindow", "Серия %1/%2  До запуска следующей серии: %n c", "pause begins", seconds);
    else
        //: Pause screen while the seconds count down: %1 the series just ended, %2 all series,
        //: %n the seconds left. Its twin, "pause begins", shows the first: translate both alike.
        line = QCoreApplication::translate(
            "MainWindow", "Серия %1/%2  До запуска следующей серии: %n с", "ticking", seconds);
    concl->timeLabel->setText(line.arg(series).arg(seriesTotal));
}

void MainWindow::endTest()
{
    const int score = seriesScore(tester->countRightAnswer, tester->countTotalAncwer);
    seriesResults.append(float(score));
    if (results)
        results->series(tekSeries, seriesTotal, tester->countTotalAncwer, tester->countRightAnswer,
                        score);

    if (tekSeries < seriesTotal) {
        concl = new conclusionShow(this);
        connect(concl->nextButton, &QPushButton::clicked, this, &MainWindow::nextSeries);
        connect(pauseTimer, &QTimer::timeout, this, &MainWindow::timeNextSeries);
        concl->resultLabel->setText(
            //: Pause screen: the score of the series just ended, %1 a percentage.
            QCoreApplication::translate("MainWindow", "Результат определения внимания: %1 %")
                .arg(score));
        setPauseLine(tester->tekSeries, pauseTime, latinC);
        pauseStart = msClock::now();
        replaceCentral(concl, concl->nextButton);
        tester = nullptr;
        pauseTimer->start(500);
        return;
    }

    tester = nullptr;
    if (uploader)
        uploader->finish();
    showGraph();
}

void MainWindow::showGraph()
{
    auto *graph = new conclGraph(this);
    graph->setData(35, 4, 44, 24, seriesResults);
    if (!results) {
        replaceCentral(graph);
        return;
    }
    // With results on, a line under the graph tells the person running the test when
    // anything could not be saved.
    auto *screen = new QWidget(this);
    auto *box = new QVBoxLayout(screen);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(graph);
    auto *notice = new QLabel(screen);
    notice->setTextFormat(Qt::PlainText);
    notice->hide();
    box->addWidget(notice);
    if (uploader)
        box->addWidget(new uploadLine(uploader, results->folder, screen));
    // The lines keep the window's margins; the graph keeps its own geometry.
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    for (QLabel *line : screen->findChildren<QLabel *>())
        line->setContentsMargins(margin, 0, margin, margin);
    replaceCentral(screen);
    // Saved as shown: once the window has laid the graph out.
    QTimer::singleShot(0, graph, [this, graph, notice] {
        results->graph(graph->grab().toImage());
        if (results->failed) {
            notice->setText(
                //: Under the graph when a results file could not be written; the results folder
                //: follows the text.
                QCoreApplication::translate("MainWindow", "Результаты сохранены не полностью: ")
                + results->folder);
            notice->show();
        }
    });
}

void MainWindow::terminate()
{
    close();
}

void MainWindow::nextSeries()
{
    if (!concl)
        return; // the pause has already ended
    pauseTimer->stop();
    qCDebug(lcFlow) << "timer stop";
    disconnect(concl->nextButton, &QPushButton::clicked, this, &MainWindow::nextSeries);
    disconnect(pauseTimer, &QTimer::timeout, this, &MainWindow::timeNextSeries);
    qCDebug(lcFlow) << "disconnected";

    concl = nullptr;
    qCDebug(lcFlow) << "begin tester->startTest()";
    startSeries(tekSeries + 1);
}

void MainWindow::timeNextSeries()
{
    if (!concl)
        return; // a tick that was already queued when the pause ended
    const float elapsed = float(quint32(msClock::now() - pauseStart)) / 1000.0f;
    qCDebug(lcFlow) << "ftt" << elapsed;
    if (pauseTime < elapsed) {
        nextSeries();
        return;
    }
    // In double: a float cannot hold every 32-bit pause, and converting an out-of-range
    // float to int is undefined.
    const int remaining = int(double(pauseTime) - double(elapsed));
    setPauseLine(tekSeries, remaining, cyrillicEs);
}
