#ifndef SITETEXTS_H
#define SITETEXTS_H

#include <QString>

// The texts a generated site shows, Russian or English, with numerals that agree with their
// nouns. Built in, so that a site's bytes never depend on installed files.
class siteTexts
{
public:
    // `n` followed by the noun's form for it: `one` for 1, 21, 101 ..., `few` for 2 to 4, 22
    // to 24 ..., `many` for 0, 5 to 20, 25 to 30 ... and every number ending in 11 to 14.
    static QString count(int n, const QString &one, const QString &few, const QString &many);

    // The default instructions. Drawn pictures name their two features, shape and colour;
    // an author's own pictures only say that one feature must match.
    static QString instructions(int slideTime, int series, int slides, int pause, bool ownPictures);
    static QString englishInstructions(int slideTime, int series, int slides, int pause,
                                       bool ownPictures);
};

#endif // SITETEXTS_H
