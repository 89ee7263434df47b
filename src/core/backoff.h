#ifndef BACKOFF_H
#define BACKOFF_H

#include <QtGlobal>

// Growing waits between the attempts of one request, on the program's millisecond clock:
// none before the first attempt, `first` after the first failure, doubling after each
// further one up to `most`.
class backoff
{
public:
    backoff() = default;
    backoff(quint32 firstMs, quint32 mostMs) : first(firstMs), most(mostMs) {}

    void failed();
    void succeeded();
    // The wait after the last failure is over.
    bool due() const;
    quint32 remainingMs() const;
    // Failures in a row, counted up to the one whose wait reached `most`.
    int failures() const { return count; }

private:
    quint32 first = 0;
    quint32 most = 0;
    quint32 wait = 0;
    quint32 since = 0;
    int count = 0;
};

#endif // BACKOFF_H
