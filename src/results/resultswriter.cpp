#include "results/resultswriter.h"

#include "app/logcategories.h"
#include "results/trialrecord.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QSaveFile>

namespace {
// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
QString csvField(QString field)
{
    if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
        || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')))
        field = QLatin1Char('"') + field.replace(QLatin1String("\""), QLatin1String("\"\""))
                + QLatin1Char('"');
    return field;
}
} // namespace

resultsWriter::resultsWriter(const QString &folder, const QString &participant,
                             const QString &server, const QDateTime &runStart, QObject *parent)
    : QObject(parent),
      folder(folder),
      participant(participant),
      server(server),
      runStart(runStart.toOffsetFromUtc(runStart.offsetFromUtc()).toString(Qt::ISODate)),
      start(runStart)
{}

bool resultsWriter::isParticipantCode(const QString &code)
{
    if (code.isEmpty() || code.size() > 64)
        return false;
    for (const QChar c : code) {
        if (!c.isLetter() && !c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

void resultsWriter::open()
{
    // Unbuffered: each row goes to the system in one write, so a kill loses no finished row.
    const auto mode = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    const QString base =
        QStringLiteral("quelvan_%1_%2")
            .arg(participant, start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    // NewOnly claims a name atomically, so two windows started in the same second never
    // share files.
    for (int n = 1; n <= 1000 && stem.isEmpty(); ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        const QString prefix = folder + QLatin1Char('/') + name;
        if (QFile::exists(prefix + QLatin1String("_series.csv"))
            || QFile::exists(prefix + QLatin1String("_graph.png")))
            continue;
        trials.setFileName(prefix + QLatin1String("_trials.csv"));
        if (trials.open(mode))
            stem = name;
        else if (!trials.exists())
            break;
    }
    seriesFile.setFileName(folder + QLatin1Char('/') + stem + QLatin1String("_series.csv"));
    if (stem.isEmpty() || !seriesFile.open(mode)) {
        fail(folder);
        return;
    }
    append(trials,
           {"participant", "run_start", "server", "series", "slide_in_series", "slide", "sample",
            "response", "response_picture", "correct", "timed_out", "rt_ms", "slide_time_ms"});
    append(seriesFile, {"participant", "run_start", "series", "slides", "right", "score_percent",
                        "mean_rt_ms"});
}

void resultsWriter::trial(const trialRecord &t)
{
    const bool answered = t.response >= 0;
    if (answered) {
        answeredRt += t.rtMs;
        ++answeredCount;
    }
    append(trials, {participant, runStart, server, QString::number(t.series),
                    QString::number(t.slideInSeries), QString::number(t.slide), t.sample,
                    answered ? QString::number(t.response) : QString(), t.responsePicture,
                    QString::number(int(t.correct)), QString::number(int(!answered)),
                    QString::number(t.rtMs), QString::number(t.slideTimeMs)});
}

void resultsWriter::series(int series, int slides, int right, int score)
{
    const QString meanRt =
        answeredCount ? QString::number(qRound64(double(answeredRt) / answeredCount)) : QString();
    answeredRt = 0;
    answeredCount = 0;
    append(seriesFile, {participant, runStart, QString::number(series), QString::number(slides),
                        QString::number(right), QString::number(score), meanRt});
}

void resultsWriter::graph(const QImage &image)
{
    if (stem.isEmpty())
        return; // nothing of this run could be written
    // Encoded in memory first: the PNG library jumps out of a failed write past its
    // clean-up, and a full disk is what this folder may well be.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QSaveFile file(folder + QLatin1Char('/') + stem + QLatin1String("_graph.png"));
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
        fail(file.fileName());
}

bool resultsWriter::append(QFile &file, const QStringList &fields)
{
    if (failed || !file.isOpen())
        return false;
    QStringList quoted;
    for (const QString &f : fields)
        quoted.append(csvField(f));
    const QByteArray row = (quoted.join(QLatin1Char(',')) + QLatin1String("\r\n")).toUtf8();
    const qint64 before = file.pos();
    if (file.write(row) == row.size())
        return true;
    // A full disk may take part of a row: cut it off, so that every row is whole.
    file.resize(before);
    fail(file.fileName());
    return false;
}

void resultsWriter::fail(const QString &what)
{
    if (!failed)
        qCWarning(lcResults) << "results not saved completely:" << what;
    failed = true;
}
