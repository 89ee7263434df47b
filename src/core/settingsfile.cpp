#include "core/settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
// The settings files in the order they are asked: the person's own, then the machine's.
QStringList settingsFiles()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Where the desktop keeps configuration: XDG_CONFIG_HOME (~/.config), then each folder
    // of XDG_CONFIG_DIRS (/etc/xdg).
    QStringList files;
    const QStringList dirs =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &dir : dirs)
        files.append(dir + QLatin1String("/quelvan/quelvan.conf"));
    return files;
#else
    const QString name = QStringLiteral("quelvan");
    return {QSettings(QSettings::IniFormat, QSettings::UserScope, name, name).fileName(),
            QSettings(QSettings::IniFormat, QSettings::SystemScope, name, name).fileName()};
#endif
}

// A file's text: UTF-16 or UTF-8 after a byte-order mark, else UTF-8. False for bytes that
// are no such text (a NUL, a broken sequence), which a reader would take in part or not at
// all.
bool decode(const QByteArray &bytes, QString *text, bool *marked)
{
    const bool little = bytes.startsWith("\xFF\xFE"), big = bytes.startsWith("\xFE\xFF");
    *marked = little || big || bytes.startsWith("\xEF\xBB\xBF");
    if (little || big) {
        if (bytes.size() % 2)
            return false;
        text->clear();
        for (int i = 2; i < bytes.size(); i += 2) {
            const auto low = quint8(bytes.at(i + (big ? 1 : 0)));
            const auto high = quint8(bytes.at(i + (big ? 0 : 1)));
            text->append(QChar(ushort(high << 8 | low)));
        }
        return text->isValidUtf16() && !text->contains(QChar(0));
    }
    const QByteArray body = *marked ? bytes.mid(3) : bytes;
    *text = QString::fromUtf8(body);
    return !body.contains('\0') && text->toUtf8() == body;
}

// One settings file as the toolkit reads it; a file with a byte-order mark is read from a
// copy in plain UTF-8, since Qt 5 takes a mark for part of the first key and no version
// reads UTF-16.
struct readFile
{
    explicit readFile(const QString &path) : path(path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return; // none there: nothing to read, nothing wrong
        bool marked = false;
        isText = decode(file.readAll(), &text, &marked);
        QString readable = path;
        if (isText && marked && copy.open() && copy.write(text.toUtf8()) >= 0 && copy.flush())
            readable = copy.fileName();
        settings = std::make_unique<QSettings>(readable, QSettings::IniFormat);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
        // As Qt 6 reads them: a lab writes "results=/srv/Результаты" in UTF-8.
        settings->setIniCodec("UTF-8");
#endif
    }

    // The text after "key=" on the key's own line outside any section, as written.
    QString written(const QString &key) const
    {
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            if (line.trimmed().startsWith(QLatin1Char('[')))
                break;
            const int equals = line.indexOf(QLatin1Char('='));
            if (equals > 0 && line.left(equals).trimmed() == key)
                return line.mid(equals + 1).trimmed();
        }
        return QString();
    }

    QString path;
    QString text;
    bool isText = true;
    QTemporaryFile copy;
    std::unique_ptr<QSettings> settings;
};

// Edits between two words, a swap of neighbours counting one: "uplaod" is 1 from "upload".
int distance(const QString &a, const QString &b)
{
    std::vector<std::vector<int>> d(size_t(a.size() + 1), std::vector<int>(size_t(b.size() + 1)));
    for (int i = 0; i <= a.size(); ++i)
        for (int j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min(
                {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a.at(i - 1) != b.at(j - 1))});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[size_t(a.size())][size_t(b.size())];
}
} // namespace

QStringList settingsFile::files()
{
    return settingsFiles();
}

QStringList settingsFile::folders()
{
    QStringList result;
    for (const QString &file : settingsFiles())
        result.append(QFileInfo(file).path());
    return result;
}

bool settingsFile::find(const QString &key, QString *value, QString *where, QString *written)
{
    for (const QString &path : settingsFiles()) {
        const readFile file(path);
        if (!file.settings || !file.isText || !file.settings->contains(key))
            continue;
        // An unquoted value with commas reads as a list.
        *value = file.settings->value(key).toStringList().join(QLatin1Char(','));
        *where = path + QLatin1String(": ") + key;
        if (written)
            *written = file.written(key);
        return true;
    }
    return false;
}

QString settingsFile::problem(const QStringList &keys, const QStringList &optionsOnly)
{
    for (const QString &path : settingsFiles()) {
        const readFile file(path);
        if (!file.settings)
            continue;
        if (!file.isText)
            return QStringLiteral("%1: is not text in UTF-8 or UTF-16; save it as UTF-8").arg(path);
        const QStringList sections = file.settings->childGroups();
        if (!sections.isEmpty())
            return QStringLiteral("%1: [%2]: quelvan reads keys outside any section; remove "
                                  "the line [%2]")
                .arg(path, sections.constFirst());
        for (const QString &key : file.settings->childKeys()) {
            if (keys.contains(key))
                continue;
            if (optionsOnly.contains(key))
                return QStringLiteral("%1: %2: is no settings key, only the option --%2")
                    .arg(path, key);
            const auto nearest = std::min_element(
                keys.cbegin(), keys.cend(), [&key](const QString &a, const QString &b) {
                    return distance(key.toLower(), a) < distance(key.toLower(), b);
                });
            const bool near = nearest != keys.cend() && distance(key.toLower(), *nearest) <= 2;
            return QStringLiteral("%1: %2: unknown key%3")
                .arg(path, key,
                     near ? QStringLiteral("; did you mean %1?").arg(*nearest) : QString());
        }
    }
    return QString();
}
