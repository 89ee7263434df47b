#include "screens/conclusionshow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

conclusionShow::conclusionShow(QWidget *parent)
    : QWidget(parent),
      resultLabel(new QLabel(this)),
      timeLabel(new QLabel(this)),
      nextButton(new QPushButton(
          //: Button of the pause screen: start the next series now.
          QCoreApplication::translate("conclusionShow", "Перейти к следующей серии"), this))
{
    resultLabel->setTextFormat(Qt::PlainText);
    timeLabel->setTextFormat(Qt::PlainText);
    auto *box = new QVBoxLayout(this);
    box->addWidget(resultLabel);
    box->addWidget(timeLabel);
    box->addWidget(nextButton);
}
