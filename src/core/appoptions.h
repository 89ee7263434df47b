#ifndef APPOPTIONS_H
#define APPOPTIONS_H

#include <QMap>
#include <QString>
#include <QStringList>

// What a run is pointed at, read once at start from the command line and the settings files
// and handed down; nothing reads options or settings later.
struct appOptions
{
    // Scheme, host and optional port of the test server, without a trailing slash.
    QString serverUrl;
    // Absolute folder of the pictures.
    QString pictureDir;
    bool fullScreen = false;
    // Results folder and participant code; an empty folder keeps no results.
    QString resultsDir;
    QString participant;
    // Start the download at once, as if the button had been pressed.
    bool autoStart = false;
    // Where each run's files are sent with HTTP PUT (empty: nowhere), with the basic
    // authentication of the keys upload-user and upload-password.
    QString uploadUrl;
    QString uploadUser;
    QString uploadPassword;
    // Send the pending runs once and exit, without a window; or store a probe file at the
    // upload address and exit.
    bool sendResults = false;
    bool checkUpload = false;
    QString checkTranslation; // the file --check-translation names; no run then
    // Print every setting and check what it points at, and exit.
    bool checkSettings = false;
    // The window's language: "ru" (the texts as written), "en" or a lab's code.
    QString language = QStringLiteral("ru");
    // Pictures asked for at once, and how often a request that failed for a reason another
    // try may mend is asked again. 1 and 0 download exactly as always.
    int connections = 1;
    int retries = 0;
    // Whether a key may answer a slide, as the toolkit lets a focused button be pressed; and
    // whether a slide ends at its limit exactly instead of at the first 200 ms tick after it.
    bool keyboardAnswers = true;
    bool exactLimit = false;
    // Where each key that was set came from: "--server", or a settings file and its key.
    QMap<QString, QString> sources;

    // The build's server and img below the current folder: what a run without options and
    // settings uses.
    static appOptions defaults();

    enum Outcome { Run, Help, HelpAll, Version, UsageError };
    // Reads the arguments (the program name first) and then the person's and the machine's
    // settings files. For Help and Version *message is the text to print; for UsageError it
    // is one line naming the option, or the file and key, and what is wrong. HelpAll is
    // printed by commandLine::showHelpAll(), with the toolkit's own options.
    static Outcome parse(const QStringList &arguments, appOptions *options, QString *message);

    // Every key the settings files may hold; another stops quelvan at start.
    static QStringList keys();

    // The program's version: 1.0.0, with +<commits>.g<hash> when built in a repository.
    static QString version();
};

#endif // APPOPTIONS_H
