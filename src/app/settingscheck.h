#ifndef SETTINGSCHECK_H
#define SETTINGSCHECK_H

#include "core/appoptions.h"

class QTextStream;

// quelvan --check-settings: what a machine's setup will do, seen before a participant sits
// down. Every effective setting with where it came from, then whether the folders take
// files, the test server answers, the store takes a probe and the language loads.
class settingsCheck
{
public:
    // Writes the settings and one line per check to `out`; true when every check held.
    static bool run(const appOptions &options, QTextStream &out);

private:
    static void printSettings(const appOptions &options, QTextStream &out);
    static bool checkFolder(const QString &what, const QString &folder, QTextStream &out);
    static bool checkServer(const QString &serverUrl, QTextStream &out);
};

#endif // SETTINGSCHECK_H
