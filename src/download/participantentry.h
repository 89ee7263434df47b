#ifndef PARTICIPANTENTRY_H
#define PARTICIPANTENTRY_H

#include <QWidget>

class QLineEdit;

// What a run that keeps results needs before its download starts: a usable participant code,
// asked for in a row of the download screen when none was given, and a results folder that
// takes files.
class participantEntry : public QWidget
{
    Q_OBJECT
public:
    // Shows the row only when `participant` is empty.
    participantEntry(const QString &participant, const QString &resultsDir,
                     QWidget *parent = nullptr);

    // Empty when the run may start, the code then fixed in *participant and the row closed;
    // else the text the download screen shows.
    QString refusal(QString *participant);

    // The code's field; null when the code was given.
    QLineEdit *edit = nullptr;

signals:
    // Enter in the field: the download may start.
    void entered();

private:
    QString resultsDir;
};

#endif // PARTICIPANTENTRY_H
