#include "results/runfolder.h"

#include "core/datatime.h"
#include "core/participantcode.h"
#include "results/codebook.h"
#include "results/csvrow.h"
#include "results/runfile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace {
const QString trialsSuffix = QStringLiteral("_trials.csv");
const QString seriesSuffix = QStringLiteral("_series.csv");
const QString graphSuffix = QStringLiteral("_graph.png");

// quelvan_<code>_<date>_<time>[-n][_<run id>]; the digits of older files may be the system's.
const QRegularExpression
    stemPattern(QStringLiteral("^quelvan_(.+)_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(?:-(\\d+))?"
                               "(?:_([0-9a-f]{16}))?$"),
                QRegularExpression::UseUnicodePropertiesOption);

QString text(const QList<QByteArray> &row, int column)
{
    return column < 0 ? QString() : QString::fromUtf8(row.at(column));
}

// Who ran which test when, from the first row; the name's run id where no column holds one.
void describe(runInfo &run, const runFile &file)
{
    if (file.rows.isEmpty())
        return;
    const QList<QByteArray> &row = file.rows.constFirst();
    run.participant = text(row, file.column("participant"));
    if (file.column("run_id") >= 0)
        run.runId = text(row, file.column("run_id"));
    run.testId = text(row, file.column("test_id"));
    run.start = QDateTime::fromString(text(row, file.column("run_start")), Qt::ISODate).toUTC();
}
} // namespace

runFolder::runFolder(const QString &folder, QIODevice *trials) : folder(folder)
{
    const QStringList header = codebook::names(codebook::RunTrials);
    trials->write(csvRow::line(header));
    QMap<QString, runInfo> byStem; // one entry a run, in name order
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QString stem;
        for (const QString &suffix : {trialsSuffix, seriesSuffix, graphSuffix})
            if (name.endsWith(suffix))
                stem = name.chopped(suffix.size());
        const QRegularExpressionMatch m = stemPattern.match(stem);
        if (!m.hasMatch() || !participantCode::isValid(m.captured(1))) {
            skipped.append(name + QLatin1String(": not a file of a quelvan run"));
            continue;
        }
        runInfo &run = byStem[stem];
        run.stem = stem;
        run.participant = m.captured(1);
        run.sameSecond = qMax(1, m.captured(2).toInt());
        run.runId = m.captured(3);
    }
    QHash<QString, QString> seen; // run id -> stem: the same run copied under two names
    for (runInfo &run : byStem) {
        const QString prefix = folder + QLatin1Char('/') + run.stem;
        const int reported = skipped.size();
        if (QFile::exists(prefix + seriesSuffix))
            readSeries(run, prefix + seriesSuffix);
        QString &first = seen[run.runId.isEmpty() ? run.stem : run.runId];
        if (!first.isEmpty()) {
            skipped.append(run.stem + QLatin1String(": the same run as ") + first);
            continue;
        }
        first = run.stem;
        if (QFile::exists(prefix + trialsSuffix))
            readTrials(run, prefix + trialsSuffix, trials);
        QFile graph(prefix + graphSuffix);
        if (graph.exists()) {
            run.graph = graph.open(QIODevice::ReadOnly) && graph.read(8) == "\x89PNG\r\n\x1a\n";
            if (!run.graph)
                skipped.append(run.stem + graphSuffix + QLatin1String(": not a PNG picture"));
        }
        if (run.trialsRead || run.seriesRead)
            runs.append(run);
        else if (skipped.size() == reported)
            skipped.append(run.stem + QLatin1String(": no data file of the run"));
    }
}

void runFolder::readSeries(runInfo &run, const QString &path)
{
    const runFile file(path, {"participant", "series", "series_total"});
    if (!file.problem.isEmpty()) {
        skipped.append(QFileInfo(path).fileName() + QLatin1String(": ") + file.problem);
        return;
    }
    run.seriesRead = true;
    const int series = file.column("series"), total = file.column("series_total");
    QList<int> done;
    for (const QList<QByteArray> &row : file.rows) {
        if (!done.contains(row.at(series).toInt()))
            done.append(row.at(series).toInt());
        run.seriesTotal = qMax(run.seriesTotal, row.at(total).toInt());
    }
    run.seriesDone = done.size();
    describe(run, file);
}

void runFolder::readTrials(runInfo &run, const QString &path, QIODevice *out)
{
    const runFile file(path, {"participant", "series", "correct", "rt_ms"});
    if (!file.problem.isEmpty()) {
        skipped.append(QFileInfo(path).fileName() + QLatin1String(": ") + file.problem);
        return;
    }
    run.trialsRead = true;
    run.trials = file.rows.size();
    trialRows += file.rows.size();
    const int series = file.column("series"), correct = file.column("correct"),
              rt = file.column("rt_ms");
    run.answers.reserve(file.rows.size());
    for (const QList<QByteArray> &row : file.rows)
        run.answers.append({row.at(series).toInt(), row.at(correct) == "1", row.at(rt).toInt()});
    if (!run.seriesRead)
        describe(run, file);
    const QStringList columns = codebook::names(codebook::RunTrials);
    if (file.header == columns) { // today's files: the rows as they are
        out->write(file.bytes.constData() + file.bodyStart, file.bytes.size() - file.bodyStart);
        return;
    }
    // An older version's file: its columns by name, the new ones empty but onset_utc, which
    // its onset tells.
    QVector<int> from;
    for (const QString &name : columns)
        from.append(file.header.indexOf(name));
    const int utc = columns.indexOf(QLatin1String("onset_utc")), onset = file.column("onset");
    for (const QList<QByteArray> &row : file.rows) {
        QStringList fields;
        for (const int i : qAsConst(from))
            fields.append(i < 0 ? QString() : QString::fromUtf8(row.at(i)));
        if (from.at(utc) < 0 && onset >= 0)
            fields[utc] = dataTime::utc(
                QDateTime::fromString(QString::fromUtf8(row.at(onset)), Qt::ISODateWithMs), true);
        out->write(csvRow::line(fields));
    }
}
