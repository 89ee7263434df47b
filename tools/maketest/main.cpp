// quelvan-maketest: writes a complete static test site, or checks one.
#include "core/serveraddress.h"
#include "maketest/picturefolder.h"
#include "maketest/sitechecker.h"
#include "maketest/sitetexts.h"
#include "maketest/sitewriter.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Fonts measure the instructions as the client shows them; no window is ever opened.
    // Windows' own platform needs no display, and offscreen there has no fonts to measure.
#ifndef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Over SSH or through su no runtime folder is set, and the toolkit says so while it
    // starts; the tool needs none.
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
    QGuiApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QString());
    QCoreApplication::setApplicationName(QStringLiteral("quelvan-maketest"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUELVAN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a quelvan test site into FOLDER (FOLDER/quelvan/...), ready for any static web "
        "server, or with --check reads a site in a folder or on an http:// server and reports "
        "what would stop quelvan.\n\nExit codes of --check: 0 usable (warnings allowed), 2 a "
        "document cannot be read, 3 a number is not an integer, 4 pars.php lacks exactly two "
        "groups, 5 an unsafe picture name, 6 a slide with one to four variants, 7 too few "
        "slides, 8 a missing picture, 9 a picture quelvan refuses (not a whole JPEG, PNG, GIF "
        "or BMP), 10 a picture over 128 MiB decoded, 11 a document over 1 MiB or a picture over "
        "64 MiB. 1: wrong usage, a bad option value, refused pictures or a site that cannot be "
        "written; nothing is written then."));
    parser.addHelpOption();
    parser.addVersionOption();
    const siteOptions defaults;
    const QCommandLineOption series("series", "Number of series (default 3).", "n", "3");
    const QCommandLineOption slides("slides", "Slides per series (default 10).", "n", "10");
    const QCommandLineOption slideTime("slide-time", "Seconds per slide (default 5).", "s", "5");
    const QCommandLineOption pause("pause", "Seconds of pause between series (default 10).", "s",
                                   "10");
    const QCommandLineOption first("first", "First values, comma-separated, drawn as shapes.",
                                   "list", defaults.first.join(','));
    const QCommandLineOption second("second", "Second values, comma-separated, drawn as colours.",
                                    "list", defaults.second.join(','));
    const QCommandLineOption instr(
        "instr",
        "Instruction text (HTML allowed) instead of the default; {series}, {slides}, {seconds} "
        "(per slide) and {pause} become the numbers.",
        "text");
    const QCommandLineOption instrFile(
        "instr-file", "Instruction text read from a UTF-8 file, as with --instr.", "file");
    const QCommandLineOption seed("seed", "Seed of the slide order (default 1).", "n", "1");
    const QCommandLineOption language("language",
                                      "Language of the default instructions: "
                                          + siteTexts::languages().join(", ")
                                          + " (default ru; de_AT and DE are de).",
                                      "code", "ru");
    const QCommandLineOption size(
        "picture-size",
        "Longest side of the pictures in pixels (default 360: sharp on the client's 90-pixel "
        "icons up to a device-pixel ratio of 4).",
        "px", QString::number(defaults.pictureSize));
    const QCommandLineOption own(
        "pictures",
        "Make the site from your own pictures, named <first>_<second>.<ext> "
        "(and fail.<ext>), in any format Qt reads.",
        "dir");
    const QCommandLineOption keep("keep-pictures",
                                  "With --pictures, copy JPEG files unchanged instead of scaling "
                                  "them and removing their metadata: kept files keep all of it, "
                                  "the camera and its GPS position included.");
    const QCommandLineOption check("check", "Check the site in a folder or at an http:// URL.",
                                   "site");
    parser.addOptions({series, slides, slideTime, pause, first, second, instr, instrFile, seed,
                       language, size, own, keep, check});
    parser.addPositionalArgument("folder", "Where to write the site.");

    QTextStream out(stdout);
    QTextStream err(stderr);
    // Help, the version and a mistake are printed, never shown in a message box, which the
    // toolkit's own process() opens on Windows when no console is attached: a deployment
    // script that runs the tool would wait for a click.
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "quelvan-maketest: " << parser.errorText() << '\n';
        return 1;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << "quelvan-maketest " << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }

    if (parser.isSet(check)) {
        // An address as the client takes it: the server, and the folder that holds the site.
        QString site = parser.value(check), normal;
        if (site.startsWith(QLatin1String("http://"))
            || site.startsWith(QLatin1String("https://"))) {
            const QString why = serverAddress::testServer(site, &normal);
            if (!why.isEmpty()) {
                err << "quelvan-maketest: --check: " << why << '\n';
                return 1;
            }
            site = normal;
        }
        siteChecker checker(out);
        const int result = checker.check(site);
        out.flush();
        return result;
    }

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        err << "quelvan-maketest: name one folder to write, or use --check (see --help)\n";
        return 1;
    }

    auto number = [&](const QCommandLineOption &o, bool *ok) {
        bool good = false;
        const int v = parser.value(o).toInt(&good);
        if (!good) {
            err << "quelvan-maketest: --" << o.names().first() << " needs a whole number\n";
            *ok = false;
        }
        return v;
    };
    bool ok = true;
    siteOptions opt;
    opt.series = number(series, &ok);
    opt.slides = number(slides, &ok);
    opt.slideTime = number(slideTime, &ok);
    opt.pause = number(pause, &ok);
    opt.pictureSize = number(size, &ok);
    bool seedOk = false;
    opt.seed = quint32(parser.value(seed).toUInt(&seedOk));
    if (!seedOk) {
        err << "quelvan-maketest: --seed needs a whole number from 0 to 4294967295\n";
        ok = false;
    }
    opt.first = parser.value(first).split(',');
    opt.second = parser.value(second).split(',');
    opt.instr = parser.value(instr);
    if (parser.isSet(instrFile)) {
        QFile file(parser.value(instrFile));
        if (parser.isSet(instr)) {
            err << "quelvan-maketest: --instr and --instr-file: give one of them\n";
            ok = false;
        } else if (!file.open(QIODevice::ReadOnly)) {
            err << "quelvan-maketest: --instr-file: " << file.fileName() << ": "
                << file.errorString() << '\n';
            ok = false;
        } else {
            opt.instr = QString::fromUtf8(file.readAll()); // drops Notepad's byte-order mark
        }
    }
    opt.language = siteTexts::languageOf(parser.value(language));
    if (opt.language.isEmpty()) {
        err << "quelvan-maketest: --language must be one of " << siteTexts::languages().join(", ")
            << '\n';
        ok = false;
    }
    // Every value is checked before any picture is read.
    const QString badNumber = siteWriter(opt).numbersProblem();
    if (!badNumber.isEmpty())
        err << "quelvan-maketest: " << badNumber << '\n';
    if (!ok || !badNumber.isEmpty())
        return 1;
    if (parser.isSet(own)) {
        const pictureFolder folder(parser.value(own), opt.pictureSize, parser.isSet(keep));
        for (const QString &line : folder.skipped)
            err << "quelvan-maketest: " << line << '\n';
        for (const QString &problem : folder.problems)
            err << "quelvan-maketest: " << problem << '\n';
        if (!folder.problems.isEmpty()) {
            err << "quelvan-maketest: " << folder.problems.size()
                << " problem(s) in the pictures; nothing written\n";
            return 1;
        }
        opt.first = folder.first;
        opt.second = folder.second;
        opt.ownPictures = folder.pictures;
    }

    const siteWriter writer(opt);
    QString problem;
    if (!writer.write(args.first(), &problem)) {
        err << "quelvan-maketest: " << problem << '\n';
        return 1;
    }
    out << "wrote " << args.first() << "/quelvan: " << opt.series << " series of " << opt.slides
        << " slides, " << (opt.first.size() * opt.second.size() + 1) << " pictures\n";
    // The id as the site will be read: the checker's own.
    QString report;
    QTextStream quiet(&report);
    siteChecker written(quiet);
    written.check(args.first());
    out << "test id: " << written.testId << '\n';
    return 0;
}
