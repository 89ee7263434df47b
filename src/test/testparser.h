#ifndef TESTPARSER_H
#define TESTPARSER_H

#include <QString>

class slideData;

// The search for the variants of the test text, in time linear in the text.
//
// It gives exactly what QRegExp gives in minimal mode for "\[(.*),(.*)\]" (position, length
// and captures, on every input), but the toolkit's search is quadratic on
// text with many "[" and no fitting "]", and a hostile server could freeze the window with it.
// The leftmost match always starts at the first "[" at or after `from`: a later "[" could only
// find the same "," and "]" after it. Minimal matching ends it at the first "]" that can close
// it; the first capture of a variant then runs to the last "," before that "]".
class testParser
{
public:
    // Finds the next variant "[value1,value2]" at or after `from`. Returns its position and
    // sets the outputs, or returns -1 and leaves them unchanged.
    static int findVariant(const QString &text, int from, QString *value1, QString *value2,
                           int *length);

    // Adds every variant of one line of the test text to `slide`; returns how many.
    static int parseSlide(const QString &line, slideData *slide);
};

#endif // TESTPARSER_H
