#include "testparser.h"

#include "logcategories.h"
#include "slidedata.h"

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

int testParser::findGroup(const QString &text, int from, QString *capture, int *length)
{
    const int open = text.indexOf(QLatin1Char('['), qMax(from, 0));
    if (open < 0)
        return -1;
    const int close = text.indexOf(QLatin1Char(']'), open + 2);
    if (close < 0)
        return -1;
    *capture = text.mid(open + 1, close - open - 1);
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

bool testParser::parseValueLists(const QString &text, QStringList *first, QStringList *second)
{
    int i = 0;
    QString par1;
    QString par2;
    QString capture;
    int length = 0;
    int pos = 0;
    while ((pos = findGroup(text, pos, &capture, &length)) != -1) {
        ++i;
        qCDebug(lcDownload) << "i=" << i << "  list=" << text.mid(pos, length) << capture;
        if (i == 1)
            par1 = capture;
        else if (i == 2)
            par2 = capture;
        pos += length;
    }
    if (i != 2)
        return false;
    *first = par1.split(QLatin1Char(','));
    *second = par2.split(QLatin1Char(','));
    return true;
}

QStringList testParser::pictureNames(const QStringList &first, const QStringList &second)
{
    const qint64 count = qint64(first.size()) * qint64(second.size());
    if (count > maxPictures)
        return {};
    QStringList names;
    names.reserve(int(count) + 1);
    for (const QString &a : first) {
        for (const QString &b : second)
            names.append(a + QLatin1Char('_') + b);
    }
    names.append(QStringLiteral("fail"));
    return names;
}
