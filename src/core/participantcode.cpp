#include "core/participantcode.h"

bool participantCode::isValid(const QString &code)
{
    if (code.isEmpty() || code.size() > 64)
        return false;
    for (const QChar c : code) {
        if (!c.isLetter() && !c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    }
    return true;
}
