#include "core/settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

namespace {
// The settings files in the order they are asked: the person's own, then the machine's.
QStringList settingsFiles()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Where the desktop keeps configuration: XDG_CONFIG_HOME (~/.config), then each folder
    // of XDG_CONFIG_DIRS (/etc/xdg).
    QStringList files;
    const QStringList dirs =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &dir : dirs)
        files.append(dir + QLatin1String("/quelvan/quelvan.conf"));
    return files;
#else
    const QString name = QStringLiteral("quelvan");
    return {QSettings(QSettings::IniFormat, QSettings::UserScope, name, name).fileName(),
            QSettings(QSettings::IniFormat, QSettings::SystemScope, name, name).fileName()};
#endif
}
} // namespace

QStringList settingsFile::files()
{
    return settingsFiles();
}

QStringList settingsFile::folders()
{
    QStringList result;
    for (const QString &file : settingsFiles())
        result.append(QFileInfo(file).path());
    return result;
}

bool settingsFile::find(const QString &key, QString *value, QString *where)
{
    for (const QString &file : settingsFiles()) {
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
        // Qt 5 reads a byte-order mark, which Notepad writes, into the first key's name, so
        // that key would be missed: it reads a copy without the mark. Qt 6 skips the mark.
        QTemporaryFile withoutMark;
        QString path = file;
        QFile original(file);
        if (original.open(QIODevice::ReadOnly) && original.peek(3) == "\xEF\xBB\xBF"
            && original.seek(3) && withoutMark.open() && withoutMark.write(original.readAll()) >= 0
            && withoutMark.flush())
            path = withoutMark.fileName();
        QSettings settings(path, QSettings::IniFormat);
        // As Qt 6 reads them: a lab writes "results=/srv/Результаты" in UTF-8.
        settings.setIniCodec("UTF-8");
#else
        QSettings settings(file, QSettings::IniFormat);
#endif
        if (settings.contains(key)) {
            // An unquoted value with commas reads as a list.
            *value = settings.value(key).toStringList().join(QLatin1Char(','));
            *where = file + QLatin1String(": ") + key;
            return true;
        }
    }
    return false;
}
