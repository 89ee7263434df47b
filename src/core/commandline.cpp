#include "core/commandline.h"

#include "core/logfile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>

#include <cstdlib>

namespace {
// Whether the flag `option` stands among the arguments, looked at before they are parsed.
bool isGiven(const QStringList &arguments, const char *option)
{
    return arguments.mid(1).contains(QLatin1String("--") + QLatin1String(option));
}

} // namespace

void commandLine::declare(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Downloads an attention test from a test server and runs it. Options "
                       "override the keys of the same name in the settings files. Warnings "
                       "also go to the log file %1.")
            .arg(QDir::toNativeSeparators(logFile::path())));
    parser.addHelpOption();
    parser.addVersionOption();
    const auto option = [&parser](const char *name, const char *description,
                                  const char *value = nullptr) {
        parser.addOption(QCommandLineOption(QLatin1String(name), QLatin1String(description),
                                            QLatin1String(value)));
    };
    option("server", "Test server, http(s)://host[:port].", "url");
    option("pictures", "Folder of the pictures (default: img below the current folder).", "dir");
    option("cache",
           "Keep the pictures in img below your cache folder, unless a pictures folder is set.");
    option("fullscreen", "Open the window full screen.");
    option("autostart", "Start the download at once, without waiting for the button.");
    option("results", "Keep each run's data (trials, series, graph) in this folder.", "dir");
    option("participant",
           "Participant code (1 to 64 letters, digits, - and _) for the results; without it "
           "the download screen asks for one.",
           "code");
    option("language",
           "Language of the window: ru (default), en, auto (the system's, if available) or a "
           "lab's translation.",
           "code");
    option(errorDialogOption,
           "Show a start-up error in a message box as well (the desktop entry uses it).");
    option("connections", "Pictures downloaded at once, 1 to 6 (default 1: one request at a time).",
           "n");
    option("retries",
           "How often a request that failed for a passing reason (the network, 408, 429, 5xx) "
           "is asked again, 0 to 5 (default 0).",
           "n");
    option("keyboard-answers",
           "Whether a key (Space on the focused picture) may answer a slide: true (default) or "
           "false, with which only a click answers.",
           "true|false");
    option("exact-limit",
           "true: a slide ends at its time limit exactly, and a click past it is a time-out; "
           "false (default): at the first 200 ms tick after it.",
           "true|false");
    option("upload",
           "Send each run's files to this address with HTTP PUT, as they are written (needs a "
           "results folder).",
           "url");
    option(sendResultsOption,
           "Try once to send every run not yet delivered to the upload address, print a line "
           "per run and exit: 0 when nothing is left to send.");
    option(checkUploadOption,
           "Store one small probe file at the upload address, say what happened and why, and "
           "exit: 0 stored, 1 not stored.");
    option(checkSettingsOption,
           "Print every setting and where it came from, check that the results and picture "
           "folders take files, the test server answers, the store takes a probe and the "
           "language loads, and exit: 0 all hold, 1 one does not.");
}

bool commandLine::needsNoDisplay(const QStringList &arguments)
{
    static const QStringList answered{"-h",
                                      "--help",
                                      "-?",
                                      "--help-all",
                                      "-v",
                                      "--version",
                                      QLatin1String("--") + sendResultsOption,
                                      QLatin1String("--") + checkUploadOption,
                                      QLatin1String("--") + checkSettingsOption};
    for (const QString &argument : arguments.mid(1)) {
        if (answered.contains(argument))
            return true;
    }
    return false;
}

bool commandLine::reachesStore(const QStringList &arguments)
{
    return isGiven(arguments, sendResultsOption) || isGiven(arguments, checkUploadOption)
           || isGiven(arguments, checkSettingsOption);
}

bool commandLine::hasToolkitOption(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument.size() > 2 && argument.startsWith(QLatin1Char('-'))
            && argument.at(1).isLetter())
            return true;
    }
    return false;
}

bool commandLine::wantsErrorDialog(const QStringList &arguments)
{
    return isGiven(arguments, errorDialogOption);
}

void commandLine::showHelpAll(const QStringList &arguments)
{
    QCommandLineParser parser;
    declare(parser);
    parser.process(arguments); // prints the help with the toolkit's options and exits
    std::exit(0);
}
