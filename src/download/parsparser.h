#ifndef PARSPARSER_H
#define PARSPARSER_H

#include <QString>
#include <QStringList>

// The value lists of the pars document and the pictures they name.
//
// findGroup gives exactly what QRegExp gives in minimal mode for "\[(.+)\]" (position,
// length and capture, on every input) in time linear in the text: the toolkit's search is
// quadratic on text with many "[" and no fitting "]". The leftmost match starts at the first
// "[" at or after `from` and ends at the first "]" at least one character after it.
class parsParser
{
public:
    // Finds the next value group "[...]" of at least one character at or after `from`.
    // Returns its position and sets the outputs, or returns -1 and leaves them unchanged.
    static int findGroup(const QString &text, int from, QString *capture, int *length);

    // Reads the two value lists of a pars document, split at every "," with empty pieces
    // kept. False, with the lists untouched, unless the text holds exactly two groups.
    static bool parseValueLists(const QString &text, QStringList *first, QStringList *second);

    // The pictures a test needs: every a_b, first list outermost, then "fail". Empty when the
    // lists would name more than maxPictures pictures: a few kilobytes of commas could
    // otherwise ask for billions of names and exhaust memory.
    static QStringList pictureNames(const QStringList &first, const QStringList &second);
    // The same, but empty (and the reason logged) also when a name would leave the picture
    // directory: then nothing is requested and nothing is written.
    static QStringList usablePictureNames(const QStringList &first, const QStringList &second);
    static constexpr qint64 maxPictures = 1000000;
};

#endif // PARSPARSER_H
