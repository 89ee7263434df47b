#include "results/study.h"

#include "core/datatime.h"
#include "core/participantcode.h"

#include <QHash>
#include <QMap>
#include <algorithm>

void study::settle(QVector<runInfo> &runs, Take take)
{
    // A run whose start no row tells goes after those whose start is known.
    std::stable_sort(runs.begin(), runs.end(), [](const runInfo &a, const runInfo &b) {
        if (a.participant != b.participant)
            return a.participant < b.participant;
        if (a.start.isValid() != b.start.isValid())
            return a.start.isValid();
        if (a.start != b.start)
            return a.start < b.start;
        return a.sameSecond != b.sameSecond ? a.sameSecond < b.sameSecond : a.stem < b.stem;
    });
    for (int i = 0; i < runs.size(); ++i) {
        const bool first = i == 0 || runs.at(i - 1).participant != runs.at(i).participant;
        runs[i].attempt = first ? 1 : runs.at(i - 1).attempt + 1;
        runs[i].counts = false;
    }
    QMap<QString, int> chosen; // participant -> index of the run that counts
    for (int i = 0; i < runs.size(); ++i) {
        if (runs.at(i).complete()
            && (take == LastComplete || !chosen.contains(runs.at(i).participant)))
            chosen[runs.at(i).participant] = i;
    }
    for (const int i : qAsConst(chosen))
        runs[i].counts = true;
}

QList<QStringList> study::runRows(const QVector<runInfo> &runs)
{
    QList<QStringList> rows;
    for (const runInfo &r : runs)
        rows.append({r.participant, r.runId, r.testId, dataTime::utc(r.start),
                     QString::number(r.seriesDone), QString::number(r.seriesTotal),
                     QString::number(r.trials), QString::number(int(r.complete())),
                     QString::number(int(r.graph)), QString::number(r.attempt),
                     QString::number(int(r.counts)), r.stem});
    return rows;
}

QList<QStringList> study::participantRows(const QVector<runInfo> &runs)
{
    QList<QStringList> rows;
    for (const runInfo &r : runs) {
        if (!r.counts)
            continue;
        QMap<int, QVector<const runInfo::answer *>> bySeries;
        for (const runInfo::answer &a : r.answers)
            bySeries[a.series].append(&a);
        for (auto it = bySeries.cbegin(); it != bySeries.cend(); ++it) {
            QVector<int> rights;
            for (const runInfo::answer *a : it.value())
                if (a->correct)
                    rights.append(a->rtMs);
            std::sort(rights.begin(), rights.end());
            const int n = rights.size();
            double sum = 0;
            for (const int rt : qAsConst(rights))
                sum += rt;
            const double median =
                n == 0
                    ? 0
                    : (n % 2 ? rights.at(n / 2) : (rights.at(n / 2 - 1) + rights.at(n / 2)) / 2.0);
            rows.append({r.participant, r.runId, r.testId, QString::number(it.key()),
                         QString::number(it.value().size()), QString::number(n),
                         number(double(n) / it.value().size(), 4),
                         n ? number(sum / n, 1) : QString(), n ? number(median, 1) : QString()});
        }
    }
    return rows;
}

QStringList study::readCodes(const QByteArray &text, QStringList *bad)
{
    QStringList codes;
    for (const QString &line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        const QString code = line.trimmed();
        if (code.isEmpty() || code.startsWith(QLatin1Char('#')) || codes.contains(code))
            continue;
        if (participantCode::isValid(code))
            codes.append(code);
        else
            bad->append(code);
    }
    return codes;
}

QStringList study::missing(const QVector<runInfo> &runs, const QStringList &expected)
{
    QHash<QString, QPair<int, bool>> tried; // participant -> runs, one of them complete
    for (const runInfo &r : runs) {
        auto &t = tried[r.participant];
        ++t.first;
        t.second = t.second || r.complete();
    }
    QStringList lines;
    for (const QString &code : expected) {
        const auto t = tried.value(code);
        if (!t.second)
            lines.append(t.first
                             ? QStringLiteral("%1: %2 run(s), none complete").arg(code).arg(t.first)
                             : code + QLatin1String(": no run"));
    }
    return lines;
}

QStringList study::unexpected(const QVector<runInfo> &runs, const QStringList &expected)
{
    QStringList codes;
    for (const runInfo &r : runs)
        if (!expected.contains(r.participant) && !codes.contains(r.participant))
            codes.append(r.participant);
    return codes;
}

QString study::number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}
