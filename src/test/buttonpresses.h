#ifndef BUTTONPRESSES_H
#define BUTTONPRESSES_H

#include <QList>
#include <QObject>

class QAbstractButton;

// Which slide each picture button was pressed on, when, and how. A button's click comes with
// its release, which may fall on a later slide than its press: the runner lets a click answer
// only the slide its press began on. With keyboard answers off the buttons take no focus and
// no key reaches them.
class buttonPresses : public QObject
{
    Q_OBJECT
public:
    struct press
    {
        int slide = 0;  // the slide it began on; 0 when none was seen
        quint32 ms = 0; // from that slide's start
        bool key = false;
    };

    explicit buttonPresses(QObject *parent = nullptr);

    // Watches `button` as number `index` of the grid.
    void watch(QAbstractButton *button, int index);
    void setKeyboardAnswers(bool on);
    // The slide on screen and its start on the program's clock, for the presses to come.
    void setSlide(int slide, quint32 start);
    // The press that a click of button `index` ends, forgotten once taken. A click without
    // one (made by the program, never by a person) has slide 0.
    press take(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QAbstractButton *> buttons;
    QList<press> presses;
    QList<bool> byKey; // the last event that may press each button came from a key
    bool keyboardAnswers = true;
    int slide = 0;
    quint32 slideStart = 0;
};

#endif // BUTTONPRESSES_H
