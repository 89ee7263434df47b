#include "app/appoptions.h"
#include "app/mainwindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quelvan"));

    // Qt has taken its own options (-platform, -style ...) off the arguments by now.
    appOptions options;
    QString message;
    switch (appOptions::parse(QCoreApplication::arguments(), &options, &message)) {
    case appOptions::Help:
    case appOptions::Version: std::fputs(message.toLocal8Bit().constData(), stdout); return 0;
    case appOptions::UsageError:
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return 2;
    case appOptions::Run: break;
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
