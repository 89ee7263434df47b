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
    static constexpr const char *checkSettingsOption = "check-settings";

    // Every option, with its help text.
    static void declare(QCommandLineParser &parser);

    // True when the arguments ask for what is answered without a window system (help, the
    // version, sending the results, the checks), so that a start over SSH needs no display for
    // them.
    static bool needsNoDisplay(const QStringList &arguments);
    // True when the arguments ask to send the results, check the upload or check the
    // settings: a mistake is then reported without a window system too.
    static bool reachesStore(const QStringList &arguments);
    // True when an argument looks like one of the toolkit's own options: a word after a
    // single dash, such as -platform or -style.
    static bool hasToolkitOption(const QStringList &arguments);
    // True when a start-up error is to be shown in a message box too.
    static bool wantsErrorDialog(const QStringList &arguments);
    // Prints the help with the toolkit's own options and exits.
    [[noreturn]] static void showHelpAll(const QStringList &arguments);
};

#endif // COMMANDLINE_H
