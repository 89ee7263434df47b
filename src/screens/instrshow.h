#ifndef INSTRSHOW_H
#define INSTRSHOW_H

#include <QUrl>
#include <QVariant>
#include <QWidget>

class QFont;
class QLabel;
class QPushButton;

// The test's instructions above the button that starts the test.
class instrShow : public QWidget
{
    Q_OBJECT
public:
    explicit instrShow(QWidget *parent = nullptr);

    // Shows `text`. Rich text may show the test's own pictures, named by their file name
    // ("a_x.jpg" or "img/a_x.jpg"), from `pictureDir`; nothing else is ever read from the disk
    // for it: other names show nothing.
    void setInstructions(const QString &text, const QString &pictureDir,
                         const QStringList &pictures);

    // The screen area that instructions need to be shown whole and unwrapped above the start
    // button: the text's own size (pictures in it not counted) and room for the button, the
    // margins and a window frame.
    // quelvan-maketest --check warns with the same rule.
    static QSize roomFor(const QString &text, const QFont &font);

    // Instructions that fit `room` stay as they always were; larger ones wrap to its width
    // and scroll when still too tall, with the start button always in view. Returns the
    // window size they want then, or an invalid size when nothing changed.
    QSize fitInto(const QSize &room);

    QLabel *instrLabel;
    QPushButton *startButton;

private:
    static QUrl imageUrl(QString name);
    // What the instructions get for a resource: the test's picture named by its file name,
    // or a blank that reads nothing.
    static QVariant answer(int type, const QUrl &name, const QString &pictureDir,
                           const QStringList &pictures);
};

#endif // INSTRSHOW_H
