#include "app/appoptions.h"

#include "app/foldercheck.h"
#include "app/languagechoice.h"
#include "app/serveraddress.h"
#include "app/settingsfile.h"
#include "download/serverlayout.h"
#include "results/resultswriter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>

#include <cstdlib>

#ifndef QUELVAN_SERVER_URL
#define QUELVAN_SERVER_URL "http://127.0.0.1:8080"
#endif
#ifndef QUELVAN_VERSION
#define QUELVAN_VERSION "0"
#endif

namespace {
const char *const errorDialogOption = "error-dialog";
const char *const sendResultsOption = "send-results";
const char *const checkUploadOption = "check-upload";

// Whether the flag `option` stands among the arguments, looked at before they are parsed.
bool isGiven(const QStringList &arguments, const char *option)
{
    return arguments.mid(1).contains(QLatin1String("--") + QLatin1String(option));
}

// The value of an option, else of the settings key of the same name; false when neither is
// set.
bool lookUp(const QCommandLineParser &parser, const QString &name, QString *value, QString *where)
{
    if (parser.isSet(name)) {
        *value = parser.value(name);
        *where = QLatin1String("--") + name;
        return true;
    }
    return settingsFile::find(name, value, where);
}

// Whether `where` names an option rather than a settings file's key.
bool isOption(const QString &where)
{
    return where.startsWith(QLatin1String("--"));
}

// A folder as written, "~/" standing for the person's home folder, made absolute from the
// current folder.
QString folderPath(const QString &value)
{
    QString path = value;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, QDir::homePath());
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

// A whole number from `low` to `high` in the option or key `name`, when set; false with
// *message naming the option or key when it is another value.
bool number(const QCommandLineParser &parser, const char *name, int low, int high, int *result,
            QString *message)
{
    QString value, where;
    if (!lookUp(parser, QLatin1String(name), &value, &where))
        return true;
    bool ok = false;
    *result = value.trimmed().toInt(&ok);
    if (ok && *result >= low && *result <= high)
        return true;
    *message = QStringLiteral("quelvan: %1: \"%2\" must be a whole number from %3 to %4")
                   .arg(where, value)
                   .arg(low)
                   .arg(high);
    return false;
}

void declare(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Downloads an attention test from a test server and runs it. Options override the "
        "keys of the same name in the settings files."));
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
}
} // namespace

appOptions appOptions::defaults()
{
    appOptions options;
    options.serverUrl = QStringLiteral(QUELVAN_SERVER_URL);
    options.pictureDir = serverLayout::defaultPictureDirectory();
    return options;
}

bool appOptions::needsNoDisplay(const QStringList &arguments)
{
    static const QStringList answered{"-h",
                                      "--help",
                                      "-?",
                                      "--help-all",
                                      "-v",
                                      "--version",
                                      QLatin1String("--") + sendResultsOption,
                                      QLatin1String("--") + checkUploadOption};
    for (const QString &argument : arguments.mid(1)) {
        if (answered.contains(argument))
            return true;
    }
    return false;
}

bool appOptions::reachesStore(const QStringList &arguments)
{
    return isGiven(arguments, sendResultsOption) || isGiven(arguments, checkUploadOption);
}

bool appOptions::hasToolkitOption(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument.size() > 2 && argument.startsWith(QLatin1Char('-'))
            && argument.at(1).isLetter())
            return true;
    }
    return false;
}

bool appOptions::wantsErrorDialog(const QStringList &arguments)
{
    return isGiven(arguments, errorDialogOption);
}

void appOptions::showHelpAll(const QStringList &arguments)
{
    QCommandLineParser parser;
    declare(parser);
    parser.process(arguments); // prints the help with the toolkit's options and exits
    std::exit(0);
}

appOptions::Outcome appOptions::parse(const QStringList &arguments, appOptions *options,
                                      QString *message)
{
    QCommandLineParser parser;
    declare(parser);
    if (!parser.parse(arguments)) {
        *message = QLatin1String("quelvan: ") + parser.errorText();
        return UsageError;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        *message = parser.helpText();
        return parser.isSet(QStringLiteral("help-all")) ? HelpAll : Help;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        *message = QLatin1String("quelvan ") + version() + QLatin1Char('\n');
        return Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("quelvan: unexpected argument \"%1\"")
                       .arg(parser.positionalArguments().constFirst());
        return UsageError;
    }

    appOptions result = defaults();
    result.fullScreen = parser.isSet(QStringLiteral("fullscreen"));
    result.autoStart = parser.isSet(QStringLiteral("autostart"));
    QString value, where;
    if (lookUp(parser, QStringLiteral("server"), &value, &where)) {
        const QString why = serverAddress::check(value, &result.serverUrl);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
    }
    if (lookUp(parser, QStringLiteral("pictures"), &value, &where)) {
        const QString why = value.isEmpty() ? QStringLiteral("names no folder")
                                            : folderCheck::valueProblem(value, !isOption(where));
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
        result.pictureDir = folderPath(value);
    } else if (parser.isSet(QStringLiteral("cache"))) {
        result.pictureDir =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QLatin1String("/img");
    }
    if (lookUp(parser, QStringLiteral("results"), &value, &where)) {
        const QFileInfo folder(folderPath(value));
        QString why = folderCheck::valueProblem(value, !isOption(where));
        if (why.isEmpty() && (value.isEmpty() || (folder.exists() && !folder.isDir())))
            why = QStringLiteral("\"%1\" is not a folder").arg(value);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
        result.resultsDir = folder.absoluteFilePath();
    }
    if (lookUp(parser, QStringLiteral("language"), &value, &where)) {
        QString why;
        result.language = languageChoice::resolve(value, QLocale::system().uiLanguages(), &why);
        if (result.language.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
    }
    if (!number(parser, "connections", 1, 6, &result.connections, message)
        || !number(parser, "retries", 0, 5, &result.retries, message))
        return UsageError;
    result.checkUpload = parser.isSet(QLatin1String(checkUploadOption));
    if (lookUp(parser, QStringLiteral("upload"), &value, &where)) {
        const QString why = result.resultsDir.isEmpty() && !result.checkUpload
                                ? QStringLiteral("needs a results folder (--results, or the key "
                                                 "results)")
                                : serverAddress::check(value, &result.uploadUrl, true);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
        settingsFile::find(QStringLiteral("upload-user"), &result.uploadUser, &value);
        settingsFile::find(QStringLiteral("upload-password"), &result.uploadPassword, &value);
        QString insecure;
        const bool credentials = !result.uploadUser.isEmpty() || !result.uploadPassword.isEmpty();
        const bool inClear =
            settingsFile::find(QStringLiteral("upload-insecure"), &insecure, &value)
            && insecure.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        if (credentials && !serverAddress::takesCredentials(result.uploadUrl, inClear)) {
            *message = QStringLiteral("quelvan: %1: \"%2\" would send the upload password in "
                                      "clear; use an https:// address, or set "
                                      "upload-insecure=true")
                           .arg(where, result.uploadUrl);
            return UsageError;
        }
    }
    result.sendResults = parser.isSet(QLatin1String(sendResultsOption));
    if ((result.sendResults || result.checkUpload) && result.uploadUrl.isEmpty()) {
        *message = QStringLiteral("quelvan: --%1: needs an upload address (--upload, or the key "
                                  "upload)")
                       .arg(QLatin1String(result.checkUpload ? checkUploadOption
                                                             : sendResultsOption));
        return UsageError;
    }
    if (parser.isSet(QStringLiteral("participant"))) {
        result.participant = parser.value(QStringLiteral("participant"));
        const QString why =
            result.resultsDir.isEmpty()
                ? QStringLiteral("needs a results folder (--results, or the key results)")
            : !resultsWriter::isParticipantCode(result.participant)
                ? QStringLiteral("\"%1\" must be 1 to 64 letters, digits, - or _")
                      .arg(result.participant)
                : QString();
        if (!why.isEmpty()) {
            *message = QLatin1String("quelvan: --participant: ") + why;
            return UsageError;
        }
    }
    *options = result;
    return Run;
}

QString appOptions::version()
{
    return QStringLiteral(QUELVAN_VERSION);
}
