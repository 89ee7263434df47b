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
    row->addWidget(
        //: Label of the participant code's field on the first screen.
        new QLabel(QCoreApplication::translate("loadInterface", "Код участника:"), this));
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
