#ifndef RUNFILE_H
#define RUNFILE_H

#include <QByteArray>
#include <QList>
#include <QStringList>

// One CSV file of a run as quelvan-results reads it: a header that holds the columns it
// needs, then whole rows of the header's width. A file of another program, one cut off while
// it was written or copied, or one that cannot be read gives a reason and no rows.
class runFile
{
public:
    // Reads `path`; `needed` are the columns without which the file is of no use.
    runFile(const QString &path, const QStringList &needed);
    QString problem; // empty when the file was read whole
    QStringList header;
    QList<QList<QByteArray>> rows;
    QByteArray bytes;  // the file as read
    int bodyStart = 0; // where the first row after the header begins in `bytes`
    // The column's index in the header, or -1.
    int column(const char *name) const { return header.indexOf(QLatin1String(name)); }
};

#endif // RUNFILE_H
