#ifndef DATATIME_H
#define DATATIME_H

#include <QDateTime>
#include <QString>

// How the data writes a time, the same on every system: the C locale's digits, whatever the
// system's (Arabic or Persian digits would end up in file names), and the offset from UTC
// always as +hh:mm, never Z, so that one format reads every time of a file.
class dataTime
{
public:
    // ISO 8601 in the time's own offset: "2026-12-07T10:15:02+01:00", with milliseconds
    // "2026-12-07T10:15:09.412+01:00"; empty for an invalid time.
    static QString iso(const QDateTime &time, bool milliseconds = false);
    // The same moment in UTC: "2026-12-07T09:15:09.412+00:00".
    static QString utc(const QDateTime &time, bool milliseconds = false);
    // The local time in a file name: "2026-12-07_10-15-02".
    static QString stamp(const QDateTime &time);
};

#endif // DATATIME_H
