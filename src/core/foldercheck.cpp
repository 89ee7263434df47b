#include "core/foldercheck.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

QString folderCheck::problem(const QString &folder)
{
    QString where = folder;
    if (!QDir().mkpath(folder)) {
        // The toolkit gives no reason why a folder could not be made: the nearest folder
        // that exists tells it when asked for a file.
        while (!QFileInfo::exists(where) && QFileInfo(where).path() != where)
            where = QFileInfo(where).path();
        if (!QFileInfo(where).isDir())
            return QStringLiteral("%1 is not a folder").arg(where);
    }
    QTemporaryFile probe(where + QLatin1String("/.quelvan-probe-XXXXXX"));
    if (!probe.open())
        return probe.errorString();
    return where == folder ? QString() : QStringLiteral("cannot make the folder");
}

QString folderCheck::valueProblem(const QString &value, bool fromSettingsFile,
                                  const QString &written)
{
    // QSettings reads C:\quelvan\results as "C:uelvan<CR>esults" and C:\Users\lab as
    // "C:serslab": folders far from where the lab meant them.
    static const QString how = QStringLiteral(
        "write the folder with / (C:/quelvan/results): in a settings file \\ starts an escape");
    for (const QChar c : value) {
        if (c.category() == QChar::Other_Control)
            return QLatin1String("holds a control character; ") + how;
    }
    // A single \ in the text, as in \\server\share or ..\img, is gone from the value; only
    // \\ stands for one.
    static const QRegularExpression driveWithoutSlash(QStringLiteral("^[A-Za-z]:[^/\\\\]"));
    static const QRegularExpression singleBackslash(
        QStringLiteral("(^|[^\\\\])(\\\\\\\\)*\\\\([^\\\\]|$)"));
    if (fromSettingsFile
        && (driveWithoutSlash.match(value).hasMatch() || singleBackslash.match(written).hasMatch()))
        return QStringLiteral("\"%1\" lost its \\; ").arg(value) + how;
    return QString();
}
