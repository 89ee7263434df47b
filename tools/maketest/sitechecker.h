#ifndef SITECHECKER_H
#define SITECHECKER_H

#include <QByteArray>
#include <QMap>
#include <QNetworkAccessManager>
#include <QString>
#include <QStringList>

class QTextStream;

// Checks a test site, in a folder or on an HTTP server, with the client's own reading and
// parsing of the documents. Errors are what would stop the client or make a test that
// cannot be taken; warnings are what makes a poor test.
class siteChecker
{
public:
    // Exit codes: the first kind of error found, in this order of checking.
    enum Result {
        Ok = 0,
        Unreadable = 2,     // a document cannot be read or fetched
        NotInteger = 3,     // tm, ts_in_series, totalseries or pauseseries
        BadValueLists = 4,  // pars without exactly two groups
        UnsafeName = 5,     // a picture name that would leave img/
        ShortSlide = 6,     // a line with one to four variants
        TooFewSlides = 7,   // fewer than ts_in_series x totalseries slides
        MissingPicture = 8, // a picture a slide needs that the site lacks or pars omits
        NotAPicture = 9,    // an answer the client refuses as a picture (format, cut JPEG)
        TooManyPixels = 10, // a picture over the client's pixel cap
        OverCap = 11,       // a document or picture over the client's byte cap
    };

    explicit siteChecker(QTextStream &out);

    // A folder that holds quelvan/, or an http:// URL of the server (scheme, host, port).
    Result check(const QString &site);

    int errors = 0;
    int warnings = 0;
    qint64 totalBytes = 0; // of the documents and pictures a participant downloads
    // The test's id as quelvan writes it into the data (testIdentity), once every document
    // and picture could be read; empty before.
    QString testId;

private:
    // Reads a document or picture as the client would; false with *why set when it cannot
    // be read, or with *why empty when it is over its cap (reported here).
    bool fetch(const QString &site, const QString &path, QByteArray *body, QString *why);
    void error(Result kind, const QString &message);
    void warning(const QString &message);

    QTextStream &out;
    QNetworkAccessManager manager;
    Result first = Ok;
};

#endif // SITECHECKER_H
