#include "core/datatime.h"

#include <QLocale>

QString dataTime::iso(const QDateTime &time, bool milliseconds)
{
    if (!time.isValid())
        return QString();
    const int offset = time.offsetFromUtc();
    // The fields of the time as read at its offset, formatted as plain UTC fields.
    const QDateTime fields = time.toUTC().addSecs(offset);
    const int minutes = qAbs(offset) / 60;
    return QLocale::c().toString(fields, milliseconds ? QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")
                                                      : QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
           + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
           + QStringLiteral("%1:%2")
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString dataTime::utc(const QDateTime &time, bool milliseconds)
{
    return iso(time.toUTC(), milliseconds);
}

QString dataTime::stamp(const QDateTime &time)
{
    return QLocale::c().toString(time, QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}
