#include "app/appoptions.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {
// Prints what the options ask for instead of a run; false when they ask for a run or are
// wrong.
bool answered(appOptions::Outcome outcome, const QString &message)
{
    switch (outcome) {
    case appOptions::Help:
    case appOptions::Version: std::fputs(message.toLocal8Bit().constData(), stdout); return true;
    case appOptions::HelpAll: appOptions::showHelpAll(QCoreApplication::arguments());
    case appOptions::UsageError:
    case appOptions::Run: break;
    }
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("quelvan"));
    QCoreApplication::setApplicationVersion(appOptions::version());
    appOptions options;
    QString message;

    // Help and the version need no window system: they work over SSH. Anything else, a
    // mistake included, is read again below, once the toolkit has taken its own options.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (appOptions::needsNoDisplay(arguments)) {
        const QCoreApplication core(argc, argv);
        if (answered(appOptions::parse(QCoreApplication::arguments(), &options, &message), message))
            return 0;
    }

    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -style ...) off the arguments by now.
    const appOptions::Outcome outcome =
        appOptions::parse(QCoreApplication::arguments(), &options, &message);
    if (answered(outcome, message))
        return 0;
    if (outcome == appOptions::UsageError) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        // Started from the menu, standard error goes nowhere a person sees. Never on the
        // platforms of scripts and tests, which no dialog may hold.
        const QString platform = QGuiApplication::platformName();
        if (appOptions::wantsErrorDialog(QCoreApplication::arguments())
            && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            QMessageBox::critical(nullptr, QStringLiteral("quelvan"), message);
        return 2;
    }

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
