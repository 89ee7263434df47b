#ifndef SITETEXTS_H
#define SITETEXTS_H

#include <QString>
#include <QStringList>

// The texts a generated site shows, in each language the client has built in, with numerals
// that agree with their nouns. Built in, so that a site's bytes never depend on installed
// files.
class siteTexts
{
public:
    // The languages of the default instructions: ru, en, de, es, fr, pt, zh_CN.
    static QStringList languages();
    // The language of languages() that `code` names, ignoring case and falling back from a
    // region to its language ("de_AT" to "de", "zh" to "zh_CN"); empty when none.
    static QString languageOf(const QString &code);

    // `n` followed by the Russian noun's form for it: `one` for 1, 21, 101 ..., `few` for 2
    // to 4, 22 to 24 ..., `many` for 0, 5 to 20, 25 to 30 ... and every number ending in 11
    // to 14.
    static QString count(int n, const QString &one, const QString &few, const QString &many);

    // The default instructions in `language` (one of languages()). Drawn pictures name their
    // two features, shape and colour; an author's own pictures only say that one feature
    // must match.
    static QString instructions(const QString &language, int slideTime, int series, int slides,
                                int pause, bool ownPictures);
    // A lab's own instructions with {series}, {slides}, {seconds} (per slide) and {pause}
    // replaced by the numbers.
    static QString fill(QString text, int slideTime, int series, int slides, int pause);
};

#endif // SITETEXTS_H
