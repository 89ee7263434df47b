#ifndef PRINTABLE_H
#define PRINTABLE_H

#include <QString>

// Text a server sent, made safe to print on a terminal or in a log: control and format
// characters (escape sequences, a carriage return, a bidirectional override) are written
// out as \x1b or \u202e, so that no server can clear a screen or fake a line.
class printable
{
public:
    static QString escaped(const QString &text);
};

#endif // PRINTABLE_H
