#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {
const QRgb blue = qRgb(0, 0, 255);
const QRgb red = qRgb(255, 0, 0);

QImage render(const QList<float> &values, QSize size = QSize(500, 420))
{
    conclGraph graph;
    graph.setData(35, 4, 44, 24, values);
    graph.resize(size);
    return graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int countColour(const QImage &image, QRgb colour, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Text is drawn with the widget's font, antialiased; count pixels that lean blue.
int bluishPixels(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.blue() > c.red() + 40 && c.blue() > c.green() + 40;
        }
    return n;
}
} // namespace

class tst_screens : public QObject
{
    Q_OBJECT
private slots:
    void instructionScreen();
    void resultScreen();
    void graphMinimumSize();
    void graphWorkedExample();
    void graphSingleValue();
    void graphFollowsResize();
};

void tst_screens::instructionScreen()
{
    instrShow screen;
    QVERIFY(screen.instrLabel->text().isEmpty());
    QCOMPARE(screen.startButton->text(), QStringLiteral("Начать тест"));
    QVERIFY(!screen.instrLabel->wordWrap());
    auto *box = qobject_cast<QVBoxLayout *>(screen.layout());
    QVERIFY(box);
    QCOMPARE(box->indexOf(screen.instrLabel), 0);
    QCOMPARE(box->indexOf(screen.startButton), 1);
}

void tst_screens::resultScreen()
{
    conclusionShow screen;
    QVERIFY(screen.resultLabel->text().isEmpty());
    QVERIFY(screen.timeLabel->text().isEmpty());
    QCOMPARE(screen.nextButton->text(), QStringLiteral("Перейти к следующей серии"));
    auto *box = qobject_cast<QVBoxLayout *>(screen.layout());
    QVERIFY(box);
    QCOMPARE(box->indexOf(screen.resultLabel), 0);
    QCOMPARE(box->indexOf(screen.timeLabel), 1);
    QCOMPARE(box->indexOf(screen.nextButton), 2);
}

void tst_screens::graphMinimumSize()
{
    conclGraph graph;
    QCOMPARE(graph.minimumSize(), QSize(500, 420));
    QVERIFY(graph.values.isEmpty());
    graph.resize(500, 420);
    graph.grab(); // an empty graph must not divide by zero
}

void tst_screens::graphWorkedExample()
{
    const QImage img = render({50, 75, 100});

    // The three points and the middle of both red segments.
    for (const QPoint p :
         {QPoint(35, 246), QPoint(188, 171), QPoint(341, 96), QPoint(111, 208), QPoint(264, 133)})
        QVERIFY2(img.pixel(p) == red, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // No red beyond the last point.
    QCOMPARE(countColour(img, red, QRect(345, 0, 155, 420)), 0);

    // Axes, the grid lines y = 366 ... 96 and the guide lines at x = 188 and 341.
    QCOMPARE(img.pixel(35, 60), blue);
    QCOMPARE(img.pixel(35, 390), blue);
    QCOMPARE(img.pixel(495, 396), blue);
    QCOMPARE(img.pixel(400, 396), blue);
    for (int y = 366; y >= 96; y -= 30) {
        QCOMPARE(img.pixel(495, y), blue);
        QCOMPARE(img.pixel(450, y), blue);
        QVERIFY(img.pixel(450, y + 1) != blue);
    }
    QVERIFY(img.pixel(450, 95) != blue); // nothing above the 100 % line
    QCOMPARE(img.pixel(188, 380), blue);
    QCOMPARE(img.pixel(341, 380), blue);
    QCOMPARE(img.pixel(188, 110), blue);
    QVERIFY(img.pixel(188, 90) != blue);  // guide lines stop at the 100 % level
    QVERIFY(img.pixel(420, 380) != blue); // three series, three guide lines

    // Labels 10% ... 100% hang below their lines at the left edge; no 0% label.
    for (int y = 366; y >= 96; y -= 30)
        QVERIFY(bluishPixels(img, QRect(1, y + 1, 30, 13)) > 5);
    QCOMPARE(bluishPixels(img, QRect(1, 397, 30, 15)), 0);
    // Series numbers below the axis; the title in the top band.
    QVERIFY(bluishPixels(img, QRect(188, 398, 10, 13)) > 3);
    QVERIFY(bluishPixels(img, QRect(70, 2, 426, 15)) > 50);
}

void tst_screens::graphSingleValue()
{
    const QImage img = render({80});
    QCOMPARE(countColour(img, red, img.rect()), 0);
    QCOMPARE(img.pixel(35, 200), blue); // the one guide line lies on the vertical axis
    QVERIFY(bluishPixels(img, QRect(35, 398, 10, 13)) > 3); // its number 1
}

void tst_screens::graphFollowsResize()
{
    // 800 x 624: unitX = 761 / 2 = 380, unitY = 556 / 100 = 5, origin (35, 600).
    const QImage img = render({0, 100}, QSize(800, 624));
    QCOMPARE(img.pixel(35, 600), red);  // a score of 0 lies on the horizontal axis
    QCOMPARE(img.pixel(415, 100), red); // a score of 100 on the 100 % line
    QCOMPARE(img.pixel(700, 100), blue);
    QCOMPARE(img.pixel(795, 600), blue);
    QCOMPARE(img.pixel(35, 80), blue); // the vertical axis reaches up to the top margin
    QVERIFY(img.pixel(35, 40) != blue);
}

QTEST_MAIN(tst_screens)
#include "tst_screens.moc"
