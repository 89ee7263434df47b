#include "test/testparser.h"

#include "core/logcategories.h"
#include "test/slidedata.h"

int testParser::findVariant(const QString &text, int from, QString *value1, QString *value2,
                            int *length)
{
    const int open = text.indexOf(QLatin1Char('['), qMax(from, 0));
    if (open < 0)
        return -1;
    const int comma = text.indexOf(QLatin1Char(','), open + 1);
    if (comma < 0)
        return -1;
    const int close = text.indexOf(QLatin1Char(']'), comma + 1);
    if (close < 0)
        return -1;
    const int split = text.lastIndexOf(QLatin1Char(','), close - 1);
    *value1 = text.mid(open + 1, split - open - 1);
    *value2 = text.mid(split + 1, close - split - 1);
    *length = close - open + 1;
    return open;
}

int testParser::parseSlide(const QString &line, slideData *slide)
{
    int count = 0;
    int pos = 0;
    QString value1;
    QString value2;
    int length = 0;
    while ((pos = findVariant(line, pos, &value1, &value2, &length)) != -1) {
        qCDebug(lcRun) << "  listTD=" << line.mid(pos, length) << value1 << value2;
        slide->addVariant(value1, value2);
        pos += length;
        ++count;
    }
    return count;
}
