#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "core/appoptions.h"
#include "pictures/iconcache.h"

#include <QList>
#include <QMainWindow>

#include <memory>

class QLockFile;
class QPushButton;
class QTimer;
class conclusionShow;
class instrShow;
class loadInterface;
class resultsUploader;
class resultsWriter;
class runTest;

// The one window: holds one screen at a time and leads from the download through the
// series to the graph of the scores.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    explicit MainWindow(const appOptions &options, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Score of a series in whole percent, truncated.
    static int seriesScore(int right, int total);

    loadInterface *loadWidget = nullptr;
    instrShow *instr = nullptr;
    runTest *tester = nullptr;
    conclusionShow *concl = nullptr;
    QString tdata;
    int slideTime = 0;
    int slideTotal = 0;
    int seriesTotal = 0;
    int pauseTime = 0;
    int tekSeries = 0;
    quint32 pauseStart = 0;
    QList<float> seriesResults;
    QTimer *pauseTimer = nullptr;
    // Keeps the run's data when a results folder is set; null otherwise.
    resultsWriter *results = nullptr;
    // Delivers the data to the lab's server when an upload address is set; null otherwise.
    resultsUploader *uploader = nullptr;

public slots:
    void endLoading();
    void startTest();
    void endTest();
    void terminate();
    void nextSeries();
    void timeNextSeries();

private:
    appOptions options;
    iconCache icons;
    // The picture folder's lock, taken over from the download: no other window replaces the
    // pictures while this one is open.
    std::unique_ptr<QLockFile> folderLock;

    // Makes `next` the screen and gives `button` the keyboard focus, so that Enter or Space
    // presses it.
    void replaceCentral(QWidget *next, QPushButton *button = nullptr);
    void startSeries(int series);
    void showGraph();
    // The screen's area the window may take, and the window kept inside it.
    QRect screenArea() const;
    void keepOnScreen();
    // The pause line. Its first text ends in a Latin "c" and the countdown's updates in a
    // Cyrillic "с": both are what users of the test have always seen; do not "fix" either.
    void setPauseLine(int series, int seconds, QChar secondsUnit);
    static constexpr QChar latinC = QChar(0x0063);
    static constexpr QChar cyrillicEs = QChar(0x0441);
};

#endif // MAINWINDOW_H
