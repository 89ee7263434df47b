#include "core/languagechoice.h"

#include "core/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTranslator>

// The built-in translations are resources of a static library, which must load them itself
// (outside any namespace).
static void loadBuiltIn()
{
    Q_INIT_RESOURCE(translations);
}

namespace {
const QString russian = QStringLiteral("ru");
const QString english = QStringLiteral("en");
const QString builtIn = QStringLiteral(":/translations");

// The folders that may hold translations, a lab's before the built-in ones.
QStringList folders()
{
    static const bool loaded = (loadBuiltIn(), true);
    Q_UNUSED(loaded)
    return languageChoice::labFolders() << builtIn;
}

// The translator install() put on the application, and its language.
QPointer<QTranslator> installed;
QString installedCode;
} // namespace

QStringList languageChoice::labFolders()
{
    QStringList result;
    for (const QString &folder : settingsFile::folders())
        result.append(folder + QLatin1String("/translations"));
    return result;
}

QString languageChoice::fileOf(const QString &code)
{
    for (const QString &folder : folders()) {
        const QString file = folder + QLatin1String("/quelvan_") + code + QLatin1String(".qm");
        if (QFileInfo(file).isFile())
            return file;
    }
    return QString();
}

QString languageChoice::englishSource()
{
    folders(); // loads the resources
    return builtIn + QLatin1String("/quelvan_en.ts");
}

QStringList languageChoice::available()
{
    QStringList codes{russian};
    for (const QString &folder : folders()) {
        for (const QString &name :
             QDir(folder).entryList({QStringLiteral("quelvan_*.qm")}, QDir::Files)) {
            const QString code = name.mid(8, name.size() - 11);
            if (!code.isEmpty() && !codes.contains(code))
                codes.append(code);
        }
    }
    codes.sort();
    return codes;
}

QString languageChoice::match(const QString &wanted, const QStringList &codes)
{
    // "zh-Hans-CN" tries zh_hans_cn, zh_cn, then zh.
    const QStringList parts = wanted.toLower()
                                  .replace(QLatin1Char('-'), QLatin1Char('_'))
                                  .split(QLatin1Char('_'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    QStringList tries{parts.join(QLatin1Char('_'))};
    if (parts.size() > 2)
        tries << parts.first() + QLatin1Char('_') + parts.last();
    tries << parts.first();
    for (const QString &candidate : tries) {
        for (const QString &code : codes) {
            if (code.compare(candidate, Qt::CaseInsensitive) == 0)
                return code;
        }
    }
    return QString();
}

QString languageChoice::resolve(const QString &setting, const QStringList &uiLanguages,
                                QString *why)
{
    const QStringList codes = available();
    const QString wanted = setting.trimmed();
    if (wanted.isEmpty())
        return russian;
    QString code;
    if (wanted.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
        for (const QString &ui : uiLanguages) {
            code = match(ui, codes);
            if (!code.isEmpty())
                break;
        }
        if (code.isEmpty())
            code = english;
    } else {
        code = match(wanted, codes);
    }
    if (code == russian)
        return russian;
    if (code.isEmpty()) {
        QStringList searched;
        for (const QString &folder : labFolders())
            searched.append(QDir::toNativeSeparators(folder));
        *why =
            QStringLiteral("\"%1\" is not available; available: %2; a lab's quelvan_%1.qm "
                           "was looked for in %3")
                .arg(wanted, codes.join(QLatin1String(", ")), searched.join(QLatin1String(", ")));
        return QString();
    }
    QTranslator probe;
    const QString file = fileOf(code);
    if (!probe.load(file)) {
        *why = QStringLiteral("\"%1\" will not load as a translation")
                   .arg(QDir::toNativeSeparators(file));
        return QString();
    }
    return code;
}

void languageChoice::install(const QString &code)
{
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    installedCode.clear();
    if (code.isEmpty() || code == russian)
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(fileOf(code))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    installedCode = code;
}

QLocale languageChoice::numbers()
{
    return installedCode.isEmpty() ? QLocale::c() : QLocale(installedCode);
}
