#include "core/printable.h"

QString printable::escaped(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const QChar::Category kind = c.category();
        if (kind != QChar::Other_Control && kind != QChar::Other_Format
            && kind != QChar::Separator_Line && kind != QChar::Separator_Paragraph)
            result.append(c);
        else if (c.unicode() < 0x100)
            result += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return result;
}
