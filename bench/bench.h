#ifndef BENCH_H
#define BENCH_H

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

// Shared pieces of the benchmarks: statistics and the result table.
namespace bench {

struct Stats
{
    double median = 0;
    double min = 0;
    double max = 0;
    int runs = 0;
};
Stats stats(QVector<double> values);
double percentile(QVector<double> values, double p);

// One line of the final table: quelvan's figure, the reference's, their ratio and the target.
struct Row
{
    QString name;
    QString quelvan;
    QString reference;
    double ratio = 0; // quelvan / reference; 0 when there is none
    QString target;   // e.g. "<= 1.10"
    bool pass = true;
    QString note;
};
void addRow(const Row &row);
void printTable();

QString fmt(const Stats &s, const QString &unit, int decimals = 2);

struct Config
{
    QString serverUrl; // the static server with the generated test
    QString site;      // the generated test folder (holds quelvan/)
    QString selfPath;  // this program, for child processes
    int runs = 7;
    int rttMs = 0; // latency: the round trip the relay adds
    bool quick = false;
};

void download(const Config &c);
void slideSwitch(const Config &c);
void largeSlideSwitch(const Config &c);
void parseAtCap(const Config &c);
void timing(const Config &c);
void memory(const Config &c);
void startup(const Config &c);
void latency(const Config &c);
// The download at a long round trip with 1, 4 and 6 connections, against curl --parallel.
void parallel(const Config &c);

// Child modes, run in a fresh process by memory() and startup().
int childMemoryEmpty();
int childMemoryRun(const Config &c);
int childStartup(const QString &kind);
int downloadOnce(const Config &c);
// The bare QNetworkAccessManager download of the whole test into img/ of the working folder.
void floorDownloadOnce(const Config &c);
int childMemoryFloor(const Config &c);

// A fresh temporary folder with an empty img/ is the current folder while this lives, as
// the program downloads into img/ below it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    QString img() const { return dir.path() + QStringLiteral("/img"); }

private:
    QTemporaryDir dir;
    QString before;
};

qint64 peakRssKiB(); // VmHWM
qint64 rssKiB();     // VmRSS

} // namespace bench

#endif // BENCH_H
