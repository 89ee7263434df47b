#ifndef MSCLOCK_H
#define MSCLOCK_H

#include <QtGlobal>

// Wall-clock milliseconds for the slide and pause timing. Readings are 32-bit and wrap;
// callers take differences as unsigned 32-bit counts, so the wrap does no harm.
// Never processor time: the program is idle while it waits for a click.
class msClock
{
public:
    static quint32 now();

    // Test seam: while set, now() returns the given value instead of the real clock.
    static void setFakeNow(quint32 ms);
    static void advanceFake(quint32 ms);
    static void useRealClock();
};

#endif // MSCLOCK_H
