#include "results/runfile.h"

#include "results/csvrow.h"

#include <QFile>

runFile::runFile(const QString &path, const QStringList &needed)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return;
    }
    bytes = file.readAll();
    QList<QByteArray> fields;
    if (bytes.isEmpty() || !csvRow::read(bytes, &bodyStart, &fields)) {
        problem = QStringLiteral("no header row");
        return;
    }
    for (const QByteArray &f : qAsConst(fields))
        header.append(QString::fromUtf8(f));
    for (const QString &name : needed) {
        if (!header.contains(name)) {
            problem = QStringLiteral("not a quelvan data file (no column %1)").arg(name);
            return;
        }
    }
    int pos = bodyStart;
    while (pos < bytes.size()) {
        if (!csvRow::read(bytes, &pos, &fields) || fields.size() != header.size()) {
            problem = QStringLiteral("row %1 is cut off or has another number of fields than the "
                                     "header: a half-written file")
                          .arg(rows.size() + 2);
            rows.clear();
            return;
        }
        rows.append(fields);
    }
}
