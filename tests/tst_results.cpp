#include "core/appoptions.h"
#include "core/msclock.h"
#include "results/accuracyplot.h"
#include "results/codebook.h"
#include "results/csvrow.h"
#include "results/studyfiles.h"
#include "support/clickedstudy.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// quelvan-results on a study clicked through by the suite: 8 participants, one twice, one
// stopped after a series, one code on no list and one on the list that never ran.
class tst_results : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { msClock::useRealClock(); }
    void study_data();
    void study();
    void columns_data();
    void columns();
    void readers_data();
    void readers();

private:
    int tool(const QStringList &args, QString *out = nullptr, QString *err = nullptr);
    QString table(const QString &file); // a CSV file, times, ids and names made readable
    QString dataSet();                  // the data set of the participant's folder
    WorkDir work;
    TestHttpServer server;
    QString data, store;
    QByteArray before;
};

void tst_results::initTestCase()
{
    QVERIFY(server.listen());
    TestSite site = TestSite::small(4);
    site.tsInSeries = "2";
    site.totalSeries = "2";
    site.serve(server);
    appOptions options = appOptions::defaults();
    options.serverUrl = server.baseUrl();
    options.resultsDir = data = work.path() + "/results";
    options.keyboardAnswers = false;
    msClock::setFakeNow(1000);
    for (const char *code : {"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P3", "X9"})
        ClickedStudy::play(options, code, QByteArray(code) == "P5" ? 1 : 2);
    // P6 ran the version before onset_utc.
    ClickedStudy::olderVersion(data + '/' + QDir(data).entryList({"quelvan_P6_*_trials.csv"})[0]);
    // Files of other programs, a row cut off as it was copied, one short of a field.
    QVERIFY(TestSite::writeFile(data + "/notes.txt", "P1 came late"));
    QVERIFY(TestSite::writeFile(data + "/quelvan_P4_2020-01-01_00-00-00_trials.csv",
                                "name,score\r\nP4,5\r\n"));
    QVERIFY(TestSite::writeFile(data + "/quelvan_P1_2020-01-01_00-00-00_series.csv",
                                "participant,series,series_total\r\nP1,1,2"));
    QVERIFY(TestSite::writeFile(data + "/quelvan_P2_2020-01-01_00-00-00_trials.csv",
                                "participant,series,correct,rt_ms\r\nP2,1,1\r\n"));
    const QByteArray codes = "# the study's codes\nP1\nP2\nP3\nP4\nP5\n\nP6\nP7\nP8\n";
    QVERIFY(TestSite::writeFile(work.path() + "/codes.txt", codes));
    // The lab's store; X9's run is copied from the participant's folder too: read once.
    ClickedStudy::toStore(data, store = work.path() + "/store", "quelvan_X9_");
    before = ClickedStudy::snapshot(data) + ClickedStudy::snapshot(store);
}

QString tst_results::dataSet()
{
    const QString out = work.path() + "/set";
    if (!QFile::exists(out + "/codebook.csv"))
        tool({data, out});
    return out;
}

int tst_results::tool(const QStringList &args, QString *out, QString *err)
{
    QProcess p;
    p.start(TestSite::builtProgram(QUELVAN_RESULTS), args, QIODevice::ReadOnly | QIODevice::Text);
    const int status = p.waitForFinished(60000) ? p.exitCode() : -1;
    if (out && err) {
        *out = QString::fromUtf8(p.readAllStandardOutput());
        *err = QString::fromUtf8(p.readAllStandardError());
    }
    return status;
}

QString tst_results::table(const QString &file)
{
    return QString::fromUtf8(TestSite::readFile(file))
        .replace(QRegularExpression("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+]00:00"), "T")
        .replace(QRegularExpression("quelvan_(\\w+)_[0-9-]{10}_[0-9-]{8}(-2)?(_[0-9a-f]{16})?"),
                 "\\1")
        .replace(QRegularExpression("\\b[0-9a-f]{16}\\b"), "id")
        .replace("\r\n", "\n");
}

void tst_results::study_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // what --expect finds; with status 2 the error
    const QString missing = "no complete run: P5: 1 run(s), none complete\n"
                            "no complete run: P8: no run\nnot on the list: X9\n"
                            "6 of 8 expected participant(s) have a complete run\n";
    const QString set = work.path() + "/set-";
    QTest::newRow("a participant's results folder, with the study's codes")
        << QStringList{"--expect", "codes.txt", data, set + "data"} << 1 << missing;
    QTest::newRow("the lab's store, run ids in the names")
        << QStringList{"--expect=codes.txt", store, set + "store"} << 1 << missing;
    QTest::newRow("the last complete run counts")
        << QStringList{"--take", "last", data, set + "last"} << 0 << QString();
    auto refused = [](const char *name, const QStringList &args, const QString &why) {
        QTest::newRow(name) << args << 2 << why;
    };
    refused("no folders", {}, "name the folder of runs and the folder to write (see --help)");
    refused("a run folder that is not there", {"nowhere", "out"}, "nowhere is not a folder");
    refused("--take other", {"--take", "other", "results", "out"}, "--take must be first or last");
    refused("the data set into the runs' folder", {"results", "./results/"},
            "write the data set into a folder of its own, not into results");
    refused("a line of --expect that is no code",
            {"--expect", "results/notes.txt", "results", "out"},
            "--expect: not a participant code: P1 came late");
    refused("an unknown option", {"--bogus"}, "Unknown option 'bogus'.");
}

void tst_results::study()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, said);
    QString printed, errors;
    QCOMPARE(tool(args, &printed, &errors), status);
    QCOMPARE(ClickedStudy::snapshot(data) + ClickedStudy::snapshot(store), before); // read only
    if (status == 2) {
        QCOMPARE(errors, "quelvan-results: " + said + '\n');
        QVERIFY(printed.isEmpty() && !QFile::exists("out"));
        return;
    }
    const QString runs = args.at(args.size() - 2), out = args.last();
    // The store holds X9's run under both names: it is read once.
    const bool twice = runs == store;
    QCOMPARE(printed,
             "ran more than once: P3\nread 9 run(s) of 8 participant(s), 34 trial(s), from " + runs
                 + " (" + QString::number(4 + twice) + " file(s) skipped)\n" + said + "wrote " + out
                 + ": trials.csv, runs.csv, participants.csv, codebook.csv, accuracy.png\n");
    const QString cut = ": row 2 is cut off or has another number of fields than the header: a "
                        "half-written file\nquelvan-results: skipped ";
    QCOMPARE(errors.replace(
                 QRegularExpression("quelvan_X9_[0-9-]{10}_[0-9-]{8}(-2)?(_[0-9a-f]{16})?"), "X9"),
             "quelvan-results: skipped notes.txt: not a file of a quelvan run\n"
             "quelvan-results: skipped quelvan_P1_2020-01-01_00-00-00_series.csv"
                 + cut + "quelvan_P2_2020-01-01_00-00-00_trials.csv" + cut
                 + "quelvan_P4_2020-01-01_00-00-00_trials.csv: not a quelvan data file (no "
                   "column participant)\n"
                 + (twice ? "quelvan-results: skipped X9: the same run as X9\n" : ""));
    // P6's rows from the older version: today's columns, onset_utc from the onset.
    const QList<QByteArray> p6 =
        TestSite::readFile(data + '/' + QDir(data).entryList({"quelvan_P6_*_trials.csv"})[0])
            .split('\n');
    int n = 0;
    for (const QByteArray &line : TestSite::readFile(out + "/trials.csv").split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(',');
        QVERIFY(!line.startsWith("P6,")
                || (line.left(line.lastIndexOf(',')) + '\r' == p6.value(++n)
                    && f.last().endsWith("+00:00")
                    && QDateTime::fromString(f.last(), Qt::ISODateWithMs)
                           == QDateTime::fromString(f.at(18), Qt::ISODateWithMs)));
    }
    QCOMPARE(n, 4);
    // Who ran, how far, and the run that counts: P3's first complete one, or its last.
    const bool last = args.contains("last");
    QCOMPARE(table(out + "/runs.csv"),
             "participant,run_id,test_id,start_utc,series_done,series_total,trials,complete,"
             "graph,attempt,counts,stem\n"
             "P1,id,id,T,2,2,4,1,1,1,1,P1\nP2,id,id,T,2,2,4,1,1,1,1,P2\n"
             "P3,id,id,T,2,2,4,1,1,1,"
                 + QString::number(!last) + ",P3\nP3,id,id,T,2,2,4,1,1,2," + QString::number(last)
                 + ",P3\nP4,id,id,T,2,2,4,1,1,1,1,P4\nP5,id,id,T,1,2,2,0,0,1,0,P5\n"
                   "P6,id,id,T,2,2,4,1,1,1,1,P6\nP7,id,id,T,2,2,4,1,1,1,1,P7\n"
                   "X9,id,id,T,2,2,4,1,1,1,1,X9\n");
    // Accuracy, and the mean and median time of right answers only, from the run that counts.
    QCOMPARE(
        table(out + "/participants.csv"),
        QStringLiteral("participant,run_id,test_id,series,trials,right,accuracy,rt_right_mean_ms,"
                       "rt_right_median_ms\n"
                       "P1,id,id,1,2,1,0.5,300,300\nP1,id,id,2,2,2,1,375,375\n"
                       "P2,id,id,1,2,2,1,375,375\nP2,id,id,2,2,1,0.5,450,450\n"
                       "P3,id,id,1,2,1,0.5,450,450\nP3,id,id,2,2,1,0.5,600,600\n"
                       "P4,id,id,1,2,1,0.5,600,600\nP4,id,id,2,2,2,1,675,675\n"
                       "P6,id,id,1,2,1,0.5,750,750\nP6,id,id,2,2,1,0.5,900,900\n"
                       "P7,id,id,1,2,1,0.5,900,900\nP7,id,id,2,2,2,1,975,975\n"
                       "X9,id,id,1,2,1,0.5,1050,1050\nX9,id,id,2,2,1,0.5,1200,1200\n"));
    // The run that counts is the one named: its id in both files.
    const QStringList counted = QString::fromUtf8(TestSite::readFile(out + "/runs.csv"))
                                    .split("\r\n")
                                    .filter(QRegularExpression("^P3,.*,1,[^,]*$"));
    QCOMPARE(counted.size(), 1);
    QVERIFY(TestSite::readFile(out + "/participants.csv")
                .contains(("P3," + counted.first().section(',', 1, 1)).toUtf8()));
    // The mean of the participants' accuracy in bold, at series 1: 4 of 7.
    const QImage plot(out + "/accuracy.png");
    QCOMPARE(plot.pixel(accuracyPlot::at(1, 2, 4.0 / 7)), qRgb(0, 0, 0));
    QCOMPARE(plot.size(), QSize(accuracyPlot::width, accuracyPlot::height));
}

void tst_results::columns_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("book"); // codebook::File; -1: docs/data.md
    const QString run = data + '/' + QDir(data).entryList({"quelvan_P1_20*_trials.csv"}).value(0);
    QTest::newRow("_trials.csv, as a run writes it") << run << int(codebook::RunTrials);
    QTest::newRow("_series.csv, as a run writes it")
        << run.chopped(10) + "series.csv" << int(codebook::RunSeries);
    for (const codebook::File file :
         {codebook::Trials, codebook::Runs, codebook::Participants, codebook::Codebook})
        QTest::newRow(qPrintable(codebook::fileName(file)))
            << codebook::fileName(file) << int(file);
    QTest::newRow("docs/data.md's tables") << QUELVAN_SOURCE_DIR "/docs/data.md" << -1;
}

void tst_results::columns()
{
    // Each file's header is the codebook's, and each row as wide: a column added without its
    // entry, or an entry without its column, is found.
    QFETCH(QString, file);
    QFETCH(int, book);
    if (book < 0) {
        const QString doc = QString::fromUtf8( // --codebook-markdown
            TestSite::readFile(TestSite::builtProgram(file.toUtf8().constData())));
        for (const codebook::File f : codebook::files())
            QVERIFY2(doc.contains(codebook::markdown(f)), qPrintable(codebook::fileName(f)));
        return;
    }
    const QByteArray bytes = TestSite::readFile(file.contains('/') ? file : dataSet() + '/' + file);
    QList<QByteArray> fields;
    int pos = 0, rows = 0;
    QVERIFY(csvRow::read(bytes, &pos, &fields));
    QCOMPARE(QString::fromUtf8(fields.join(',')), codebook::names(codebook::File(book)).join(','));
    const int width = fields.size();
    for (; pos < bytes.size(); ++rows)
        QVERIFY2(csvRow::read(bytes, &pos, &fields) && fields.size() == width,
                 qPrintable(QString::number(rows)));
    QVERIFY(rows > 0);
}

void tst_results::readers_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args"); // the data files follow
    QTest::newRow("pandas") << "python3"
                            << QStringList{"-c",
                                           "import sys, pandas as pd\n"
                                           "for f in sys.argv[1:]:\n"
                                           "    t = pd.read_csv(f)\n"
                                           "    print(len(t), len(t.columns))\n"
                                           "    for c in {'start_utc', 'onset_utc'} & set(t):\n"
                                           "        print(c, pd.to_datetime(t[c], utc=True)"
                                           ".isna().sum())\n"};
    QTest::newRow("R") << "Rscript"
                       << QStringList{"-e",
                                      "for (f in commandArgs(TRUE)) {\n"
                                      "  t <- read.csv(f)\n"
                                      "  cat(nrow(t), ncol(t)); cat('\\n')\n"
                                      "  for (c in intersect(c('start_utc', 'onset_utc'), "
                                      "names(t))) { cat(c, sum(is.na(as.POSIXct(t[[c]], "
                                      "'UTC', format = '%Y-%m-%dT%H:%M:%OS')))); cat('\\n') }\n"
                                      "}"};
}

void tst_results::readers()
{
    // Their plain readers take every file, and every time in UTC (R's %z takes no +hh:mm).
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    const QString found = QStandardPaths::findExecutable(program, {"/usr/bin"}); // Debian's
    if (found.isEmpty()
        || (program == "python3" && QProcess::execute(found, {"-c", "import pandas"})))
        QSKIP(program == "python3" ? "pandas is not installed (Debian: python3-pandas)"
                                   : "R is not installed (Debian: r-base-core)");
    const QString set = dataSet();
    const QString run = data + '/' + QDir(data).entryList({"quelvan_P1_20*_trials.csv"}).value(0);
    QProcess reader;
    reader.start(found, args
                            + QStringList{set + "/trials.csv", set + "/runs.csv",
                                          set + "/participants.csv", set + "/codebook.csv", run,
                                          run.chopped(10) + "series.csv"});
    QVERIFY(reader.waitForFinished(120000));
    const int book = studyFiles::codebookRows().size();
    QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()).remove('\r'),
             QString("34 26\nonset_utc 0\n9 12\nstart_utc 0\n14 9\n%1 5\n4 26\nonset_utc 0\n2 11\n")
                 .arg(book));
}

QTEST_MAIN(tst_results)
#include "tst_results.moc"
