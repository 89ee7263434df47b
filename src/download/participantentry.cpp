#include "download/participantentry.h"

#include "results/resultswriter.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

participantEntry::participantEntry(const QString &participant, const QString &resultsDir,
                                   QWidget *parent)
    : QWidget(parent),
      resultsDir(resultsDir)
{
    if (!participant.isEmpty()) {
        hide();
        return;
    }
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(
        //: Label of the participant code's field on the first screen.
        QCoreApplication::translate("loadInterface", "Код участника:"), this);
    caption->setTextFormat(Qt::PlainText);
    row->addWidget(caption);
    edit = new QLineEdit(this);
    edit->setMaxLength(64);
    row->addWidget(edit);
    connect(edit, &QLineEdit::returnPressed, this, &participantEntry::entered);
}

QString participantEntry::refusal(QString *participant)
{
    if (edit)
        *participant = edit->text().trimmed();
    const QString why = resultsWriter::refusal(*participant, resultsDir);
    if (why.isEmpty() && edit)
        edit->setEnabled(false);
    return why;
}
