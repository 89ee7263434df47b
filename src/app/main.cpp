#include "app/mainwindow.h"
#include "app/settingscheck.h"
#include "core/appoptions.h"
#include "core/commandline.h"
#include "core/languagechoice.h"
#include "core/logfile.h"
#include "core/translationcheck.h"
#include "results/resultssender.h"
#include "results/uploadprobe.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
#ifdef Q_OS_WIN
// quelvan.exe is a GUI program, so that no console window opens from the Start menu and none
// can end a run when closed. Started from a console, it prints there all the same: --version,
// --help, --send-results and usage errors. Output sent to a file or a pipe keeps its handle,
// and the log goes there too (Qt sends a GUI program's log to the debugger).
void printWhereStarted()
{
    if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) != FILE_TYPE_UNKNOWN)
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_UNKNOWN)
        std::freopen("CONOUT$", "w", stdout);
    if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN)
        std::freopen("CONOUT$", "w", stderr);
}
#endif

// Prints what the options ask for instead of a run; false when they ask for a run or are
// wrong.
bool answered(appOptions::Outcome outcome, const QString &message)
{
    switch (outcome) {
    case appOptions::Help:
    case appOptions::Version: std::fputs(message.toLocal8Bit().constData(), stdout); return true;
    case appOptions::HelpAll: commandLine::showHelpAll(QCoreApplication::arguments());
    case appOptions::UsageError:
    case appOptions::Run: break;
    }
    return false;
}

// A usage error, on standard error and in the log.
void refuse(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    logFile::append(message);
}

// Every run not yet delivered, once, a probe of the store, or the check of every setting,
// as an administrator's script or SSH session asks.
int reachStore(const appOptions &options)
{
    QTextStream out(stdout);
    const bool done =
        options.checkSettings ? settingsCheck::run(options, out)
        : options.checkUpload
            ? uploadProbe::run(options.uploadUrl, options.uploadUser, options.uploadPassword, out)
            : resultsSender::sendAllOnce(options.resultsDir, options.uploadUrl, options.uploadUser,
                                         options.uploadPassword, out);
    return done ? 0 : 1;
}
} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    printWhereStarted();
#endif
    QCoreApplication::setApplicationName(QStringLiteral("quelvan"));
    QCoreApplication::setApplicationVersion(appOptions::version());
    logFile::install();
    appOptions options;
    QString message;

    // Help, the version, sending the results and every mistake need no window system: they
    // work over SSH. The toolkit's own options (-platform, -style ...) are its to judge.
    {
        const QCoreApplication core(argc, argv);
        const appOptions::Outcome outcome = appOptions::parse(
            commandLine::withoutToolkitOptions(QCoreApplication::arguments()), &options, &message);
        if (answered(outcome, message))
            return 0;
        logFile::hide(options.uploadPassword);
        if (outcome == appOptions::Run && !options.checkTranslation.isEmpty()) {
            QTextStream out(stdout), err(stderr);
            return translationCheck::run(options.checkTranslation, out, err);
        }
        if (outcome == appOptions::Run
            && (options.sendResults || options.checkUpload || options.checkSettings))
            return reachStore(options);
        // A message box, when asked for, needs the window system below.
        if (outcome == appOptions::UsageError
            && !commandLine::wantsErrorDialog(QCoreApplication::arguments())) {
            refuse(message);
            return 2;
        }
    }

    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -style ...) off the arguments by now.
    const appOptions::Outcome outcome =
        appOptions::parse(QCoreApplication::arguments(), &options, &message);
    if (answered(outcome, message))
        return 0;
    if (outcome == appOptions::UsageError) {
        refuse(message);
        // Started from the menu, standard error goes nowhere a person sees. Never on the
        // platforms of scripts and tests, which no dialog may hold.
        const QString platform = QGuiApplication::platformName();
        if (commandLine::wantsErrorDialog(QCoreApplication::arguments())
            && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
            // The line names values a lab wrote: never read as markup.
            QMessageBox box(QMessageBox::Critical, QStringLiteral("quelvan"), message);
            box.setTextFormat(Qt::PlainText);
            box.exec();
        }
        return 2;
    }

    logFile::hide(options.uploadPassword);
    languageChoice::install(options.language);
    int code = 0;
    {
        MainWindow w(options);
        if (options.fullScreen)
            w.showFullScreen();
        else
            w.show();
        code = app.exec();
    }
    return code;
}
