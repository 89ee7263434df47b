#ifndef PARTICIPANTCODE_H
#define PARTICIPANTCODE_H

#include <QString>

// A participant code is 1 to 64 letters, digits, "-" or "_": it becomes part of a file name,
// which must never leave the results folder.
class participantCode
{
public:
    static bool isValid(const QString &code);
};

#endif // PARTICIPANTCODE_H
