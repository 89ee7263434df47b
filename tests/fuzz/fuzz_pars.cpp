// libFuzzer target: the pars document as the download screen reads it, compared with the
// toolkit's minimal-mode QRegExp when the text is short enough for its quadratic search.
#include "core/serverlayout.h"
#include "download/parsparser.h"
#include "net/getrequest.h"

#include <QRegExp>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        getRequest::decodeText(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    QStringList first, second;
    const bool ok = parsParser::parseValueLists(text, &first, &second);
    if (ok) {
        const QStringList names = parsParser::pictureNames(first, second);
        const qint64 expected = qint64(first.size()) * second.size();
        if (expected > parsParser::maxPictures ? !names.isEmpty() : names.size() != expected + 1)
            abort();
        for (const QString &n : names)
            (void)serverLayout::isSafePictureName(n);
    }

    if (text.size() > 4096)
        return 0;
    QRegExp rx(QStringLiteral("\\[(.+)\\]"));
    rx.setMinimal(true);
    int i = 0;
    int pos = 0;
    QString par1, par2;
    while ((pos = rx.indexIn(text, pos)) != -1) {
        ++i;
        if (i == 1)
            par1 = rx.cap(1);
        else if (i == 2)
            par2 = rx.cap(1);
        pos += rx.matchedLength();
    }
    if ((i == 2) != ok
        || (ok
            && (first != par1.split(QLatin1Char(',')) || second != par2.split(QLatin1Char(','))))) {
        fprintf(stderr, "testParser and QRegExp disagree on the value lists\n");
        abort();
    }
    return 0;
}
