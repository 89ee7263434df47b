#ifndef SETTINGSFILE_H
#define SETTINGSFILE_H

#include <QString>
#include <QStringList>

// The settings files, read as a lab writes them: INI in UTF-8, the person's own file before
// the machine's, so that a lab can copy one plain file to every machine.
class settingsFile
{
public:
    // The value of `key` in the first file that has it; *where names the file and the key.
    static bool find(const QString &key, QString *value, QString *where);
    // The settings files, the person's first, whether they exist or not; and their folders.
    static QStringList files();
    static QStringList folders();
};

#endif // SETTINGSFILE_H
