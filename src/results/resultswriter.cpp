#include "results/resultswriter.h"

#include "core/appoptions.h"
#include "core/datatime.h"
#include "core/foldercheck.h"
#include "core/logcategories.h"
#include "core/participantcode.h"
#include "results/codebook.h"
#include "results/csvrow.h"
#include "results/trialrecord.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>

namespace {
// A text from the server that a spreadsheet would run as a formula ("=2+3_z") gets a leading
// quote, as the common advice for CSV files says.
QString textCell(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.at(0)) ? QLatin1Char('\'') + text : text;
}

} // namespace

resultsWriter::resultsWriter(const QString &folder, const QString &participant,
                             const QString &server, const QDateTime &runStart, QObject *parent)
    : QObject(parent),
      folder(folder),
      participant(participant),
      server(server),
      runStart(dataTime::iso(runStart)),
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
    const QString base = QStringLiteral("quelvan_%1_%2").arg(participant, dataTime::stamp(start));
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
    append(trials, codebook::names(codebook::RunTrials));
    append(seriesFile, codebook::names(codebook::RunSeries));
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
    row << right.join(QLatin1Char(';')) << dataTime::iso(t.onset, true) << version << runId
        << (t.pressMs < 0 ? QString() : QString::number(t.pressMs)) << t.input
        << QString::number(t.shownMs) << testId << dataTime::utc(t.onset, true);
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
    const QByteArray row = csvRow::line(fields);
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
