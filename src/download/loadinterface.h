#ifndef LOADINTERFACE_H
#define LOADINTERFACE_H

#include <QDateTime>
#include <QStringList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QLockFile;
class QPushButton;
class downloadQueue;
class loading;
class participantEntry;
class proxyConf;
struct appOptions;
class iconCache;

// The first screen: fetches the seven documents of a test, then every picture, one
// request at a time, each issued from the handling of the previous answer.
class loadInterface : public QWidget
{
    Q_OBJECT
public:
    explicit loadInterface(QWidget *parent = nullptr);
    explicit loadInterface(const appOptions &options, QWidget *parent = nullptr);
    ~loadInterface() override;

    void loadNext();
    bool makeParList();
    void makeLoadingFile(QString name);
    void loadNextFile();

    loading *loader;
    QLabel *statusLabel;
    QPushButton *getButton;
    QCheckBox *proxyCheck;
    proxyConf *pconf;
    bool useProxy = false;
    int step = 0;
    QStringList par1List;
    QStringList par2List;
    QStringList fileList;
    QString instrText;
    QString tmText;
    QString tsInSeriesText;
    QString totalSeriesText;
    QString pauseSeriesText;
    QString testText;
    int fileIndex = 0;

    // Scheme, host and optional port of the test server; every request URL is this
    // followed by a path.
    QString serverUrl;
    // Where the pictures go; made when the button is pressed.
    QString pictureDir;
    // With a results folder, the participant's code (from the options or typed into
    // participantEdit, shown only then) and the moment the button started the run.
    QString resultsDir;
    QString participant;
    QLineEdit *participantEdit = nullptr;
    participantEntry *entry = nullptr;
    QDateTime runStart;
    // Where each stored picture is decoded at icon size; none when null.
    iconCache *icons = nullptr;
    // The parallel download with retries, when the options ask for it; null otherwise.
    downloadQueue *queue = nullptr;
    // Held while this screen downloads into the picture folder; the window takes it over
    // once the download is complete, and keeps it for its test.
    std::unique_ptr<QLockFile> folderLock;

signals:
    void endLoading();

public slots:
    void startInit();
    void startLoading();
    void finishLoading();
    void pconfEnable();

private:
    void beginPictures();
    void queuedDocument(int index, const QString &text);
    // Keeps document `index`, in request order, for the chain and the queue alike; after the
    // last one, makes the picture list. True once there is a list to fetch.
    bool takeDocument(int index, const QString &text);
    // Every picture is in: the instructions may come.
    void complete();
    void decodeIcon(const QString &name, const QImage &decoded);
    // Requests serverUrl + path and shows the step, or "сервер занят" when the fetcher
    // refuses; true when the request went out.
    bool request(const QString &path);
};

#endif // LOADINTERFACE_H
