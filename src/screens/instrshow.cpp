#include "screens/instrshow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

instrShow::instrShow(QWidget *parent)
    : QWidget(parent),
      instrLabel(new QLabel(this)),
      startButton(new QPushButton(QStringLiteral("Начать тест"), this))
{
    auto *box = new QVBoxLayout(this);
    box->addWidget(instrLabel);
    box->addWidget(startButton);
}
