#ifndef TESTPARSER_H
#define TESTPARSER_H

#include <QString>
#include <QStringList>

class slideData;

// The two searches of the server documents, in time linear in the text.
//
// They give exactly what QRegExp gives in minimal mode for "\[(.*),(.*)\]" and "\[(.+)\]"
// (position, length and captures, on every input), but the toolkit's search is quadratic on
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

    // Finds the next value group "[...]" of at least one character at or after `from`.
    static int findGroup(const QString &text, int from, QString *capture, int *length);

    // Adds every variant of one line of the test text to `slide`; returns how many.
    static int parseSlide(const QString &line, slideData *slide);

    // Reads the two value lists of a pars document, split at every "," with empty pieces
    // kept. False, with the lists untouched, unless the text holds exactly two groups.
    static bool parseValueLists(const QString &text, QStringList *first, QStringList *second);

    // The pictures a test needs: every a_b, first list outermost, then "fail". Empty when the
    // lists would name more than maxPictures pictures: a few kilobytes of commas could
    // otherwise ask for billions of names and exhaust memory.
    static QStringList pictureNames(const QStringList &first, const QStringList &second);
    static constexpr qint64 maxPictures = 1000000;
};

#endif // TESTPARSER_H
