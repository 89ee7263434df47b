#include "core/appoptions.h"

#include "core/commandline.h"
#include "core/foldercheck.h"
#include "core/languagechoice.h"
#include "core/participantcode.h"
#include "core/serveraddress.h"
#include "core/serverlayout.h"
#include "core/settingsfile.h"

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
// The value of an option, else of the settings key of the same name (its text as written in
// *written); false when neither is set.
bool lookUp(const QCommandLineParser &parser, const QString &name, QString *value, QString *where,
            QString *written = nullptr)
{
    if (parser.isSet(name)) {
        *value = parser.value(name);
        *where = QLatin1String("--") + name;
        return true;
    }
    return settingsFile::find(name, value, where, written);
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

// "true" or "false" (in any case) in the option or key `name`, when set, or the flag `name`
// given alone; false with *message naming the option or key when it is another value.
bool truth(const QCommandLineParser &parser, const char *name, bool *result, QString *message,
           bool flag = false)
{
    QString value, where;
    if (flag && parser.isSet(QLatin1String(name)))
        return *result = true;
    if (!lookUp(parser, QLatin1String(name), &value, &where))
        return true;
    const QString word = value.trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("false")) {
        *result = word == QLatin1String("true");
        return true;
    }
    *message = QStringLiteral("quelvan: %1: \"%2\" must be true or false").arg(where, value);
    return false;
}
} // namespace

appOptions appOptions::defaults()
{
    appOptions options;
    options.serverUrl = QStringLiteral(QUELVAN_SERVER_URL);
    options.pictureDir = serverLayout::defaultPictureDirectory();
    return options;
}

appOptions::Outcome appOptions::parse(const QStringList &arguments, appOptions *options,
                                      QString *message)
{
    QCommandLineParser parser;
    commandLine::declare(parser);
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
    if (parser.isSet(QLatin1String(commandLine::checkTranslationOption))) {
        // A translator's check, which no setting changes.
        options->checkTranslation =
            parser.value(QLatin1String(commandLine::checkTranslationOption));
        return Run;
    }

    // A key quelvan does not know would be ignored, however much the lab meant by it.
    QString value, where, written;
    const QString wrong = settingsFile::problem(keys(), {"participant", "cache"});
    if (!wrong.isEmpty()) {
        *message = QLatin1String("quelvan: ") + wrong;
        return UsageError;
    }
    appOptions result = defaults();
    if (lookUp(parser, QStringLiteral("server"), &value, &where)) {
        const QString why = serverAddress::testServer(value, &result.serverUrl);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
    }
    if (lookUp(parser, QStringLiteral("pictures"), &value, &where, &written)) {
        const QString why = value.isEmpty()
                                ? QStringLiteral("names no folder")
                                : folderCheck::valueProblem(value, !isOption(where), written);
        if (!why.isEmpty()) {
            *message = QStringLiteral("quelvan: %1: %2").arg(where, why);
            return UsageError;
        }
        result.pictureDir = folderPath(value);
    } else if (parser.isSet(QStringLiteral("cache"))) {
        result.pictureDir =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QLatin1String("/img");
    }
    result.sendResults = parser.isSet(QLatin1String(commandLine::sendResultsOption));
    if (lookUp(parser, QStringLiteral("results"), &value, &where, &written)) {
        const QFileInfo folder(folderPath(value));
        QString why = folderCheck::valueProblem(value, !isOption(where), written);
        if (why.isEmpty() && (value.isEmpty() || (folder.exists() && !folder.isDir())))
            why = QStringLiteral("\"%1\" is not a folder").arg(value);
        // Nothing there is not "nothing to send".
        if (why.isEmpty() && result.sendResults && !folder.exists())
            why = QStringLiteral("\"%1\" does not exist").arg(value);
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
        || !number(parser, "retries", 0, 5, &result.retries, message)
        || !truth(parser, "keyboard-answers", &result.keyboardAnswers, message)
        || !truth(parser, "exact-limit", &result.exactLimit, message)
        || !truth(parser, "fullscreen", &result.fullScreen, message, true)
        || !truth(parser, "autostart", &result.autoStart, message, true))
        return UsageError;
    result.checkUpload = parser.isSet(QLatin1String(commandLine::checkUploadOption));
    if (lookUp(parser, QStringLiteral("upload"), &value, &where)) {
        const QString why = result.resultsDir.isEmpty() && !result.checkUpload
                                ? QStringLiteral("needs a results folder (--results, or the key "
                                                 "results)")
                                : serverAddress::check(value, &result.uploadUrl);
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
    result.checkSettings = parser.isSet(QLatin1String(commandLine::checkSettingsOption));
    if ((result.sendResults || result.checkUpload) && result.uploadUrl.isEmpty()) {
        *message = QStringLiteral("quelvan: --%1: needs an upload address (--upload, or the key "
                                  "upload)")
                       .arg(QLatin1String(result.checkUpload ? commandLine::checkUploadOption
                                                             : commandLine::sendResultsOption));
        return UsageError;
    }
    if (parser.isSet(QStringLiteral("participant"))) {
        result.participant = parser.value(QStringLiteral("participant"));
        const QString why =
            result.resultsDir.isEmpty()
                ? QStringLiteral("needs a results folder (--results, or the key results)")
            : !participantCode::isValid(result.participant)
                ? QStringLiteral("\"%1\" must be 1 to 64 letters, digits, - or _")
                      .arg(result.participant)
                : QString();
        if (!why.isEmpty()) {
            *message = QLatin1String("quelvan: --participant: ") + why;
            return UsageError;
        }
    }
    // Where each set key came from, looked up as above, for --check-settings.
    for (const char *key :
         {"server", "pictures", "results", "language", "connections", "retries", "keyboard-answers",
          "exact-limit", "fullscreen", "autostart", "upload"}) {
        if (lookUp(parser, QLatin1String(key), &value, &where))
            result.sources.insert(QLatin1String(key), where);
    }
    for (const char *key : {"upload-user", "upload-password", "upload-insecure"}) {
        if (!result.uploadUrl.isEmpty() && settingsFile::find(QLatin1String(key), &value, &where))
            result.sources.insert(QLatin1String(key), where);
    }
    if (parser.isSet(QStringLiteral("participant")))
        result.sources.insert(QStringLiteral("participant"), QStringLiteral("--participant"));
    if (!result.sources.contains(QStringLiteral("pictures"))
        && parser.isSet(QStringLiteral("cache")))
        result.sources.insert(QStringLiteral("pictures"), QStringLiteral("--cache"));
    *options = result;
    return Run;
}

QStringList appOptions::keys()
{
    return {"server",           "pictures",    "results",     "language",        "connections",
            "retries",          "upload",      "upload-user", "upload-password", "upload-insecure",
            "keyboard-answers", "exact-limit", "fullscreen",  "autostart"};
}

QString appOptions::version()
{
    return QStringLiteral(QUELVAN_VERSION);
}
