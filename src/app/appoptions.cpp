#include "app/appoptions.h"

#include "download/serverlayout.h"
#include "results/resultswriter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
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
const QString organization = QStringLiteral("quelvan");
const QString application = QStringLiteral("quelvan");

// The settings files in the order they are asked: the person's own, then the machine's.
// INI everywhere, so that a lab can copy one plain file to every machine.
QStringList settingsFiles()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Where the desktop keeps configuration: XDG_CONFIG_HOME (~/.config), then each folder
    // of XDG_CONFIG_DIRS (/etc/xdg).
    QStringList files;
    const QStringList dirs =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &dir : dirs)
        files.append(dir + QLatin1String("/quelvan/quelvan.conf"));
    return files;
#else
    return {
        QSettings(QSettings::IniFormat, QSettings::UserScope, organization, application).fileName(),
        QSettings(QSettings::IniFormat, QSettings::SystemScope, organization, application)
            .fileName()};
#endif
}

// The first settings file that has `key` gives its value; *where names the file and key.
bool setting(const QString &key, QString *value, QString *where)
{
    for (const QString &file : settingsFiles()) {
        QSettings settings(file, QSettings::IniFormat);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
        // As Qt 6 reads them: a lab writes "results=/srv/Результаты" in UTF-8.
        settings.setIniCodec("UTF-8");
#endif
        if (settings.contains(key)) {
            // An unquoted value with commas reads as a list.
            *value = settings.value(key).toStringList().join(QLatin1Char(','));
            *where = file + QLatin1String(": ") + key;
            return true;
        }
    }
    return false;
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
    return setting(name, value, where);
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
    option(errorDialogOption,
           "Show a start-up error in a message box as well (the desktop entry uses it).");
    option("upload",
           "Send each run's files to this address with HTTP PUT, as they are written (needs a "
           "results folder).",
           "url");
    option(sendResultsOption,
           "Try once to send every run not yet delivered to the upload address, print a line "
           "per run and exit: 0 when nothing is left to send.");
}
} // namespace

appOptions appOptions::defaults()
{
    appOptions options;
    options.serverUrl = QStringLiteral(QUELVAN_SERVER_URL);
    options.pictureDir = serverLayout::defaultPictureDirectory();
    return options;
}

QString appOptions::checkServerUrl(const QString &url, QString *normal, bool pathAllowed)
{
    const QUrl u(url, QUrl::StrictMode);
    const QString badPort = QStringLiteral("\"%1\": the port must be 1 to 65535").arg(url);
    if (!u.isValid()) {
        return u.errorString().contains(QLatin1String("port"), Qt::CaseInsensitive)
                   ? badPort
                   : QStringLiteral("\"%1\" is not a valid address").arg(url);
    }
    if (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https"))
        return QStringLiteral("\"%1\" must start with http:// or https://").arg(url);
    if (u.host().isEmpty())
        return QStringLiteral("\"%1\" names no host").arg(url);
    if (u.port() == 0)
        return badPort;
    if (!u.userInfo().isEmpty())
        return QStringLiteral("\"%1\" must not hold a user name or password").arg(url);
    if (!pathAllowed && !u.path().isEmpty() && u.path() != QLatin1String("/"))
        return QStringLiteral("\"%1\" must not have a path").arg(url);
    if (u.hasQuery() || u.hasFragment())
        return QStringLiteral("\"%1\" must not have a query or a fragment").arg(url);
    *normal = u.adjusted(pathAllowed ? QUrl::StripTrailingSlash : QUrl::RemovePath)
                  .toString(QUrl::FullyEncoded);
    return QString();
}

bool appOptions::needsNoDisplay(const QStringList &arguments)
{
    static const QStringList answered{"-h",
                                      "--help",
                                      "-?",
                                      "--help-all",
                                      "-v",
                                      "--version",
                                      QLatin1String("--") + sendResultsOption};
    for (const QString &argument : arguments.mid(1)) {
        if (answered.contains(argument))
            return true;
    }
    return false;
}

bool appOptions::sendsResults(const QStringList &arguments)
{
    return arguments.mid(1).contains(QLatin1String("--") + QLatin1String(sendResultsOption));
}

bool appOptions::wantsErrorDialog(const QStringList &arguments)
{
    return arguments.mid(1).contains(QLatin1String("--") + QLatin1String(errorDialogOption));
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
        const QString why = checkServerUrl(value, &result.serverUrl);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
    }
    if (lookUp(parser, QStringLiteral("pictures"), &value, &where)) {
        if (value.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: names no folder").arg(where);
            return UsageError;
        }
        result.pictureDir = folderPath(value);
    } else if (parser.isSet(QStringLiteral("cache"))) {
        result.pictureDir =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QLatin1String("/img");
    }
    if (lookUp(parser, QStringLiteral("results"), &value, &where)) {
        const QFileInfo folder(folderPath(value));
        if (value.isEmpty() || (folder.exists() && !folder.isDir())) {
            *message = QStringLiteral("quelvan: %1: \"%2\" is not a folder").arg(where, value);
            return UsageError;
        }
        result.resultsDir = folder.absoluteFilePath();
    }
    if (lookUp(parser, QStringLiteral("upload"), &value, &where)) {
        const QString why = result.resultsDir.isEmpty()
                                ? QStringLiteral("needs a results folder (--results, or the key "
                                                 "results)")
                                : checkServerUrl(value, &result.uploadUrl, true);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
        setting(QStringLiteral("upload-user"), &result.uploadUser, &where);
        setting(QStringLiteral("upload-password"), &result.uploadPassword, &where);
    }
    result.sendResults = parser.isSet(QLatin1String(sendResultsOption));
    if (result.sendResults && result.uploadUrl.isEmpty()) {
        *message = QStringLiteral("quelvan: --send-results: needs an upload address (--upload, "
                                  "or the key upload)");
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
