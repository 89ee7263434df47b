#include "results/resultswriter.h"

#include "core/appoptions.h"
#include "core/foldercheck.h"
#include "core/logcategories.h"
#include "core/participantcode.h"
#include "results/trialrecord.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>

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

// A text from the server that a spreadsheet would run as a formula ("=2+3_z") gets a leading
// quote, as the common advice for CSV files says.
QString textCell(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.at(0)) ? QLatin1Char('\'') + text : text;
}

// Local time with milliseconds and the offset from UTC.
QString isoTime(const QDateTime &time, Qt::DateFormat format = Qt::ISODateWithMs)
{
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(format) : QString();
}
} // namespace

resultsWriter::resultsWriter(const QString &folder, const QString &participant,
                             const QString &server, const QDateTime &runStart, QObject *parent)
    : QObject(parent),
      folder(folder),
      participant(participant),
      server(server),
      runStart(isoTime(runStart, Qt::ISODate)),
      start(runStart),
      version(appOptions::version())
{
    // 64 random bits: files named with it cannot be guessed from a code and a time.
    runId = QString::number(QRandomGenerator::system()->generate64(), 16)
                .rightJustified(16, QLatin1Char('0'));
}

QString resultsWriter::refusal(const QString &participant, const QString &folder)
{
    if (participant.isEmpty())
        //: Download screen: the download was asked for without a participant code.
        return QCoreApplication::translate("resultsWriter", "Введите код участника");
    if (!participantCode::isValid(participant))
        //: Download screen: the participant code (%1) is not one that may be used.
        return QCoreApplication::translate(
                   "resultsWriter", "Недопустимый код участника «%1»: нужны от 1 до 64 букв, цифр, "
                                    "«-» или «_»")
            .arg(participant);
    const QString why = folderCheck::problem(folder);
    if (why.isEmpty())
        return QString();
    qCWarning(lcResults) << "cannot write results to" << folder << ":" << why;
    //: Download screen: the results folder (%1) cannot be written.
    return QCoreApplication::translate("resultsWriter", "Не удаётся записать результаты в папку %1")
        .arg(folder);
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
    append(trials, {"participant",      "run_start",     "server",    "series",
                    "slide_in_series",  "slide",         "sample",    "response",
                    "response_picture", "correct",       "timed_out", "rt_ms",
                    "slide_time_ms",    "choice_1",      "choice_2",  "choice_3",
                    "choice_4",         "right_buttons", "onset",     "quelvan_version",
                    "run_id",           "press_ms",      "input",     "shown_ms",
                    "test_id"});
    append(seriesFile, {"participant", "run_start", "series", "slides", "right", "score_percent",
                        "mean_rt_ms", "series_total", "quelvan_version", "run_id", "test_id"});
    emit opened(stem, runId, testId);
}

void resultsWriter::trial(const trialRecord &t)
{
    const bool answered = t.response >= 0;
    if (answered) {
        answeredRt += t.rtMs;
        ++answeredCount;
    }
    QStringList row{participant,
                    runStart,
                    server,
                    QString::number(t.series),
                    QString::number(t.slideInSeries),
                    QString::number(t.slide),
                    textCell(t.sample),
                    answered ? QString::number(t.response) : QString(),
                    textCell(t.responsePicture),
                    QString::number(int(t.correct)),
                    QString::number(int(!answered)),
                    QString::number(t.rtMs),
                    QString::number(t.slideTimeMs)};
    for (int i = 0; i < 4; ++i)
        row.append(textCell(t.choices.value(i)));
    QStringList right;
    for (const int button : t.rightButtons)
        right.append(QString::number(button));
    row << right.join(QLatin1Char(';')) << isoTime(t.onset) << version << runId
        << (t.pressMs < 0 ? QString() : QString::number(t.pressMs)) << t.input
        << QString::number(t.shownMs) << testId;
    append(trials, row);
}

void resultsWriter::series(int series, int seriesTotal, int slides, int right, int score)
{
    const QString meanRt =
        answeredCount ? QString::number(qRound64(double(answeredRt) / answeredCount)) : QString();
    answeredRt = 0;
    answeredCount = 0;
    append(seriesFile, {participant, runStart, QString::number(series), QString::number(slides),
                        QString::number(right), QString::number(score), meanRt,
                        QString::number(seriesTotal), version, runId, testId});
    emit saved(false);
}

void resultsWriter::graph(const QImage &image)
{
    if (stem.isEmpty())
        return; // nothing of this run could be written
    const auto written = qScopeGuard([this] { emit saved(true); });
    // Encoded in memory first: the PNG library jumps out of a failed write past its
    // clean-up, and a full disk is what this folder may well be.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    // Whole or absent: a small PNG stays in the file's buffer until the last flush, whose
    // failure commit() would ignore and put an empty file in place. Without a commit the
    // temporary file goes.
    QSaveFile file(folder + QLatin1Char('/') + stem + QLatin1String("_graph.png"));
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.flush()
        || !file.commit())
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
