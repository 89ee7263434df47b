#ifndef RUNTEST_H
#define RUNTEST_H

#include "results/trialrecord.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

class QLabel;
class QTimer;
class buttonPresses;
class slideButton;
class slideData;

// Plays one series of slides against the clock and counts the right answers.
class runTest : public QWidget
{
    Q_OBJECT
public:
    runTest(QString test, int slideTime, int slideTotal, int seriesTotal, int pauseTime,
            QWidget *parent = nullptr);
    ~runTest() override;

    void startTest(int series);
    void makeTestStep();
    void showSlide();
    bool makeTestData(QString text);

    QLabel *statusLabel = nullptr;
    int tekSlide = 0;
    bool testFailed = false;
    int countRightAnswer = 0;
    int countTotalAncwer = 0;
    int slideTime = 0;
    int slideTotal = 0;
    int seriesTotal = 0;
    int tekSeries = 0;
    int pauseTime = 0;
    QTimer *timer = nullptr;
    quint32 slideStart = 0;
    QList<slideButton *> buttons;
    QList<slideData *> testData;
    // What a lab may ask for, set before startTest(): no key answers a slide; a slide ends at
    // its limit exactly, by a timer of its own, and a click past the limit is a time-out.
    bool keyboardAnswers = true;
    bool exactLimit = false;
    QTimer *limitTimer = nullptr;

signals:
    void endTest();
    // A slide is over: clicked, or run out of time.
    void slideEnded(const trialRecord &trial);

public slots:
    void pressBut(int i);
    void timerStep();
    // The limit timer: the slide ends when its limit has passed on the program's clock.
    void limitReached();

private:
    // Set once endTest() has been emitted, so that the series can end only once.
    bool seriesOver = false;
    // The wall-clock moment of slideStart, for the results.
    QDateTime slideOnset;

    buttonPresses *presses = nullptr;

    // Tells slideEnded() how the slide shown ended: by button 0 to 4, or -1 for a time-out,
    // pressed `pressMs` after its start, by a key or not.
    void reportSlide(int button, bool right, qint64 pressMs = -1, bool key = false);
    // The slide ran out of time.
    void timeOut();
    // The slide's limit and the time it has been shown, in milliseconds.
    qint64 limitMs() const { return qint64(slideTime) * 1000; }
    quint32 shownMs() const;
    QString statusLine(const QString &slideLeft, const QString &seriesLeft) const;
    qint64 seriesSeconds() const;
};

#endif // RUNTEST_H
