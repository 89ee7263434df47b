#include "download/parsparser.h"

#include "core/logcategories.h"
#include "core/serverlayout.h"

int parsParser::findGroup(const QString &text, int from, QString *capture, int *length)
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

bool parsParser::parseValueLists(const QString &text, QStringList *first, QStringList *second)
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

QStringList parsParser::pictureNames(const QStringList &first, const QStringList &second)
{
    const qint64 count = qint64(first.size()) * qint64(second.size());
    if (count > maxPictures)
        return {};
    QStringList names;
    names.reserve(int(count) + 1);
    for (const QString &a : first) {
        for (const QString &b : second)
            names.append(serverLayout::pictureName(a, b));
    }
    names.append(serverLayout::failPicture());
    return names;
}

QStringList parsParser::usablePictureNames(const QStringList &first, const QStringList &second)
{
    const QStringList names = pictureNames(first, second);
    if (names.isEmpty())
        qCWarning(lcDownload) << "too many pictures:" << first.size() << "x" << second.size();
    for (const QString &name : names) {
        if (!serverLayout::isSafePictureName(name)) {
            qCWarning(lcDownload) << "unsafe picture name" << name;
            return QStringList();
        }
    }
    return names;
}
