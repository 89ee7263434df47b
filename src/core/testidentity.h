#ifndef TESTIDENTITY_H
#define TESTIDENTITY_H

#include <QByteArray>
#include <QMap>
#include <QString>

// Which test a run was shown, as a short fingerprint that the client, quelvan-maketest and a
// lab compute alike: the first 16 hexadecimal digits of the SHA-256 over the SHA-256 of each
// item in request order, the seven documents as served and then every picture. A picture
// replaced under its name, or an edited instruction, gives another id; the server's address
// does not count.
class testIdentity
{
public:
    // The bytes of item `index`: documents 0 to 6 in request order, then the pictures.
    void add(int index, const QByteArray &content) { addDigest(index, digest(content)); }
    void addDigest(int index, const QByteArray &itemDigest);
    // The fingerprint of items 0, 1, ... up to the first missing one.
    QString id() const;

    static QByteArray digest(const QByteArray &content);
    static QString of(const QList<QByteArray> &contents);

private:
    QMap<int, QByteArray> digests;
};

#endif // TESTIDENTITY_H
