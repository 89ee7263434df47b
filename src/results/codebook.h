#ifndef CODEBOOK_H
#define CODEBOOK_H

#include <QList>
#include <QString>
#include <QStringList>

// Every column of every data file, in one place: the program and quelvan-results take their
// headers from here, quelvan-results writes it as codebook.csv, and docs/data.md's tables
// are written from it (a check in the suite compares them).
class codebook
{
public:
    enum File { RunTrials, RunSeries, Trials, Runs, Participants, Codebook };
    struct column
    {
        const char *name;
        const char *type; // text, integer, number, 0 or 1, time, list
        const char *unit;
        const char *meaning;
    };
    static const QList<File> &files();
    // "_trials.csv" for the run's own files, "trials.csv" for quelvan-results' ones.
    static QString fileName(File file);
    static const QList<column> &columns(File file);
    static QStringList names(File file);
    // The file's columns as the Markdown table of docs/data.md.
    static QString markdown(File file);
};

#endif // CODEBOOK_H
