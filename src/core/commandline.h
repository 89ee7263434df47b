#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QStringList>

class QCommandLineParser;

// quelvan's command line: the options it declares, and what can be told from the arguments
// before they are parsed, such as whether a window system is needed at all.
class commandLine
{
public:
    static constexpr const char *errorDialogOption = "error-dialog";
    static constexpr const char *sendResultsOption = "send-results";
    static constexpr const char *checkUploadOption = "check-upload";
    static constexpr const char *checkTranslationOption = "check-translation";
    static constexpr const char *checkSettingsOption = "check-settings";

    // Every option, with its help text.
    static void declare(QCommandLineParser &parser);

    // The arguments without the toolkit's own options (-platform xcb, -style=fusion, and any
    // other word after a single dash), as they are before the window system takes them.
    static QStringList withoutToolkitOptions(const QStringList &arguments);
    // True when a start-up error is to be shown in a message box too.
    static bool wantsErrorDialog(const QStringList &arguments);
    // Prints the help with the toolkit's own options and exits.
    [[noreturn]] static void showHelpAll(const QStringList &arguments);
};

#endif // COMMANDLINE_H
