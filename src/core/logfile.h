#ifndef LOGFILE_H
#define LOGFILE_H

#include <QString>
#include <QtGlobal>

// The log a lab's administrator reads afterwards: every warning the program prints, also
// written to a file in the person's own state folder, since a program started from the menu
// has a standard error that nobody sees. The file keeps only its latest lines, and never a
// password.
class logFile
{
public:
    // The most the file holds: older lines are dropped first.
    static constexpr qint64 maxBytes = 1024 * 1024;

    // %LOCALAPPDATA%\quelvan\quelvan.log on Windows, $XDG_STATE_HOME/quelvan/quelvan.log
    // (~/.local/state) elsewhere on Unix, the application data folder on macOS.
    static QString path();
    // Sends every warning to the file as well as where the toolkit prints it.
    static void install();
    // Appends one line, with the time, as a warning would be; a secret is written as ***.
    static void append(const QString &line);
    // A password that no line of the file may show.
    static void hide(const QString &secret);
};

#endif // LOGFILE_H
