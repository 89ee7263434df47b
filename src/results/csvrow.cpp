#include "results/csvrow.h"

QString csvRow::field(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        text = QLatin1Char('"') + text.replace(QLatin1String("\""), QLatin1String("\"\""))
               + QLatin1Char('"');
    return text;
}

QByteArray csvRow::line(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &f : fields)
        quoted.append(field(f));
    return (quoted.join(QLatin1Char(',')) + QLatin1String("\r\n")).toUtf8();
}

bool csvRow::read(const QByteArray &text, int *pos, QList<QByteArray> *fields)
{
    fields->clear();
    const int size = text.size();
    const char *data = text.constData();
    int i = *pos;
    while (true) {
        QByteArray value;
        if (i < size && data[i] == '"') {
            for (++i;; ++i) {
                if (i >= size)
                    return false; // an open quote: the file ends inside a field
                if (data[i] == '"') {
                    if (i + 1 < size && data[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
                value.append(data[i]);
            }
            ++i;
        } else {
            const int start = i;
            while (i < size && data[i] != ',' && data[i] != '\r' && data[i] != '\n')
                ++i;
            value = QByteArray(data + start, i - start);
        }
        fields->append(value);
        if (i < size && data[i] == ',') {
            ++i;
            continue;
        }
        if (i + 1 < size && data[i] == '\r' && data[i + 1] == '\n')
            i += 2;
        else if (i < size && data[i] == '\n')
            ++i;
        else
            return false; // no line end: a half-written row, or a stray character
        *pos = i;
        return true;
    }
}
