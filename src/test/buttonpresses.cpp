#include "test/buttonpresses.h"

#include "core/msclock.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>

#include <utility>

buttonPresses::buttonPresses(QObject *parent) : QObject(parent) {}

void buttonPresses::watch(QAbstractButton *button, int index)
{
    while (buttons.size() <= index) {
        buttons.append(nullptr);
        presses.append(press());
        byKey.append(false);
    }
    buttons[index] = button;
    button->installEventFilter(this);
    connect(button, &QAbstractButton::pressed, this, [this, index] {
        presses[index] = {slide, quint32(msClock::now() - slideStart), byKey.at(index)};
    });
}

void buttonPresses::setKeyboardAnswers(bool on)
{
    keyboardAnswers = on;
    for (QAbstractButton *button : qAsConst(buttons)) {
        if (button && !on)
            button->setFocusPolicy(Qt::NoFocus);
    }
}

void buttonPresses::setSlide(int shown, quint32 start)
{
    slide = shown;
    slideStart = start;
}

buttonPresses::press buttonPresses::take(int index)
{
    if (index < 0 || index >= presses.size())
        return press();
    return std::exchange(presses[index], press());
}

bool buttonPresses::eventFilter(QObject *watched, QEvent *event)
{
    const int index = buttons.indexOf(qobject_cast<QAbstractButton *>(watched));
    if (index < 0)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        byKey[index] = true;
        return !keyboardAnswers; // swallowed: no key presses or releases the button
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin: byKey[index] = false; break;
    default: break;
    }
    return false;
}
