// Start-up: from process start to the first window shown (its first expose), quelvan's main
// window against an empty QMainWindow, both from this same program. A third window, with one
// line of text and a QNetworkAccessManager, shows what any program that shows text and
// talks HTTP pays on top of the empty window.
#include "bench.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QWindow>

#include <cstdio>

namespace bench {

namespace {
class exposeWatcher : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Expose) {
            printf("shown\n");
            fflush(stdout);
            QCoreApplication::exit(0);
        }
        return false;
    }
};
} // namespace

int childStartup(const QString &kind)
{
    QMainWindow *w = nullptr;
    if (kind == QLatin1String("quelvan")) {
        w = new MainWindow;
    } else {
        w = new QMainWindow;
        if (kind == QLatin1String("floor")) {
            w->setCentralWidget(new QLabel(QStringLiteral("Получить тест с сервера"), w));
            new QNetworkAccessManager(w);
        }
    }
    exposeWatcher watcher;
    w->winId(); // creates the native window, so the filter sees its first expose
    w->windowHandle()->installEventFilter(&watcher);
    w->show();
    const int code = QApplication::exec();
    delete w;
    return code;
}

void startup(const Config &c)
{
    auto once = [&c](const QString &kind) {
        QProcess child;
        QElapsedTimer t;
        t.start();
        child.start(c.selfPath, {QStringLiteral("child-startup"), kind});
        if (!child.waitForReadyRead(30000))
            qFatal("the %s child showed nothing", qPrintable(kind));
        const double ms = t.nsecsElapsed() / 1e6;
        child.waitForFinished(30000);
        return ms;
    };
    const QStringList kinds{"empty", "floor", "quelvan"};
    for (const QString &k : kinds)
        once(k);
    QVector<double> times[3];
    const int runs = c.quick ? 5 : 21;
    for (int i = 0; i < runs; ++i)
        for (int k = 0; k < 3; ++k)
            times[k].append(once(kinds[k]));
    const Stats se = stats(times[0]), sf = stats(times[1]), sq = stats(times[2]);
    const QString platform = QGuiApplication::platformName();
    addRow({"start-up to first window (" + platform + ")", fmt(sq, "ms", 1),
            fmt(se, "ms", 1) + " empty window", sq.median / se.median, "<= 1.20",
            sq.median <= 1.2 * se.median, QString()});
    addRow({"start-up against text + QNAM window (" + platform + ")", fmt(sq, "ms", 1),
            fmt(sf, "ms", 1), sq.median / sf.median, QString(), true, QString()});
}

} // namespace bench
