#ifndef TRIALRECORD_H
#define TRIALRECORD_H

#include <QDateTime>
#include <QStringList>

// One slide as it ended: what the runner knows when the slide is over.
struct trialRecord
{
    int series = 0;
    int slideInSeries = 0;
    int slide = 0;     // 1-based among the slides of the test text
    QString sample;    // picture name of the sample
    int response = -1; // button 0 to 4, or -1 after a time-out
    QString responsePicture;
    bool correct = false;
    quint32 rtMs = 0; // from the slide's start to the click, or the slide's measured length
    qint64 slideTimeMs = 0;
    qint64 pressMs = -1; // from the slide's start to the press of the answering button
    QString input;       // "mouse" or "key"; empty after a time-out
    quint32 shownMs = 0; // how long the slide was on screen
    // The picture names of variants 1 to 4, which decide whether buttons 1 to 4 are right
    // (button 4 shows "fail"), and those of them that are right.
    QStringList choices;
    QList<int> rightButtons;
    QDateTime onset; // the slide's start in local time, read with the clock's start
};

#endif // TRIALRECORD_H
