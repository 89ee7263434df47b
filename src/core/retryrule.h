#ifndef RETRYRULE_H
#define RETRYRULE_H

#include <QNetworkReply>

// What another try may mend, one rule for every request the program makes, so that the
// download and the upload of the results never disagree: the network, a silence, 408, 429
// and 5xx pass; a certificate, a redirect, a refused proxy login and any other 4xx do not.
class retryRule
{
public:
    // For a finished answer that failed with `error` and, when the server answered, `status`.
    static bool worthAnotherTry(QNetworkReply::NetworkError error, int status);
    static bool worthAnotherTry(const QNetworkReply *reply);
};

#endif // RETRYRULE_H
