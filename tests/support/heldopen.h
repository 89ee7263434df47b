#ifndef HELDOPEN_H
#define HELDOPEN_H

#include <QString>

// A file held open by another program, as a spreadsheet holds the results or a viewer a
// picture: on Windows without sharing writes where it can (else read-only beside the writer,
// as a spreadsheet falls back to), and without sharing deletion; elsewhere plainly read.
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
