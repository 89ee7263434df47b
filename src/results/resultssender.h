#ifndef RESULTSSENDER_H
#define RESULTSSENDER_H

#include "net/uploadrequest.h"

#include <QString>

class QTextStream;

// quelvan --send-results: every run left in the outbox tried once, file by file, without
// waiting between tries, for an administrator over SSH or a script.
class resultsSender
{
public:
    // Writes a line per run to `out` and returns true when nothing is left to send. After
    // one silence or failed connection nothing more is tried: one wait in all, not one a
    // file.
    static bool sendAllOnce(const QString &resultsDir, const QString &url, const QString &user,
                            const QString &password, QTextStream &out,
                            int timeout = uploadRequest::timeoutMs);
};

#endif // RESULTSSENDER_H
