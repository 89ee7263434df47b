#include "core/backoff.h"

#include "core/msclock.h"

void backoff::failed()
{
    wait = count == 0 ? first : wait > most / 2 ? most : wait * 2;
    // Counted only until the wait is at its most: a week offline must not overflow it.
    if (wait < most || count == 0)
        ++count;
    since = msClock::now();
}

void backoff::succeeded()
{
    count = 0;
    wait = 0;
}

bool backoff::due() const
{
    return remainingMs() == 0;
}

quint32 backoff::remainingMs() const
{
    const quint32 elapsed = msClock::now() - since;
    return elapsed >= wait ? 0 : wait - elapsed;
}
