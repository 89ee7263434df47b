#include "maketest/sitewriter.h"

#include "core/serverlayout.h"
#include "maketest/picturepainter.h"
#include "maketest/sitetexts.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>

namespace {

bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.flush()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace

siteWriter::siteWriter(const siteOptions &options) : opt(options) {}

QString siteWriter::validate() const
{
    const QString numbers = numbersProblem();
    if (!numbers.isEmpty())
        return numbers;
    for (const QStringList &list : {opt.first, opt.second}) {
        QStringList unique = list;
        if (unique.removeDuplicates() != 0)
            return QStringLiteral("values must be unique within a list");
        for (const QString &v : list) {
            const QString why = valueProblem(v);
            if (!why.isEmpty())
                return why;
        }
    }
    return listsProblem(opt.first, opt.second);
}

QString siteWriter::numbersProblem() const
{
    if (opt.series < 1 || opt.slides < 1)
        return QStringLiteral("--series and --slides must be at least 1");
    if (qint64(opt.series) * opt.slides > 100000)
        return QStringLiteral("at most 100000 slides in all");
    if (opt.slideTime < 0 || opt.pause < 0)
        return QStringLiteral("--slide-time and --pause must not be negative");
    if (opt.pictureSize < 16 || opt.pictureSize > 2000)
        return QStringLiteral("--picture-size must be between 16 and 2000");
    return QString();
}

QString siteWriter::valueProblem(const QString &v)
{
    // Values become file names and URL paths and stand inside "[a,b]"; "_" joins the two
    // values of a picture name, so a value with one would make names ambiguous.
    static const QString forbidden = QStringLiteral("[],/\\#?%<>\"_");
    if (v.isEmpty() || std::any_of(v.begin(), v.end(), [](QChar ch) {
            return forbidden.contains(ch) || ch.isSpace() || ch.unicode() < 0x20;
        }))
        return QStringLiteral("value \"%1\" is empty or holds a character that is not allowed "
                              "(blanks or any of %2)")
            .arg(v, forbidden);
    return QString();
}

QString siteWriter::listsProblem(const QStringList &first, const QStringList &second)
{
    // Three different wrong variants share no value with the sample: there must be at
    // least three pairs of other values.
    if (qint64(first.size() - 1) * (second.size() - 1) >= 3)
        return QString();
    return QStringLiteral("too few values: %1 first x %2 second; slides with three different "
                          "wrong answers need (first - 1) x (second - 1) >= 3, for example 2 x 4 "
                          "or 3 x 3")
        .arg(first.size())
        .arg(second.size());
}

QString siteWriter::defaultInstructions() const
{
    return siteTexts::instructions(opt.language, opt.slideTime, opt.series, opt.slides, opt.pause,
                                   !opt.ownPictures.isEmpty());
}

QString siteWriter::makeTestText() const
{
    QRandomGenerator rng(opt.seed);
    const int n1 = opt.first.size();
    const int n2 = opt.second.size();
    auto other = [&rng](int n, int not_) {
        const int k = int(rng.bounded(n - 1));
        return k >= not_ ? k + 1 : k;
    };

    QStringList lines;
    const int total = opt.series * opt.slides;
    for (int s = 0; s < total; ++s) {
        const int s1 = int(rng.bounded(n1));
        const int s2 = int(rng.bounded(n2));
        const int right = 1 + int(rng.bounded(4)); // 4: the fail button is right

        QList<QPair<int, int>> variants{{s1, s2}};
        QList<QPair<int, int>> used{{s1, s2}};
        for (int b = 1; b <= 4; ++b) {
            QPair<int, int> v;
            for (int attempt = 0; attempt < 8; ++attempt) {
                if (b == right) {
                    v = rng.bounded(2) ? qMakePair(s1, other(n2, s2))
                                       : qMakePair(other(n1, s1), s2);
                } else {
                    v = qMakePair(other(n1, s1), other(n2, s2));
                }
                // Different pictures where the lists allow it; button 4 shows "fail" anyway.
                if (b == 4 || !used.contains(v))
                    break;
            }
            used.append(v);
            variants.append(v);
        }

        QString line;
        for (const auto &v : variants)
            line += QLatin1Char('[') + opt.first.at(v.first) + QLatin1Char(',')
                    + opt.second.at(v.second) + QLatin1Char(']');
        lines.append(line);
    }
    return lines.join(QStringLiteral("<br>\n")) + QLatin1Char('\n');
}

QMap<QString, QByteArray> siteWriter::documents() const
{
    QMap<QString, QByteArray> docs;
    docs.insert(QStringLiteral("test"), makeTestText().toUtf8());
    docs.insert(QStringLiteral("instr"),
                (opt.instr.isEmpty()
                     ? defaultInstructions()
                     : siteTexts::fill(opt.instr, opt.slideTime, opt.series, opt.slides, opt.pause))
                    .toUtf8());
    docs.insert(QStringLiteral("tm"), QByteArray::number(opt.slideTime));
    docs.insert(QStringLiteral("ts_in_series"), QByteArray::number(opt.slides));
    docs.insert(QStringLiteral("totalseries"), QByteArray::number(opt.series));
    docs.insert(QStringLiteral("pauseseries"), QByteArray::number(opt.pause));
    docs.insert(QStringLiteral("pars"), ('[' + opt.first.join(QLatin1Char(',')) + "]["
                                         + opt.second.join(QLatin1Char(',')) + ']')
                                            .toUtf8());
    return docs;
}

QMap<QString, QByteArray> siteWriter::pictures() const
{
    if (!opt.ownPictures.isEmpty()) {
        QMap<QString, QByteArray> out = opt.ownPictures;
        if (!out.contains(serverLayout::failPicture()))
            out.insert(serverLayout::failPicture(), picturePainter::fail(opt.pictureSize));
        return out;
    }
    QMap<QString, QByteArray> out;
    for (int i = 0; i < opt.first.size(); ++i)
        for (int j = 0; j < opt.second.size(); ++j)
            out.insert(serverLayout::pictureName(opt.first.at(i), opt.second.at(j)),
                       picturePainter::shape(i, j, opt.pictureSize));
    out.insert(serverLayout::failPicture(), picturePainter::fail(opt.pictureSize));
    return out;
}

bool siteWriter::write(const QString &folder, QString *error) const
{
    const QString problem = validate();
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    // Made in a folder of its own beside the site, so that a failure halfway leaves no
    // half-written site and a web server never serves one.
    QDir().mkpath(folder);
    QTemporaryDir staging(folder + QLatin1String("/.quelvan-new-XXXXXX"));
    const QString images = staging.path() + serverLayout::picturesPath();
    if (!staging.isValid() || !QDir().mkpath(images)) {
        *error = QStringLiteral("cannot create a folder in %1").arg(folder);
        return false;
    }
    const QMap<QString, QByteArray> docs = documents();
    for (auto it = docs.cbegin(); it != docs.cend(); ++it) {
        if (!writeFile(staging.path() + serverLayout::documentPath(it.key()), it.value(), error))
            return false;
    }
    const QMap<QString, QByteArray> pics = pictures();
    for (auto it = pics.cbegin(); it != pics.cend(); ++it) {
        if (!writeFile(staging.path() + serverLayout::picturePath(it.key()), it.value(), error))
            return false;
    }
    // The older site moves into the staging folder and goes with it.
    const QString site = folder + QLatin1String("/quelvan");
    const QString older = staging.path() + QLatin1String("/older");
    const bool hadOlder = QFileInfo::exists(site);
    if ((hadOlder && !QDir().rename(site, older))
        || !QDir().rename(staging.path() + QLatin1String("/quelvan"), site)) {
        if (hadOlder)
            QDir().rename(older, site);
        *error = QStringLiteral("cannot put the site in place at %1").arg(site);
        return false;
    }
    return true;
}
