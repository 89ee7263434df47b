#include "app/closeguard.h"

#include "results/resultsuploader.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

closeGuard::closeGuard(QWidget *window, resultsUploader *uploader)
    : QObject(window),
      window(window),
      uploader(uploader)
{
    window->installEventFilter(this);
    // A logout must not wait for a question nobody answers.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { leaving = true; });
    connect(uploader, &resultsUploader::stateChanged, this, &closeGuard::closeWhenSent);
    connect(uploader, &resultsUploader::answered, this, &closeGuard::closeWhenSent);
}

bool closeGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || event->type() != QEvent::Close || leaving || !uploader->sendingOwn())
        return false;
    event->ignore();
    ask();
    return true;
}

void closeGuard::ask()
{
    if (question)
        return;
    //: The question when the window is closed while the run's results are still being
    //: uploaded (Wait keeps the window open, Close closes it now).
    question = new QMessageBox(QMessageBox::Question, QStringLiteral("quelvan"),
                               QCoreApplication::translate(
                                   "closeGuard", "Результаты ещё отправляются. Подождать, пока они "
                                                 "уйдут? Если закрыть окно сейчас, они будут "
                                                 "отправлены при следующем запуске."),
                               QMessageBox::NoButton, window);
    question->setAttribute(Qt::WA_DeleteOnClose);
    //: Button of the close question: keep the window open until the results are sent.
    QPushButton *wait = question->addButton(QCoreApplication::translate("closeGuard", "Подождать"),
                                            QMessageBox::AcceptRole);
    //: Button of the close question: close the window now.
    QPushButton *close = question->addButton(QCoreApplication::translate("closeGuard", "Закрыть"),
                                             QMessageBox::RejectRole);
    question->setDefaultButton(wait);
    connect(wait, &QPushButton::clicked, this, [this] {
        waiting = true;
        closeWhenSent();
    });
    connect(close, &QPushButton::clicked, this, [this] {
        leaving = true;
        window->close();
    });
    question->open(); // no nested event loop: the uploads go on meanwhile
}

void closeGuard::closeWhenSent()
{
    // The participant asked to close: once nothing is on its way, the question goes and the
    // window closes, whether they answered it or not.
    if ((waiting || question) && !uploader->sendingOwn()) {
        leaving = true;
        if (question)
            question->close();
        window->close();
    }
}
