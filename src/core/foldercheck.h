#ifndef FOLDERCHECK_H
#define FOLDERCHECK_H

#include <QString>

// Why a folder cannot take files, in the system's own words: what the log needs beside the
// short text on the screen.
class folderCheck
{
public:
    // Makes `folder` when missing and proves with a file that it takes one (root ignores
    // permission bits, and a file system may be read-only): empty when it does, else why not.
    static QString problem(const QString &folder);

    // What is wrong with a folder value as it was read, before it is used: a control
    // character, or (from a settings file, whose text was `written`) a \ the reader took as
    // an escape. Empty when nothing is.
    static QString valueProblem(const QString &value, bool fromSettingsFile,
                                const QString &written = QString());
};

#endif // FOLDERCHECK_H
