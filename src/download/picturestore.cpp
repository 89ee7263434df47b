#include "picturestore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// Swaps two directory entries atomically; false where the kernel or file system cannot.
bool exchange(const QByteArray &from, const QByteArray &to)
{
#if defined(Q_OS_LINUX) && defined(RENAME_EXCHANGE)
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0;
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    return false;
#endif
}

} // namespace

pictureStore::~pictureStore()
{
    discardSpare();
}

void pictureStore::discardSpare()
{
    if (!spare.isEmpty())
        ::unlink(QFile::encodeName(spare).constData());
    spare.clear();
}

bool pictureStore::store(const QString &path, const QByteArray &data)
{
    const QString tmpPath =
        QFileInfo(path).absolutePath()
        + QStringLiteral("/.quelvan-%1.part").arg(QCoreApplication::applicationPid());
    if (!spare.isEmpty() && spare != tmpPath)
        discardSpare(); // the working folder changed
    const QByteArray tmp = QFile::encodeName(tmpPath);
    const QByteArray target = QFile::encodeName(path);

    const int fd =
        ::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        spare.clear();
        return false;
    }
    const bool written = writeAll(fd, data);
    if (::close(fd) != 0 || !written) {
        ::unlink(tmp.constData());
        spare.clear();
        return false;
    }

    struct stat st;
    if (::lstat(target.constData(), &st) == 0) {
        // An exchange would move a directory into the spare's place; a rename refuses.
        if (S_ISDIR(st.st_mode)) {
            ::unlink(tmp.constData());
            spare.clear();
            return false;
        }
        if (exchange(tmp, target)) {
            spare = tmpPath;
            return true;
        }
    }
    if (std::rename(tmp.constData(), target.constData()) != 0) {
        ::unlink(tmp.constData());
        spare.clear();
        return false;
    }
    spare.clear();
    return true;
}
