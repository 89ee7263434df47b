#include "core/testidentity.h"

#include <QCryptographicHash>
#include <QList>

void testIdentity::addDigest(int index, const QByteArray &itemDigest)
{
    digests.insert(index, itemDigest);
}

QString testIdentity::id() const
{
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (int i = 0; digests.contains(i); ++i)
        all.addData(digests.value(i));
    return QString::fromLatin1(all.result().toHex().left(16));
}

QByteArray testIdentity::digest(const QByteArray &content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256);
}

QString testIdentity::of(const QList<QByteArray> &contents)
{
    testIdentity identity;
    for (int i = 0; i < contents.size(); ++i)
        identity.add(i, contents.at(i));
    return identity.id();
}
