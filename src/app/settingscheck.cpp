#include "app/settingscheck.h"

#include "core/foldercheck.h"
#include "core/languagechoice.h"
#include "core/logfile.h"
#include "core/serverlayout.h"
#include "core/settingsfile.h"
#include "net/getrequest.h"
#include "results/uploadprobe.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QTextStream>

#include <memory>

namespace {
QString truth(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// One check's verdict, as a script greps it: "ok" or "FAIL" first.
bool verdict(bool held, const QString &text, QTextStream &out)
{
    out << (held ? "ok   " : "FAIL ") << text << '\n';
    if (!held)
        logFile::append(QLatin1String("quelvan --check-settings: ") + text);
    return held;
}
} // namespace

bool settingsCheck::run(const appOptions &options, QTextStream &out)
{
    printSettings(options, out);
    out << '\n';
    bool held = true;
    if (!options.resultsDir.isEmpty())
        held &= checkFolder(QStringLiteral("results"), options.resultsDir, out);
    held &= checkFolder(QStringLiteral("pictures"), options.pictureDir, out);
    held &= checkServer(options.serverUrl, out);
    if (!options.uploadUrl.isEmpty()) {
        QString report;
        QTextStream probe(&report);
        const bool stored =
            uploadProbe::run(options.uploadUrl, options.uploadUser, options.uploadPassword, probe);
        held &= verdict(
            stored, QLatin1String("upload: ") + report.trimmed().remove(QLatin1String("quelvan: ")),
            out);
    }
    QString why;
    held &= verdict(!languageChoice::resolve(options.language, {}, &why).isEmpty(),
                    QStringLiteral("language %1: %2")
                        .arg(options.language, why.isEmpty() ? QStringLiteral("loads") : why),
                    out);
    out << (held ? "every check held\n" : "a check failed\n");
    out.flush();
    return held;
}

void settingsCheck::printSettings(const appOptions &options, QTextStream &out)
{
    out << "quelvan " << appOptions::version() << '\n';
    for (const QString &file : settingsFile::files())
        out << "settings file " << file
            << (QFileInfo::exists(file) ? QStringLiteral(" (read)") : QStringLiteral(" (none)"))
            << '\n';
    out << "log file " << logFile::path() << "\n\n";
    const auto line = [&](const char *key, const QString &value) {
        const QString from = options.sources.value(QLatin1String(key));
        out << key << " = " << value << "   ["
            << (from.isEmpty() ? QStringLiteral("built in") : from) << "]\n";
    };
    line("server", options.serverUrl);
    line("pictures", options.pictureDir);
    line("results", options.resultsDir.isEmpty() ? QStringLiteral("(none: no data kept)")
                                                 : options.resultsDir);
    line("participant",
         options.participant.isEmpty() ? QStringLiteral("(asked for)") : options.participant);
    line("language", options.language);
    line("connections", QString::number(options.connections));
    line("retries", QString::number(options.retries));
    line("keyboard-answers", truth(options.keyboardAnswers));
    line("exact-limit", truth(options.exactLimit));
    line("fullscreen", truth(options.fullScreen));
    line("autostart", truth(options.autoStart));
    line("upload", options.uploadUrl.isEmpty() ? QStringLiteral("(none)") : options.uploadUrl);
    if (options.uploadUrl.isEmpty())
        return;
    line("upload-user", options.uploadUser);
    // Never the password itself: this output goes into tickets and chats.
    line("upload-password", options.uploadPassword.isEmpty() ? QStringLiteral("(none)")
                                                             : QStringLiteral("(set, not shown)"));
    QString insecure, where;
    settingsFile::find(QStringLiteral("upload-insecure"), &insecure, &where);
    line("upload-insecure", insecure.isEmpty() ? truth(false) : insecure);
}

bool settingsCheck::checkFolder(const QString &what, const QString &folder, QTextStream &out)
{
    const QString why = folderCheck::problem(folder);
    return verdict(why.isEmpty(),
                   QStringLiteral("%1 folder %2: %3")
                       .arg(what, folder, why.isEmpty() ? QStringLiteral("takes files") : why),
                   out);
}

bool settingsCheck::checkServer(const QString &serverUrl, QTextStream &out)
{
    const QString url = serverUrl + serverLayout::documentPath(QStringLiteral("test"));
    QNetworkAccessManager manager;
    const std::unique_ptr<QNetworkReply> reply(getRequest::get(
        &manager, url, getRequest::defaultTransferTimeout, getRequest::maxDocumentBytes));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QNetworkReply::NetworkError error =
        getRequest::replyError(reply.get(), getRequest::maxDocumentBytes);
    return verdict(error == QNetworkReply::NoError,
                   QStringLiteral("test server %1: %2")
                       .arg(url, error == QNetworkReply::NoError ? QStringLiteral("answered")
                                                                 : reply->errorString()),
                   out);
}
