// quelvan-results: from a folder of runs to a study's data set.
#include "results/accuracyplot.h"
#include "results/codebook.h"
#include "results/runfolder.h"
#include "results/study.h"
#include "results/studyfiles.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QTextStream>

namespace {
enum Status { Complete = 0, Incomplete = 1, Usage = 2, NotWritten = 3 };
}

int main(int argc, char *argv[])
{
    // The graph's labels need fonts; no window is ever opened (as quelvan-maketest).
#ifndef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
    QGuiApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QString());
    QCoreApplication::setApplicationName(QStringLiteral("quelvan-results"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUELVAN_VERSION));
    QTextStream out(stdout), err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads the runs in RUNS (the lab's store, or a participant's results folder) and writes "
        "into OUT: trials.csv (every trial of every run), runs.csv (one row a run: complete or "
        "not, the attempt, the run that counts), participants.csv (per participant and series: "
        "accuracy and the reaction times of right answers, from the run that counts), "
        "codebook.csv (every column of these files and of the runs' own) and accuracy.png. "
        "It never changes a run; a file it cannot use is named on standard error and "
        "skipped.\n\nExit codes: 0 every expected participant has a complete run (always, "
        "without --expect), 1 one has not, 2 wrong usage, 3 a file in OUT could not be written."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption expect(
        "expect",
        "The study's participant codes, one a line (# starts a comment): lists those "
        "with no complete run and the codes not on the list.",
        "file");
    const QCommandLineOption take(
        "take", "Which complete run of a participant counts: first (the default) or last.",
        "first|last", QStringLiteral("first"));
    const QCommandLineOption markdown(
        "codebook-markdown", "Print the codebook as the Markdown tables of the data document.");
    parser.addOptions({expect, take, markdown});
    parser.addPositionalArgument("RUNS", "The folder of runs to read.");
    parser.addPositionalArgument("OUT", "The folder to write the data set into (made if missing).");
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "quelvan-results: " << parser.errorText() << '\n';
        return Usage;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")) || parser.isSet(version)) {
        out << (parser.isSet(version) ? QStringLiteral("quelvan-results " QUELVAN_VERSION "\n")
                                      : parser.helpText());
        return Complete;
    }
    if (parser.isSet(markdown)) {
        for (const codebook::File file : codebook::files())
            out << "`" << codebook::fileName(file) << "`:\n\n" << codebook::markdown(file) << '\n';
        return Complete;
    }
    const QStringList args = parser.positionalArguments();
    auto usage = [&](const QString &why) {
        err << "quelvan-results: " << why << '\n';
        return Usage;
    };
    if (args.size() != 2)
        return usage(
            QStringLiteral("name the folder of runs and the folder to write (see --help)"));
    const QString take_ = parser.value(take);
    if (take_ != QLatin1String("first") && take_ != QLatin1String("last"))
        return usage(QStringLiteral("--take must be first or last"));
    const QDir runsDir(args.at(0));
    if (!runsDir.exists())
        return usage(QStringLiteral("%1 is not a folder").arg(args.at(0)));
    QStringList expected;
    if (parser.isSet(expect)) {
        QFile list(parser.value(expect));
        if (!list.open(QIODevice::ReadOnly))
            return usage(
                QStringLiteral("--expect: %1: %2").arg(list.fileName(), list.errorString()));
        QStringList bad;
        expected = study::readCodes(list.readAll(), &bad);
        if (!bad.isEmpty())
            return usage(
                QStringLiteral("--expect: not a participant code: %1").arg(bad.join(", ")));
    }

    QDir outDir(args.at(1));
    if (!QDir().mkpath(args.at(1)))
        return usage(QStringLiteral("%1 cannot be made").arg(args.at(1)));
    // The data set's files are no run's, and the runs are never written to.
    if (outDir.canonicalPath() == runsDir.canonicalPath())
        return usage(QStringLiteral("write the data set into a folder of its own, not into %1")
                         .arg(args.at(0)));
    QString problem;
    QSaveFile trials(outDir.filePath(codebook::fileName(codebook::Trials)));
    if (!trials.open(QIODevice::WriteOnly)) {
        err << "quelvan-results: " << trials.fileName() << ": " << trials.errorString() << '\n';
        return NotWritten;
    }
    runFolder folder(runsDir.path(), &trials);
    for (const QString &line : qAsConst(folder.skipped))
        err << "quelvan-results: skipped " << line << '\n';
    study::settle(folder.runs,
                  take_ == QLatin1String("last") ? study::LastComplete : study::FirstComplete);
    // Each file whole or not at all; the first that cannot be written is named.
    if (!trials.commit())
        problem = trials.fileName() + QLatin1String(": ") + trials.errorString();
    const bool written =
        problem.isEmpty()
        && studyFiles::write(outDir.path(), codebook::Runs, study::runRows(folder.runs), &problem)
        && studyFiles::write(outDir.path(), codebook::Participants,
                             study::participantRows(folder.runs), &problem)
        && studyFiles::write(outDir.path(), codebook::Codebook, studyFiles::codebookRows(),
                             &problem)
        && studyFiles::writePicture(outDir.filePath(QStringLiteral("accuracy.png")),
                                    accuracyPlot::draw(folder.runs), &problem);

    QStringList participants;
    for (const runInfo &r : qAsConst(folder.runs)) {
        if (!participants.contains(r.participant))
            participants.append(r.participant);
        if (r.attempt == 2)
            out << "ran more than once: " << r.participant << '\n';
    }
    out << "read " << folder.runs.size() << " run(s) of " << participants.size()
        << " participant(s), " << folder.trialRows << " trial(s), from " << args.at(0) << " ("
        << folder.skipped.size() << " file(s) skipped)\n";
    Status status = Complete;
    if (parser.isSet(expect)) {
        const QStringList missing = study::missing(folder.runs, expected);
        for (const QString &line : missing)
            out << "no complete run: " << line << '\n';
        for (const QString &code : study::unexpected(folder.runs, expected))
            out << "not on the list: " << code << '\n';
        out << (expected.size() - missing.size()) << " of " << expected.size()
            << " expected participant(s) have a complete run\n";
        status = missing.isEmpty() ? Complete : Incomplete;
    }
    if (!written) {
        out.flush();
        err << "quelvan-results: not written: " << problem << '\n';
        return NotWritten;
    }
    out << "wrote " << args.at(1)
        << ": trials.csv, runs.csv, participants.csv, codebook.csv, accuracy.png\n";
    return status;
}
