#include "app/foldercheck.h"

#include <QDir>
#include <QFileInfo>
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
