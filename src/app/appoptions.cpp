#include "app/appoptions.h"

#include "download/serverlayout.h"
#include "results/resultswriter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#ifndef QUELVAN_SERVER_URL
#define QUELVAN_SERVER_URL "http://127.0.0.1:8080"
#endif
#ifndef QUELVAN_VERSION
#define QUELVAN_VERSION "0"
#endif

namespace {
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
        const QSettings settings(file, QSettings::IniFormat);
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
bool lookUp(const QCommandLineParser &parser, const QCommandLineOption &option, QString *value,
            QString *where)
{
    if (parser.isSet(option)) {
        *value = parser.value(option);
        *where = QLatin1String("--") + option.names().constFirst();
        return true;
    }
    return setting(option.names().constFirst(), value, where);
}
} // namespace

appOptions appOptions::defaults()
{
    appOptions options;
    options.serverUrl = QStringLiteral(QUELVAN_SERVER_URL);
    options.pictureDir = serverLayout::defaultPictureDirectory();
    return options;
}

QString appOptions::checkServerUrl(const QString &url, QString *normal)
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
    if (!u.path().isEmpty() && u.path() != QLatin1String("/"))
        return QStringLiteral("\"%1\" must not have a path").arg(url);
    if (u.hasQuery() || u.hasFragment())
        return QStringLiteral("\"%1\" must not have a query or a fragment").arg(url);
    *normal = u.adjusted(QUrl::RemovePath).toString(QUrl::FullyEncoded);
    return QString();
}

appOptions::Outcome appOptions::parse(const QStringList &arguments, appOptions *options,
                                      QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Downloads an attention test from a test server and runs it. Options override the "
        "keys of the same name in the settings files."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("Test server, http(s)://host[:port]."),
                                    QStringLiteral("url"));
    const QCommandLineOption pictures(
        QStringLiteral("pictures"),
        QStringLiteral("Folder of the pictures (default: img below the current folder)."),
        QStringLiteral("dir"));
    const QCommandLineOption cache(
        QStringLiteral("cache"),
        QStringLiteral("Keep the pictures in img below your cache folder, unless a pictures "
                       "folder is set."));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Open the window full screen."));
    const QCommandLineOption autoStart(
        QStringLiteral("autostart"),
        QStringLiteral("Start the download at once, without waiting for the button."));
    const QCommandLineOption results(
        QStringLiteral("results"),
        QStringLiteral("Keep each run's data (trials, series, graph) in this folder."),
        QStringLiteral("dir"));
    const QCommandLineOption participant(
        QStringLiteral("participant"),
        QStringLiteral("Participant code (1 to 64 letters, digits, - and _) for the results; "
                       "without it the download screen asks for one."),
        QStringLiteral("code"));
    parser.addOptions({server, pictures, cache, fullScreen, autoStart, results, participant});

    if (!parser.parse(arguments)) {
        *message = QLatin1String("quelvan: ") + parser.errorText();
        return UsageError;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return Help;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("quelvan " QUELVAN_VERSION "\n");
        return Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("quelvan: unexpected argument \"%1\"")
                       .arg(parser.positionalArguments().constFirst());
        return UsageError;
    }

    appOptions result = defaults();
    result.fullScreen = parser.isSet(fullScreen);
    result.autoStart = parser.isSet(autoStart);
    QString value, where;
    if (lookUp(parser, server, &value, &where)) {
        const QString why = checkServerUrl(value, &result.serverUrl);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
    }
    if (lookUp(parser, pictures, &value, &where)) {
        if (value.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: names no folder").arg(where);
            return UsageError;
        }
        result.pictureDir = QDir::cleanPath(QDir::current().absoluteFilePath(value));
    } else if (parser.isSet(cache)) {
        result.pictureDir =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QLatin1String("/img");
    }
    if (lookUp(parser, results, &value, &where)) {
        const QFileInfo folder(QDir::current().absoluteFilePath(value));
        if (value.isEmpty() || (folder.exists() && !folder.isDir())) {
            *message = QStringLiteral("quelvan: %1: \"%2\" is not a folder").arg(where, value);
            return UsageError;
        }
        result.resultsDir = QDir::cleanPath(folder.absoluteFilePath());
    }
    if (parser.isSet(participant)) {
        result.participant = parser.value(participant);
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
