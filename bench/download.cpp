// Download of a whole test: quelvan's download screen against a bare QNetworkAccessManager
// loop (the floor of the toolkit) and against one curl process on one connection.
#include "bench.h"

#include "loading.h"
#include "loadinterface.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>

namespace bench {

namespace {

const QStringList documents{"test",        "instr",       "tm",  "ts_in_series",
                            "totalseries", "pauseseries", "pars"};

QStringList requestUrls(const Config &c, const QStringList &pictures)
{
    QStringList urls;
    for (const QString &d : documents)
        urls.append(c.serverUrl + QStringLiteral("/quelvan/%1.php").arg(d));
    for (const QString &p : pictures)
        urls.append(c.serverUrl + QStringLiteral("/quelvan/img/%1.jpg").arg(p));
    return urls;
}

QStringList pictureNames(const Config &c)
{
    QFile pars(c.site + QStringLiteral("/quelvan/pars.php"));
    pars.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(pars.readAll());
    const int mid = text.indexOf(QLatin1String("]["));
    const QStringList first = text.mid(1, mid - 1).split(',');
    const QStringList second = text.mid(mid + 2, text.size() - mid - 3).split(',');
    QStringList names;
    for (const QString &a : first)
        for (const QString &b : second)
            names.append(a + '_' + b);
    names.append(QStringLiteral("fail"));
    return names;
}

// quelvan: from the button to endLoading().
double runQuelvan(const Config &c)
{
    loadInterface screen;
    screen.serverUrl = c.serverUrl;
    QEventLoop loop;
    QObject::connect(&screen, &loadInterface::endLoading, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    t.start();
    screen.getButton->click();
    loop.exec();
    const double ms = t.nsecsElapsed() / 1e6;
    if (screen.statusLabel->text() != QStringLiteral("Загрузка завершена"))
        qFatal("quelvan's download failed: %s", qPrintable(screen.statusLabel->text()));
    return ms;
}

// The floor: each GET issued from the previous reply's handler, pictures written with QFile.
double runFloor(const QStringList &urls, const QStringList &names)
{
    QNetworkAccessManager manager;
    QEventLoop loop;
    int index = 0;
    const QString dir = QDir::currentPath() + QStringLiteral("/img/");
    std::function<void()> next = [&] {
        if (index == urls.size()) {
            loop.quit();
            return;
        }
        QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(urls.at(index))));
        QObject::connect(reply, &QNetworkReply::finished, &manager, [&, reply] {
            const QByteArray body = reply->readAll();
            if (reply->error() != QNetworkReply::NoError)
                qFatal("floor download failed: %s", qPrintable(reply->errorString()));
            if (index >= documents.size()) {
                QFile f(dir + names.at(index - documents.size()) + QStringLiteral(".jpg"));
                f.open(QIODevice::WriteOnly);
                f.write(body);
            } else {
                (void)QString::fromUtf8(body);
            }
            reply->deleteLater();
            ++index;
            next();
        });
    };
    QElapsedTimer t;
    t.start();
    next();
    loop.exec();
    return t.nsecsElapsed() / 1e6;
}

// curl: all URLs in one process on one kept-alive connection; the sum of the transfer times.
double runCurl(const QStringList &urls)
{
    QStringList args{"-s", "--fail", "-w", "%{time_total}\\n"};
    for (const QString &u : urls)
        args << "-o"
             << "/dev/null" << u;
    QProcess curl;
    curl.start(QStringLiteral("curl"), args);
    curl.waitForFinished(60000);
    double total = 0;
    for (const QByteArray &line : curl.readAllStandardOutput().split('\n'))
        total += line.toDouble();
    return total * 1000;
}

} // namespace

void floorDownloadOnce(const Config &c)
{
    const QStringList names = pictureNames(c);
    QDir().mkdir(QStringLiteral("img"));
    runFloor(requestUrls(c, names), names);
}

int downloadOnce(const Config &c)
{
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    printf("%.1f ms\n", runQuelvan(c));
    return 0;
}

void download(const Config &c)
{
    const QStringList names = pictureNames(c);
    const QStringList urls = requestUrls(c, names);
    QTemporaryDir work;
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(work.path());
    QDir().mkdir(QStringLiteral("img"));

    // One warm-up of each, then alternate so that drift of the machine hits all three alike.
    runQuelvan(c);
    runFloor(urls, names);
    QVector<double> q, b, a;
    for (int i = 0; i < c.runs; ++i) {
        q.append(runQuelvan(c));
        b.append(runFloor(urls, names));
        a.append(runCurl(urls));
    }
    QDir::setCurrent(oldCwd);

    const Stats sq = stats(q), sb = stats(b), sa = stats(a);
    const QString what = QStringLiteral("download, %1 requests").arg(urls.size());
    addRow({what + " vs Qt floor", fmt(sq, "ms"), fmt(sb, "ms"), sq.median / sb.median, "<= 1.10",
            sq.median <= 1.10 * sb.median, QString()});
    addRow({what + " vs curl", fmt(sq, "ms"), fmt(sa, "ms"), sq.median / sa.median, QString(), true,
            QString()});
}

} // namespace bench
