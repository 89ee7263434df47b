#ifndef LANGUAGECHOICE_H
#define LANGUAGECHOICE_H

#include <QString>
#include <QStringList>

// The language of the window: Russian, the texts as the program writes them (no translator
// at all); English, built in; or any language a lab adds as quelvan_<code>.qm in a folder
// "translations" beside a settings file, which wins over a built-in one of the same code.
class languageChoice
{
public:
    // The codes that can be chosen, sorted: "ru", the built-in ones and the labs'.
    static QStringList available();
    // The code the setting names ("", "ru", "en", "auto" or a lab's code); "auto" takes the
    // first of `uiLanguages` ("pt-BR", then "pt") that can be chosen, else "ru". Empty, with
    // *why, when it names no language that can be chosen or its file will not load.
    static QString resolve(const QString &setting, const QStringList &uiLanguages, QString *why);
    // Installs the translator of `code` on the application; nothing for "ru".
    static void install(const QString &code);

private:
    // The file of `code`: a lab's first, then the built-in one; empty when there is none.
    static QString fileOf(const QString &code);
};

#endif // LANGUAGECHOICE_H
