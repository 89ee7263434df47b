#include "screens/uploadline.h"

#include <QCoreApplication>
#include <QDir>

uploadLine::uploadLine(resultsUploader *uploader, const QString &folder, QWidget *parent)
    : QLabel(parent)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText); // the folder's name is no markup
    setText(text(uploader->state(), folder));
    connect(uploader, &resultsUploader::stateChanged, this,
            [this, folder](resultsUploader::State state) { setText(text(state, folder)); });
}

QString uploadLine::text(resultsUploader::State state, const QString &folder)
{
    // The first sentence of each is the one the line has always had; two lines at most in
    // the smallest window (500 pixels wide) with a typical folder.
    switch (state) {
    case resultsUploader::Sent:
        //: Under the graph: the lab's store has the results.
        return QCoreApplication::translate(
            "uploadLine", "Результаты отправлены. Копия осталась на этом компьютере.");
    case resultsUploader::Pending:
        //: Under the graph: the results are saved and will be uploaded later.
        return QCoreApplication::translate(
            "uploadLine", "Результаты будут отправлены позже. Они сохранены здесь и уйдут "
                          "сейчас или при следующем запуске.");
    case resultsUploader::Refused: break;
    }
    //: Under the graph: the store refused the results; %1 is the folder that keeps them.
    return QCoreApplication::translate(
               "uploadLine", "Результаты не отправлены. Они сохранены в папке %1 — сообщите "
                             "лаборатории.")
        .arg(QDir::toNativeSeparators(folder));
}
