// quelvan-bench: runs quelvan's classes side by side with the fastest practical reference
// and prints a table of figures and ratios. bench/run.sh sets up the server and calls it.
#include "bench.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {
// The offscreen platform warns at every window it resizes; that is no news here.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);

    bench::Config c;
    c.selfPath = QCoreApplication::applicationFilePath();
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.isEmpty() ? QStringLiteral("all") : args.takeFirst();
    const QString kind = args.value(0); // for child-startup
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--url") && !args.isEmpty())
            c.serverUrl = args.takeFirst();
        else if (a == QLatin1String("--site") && !args.isEmpty())
            c.site = QFileInfo(args.takeFirst()).absoluteFilePath(); // children change folder
        else if (a == QLatin1String("--runs") && !args.isEmpty())
            c.runs = args.takeFirst().toInt();
        else if (a == QLatin1String("--rtt") && !args.isEmpty())
            c.rttMs = args.takeFirst().toInt();
        else if (a == QLatin1String("--quick"))
            c.quick = true;
    }

    if (mode == QLatin1String("child-memory-empty"))
        return bench::childMemoryEmpty();
    if (mode == QLatin1String("child-memory-floor"))
        return bench::childMemoryFloor(c);
    if (mode == QLatin1String("child-memory-run"))
        return bench::childMemoryRun(c);
    if (mode == QLatin1String("child-startup"))
        return bench::childStartup(kind);

    if (mode == QLatin1String("download-once"))
        return bench::downloadOnce(c);

    if (c.serverUrl.isEmpty() || c.site.isEmpty()) {
        fprintf(stderr,
                "usage: quelvan-bench [all|download|slides|timing|memory|startup|latency|parallel] "
                "--url http://127.0.0.1:PORT --site FOLDER [--runs N] [--quick]\n");
        return 1;
    }
    const bool all = mode == QLatin1String("all");
    QTextStream out(stdout);
    auto section = [&](const char *name, void (*fn)(const bench::Config &)) {
        if (all || mode == QLatin1String(name)) {
            out << "== " << name << '\n';
            out.flush();
            fn(c);
        }
    };
    section("download", bench::download);
    section("slides", bench::slideSwitch);
    section("large", bench::largeSlideSwitch);
    section("parse", bench::parseAtCap);
    section("memory", bench::memory);
    section("startup", bench::startup);
    section("timing", bench::timing);
    // Only on request: it needs the delaying relay in front of the server (bench/run.sh).
    if (mode == QLatin1String("latency")) {
        out << "== latency\n";
        out.flush();
        bench::latency(c);
    }
    if (mode == QLatin1String("parallel")) {
        out << "== parallel\n";
        out.flush();
        bench::parallel(c);
    }
    bench::printTable();
    return 0;
}
