#ifndef INSTRSHOW_H
#define INSTRSHOW_H

#include <QWidget>

class QLabel;
class QPushButton;

// The test's instructions above the button that starts the test.
class instrShow : public QWidget
{
    Q_OBJECT
public:
    explicit instrShow(QWidget *parent = nullptr);

    QLabel *instrLabel;
    QPushButton *startButton;
};

#endif // INSTRSHOW_H
