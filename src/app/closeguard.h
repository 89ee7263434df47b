#ifndef CLOSEGUARD_H
#define CLOSEGUARD_H

#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;
class resultsUploader;

// Asks before the window closes after the test while its run's results are still on their
// way: «Подождать» keeps it open until the run is delivered or refused, then closes it;
// «Закрыть» closes at once and leaves the run to the next start. A question still open when
// its reason goes closes, and the window with it. Never asks mid-test (no slide may run behind
// the question; the next start sends what is left), when nothing is on its way, nor when the
// session logs out.
class closeGuard : public QObject
{
    Q_OBJECT
public:
    closeGuard(QWidget *window, resultsUploader *uploader);

    // The open question, for tests; null when none is shown.
    QPointer<QMessageBox> question;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ask();
    void closeWhenSent();

    QWidget *window;
    resultsUploader *uploader;
    bool waiting = false;
    bool leaving = false;
};

#endif // CLOSEGUARD_H
