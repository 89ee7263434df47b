#ifndef CONCLUSIONSHOW_H
#define CONCLUSIONSHOW_H

#include <QWidget>

class QLabel;
class QPushButton;

// The pause between two series: the score, the countdown and a button to go on.
class conclusionShow : public QWidget
{
    Q_OBJECT
public:
    explicit conclusionShow(QWidget *parent = nullptr);

    QLabel *resultLabel;
    QLabel *timeLabel;
    QPushButton *nextButton;
};

#endif // CONCLUSIONSHOW_H
