// libFuzzer target: the test text as the runner parses it, compared with the toolkit's
// minimal-mode QRegExp on every line short enough for its quadratic search.
#include "net/getrequest.h"
#include "test/slidedata.h"
#include "test/testparser.h"
#include "test/variant.h"

#include <QRegExp>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        getRequest::decodeText(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    QRegExp rx(QStringLiteral("\\[(.*),(.*)\\]"));
    rx.setMinimal(true);

    const QStringList lines = text.split(QStringLiteral("<br>"));
    for (const QString &line : lines) {
        slideData slide;
        const int count = testParser::parseSlide(line, &slide);
        if (count != slide.variants.size())
            abort();
        if (line.size() > 4096)
            continue;
        int pos = 0;
        int k = 0;
        while ((pos = rx.indexIn(line, pos)) != -1) {
            if (k >= count || slide.variants.at(k)->value1 != rx.cap(1)
                || slide.variants.at(k)->value2 != rx.cap(2)) {
                fprintf(stderr, "variant %d differs from QRegExp\n", k);
                abort();
            }
            pos += rx.matchedLength();
            ++k;
        }
        if (k != count) {
            fprintf(stderr, "QRegExp finds %d variants, testParser %d\n", k, count);
            abort();
        }
    }
    return 0;
}
