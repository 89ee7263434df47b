#ifndef STUDYFILES_H
#define STUDYFILES_H

#include "results/codebook.h"

#include <QImage>
#include <QList>
#include <QStringList>

// The files quelvan-results writes into its output folder, each whole or not at all, under
// the header the codebook gives.
class studyFiles
{
public:
    // Writes folder/<file> with its header and `rows`; false with *problem when it cannot.
    static bool write(const QString &folder, codebook::File file, const QList<QStringList> &rows,
                      QString *problem);
    // A PNG picture, whole or not at all.
    static bool writePicture(const QString &path, const QImage &image, QString *problem);
    // The rows of codebook.csv: every column of every data file.
    static QList<QStringList> codebookRows();
};

#endif // STUDYFILES_H
