#include "maketest/sitechecker.h"

#include "core/printable.h"
#include "core/serverlayout.h"
#include "core/testidentity.h"
#include "download/parsparser.h"
#include "maketest/picturefolder.h"
#include "net/getrequest.h"
#include "pictures/picturedecoder.h"
#include "pictures/pictureheader.h"
#include "screens/instrshow.h"
#include "test/slidedata.h"
#include "test/testparser.h"
#include "test/variant.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QTextStream>
#include <QUrl>

#include <memory>

namespace {
bool isHttp(const QString &site)
{
    return site.startsWith(QLatin1String("http://")) || site.startsWith(QLatin1String("https://"));
}
} // namespace

siteChecker::siteChecker(QTextStream &out) : out(out) {}

void siteChecker::error(Result kind, const QString &message)
{
    ++errors;
    if (first == Ok)
        first = kind;
    out << "error: " << printable::escaped(message) << '\n';
}

void siteChecker::warning(const QString &message)
{
    ++warnings;
    out << "warning: " << printable::escaped(message) << '\n';
}

bool siteChecker::fetch(const QString &site, const QString &path, QByteArray *body, QString *why)
{
    const bool picture = path.startsWith(serverLayout::picturesPath());
    const qint64 limit = picture ? getRequest::maxReplyBytes : getRequest::maxDocumentBytes;
    const auto overCap = [&] {
        why->clear();
        error(OverCap, QStringLiteral("%1: over the %2 MiB a %3 may have; quelvan stops there "
                                      "with error 5")
                           .arg(path.mid(1))
                           .arg(limit >> 20)
                           .arg(picture ? QStringLiteral("picture") : QStringLiteral("document")));
        return false;
    };
    if (!isHttp(site)) {
        QFile f(site + path);
        if (!f.open(QIODevice::ReadOnly)) {
            *why = f.errorString();
            return false;
        }
        if (f.size() > limit)
            return overCap();
        *body = f.readAll();
        return true;
    }

    // Fetched as the client fetches: the same redirects followed, the same silence, caps
    // and compression refused.
    std::unique_ptr<QNetworkReply> reply(
        getRequest::get(&manager, site + path, getRequest::defaultTransferTimeout, limit));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (getRequest::isOverCap(reply.get(), limit))
        return overCap();
    const QNetworkReply::NetworkError error = getRequest::replyError(reply.get(), limit);
    if (error != QNetworkReply::NoError) {
        *why = QStringLiteral("error %1, %2")
                   .arg(int(error))
                   .arg(getRequest::isCompressed(reply.get())
                            ? QStringLiteral("sent compressed (Content-Encoding: %1)")
                                  .arg(QString::fromLatin1(reply->rawHeader("Content-Encoding")))
                            : reply->errorString());
        return false;
    }
    *body = reply->readAll();
    return true;
}

siteChecker::Result siteChecker::check(const QString &siteArg)
{
    QString site = siteArg;
    while (site.endsWith(QLatin1Char('/')) && site.size() > 1)
        site.chop(1);
    out << "checking " << site << '\n';

    // The seven documents, read as the client reads them.
    QMap<QString, QString> docs;
    testIdentity identity;
    for (const QString &name : serverLayout::documents()) {
        const QString path = serverLayout::documentPath(name);
        QByteArray body;
        QString why;
        if (!fetch(site, path, &body, &why)) {
            if (!why.isEmpty())
                error(Unreadable, QStringLiteral("%1: cannot be read (%2)").arg(path.mid(1), why));
            continue;
        }
        if (body.contains('\0'))
            warning(QStringLiteral("%1: holds a NUL byte; quelvan ignores everything after it")
                        .arg(path.mid(1)));
        docs.insert(name, getRequest::decodeText(body));
        identity.add(serverLayout::documents().indexOf(name), body);
        totalBytes += body.size();
    }
    if (errors)
        return first;

    // Instructions: the client's own rule for whether they fit a screen as they are.
    const QSize room = instrShow::roomFor(docs.value("instr"), QGuiApplication::font());
    if (room.width() > 1024 || room.height() > 768)
        warning(
            QStringLiteral("instr.php: the instructions need %1 x %2 pixels; on a 1024 x 768 "
                           "screen quelvan %3 them")
                .arg(room.width())
                .arg(room.height())
                .arg(room.width() > 1024 ? QStringLiteral("wraps") : QStringLiteral("scrolls")));

    // Numbers.
    QMap<QString, int> number;
    for (const char *name : {"tm", "ts_in_series", "totalseries", "pauseseries"}) {
        bool ok = false;
        const int value = docs.value(QLatin1String(name)).toInt(&ok);
        number.insert(QLatin1String(name), value);
        if (!ok)
            error(NotInteger,
                  QStringLiteral("%1.php: \"%2\" is not a whole number; quelvan reads it as 0")
                      .arg(QLatin1String(name), docs.value(QLatin1String(name)).left(40)));
    }
    if (number.value("ts_in_series") < 1 || number.value("totalseries") < 1)
        warning(QStringLiteral("ts_in_series and totalseries should both be at least 1"));
    if (number.value("tm") < 1)
        warning(QStringLiteral("tm.php: with %1 s per slide every slide ends at the first tick")
                    .arg(number.value("tm")));
    if (number.value("pauseseries") < 0)
        warning(QStringLiteral("pauseseries.php: a negative pause"));

    // Value lists and picture names.
    QStringList firstList, secondList, names;
    if (!parsParser::parseValueLists(docs.value("pars"), &firstList, &secondList)) {
        error(BadValueLists, QStringLiteral("pars.php: needs exactly two groups \"[...]\""));
    } else {
        names = parsParser::pictureNames(firstList, secondList);
        if (names.isEmpty())
            error(BadValueLists, QStringLiteral("pars.php: names more than %1 pictures")
                                     .arg(parsParser::maxPictures));
        for (const QString &n : qAsConst(names)) {
            // On Windows a name Windows refuses is unsafe as well: say which it is.
            if (!serverLayout::isSafePictureName(n))
                error(UnsafeName, QStringLiteral("pars.php: picture name \"%1\" %2")
                                      .arg(n, serverLayout::isWindowsFileName(n)
                                                  ? QStringLiteral("would leave img/")
                                                  : QStringLiteral("cannot be stored on Windows")));
            else if (!serverLayout::isWindowsFileName(n))
                warning(QStringLiteral("pars.php: picture name \"%1\" cannot be stored on "
                                       "Windows; quelvan there refuses the list")
                            .arg(n));
        }
    }

    // Slides, parsed line by line as the runner parses them.
    QList<std::shared_ptr<slideData>> slides;
    QList<int> slideLines;
    const QStringList lines = docs.value("test").split(QStringLiteral("<br>"));
    for (int i = 0; i < lines.size(); ++i) {
        auto slide = std::make_shared<slideData>();
        const int count = testParser::parseSlide(lines.at(i), slide.get());
        if (count == 0)
            continue;
        if (count < 5)
            error(ShortSlide,
                  QStringLiteral("test.php, line %1: %2 variants, a slide needs five%3")
                      .arg(i + 1)
                      .arg(count)
                      .arg(errors == 0 ? QStringLiteral("; the runner stops here") : QString()));
        slides.append(slide);
        slideLines.append(i + 1);
    }
    const qint64 needed = qint64(number.value("ts_in_series")) * number.value("totalseries");
    if (slides.size() < needed)
        error(TooFewSlides, QStringLiteral("test.php: %1 slides, but %2 x %3 = %4 are needed")
                                .arg(slides.size())
                                .arg(number.value("ts_in_series"))
                                .arg(number.value("totalseries"))
                                .arg(needed));

    // Pictures: every listed one must be on the site, every shown one must be listed.
    const QSet<QString> listed(names.cbegin(), names.cend());
    const int used = needed > 0 ? int(qMin<qint64>(needed, slides.size())) : slides.size();
    QSet<QString> reported;
    for (int s = 0; s < used; ++s) {
        const auto &vs = slides.at(s)->variants;
        if (vs.size() < 5)
            continue;
        for (int b = 0; b < 4; ++b) {
            const QString n = serverLayout::pictureName(vs.at(b)->value1, vs.at(b)->value2);
            if (!listed.contains(n) && !reported.contains(n)) {
                reported.insert(n);
                error(MissingPicture,
                      QStringLiteral("test.php, line %1: button %2 shows \"%3\", which "
                                     "pars.php does not list, so it is never downloaded")
                          .arg(slideLines.at(s))
                          .arg(b)
                          .arg(n));
            }
        }
        int right = 0;
        for (int b = 1; b <= 4; ++b)
            right += serverLayout::isRightAnswer(vs.at(b)->value1, vs.at(b)->value2,
                                                 vs.at(0)->value1, vs.at(0)->value2);
        if (right != 1)
            warning(QStringLiteral("test.php, line %1: %2 right answers among buttons 1 to 4")
                        .arg(slideLines.at(s))
                        .arg(right));
    }
    // What a participant downloads: every listed name is one request, repeats included.
    QMap<QString, QPair<qint64, qint64>> weight; // name -> bytes as served, at the best size
    QMap<QString, QByteArray> digests;
    const int best = pictureFolder::recommendedSize();
    for (const QString &n : qAsConst(names)) {
        if (weight.contains(n) || !serverLayout::isSafePictureName(n))
            continue;
        QByteArray body;
        QString why;
        const QString path = serverLayout::picturePath(n);
        if (!fetch(site, path, &body, &why)) {
            if (!why.isEmpty())
                error(MissingPicture,
                      QStringLiteral("%1: missing (%2); the download would stop there")
                          .arg(path.mid(1), why));
            continue;
        }
        // The client's own check of a picture answer.
        const pictureDecoder::Verdict verdict = pictureDecoder::check(body);
        if (verdict != pictureDecoder::Fine) {
            error(verdict == pictureDecoder::TooManyPixels ? TooManyPixels : NotAPicture,
                  QStringLiteral("%1: %2; quelvan stops there with error 399")
                      .arg(path.mid(1), pictureDecoder::describe(verdict)));
            continue;
        }
        if (pictureHeader::formatOf(body) != "jpeg")
            warning(QStringLiteral("%1: not a JPEG picture").arg(path.mid(1)));
        QBuffer buffer(&body);
        buffer.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buffer).size();
        qint64 atBest = body.size();
        if (qMax(size.width(), size.height()) > best) {
            buffer.seek(0);
            atBest = qMin(atBest, qint64(pictureFolder::sitePicture(&buffer, best, &why).size()));
            warning(QStringLiteral("%1: %2 x %3 pixels; %4 on the longer side is all the "
                                   "client's icons show")
                        .arg(path.mid(1))
                        .arg(size.width())
                        .arg(size.height())
                        .arg(best));
        }
        weight.insert(n, {body.size(), atBest});
        digests.insert(n, testIdentity::digest(body));
    }
    qint64 atBest = totalBytes;
    for (int i = 0; i < names.size(); ++i) {
        totalBytes += weight.value(names.at(i)).first;
        atBest += weight.value(names.at(i)).second;
        identity.addDigest(serverLayout::documentCount + i, digests.value(names.at(i)));
    }
    out << "a participant downloads " << serverLayout::documentCount + names.size() << " requests, "
        << totalBytes << " bytes\n";
    if (atBest < totalBytes)
        out << "with pictures of " << best << " pixels at most the test would weigh " << atBest
            << " bytes\n";
    if (errors == 0) {
        testId = identity.id();
        out << "test id: " << testId << " (the test_id column of every run of this test)\n";
    }

    out << errors << " error(s), " << warnings << " warning(s)\n";
    return first;
}
