#ifndef RESULTSWRITER_H
#define RESULTSWRITER_H

#include "results/trialrecord.h"

#include <QDateTime>
#include <QFile>
#include <QObject>

class QImage;

// Keeps a participant's data of one run in the results folder: a row per slide, appended
// and flushed as each slide ends, a row per series and the final graph. A failed write is
// logged and remembered, never shown to the participant before the end; rows already
// written stay whole.
class resultsWriter : public QObject
{
    Q_OBJECT
public:
    resultsWriter(const QString &folder, const QString &participant, const QString &server,
                  const QDateTime &runStart, QObject *parent = nullptr);

    // Empty when a run may start with `participant` and `folder` (made when missing), else
    // the text the download screen shows.
    static QString refusal(const QString &participant, const QString &folder);

    // Creates the two CSV files with their header rows under a name no earlier run has.
    void open();
    // The stem of the files, "quelvan_<participant>_<date>_<time>[-n]"; empty before open().
    QString stem;
    QString folder;
    bool failed = false;
    // 64 random bits in hexadecimal, in every row: it matches the files of one run wherever
    // they are copied.
    QString runId;
    // Which test was shown (testIdentity), in every row; set before open().
    QString testId;

signals:
    // For the uploader: the run's files exist under `stem`; a series begins (nothing is to
    // be sent while it runs); a series row or the graph is written, `complete` for the graph.
    void opened(const QString &stem, const QString &runId, const QString &testId);
    void seriesStarted();
    void saved(bool complete);

public slots:
    void startSeries() { emit seriesStarted(); }
    void trial(const trialRecord &trial);
    void series(int series, int seriesTotal, int slides, int right, int score);
    void graph(const QImage &image);

private:
    bool append(QFile &file, const QStringList &fields);
    void fail(const QString &what);

    QString participant;
    QString server;
    QString runStart; // ISO 8601 with the offset from UTC
    QDateTime start;
    QString version;
    QFile trials;
    QFile seriesFile;
    qint64 answeredRt = 0;
    int answeredCount = 0;
};

#endif // RESULTSWRITER_H
