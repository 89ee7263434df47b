#include "core/languagechoice.h"

#include "core/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

// The built-in translations are resources of a static library, which must load them itself
// (outside any namespace).
static void loadBuiltIn()
{
    Q_INIT_RESOURCE(translations);
}

namespace {
const QString russian = QStringLiteral("ru");
const QString builtIn = QStringLiteral(":/translations");

// The folders that may hold translations, a lab's before the built-in ones.
QStringList folders()
{
    static const bool loaded = (loadBuiltIn(), true);
    Q_UNUSED(loaded)
    QStringList result;
    for (const QString &folder : settingsFile::folders())
        result.append(folder + QLatin1String("/translations"));
    return result << builtIn;
}
} // namespace

QString languageChoice::fileOf(const QString &code)
{
    for (const QString &folder : folders()) {
        const QString file = folder + QLatin1String("/quelvan_") + code + QLatin1String(".qm");
        if (QFileInfo(file).isFile())
            return file;
    }
    return QString();
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

QString languageChoice::resolve(const QString &setting, const QStringList &uiLanguages,
                                QString *why)
{
    const QStringList codes = available();
    QString wanted = setting.trimmed();
    if (wanted == QLatin1String("auto")) {
        const auto firstAvailable = [&codes, &uiLanguages] {
            for (QString ui : uiLanguages) {
                ui.replace(QLatin1Char('-'), QLatin1Char('_'));
                for (const QString &code : {ui, ui.section(QLatin1Char('_'), 0, 0)}) {
                    if (codes.contains(code))
                        return code;
                }
            }
            return russian;
        };
        wanted = firstAvailable();
    }
    if (wanted.isEmpty() || wanted == russian)
        return russian;
    if (!codes.contains(wanted)) {
        *why = QStringLiteral("\"%1\" is not available; available: %2")
                   .arg(wanted, codes.join(QLatin1String(", ")));
        return QString();
    }
    QTranslator probe;
    const QString file = fileOf(wanted);
    if (!probe.load(file)) {
        *why = QStringLiteral("\"%1\" will not load as a translation")
                   .arg(QDir::toNativeSeparators(file));
        return QString();
    }
    return wanted;
}

void languageChoice::install(const QString &code)
{
    if (code.isEmpty() || code == russian)
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(fileOf(code)))
        QCoreApplication::installTranslator(translator);
}
