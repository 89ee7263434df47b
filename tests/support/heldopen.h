#ifndef HELDOPEN_H
#define HELDOPEN_H

#include <QString>

// A file held open as a spreadsheet or a viewer holds it: on Windows sharing neither writes
// (else read-only, as a spreadsheet falls back to) nor deletion; elsewhere plainly read.
class HeldOpen
{
public:
    explicit HeldOpen(const QString &path);
    ~HeldOpen();
    Q_DISABLE_COPY(HeldOpen)
    bool isOpen() const { return handle != nullptr; }
    // Whether it holds the file with writes refused to everyone else.
    bool exclusive() const { return alone; }

private:
    void *handle = nullptr;
    bool alone = false;
};

#endif // HELDOPEN_H
