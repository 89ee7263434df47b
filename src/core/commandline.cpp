#include "core/commandline.h"

#include "core/languagechoice.h"
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
    QStringList folders;
    for (const QString &folder : languageChoice::labFolders())
        folders.append(QDir::toNativeSeparators(folder));
    parser.addOption(QCommandLineOption(
        QStringLiteral("language"),
        QStringLiteral("Language of the window: ru (default), en, de, es, fr, pt, zh_CN, auto (the "
                       "first of the system's languages that quelvan has, else en; on Linux "
                       "from LANGUAGE, then LC_ALL, LC_MESSAGES and LANG) or a lab's own, "
                       "quelvan_<code>.qm in %1. Codes ignore case; de_AT falls back to de.")
            .arg(folders.join(QLatin1String(" or "))),
        QStringLiteral("code")));
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
    parser.addOption(QCommandLineOption(
        QLatin1String(checkTranslationOption),
        QStringLiteral("List the messages that a translation (.ts or .qm) lacks, leaves "
                       "unfinished or leaves in English, and exit: 0 when there are none."),
        QStringLiteral("file")));
    option(checkSettingsOption,
           "Print every setting and where it came from, check that the results and picture "
           "folders take files, the test server answers, the store takes a probe and the "
           "language loads, and exit: 0 all hold, 1 one does not.");
}

QStringList commandLine::withoutToolkitOptions(const QStringList &arguments)
{
    // The toolkit's options that take the next argument as their value; Qt reads them after
    // one dash or two.
    static const QStringList valued{"platform",
                                    "platformpluginpath",
                                    "platformtheme",
                                    "plugin",
                                    "qwindowgeometry",
                                    "qwindowicon",
                                    "qwindowtitle",
                                    "session",
                                    "display",
                                    "geometry",
                                    "title",
                                    "icon",
                                    "name",
                                    "style",
                                    "stylesheet"};
    static const QStringList flags{"reverse", "widgetcount", "nograb", "dograb", "sync"};
    QStringList result = arguments.mid(0, 1);
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool twoDashes = argument.startsWith(QLatin1String("--"));
        const QString word = argument.mid(twoDashes ? 2 : 1).section(QLatin1Char('='), 0, 0);
        const bool toolkit = twoDashes ? valued.contains(word) || flags.contains(word)
                                       : argument.startsWith(QLatin1Char('-'))
                                             && argument.size() > 2 && argument.at(1).isLetter();
        if (!toolkit)
            result.append(argument);
        else if (valued.contains(word) && !argument.contains(QLatin1Char('=')))
            ++i; // and its value
    }
    return result;
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
