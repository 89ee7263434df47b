#include "results/codebook.h"

namespace {
using column = codebook::column;

const QList<column> runTrials{
    {"participant", "text", "", "the participant's code, as typed"},
    {"run_start", "time", "", "the press of the download button: local time with its offset"},
    {"server", "text", "", "the test server's address"},
    {"series", "integer", "", "the series, from 1"},
    {"slide_in_series", "integer", "", "the slide's place in its series, from 1"},
    {"slide", "integer", "", "the slide's place among the slides of the test text, from 1"},
    {"sample", "text", "", "the sample's picture name, value1_value2"},
    {"response", "integer", "",
     "the button pressed: 0 the sample in the middle, 1 left, 2 right, 3 top, 4 the \"fail\" "
     "picture below; empty after a time-out"},
    {"response_picture", "text", "",
     "the picture on the pressed button (fail for button 4); empty after a time-out"},
    {"correct", "0 or 1", "", "1 when the answer was right"},
    {"timed_out", "0 or 1", "", "1 when the slide ended without an answer"},
    {"rt_ms", "integer", "ms",
     "from the slide's start to the click, or the slide's measured length after a time-out"},
    {"slide_time_ms", "integer", "ms", "the slide's time limit"},
    {"choice_1", "text", "", "the picture name of the variant behind button 1"},
    {"choice_2", "text", "", "the picture name of the variant behind button 2"},
    {"choice_3", "text", "", "the picture name of the variant behind button 3"},
    {"choice_4", "text", "",
     "the picture name of the variant behind button 4, which shows fail; the variant decides "
     "whether it is right"},
    {"right_buttons", "list", "",
     "the right buttons among 1 to 4, separated by ;, empty when none is"},
    {"onset", "time", "",
     "the slide's start: local time with milliseconds and its offset, read with the clock that "
     "times the slide"},
    {"quelvan_version", "text", "", "the program's version (quelvan --version)"},
    {"run_id", "text", "", "16 random hexadecimal digits, the same in every row of one run"},
    {"press_ms", "integer", "ms",
     "from the slide's start to the press of the answering button; empty after a time-out"},
    {"input", "text", "",
     "how the answer came: mouse (a click or a touch) or key (Space); empty after a time-out"},
    {"shown_ms", "integer", "ms",
     "how long the slide was on screen: up to the click, or the whole slide after a time-out"},
    {"test_id", "text", "",
     "which test was shown: 16 hexadecimal digits over every document and picture as downloaded"},
    {"onset_utc", "time", "", "onset, the same moment in UTC (+00:00)"},
};

const QList<column> runSeries{
    {"participant", "text", "", "the participant's code, as typed"},
    {"run_start", "time", "", "the press of the download button: local time with its offset"},
    {"series", "integer", "", "the series, from 1"},
    {"slides", "integer", "", "the slides shown in the series"},
    {"right", "integer", "", "the right answers in the series"},
    {"score_percent", "integer", "%", "the score the result screen showed"},
    {"mean_rt_ms", "integer", "ms",
     "the mean rt_ms of the answered slides, right or not; empty when none was answered"},
    {"series_total", "integer", "", "the number of series the run plays"},
    {"quelvan_version", "text", "", "the program's version (quelvan --version)"},
    {"run_id", "text", "", "16 random hexadecimal digits, the same in every row of one run"},
    {"test_id", "text", "", "which test was shown, as in _trials.csv"},
};

const QList<column> runs{
    {"participant", "text", "", "the participant's code"},
    {"run_id", "text", "", "the run's id"},
    {"test_id", "text", "", "which test the run showed"},
    {"start_utc", "time", "", "run_start in UTC (+00:00)"},
    {"series_done", "integer", "", "the series the run finished"},
    {"series_total", "integer", "", "the series the run plays"},
    {"trials", "integer", "", "the rows of the run's trials file: the slides it showed"},
    {"complete", "0 or 1", "", "1 when every series of the run was finished"},
    {"graph", "0 or 1", "", "1 when the run's final graph is there"},
    {"attempt", "integer", "", "the participant's runs counted from 1 in order of start"},
    {"counts", "0 or 1", "",
     "1 for the participant's run that counts: the first complete one (--take last: the last)"},
    {"stem", "text", "", "the name of the run's files without _trials.csv"},
};

const QList<column> participants{
    {"participant", "text", "", "the participant's code"},
    {"run_id", "text", "", "the run that counts"},
    {"test_id", "text", "", "which test that run showed"},
    {"series", "integer", "", "the series, from 1"},
    {"trials", "integer", "", "the slides shown in the series"},
    {"right", "integer", "", "the right answers in the series"},
    {"accuracy", "number", "proportion", "right divided by trials, from 0 to 1"},
    {"rt_right_mean_ms", "number", "ms", "the mean rt_ms of the right answers; empty with none"},
    {"rt_right_median_ms", "number", "ms",
     "the median rt_ms of the right answers; empty with none"},
};

const QList<column> book{
    {"file", "text", "", "the file that holds the column"},
    {"column", "text", "", "the column's name in the file's header"},
    {"type", "text", "", "text, integer, number, 0 or 1, time (ISO 8601 with +hh:mm) or list"},
    {"unit", "text", "", "ms, %, proportion, or empty"},
    {"meaning", "text", "", "what the column holds"},
};
} // namespace

const QList<codebook::File> &codebook::files()
{
    static const QList<File> all{RunTrials, RunSeries, Trials, Runs, Participants, Codebook};
    return all;
}

QString codebook::fileName(File file)
{
    static const char *const names[] = {"_trials.csv", "_series.csv",      "trials.csv",
                                        "runs.csv",    "participants.csv", "codebook.csv"};
    return QLatin1String(names[file]);
}

const QList<codebook::column> &codebook::columns(File file)
{
    switch (file) {
    case RunTrials:
    case Trials: // every trial of every run, as the runs hold them
        return runTrials;
    case RunSeries: return runSeries;
    case Runs: return runs;
    case Participants: return participants;
    case Codebook: break;
    }
    return book;
}

QStringList codebook::names(File file)
{
    QStringList result;
    for (const column &c : columns(file))
        result.append(QLatin1String(c.name));
    return result;
}

QString codebook::markdown(File file)
{
    QString table = QStringLiteral("| column | type | unit | meaning |\n|---|---|---|---|\n");
    for (const column &c : columns(file))
        table += QStringLiteral("| `%1` | %2 | %3 | %4 |\n")
                     .arg(QLatin1String(c.name), QLatin1String(c.type), QLatin1String(c.unit),
                          QString::fromUtf8(c.meaning));
    return table;
}
