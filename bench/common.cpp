#include "bench.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {
QVector<Row> &rows()
{
    static QVector<Row> r;
    return r;
}

qint64 procStatusKiB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}
} // namespace

ScratchFolder::ScratchFolder() : before(QDir::currentPath())
{
    QDir::setCurrent(dir.path());
    QDir().mkdir(QStringLiteral("img"));
}

ScratchFolder::~ScratchFolder()
{
    QDir::setCurrent(before);
}

Stats stats(QVector<double> values)
{
    Stats s;
    if (values.isEmpty())
        return s;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.first();
    s.max = values.last();
    s.runs = n;
    return s;
}

double percentile(QVector<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int index = qBound(0, int(p / 100.0 * (values.size() - 1) + 0.5), values.size() - 1);
    return values[index];
}

QString fmt(const Stats &s, const QString &unit, int decimals)
{
    return QStringLiteral("%1 %2 (%3..%4, n=%5)")
        .arg(s.median, 0, 'f', decimals)
        .arg(unit)
        .arg(s.min, 0, 'f', decimals)
        .arg(s.max, 0, 'f', decimals)
        .arg(s.runs);
}

void addRow(const Row &row)
{
    rows().append(row);
    QTextStream out(stdout);
    out << "  " << row.name << ": quelvan " << row.quelvan;
    if (!row.reference.isEmpty())
        out << ", reference " << row.reference;
    if (row.ratio > 0)
        out << ", ratio " << QString::number(row.ratio, 'f', 2);
    if (!row.target.isEmpty())
        out << ", target " << row.target << (row.pass ? " met" : " MISSED");
    out << '\n';
    out.flush();
}

void printTable()
{
    QTextStream out(stdout);
    out << "\n| benchmark | quelvan | reference | ratio | target | |\n|---|---|---|---|---|---|\n";
    for (const Row &r : rows()) {
        out << "| " << r.name << " | " << r.quelvan << " | " << r.reference << " | "
            << (r.ratio > 0 ? QString::number(r.ratio, 'f', 2) : QString()) << " | " << r.target
            << " | "
            << (r.target.isEmpty() ? QString()
                : r.pass           ? "met"
                                   : "MISSED")
            << " |\n";
        if (!r.note.isEmpty())
            out << "|  | " << r.note << " | | | | |\n";
    }
}

qint64 peakRssKiB()
{
    return procStatusKiB("VmHWM:");
}

qint64 rssKiB()
{
    return procStatusKiB("VmRSS:");
}

} // namespace bench
