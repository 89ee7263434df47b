#include "core/msclock.h"

#include <QElapsedTimer>

namespace {
bool fakeActive = false;
quint32 fakeValue = 0;

const QElapsedTimer &monotonic()
{
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
} // namespace

quint32 msClock::now()
{
    if (fakeActive)
        return fakeValue;
    // QElapsedTimer is monotonic on every platform we build for.
    return quint32(quint64(monotonic().elapsed()));
}

void msClock::setFakeNow(quint32 ms)
{
    fakeActive = true;
    fakeValue = ms;
}

void msClock::advanceFake(quint32 ms)
{
    fakeActive = true;
    fakeValue += ms;
}

void msClock::useRealClock()
{
    fakeActive = false;
}
