#ifndef UPLOADPROBE_H
#define UPLOADPROBE_H

#include <QString>

class QNetworkReply;
class QTextStream;

// quelvan --check-upload: one small file stored at the lab's upload address, so that an
// administrator sees at once whether the store takes the participants' results, and if
// not, the likely reason in plain words. Nothing is retried.
class uploadProbe
{
public:
    // Writes what happened to `out`; true when the server stored the probe.
    static bool run(const QString &url, const QString &user, const QString &password,
                    QTextStream &out);
    // The likely cause of a failed upload, for the administrator of the store.
    static QString cause(QNetworkReply *reply);
};

#endif // UPLOADPROBE_H
