#include "support/heldopen.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <string>
#include <windows.h>
#endif

HeldOpen::HeldOpen(const QString &path)
{
#ifdef Q_OS_WIN
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    alone = h != INVALID_HANDLE_VALUE;
    if (!alone)
        h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        handle = h;
#else
    auto *file = new QFile(path);
    if (file->open(QIODevice::ReadOnly))
        handle = file;
    else
        delete file;
#endif
}

HeldOpen::~HeldOpen()
{
#ifdef Q_OS_WIN
    if (handle)
        CloseHandle(handle);
#else
    delete static_cast<QFile *>(handle);
#endif
}
