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
        return QCoreApplication::translate(
            "uploadLine", "Результаты отправлены. Копия осталась на этом компьютере.");
    case resultsUploader::Pending:
        return QCoreApplication::translate(
            "uploadLine", "Результаты будут отправлены позже. Они сохранены здесь и уйдут "
                          "сейчас или при следующем запуске.");
    case resultsUploader::Refused: break;
    }
    return QCoreApplication::translate(
               "uploadLine", "Результаты не отправлены. Они сохранены в папке %1 — сообщите "
                             "лаборатории.")
        .arg(QDir::toNativeSeparators(folder));
}
