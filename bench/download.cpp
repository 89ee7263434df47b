// Download of a whole test: quelvan's download screen against a bare QNetworkAccessManager
// loop that stores each picture with QSaveFile (the floor of the toolkit for an atomic
// write), beside the same loop with plain QFile and one curl process on one connection.
#include "bench.h"

#include "core/appoptions.h"
#include "core/serverlayout.h"
#include "download/loading.h"
#include "download/loadinterface.h"
#include "download/parsparser.h"
#include "pictures/iconcache.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>

namespace bench {

namespace {

const QStringList &documents = serverLayout::documents();

QStringList requestUrls(const Config &c, const QStringList &pictures)
{
    QStringList urls;
    for (const QString &d : documents)
        urls.append(c.serverUrl + serverLayout::documentPath(d));
    for (const QString &p : pictures)
        urls.append(c.serverUrl + serverLayout::picturePath(p));
    return urls;
}

QStringList pictureNames(const Config &c)
{
    QFile pars(c.site + serverLayout::documentPath(QStringLiteral("pars")));
    pars.open(QIODevice::ReadOnly);
    QStringList first, second;
    parsParser::parseValueLists(QString::fromUtf8(pars.readAll()), &first, &second);
    return parsParser::pictureNames(first, second);
}

// quelvan: from the button to endLoading(), with `connections` pictures at once, each
// picture decoded at icon size as it arrives, as the window has it done.
double runQuelvan(const Config &c, int connections = 1)
{
    appOptions options = appOptions::defaults();
    options.serverUrl = c.serverUrl;
    options.connections = connections;
    loadInterface screen(options);
    iconCache icons;
    screen.icons = &icons;
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

// The floor: each GET issued from the previous reply's handler, pictures written with
// QSaveFile (atomic, as quelvan needs) or with plain QFile.
double runFloor(const QStringList &urls, const QStringList &names, bool atomic = true)
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
                const QString path = dir + names.at(index - documents.size()) + ".jpg";
                if (atomic) {
                    QSaveFile f(path);
                    f.open(QIODevice::WriteOnly);
                    f.write(body);
                    f.commit();
                } else {
                    QFile f(path);
                    f.open(QIODevice::WriteOnly);
                    f.write(body);
                }
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
// With a folder it stores every answer there, as quelvan stores its pictures.
double runCurl(const QStringList &urls, const QString &folder = QString())
{
    QStringList args{"-s", "--fail", "-w", "%{time_total}\\n"};
    for (const QString &u : urls)
        args << "-o"
             << (folder.isEmpty() ? QStringLiteral("/dev/null") : folder + '/' + u.section('/', -1))
             << u;
    QProcess curl;
    curl.start(QStringLiteral("curl"), args);
    curl.waitForFinished(60000);
    double total = 0;
    for (const QByteArray &line : curl.readAllStandardOutput().split('\n'))
        total += line.toDouble();
    return total * 1000;
}

// curl fetching every URL, `parallel` at once, storing them in `folder`: the whole run's time.
double runCurlParallel(const QStringList &urls, const QString &folder, int parallel)
{
    QStringList args{"-s",
                     "--fail",
                     "--parallel",
                     "--parallel-immediate",
                     "--parallel-max",
                     QString::number(parallel)};
    for (const QString &u : urls)
        args << "-o" << folder + '/' + u.section('/', -1) << u;
    QProcess curl;
    QElapsedTimer t;
    t.start();
    curl.start(QStringLiteral("curl"), args);
    curl.waitForFinished(120000);
    if (curl.exitCode() != 0)
        qFatal("curl --parallel failed: %d", curl.exitCode());
    return t.nsecsElapsed() / 1e6;
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
    const ScratchFolder work;
    printf("%.1f ms\n", runQuelvan(c));
    return 0;
}

void download(const Config &c)
{
    const QStringList names = pictureNames(c);
    const QStringList urls = requestUrls(c, names);
    QVector<double> q, b, p, a;
    {
        const ScratchFolder work;
        // One warm-up of each, then alternate so that drift of the machine hits all alike.
        runQuelvan(c);
        runFloor(urls, names);
        for (int i = 0; i < c.runs; ++i) {
            q.append(runQuelvan(c));
            b.append(runFloor(urls, names));
            p.append(runFloor(urls, names, false));
            a.append(runCurl(urls));
        }
    }

    const Stats sq = stats(q), sb = stats(b), sp = stats(p), sa = stats(a);
    const QString what = QStringLiteral("download, %1 requests").arg(urls.size());
    addRow({what + " vs Qt floor", fmt(sq, "ms"), fmt(sb, "ms"), sq.median / sb.median, "<= 1.10",
            sq.median <= 1.10 * sb.median, QString()});
    addRow({what + " vs plain QFile loop", fmt(sq, "ms"), fmt(sp, "ms"), sq.median / sp.median,
            QString(), true, QStringLiteral("not atomic: a failed write damages the older file")});
    addRow({what + " vs curl", fmt(sq, "ms"), fmt(sa, "ms"), sq.median / sa.median, QString(), true,
            QString()});
}

void latency(const Config &c)
{
    const QStringList urls = requestUrls(c, pictureNames(c));
    QVector<double> q, a;
    {
        const ScratchFolder work;
        runQuelvan(c);
        for (int i = 0; i < c.runs; ++i) {
            q.append(runQuelvan(c));
            a.append(runCurl(urls, work.img()));
        }
    }

    const Stats sq = stats(q), sa = stats(a);
    const double floor = double(urls.size()) * c.rttMs;
    const QString what = QStringLiteral("download at %1 ms round trip").arg(c.rttMs);
    addRow({what + " vs curl", fmt(sq, "ms"), fmt(sa, "ms"), sq.median / sa.median, "<= 1.05",
            sq.median <= 1.05 * sa.median,
            QStringLiteral("both through the same relay, both storing the files")});
    addRow({what + " vs requests x round trip", fmt(sq, "ms"),
            QStringLiteral("%1 ms").arg(floor, 0, 'f', 0), sq.median / floor, QString(), true,
            QStringLiteral("%1 requests").arg(urls.size())});
    addRow({QStringLiteral("curl at %1 ms vs requests x round trip").arg(c.rttMs), fmt(sa, "ms"),
            QStringLiteral("%1 ms").arg(floor, 0, 'f', 0), sa.median / floor, QString(), true,
            QString()});
}

void parallel(const Config &c)
{
    const QStringList urls = requestUrls(c, pictureNames(c));
    QVector<double> q1, q4, q6, a4, a6;
    {
        const ScratchFolder work;
        // Side by side in every round, so that drift of the machine hits all alike.
        runQuelvan(c, 4);
        for (int i = 0; i < c.runs; ++i) {
            q1.append(runQuelvan(c, 1));
            q4.append(runQuelvan(c, 4));
            q6.append(runQuelvan(c, 6));
            a4.append(runCurlParallel(urls, work.img(), 4));
            a6.append(runCurlParallel(urls, work.img(), 6));
        }
    }

    qint64 bytes = 0;
    for (const QString &u : urls)
        bytes += QFileInfo(c.site + u.mid(c.serverUrl.size())).size();
    const Stats s1 = stats(q1), s4 = stats(q4), s6 = stats(q6), c4 = stats(a4), c6 = stats(a6);
    const QString at = QStringLiteral(" at %1 ms").arg(c.rttMs);
    addRow({"4 connections vs 1" + at, fmt(s4, "ms"), fmt(s1, "ms"), s4.median / s1.median,
            "<= 0.30", s4.median <= 0.30 * s1.median,
            QStringLiteral("%1 requests, %2 KiB").arg(urls.size()).arg(bytes / 1024)});
    addRow({"6 connections vs 1" + at, fmt(s6, "ms"), fmt(s1, "ms"), s6.median / s1.median,
            "<= 0.25", s6.median <= 0.25 * s1.median, QString()});
    addRow({"4 connections vs curl --parallel-max 4" + at, fmt(s4, "ms"), fmt(c4, "ms"),
            s4.median / c4.median, "<= 1.30", s4.median <= 1.30 * c4.median,
            QStringLiteral("curl asks for the documents at once too")});
    addRow({"6 connections vs curl --parallel-max 6" + at, fmt(s6, "ms"), fmt(c6, "ms"),
            s6.median / c6.median, QString(), true, QString()});
    // The link's limit: 7 documents in turn, then the pictures N at a time, one round trip each.
    for (const int n : {1, 4, 6}) {
        const int pictures = urls.size() - documents.size();
        const double trips = documents.size() + (pictures + n - 1) / n;
        addRow({QStringLiteral("%1 connection(s): round trips x %2 ms").arg(n).arg(c.rttMs),
                fmt(n == 1   ? s1
                    : n == 4 ? s4
                             : s6,
                    "ms"),
                QStringLiteral("%1 ms").arg(trips * c.rttMs, 0, 'f', 0),
                (n == 1   ? s1
                 : n == 4 ? s4
                          : s6)
                        .median
                    / (trips * c.rttMs),
                QString(), true, QStringLiteral("%1 round trips").arg(trips)});
    }
}

} // namespace bench
