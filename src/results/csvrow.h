#ifndef CSVROW_H
#define CSVROW_H

#include <QByteArray>
#include <QList>
#include <QStringList>

// One row of a data file as RFC 4180 has it: comma-separated, a field with a comma, a quote
// or a line break quoted with its quotes doubled, the row ended by CRLF. The program writes
// its files so, and quelvan-results reads and writes them so.
class csvRow
{
public:
    static QString field(QString text);
    // The fields quoted and joined, with the line end, in UTF-8.
    static QByteArray line(const QStringList &fields);
    // The row that starts at *pos in `text`, its fields unquoted; *pos moves past its line
    // end (CRLF or LF). False for a row cut off: no line end, or an open quote.
    static bool read(const QByteArray &text, int *pos, QList<QByteArray> *fields);
};

#endif // CSVROW_H
