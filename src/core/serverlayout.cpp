#include "core/serverlayout.h"

#include <QDir>

const QStringList &serverLayout::documents()
{
    static const QStringList names{"test",        "instr",       "tm",  "ts_in_series",
                                   "totalseries", "pauseseries", "pars"};
    return names;
}

QString serverLayout::documentPath(const QString &name)
{
    return QLatin1String("/quelvan/") + name + QLatin1String(".php");
}

QString serverLayout::picturePath(const QString &name)
{
    return picturesPath() + QLatin1Char('/') + name + QLatin1String(".jpg");
}

QString serverLayout::pictureName(const QString &value1, const QString &value2)
{
    return value1 + QLatin1Char('_') + value2;
}

QString serverLayout::defaultPictureDirectory()
{
    return QDir::currentPath() + QLatin1String("/img");
}

QString serverLayout::pictureFile(const QString &directory, const QString &name)
{
    return directory + QLatin1Char('/') + name + QLatin1String(".jpg");
}

bool serverLayout::isRightAnswer(const QString &value1, const QString &value2,
                                 const QString &sample1, const QString &sample2)
{
    return value1 == sample1 || value2 == sample2;
}

bool serverLayout::isSafePictureName(const QString &name)
{
    const bool leavesDirectory = name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
                                 || name == QLatin1String(".") || name == QLatin1String("..");
#ifdef Q_OS_WIN
    return !leavesDirectory && isWindowsFileName(name);
#else
    return !leavesDirectory;
#endif
}

bool serverLayout::isWindowsFileName(const QString &name)
{
    for (const QChar c : name) {
        // ':' would write into an alternate data stream of another file.
        if (c.unicode() < 0x20 || QStringLiteral(":*?\"<>|").contains(c))
            return false;
    }
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    // A device name stays a device with any extension ("nul.jpg", "com1.a.jpg") and with
    // blanks before the extension.
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList devices{"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (devices.contains(stem))
        return false;
    const bool port =
        stem.size() == 4
        && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")));
    return !(port && (stem.at(3).isDigit() || QStringLiteral("¹²³").contains(stem.at(3))));
}
