#ifndef SERVERADDRESS_H
#define SERVERADDRESS_H

#include <QString>

// The rules of an address quelvan talks to: the test server's and the upload's.
class serverAddress
{
public:
    // Empty when `url` is a usable address (http or https, a host, an optional port from 1
    // to 65535, an optional path, no query, fragment or user), else why not; *normal
    // receives it without a trailing slash after the path.
    static QString check(const QString &url, QString *normal);
    // The test server's address: check() with a path, below which the documents and pictures
    // are (http://host/orderB/quelvan/test.php), so that one server holds a test per
    // condition; a path that names the quelvan folder itself is refused.
    static QString testServer(const QString &url, QString *normal);
    // Whether a user name or password may go to `url`: over https, to this machine's own
    // address, or where the lab accepts them in clear (`insecureAllowed`).
    static bool takesCredentials(const QString &url, bool insecureAllowed);
};

#endif // SERVERADDRESS_H
