#ifndef UPLOADLINE_H
#define UPLOADLINE_H

#include "results/resultsuploader.h"

#include <QLabel>

// The line under the graph that tells the participant where the run's results are: sent to
// the lab, on their way, or kept on this computer only, in a folder it names.
class uploadLine : public QLabel
{
    Q_OBJECT
public:
    uploadLine(resultsUploader *uploader, const QString &folder, QWidget *parent = nullptr);

    static QString text(resultsUploader::State state, const QString &folder);
};

#endif // UPLOADLINE_H
