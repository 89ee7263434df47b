#ifndef LANGUAGECHOICE_H
#define LANGUAGECHOICE_H

#include <QLocale>
#include <QString>
#include <QStringList>

// The language of the window: Russian, the texts as the program writes them (no translator
// at all); the built-in ones; or any language a lab adds as quelvan_<code>.qm in a folder
// "translations" beside a settings file, which wins over a built-in one of the same code.
class languageChoice
{
public:
    // The codes that can be chosen, sorted: "ru", the built-in ones and the labs'.
    static QStringList available();
    // The folders searched for a lab's quelvan_<code>.qm, the person's first.
    static QStringList labFolders();
    // The code the setting names ("", "ru", "auto" or any code, read case-insensitively,
    // "de_AT" or "de-AT" falling back to "de"); "auto" takes the first of `uiLanguages` that
    // can be chosen, else "en". Empty, with *why, when it names no language that can be
    // chosen or its file will not load.
    static QString resolve(const QString &setting, const QStringList &uiLanguages, QString *why);
    // Installs the translator of `code` on the application, replacing one installed before;
    // none for "ru".
    static void install(const QString &code);
    // How the participant's screens write numbers: the installed language's locale; with
    // no translator, as the Russian screens always have (C).
    static QLocale numbers();
    // The English translation's source (.ts), which a lab's translation is checked against.
    static QString englishSource();

private:
    // The file of `code`: a lab's first, then the built-in one; empty when there is none.
    static QString fileOf(const QString &code);
    // The available code that `wanted` names, ignoring case and falling back from a region
    // to its language; empty when none.
    static QString match(const QString &wanted, const QStringList &codes);
};

#endif // LANGUAGECHOICE_H
