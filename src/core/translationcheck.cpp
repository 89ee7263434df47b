#include "core/translationcheck.h"

#include "core/languagechoice.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QTranslator>
#include <QXmlStreamReader>

#include <algorithm>

QList<translationCheck::message> translationCheck::readTs(const QString &file, QString *language,
                                                          QString *error)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return {};
    }
    QList<message> result;
    QString context;
    QXmlStreamReader xml(&in);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto tag = xml.name();
        const auto attribute = [&xml](const char *name) {
            return xml.attributes().value(QLatin1String(name)).toString();
        };
        if (tag == QLatin1String("TS")) {
            *language = attribute("language");
        } else if (tag == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (tag == QLatin1String("message")) {
            message m;
            m.context = context;
            m.numerus = attribute("numerus") == QLatin1String("yes");
            result.append(m);
        } else if (result.isEmpty()) {
            continue;
        } else if (tag == QLatin1String("source")) {
            result.last().source = xml.readElementText();
        } else if (tag == QLatin1String("comment")) {
            result.last().comment = xml.readElementText();
        } else if (tag == QLatin1String("translation")) {
            result.last().finished = attribute("type").isEmpty();
            if (!result.last().numerus)
                result.last().forms = QStringList{xml.readElementText()};
        } else if (tag == QLatin1String("numerusform")) {
            result.last().forms.append(xml.readElementText());
        }
    }
    if (xml.hasError() || result.isEmpty())
        *error = xml.hasError() ? xml.errorString() : QStringLiteral("no messages");
    return result;
}

namespace {
// Whether any form of a translation is one of the English message's forms.
bool sameAsEnglish(const QStringList &forms, const QStringList &english)
{
    return std::any_of(forms.begin(), forms.end(),
                       [&english](const QString &form) { return english.contains(form); });
}
} // namespace

QString translationCheck::name(const message &m)
{
    const QString english = m.forms.value(0).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("%1: \"%2\"%3")
        .arg(m.context, english,
             m.comment.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m.comment));
}

QStringList translationCheck::problems(const QString &file, QString *error)
{
    QString referenceLanguage;
    const QList<message> reference =
        readTs(languageChoice::englishSource(), &referenceLanguage, error);
    if (!error->isEmpty())
        return {};
    QStringList result;
    QString language;
    if (file.endsWith(QLatin1String(".qm"), Qt::CaseInsensitive)) {
        QTranslator qm;
        if (!qm.load(file)) {
            *error = QStringLiteral("not a translation (.qm) that loads");
            return {};
        }
        language = qm.language();
        for (const message &m : reference) {
            // A .qm keeps finished texts only; the counts reach every plural form.
            const QList<int> counts = m.numerus ? QList<int>{1, 2, 5, 21} : QList<int>{-1};
            QStringList forms;
            for (int n : counts)
                forms.append(qm.translate(
                    m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                    m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData(), n));
            if (forms.contains(QString()))
                result.append(QLatin1String("missing: ") + name(m));
            else if (!language.startsWith(QLatin1String("en")) && sameAsEnglish(forms, m.forms))
                result.append(QLatin1String("same as English: ") + name(m));
        }
        return result;
    }
    const QList<message> translated = readTs(file, &language, error);
    if (!error->isEmpty())
        return {};
    for (const message &m : reference) {
        auto found = std::find_if(translated.begin(), translated.end(), [&m](const message &t) {
            return t.context == m.context && t.source == m.source && t.comment == m.comment;
        });
        if (found == translated.end())
            result.append(QLatin1String("missing: ") + name(m));
        else if (!found->finished || found->forms.isEmpty() || found->forms.contains(QString()))
            result.append(QLatin1String("unfinished: ") + name(m));
        else if (!language.startsWith(QLatin1String("en")) && sameAsEnglish(found->forms, m.forms))
            result.append(QLatin1String("same as English: ") + name(m));
    }
    return result;
}

int translationCheck::run(const QString &file, QTextStream &out, QTextStream &err)
{
    QString error;
    const QStringList found = problems(file, &error);
    if (!error.isEmpty()) {
        err << "quelvan: --check-translation: " << QDir::toNativeSeparators(file) << ": " << error
            << '\n';
        return 2;
    }
    for (const QString &line : found)
        out << line << '\n';
    out << QDir::toNativeSeparators(file) << ": " << found.size() << " problem(s)\n";
    return found.isEmpty() ? 0 : 1;
}
