#ifndef STUDY_H
#define STUDY_H

#include "results/runfolder.h"

#include <QStringList>
#include <QVector>

// The runs of a study put in order: each participant's attempts counted, the run that counts
// chosen, and what a list of expected codes says of them.
class study
{
public:
    enum Take { FirstComplete, LastComplete };
    // Sorts the runs by participant and start, numbers each participant's attempts and marks
    // the run that counts: the first complete one, or the last with LastComplete.
    static void settle(QVector<runInfo> &runs, Take take);
    // The rows of runs.csv and of participants.csv, without their headers.
    static QList<QStringList> runRows(const QVector<runInfo> &runs);
    static QList<QStringList> participantRows(const QVector<runInfo> &runs);

    // The codes of an expected-codes file: one a line, blank lines and lines starting with #
    // skipped. A line that is no participant code goes to *bad.
    static QStringList readCodes(const QByteArray &text, QStringList *bad);
    // "P6: no run", "P5: 1 run, none complete", for each expected code without a complete run.
    static QStringList missing(const QVector<runInfo> &runs, const QStringList &expected);
    static QStringList unexpected(const QVector<runInfo> &runs, const QStringList &expected);

    // A figure as the data files write it: C-locale digits, no trailing zeros.
    static QString number(double value, int decimals);
};

#endif // STUDY_H
