#include "download/loadinterface.h"

#include "core/appoptions.h"
#include "core/logcategories.h"
#include "core/serverlayout.h"
#include "download/downloadqueue.h"
#include "download/loading.h"
#include "download/parsparser.h"
#include "download/participantentry.h"
#include "download/picturefolderlock.h"
#include "download/proxyconf.h"
#include "pictures/iconcache.h"
#include "pictures/picturedecoder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {
// Translated when shown: the translator is installed after static initialisation.
QString busyText()
{
    //: Download status: the server answered that it is busy (status 503).
    return QCoreApplication::translate("loadInterface", "сервер занят");
}

QString listFailureText()
{
    //: Download status: the test server's list of pictures cannot be read.
    return QCoreApplication::translate("loadInterface",
                                       "Не получилось создать список требуемых ресурсов");
}

// The member that receives the text of each document step, in request order; the pars
// document of the last step is read at once and not kept.
QString loadInterface::*const stepText[serverLayout::documentCount] = {
    &loadInterface::testText,
    &loadInterface::instrText,
    &loadInterface::tmText,
    &loadInterface::tsInSeriesText,
    &loadInterface::totalSeriesText,
    &loadInterface::pauseSeriesText,
    nullptr,
};
} // namespace

loadInterface::loadInterface(QWidget *parent) : loadInterface(appOptions::defaults(), parent) {}

loadInterface::loadInterface(const appOptions &options, QWidget *parent)
    : QWidget(parent),
      loader(new loading(this)),
      statusLabel(new QLabel(this)),
      getButton(new QPushButton(
          //: Button of the first screen: download the test from the server.
          QCoreApplication::translate("loadInterface", "Получить тест с сервера"), this)),
      proxyCheck(
          //: Check box of the first screen: reach the server through an HTTP proxy.
          new QCheckBox(QCoreApplication::translate("loadInterface", "Использовать Proxy"), this)),
      pconf(new proxyConf(this)),
      serverUrl(options.serverUrl),
      pictureDir(options.pictureDir),
      resultsDir(options.resultsDir),
      participant(options.participant)
{
    // Texts that carry a server's words (a host, a picture name) are never read as markup.
    statusLabel->setTextFormat(Qt::PlainText);
    proxyCheck->setChecked(false);
    pconf->setEnabled(false);
    useProxy = false;

    auto *box = new QVBoxLayout(this);
    box->addWidget(statusLabel);
    if (!resultsDir.isEmpty()) {
        entry = new participantEntry(participant, resultsDir, this);
        participantEdit = entry->edit;
        box->addWidget(entry);
        connect(entry, &participantEntry::entered, this, &loadInterface::startInit);
    }
    box->addWidget(getButton);
    box->addWidget(proxyCheck);
    box->addWidget(pconf);

    // Enter or Space starts the download without a click.
    getButton->setAutoDefault(true);
    if (participantEdit)
        participantEdit->setFocus(); // the code first; Enter in it starts the download
    else
        getButton->setFocus();

    connect(proxyCheck, &QCheckBox::clicked, this, &loadInterface::pconfEnable);
    connect(getButton, &QPushButton::clicked, this, &loadInterface::startInit);
    connect(loader, &loading::start, this, &loadInterface::startLoading);
    connect(loader, &loading::finish, this, &loadInterface::finishLoading);

    // What a lab may ask for participants at home; without it, the chain of single requests.
    if (options.connections > 1 || options.retries > 0) {
        queue = new downloadQueue(loader->manager, options.connections, options.retries, this);
        connect(queue, &downloadQueue::status, statusLabel, &QLabel::setText);
        connect(queue, &downloadQueue::document, this, &loadInterface::queuedDocument);
        connect(queue, &downloadQueue::taken, this, [this](int item, const QByteArray &digest) {
            loader->identity.addDigest(item, digest);
        });
        connect(queue, &downloadQueue::pictureStored, this, &loadInterface::decodeIcon);
        connect(queue, &downloadQueue::finished, this, &loadInterface::complete);
        connect(queue, &downloadQueue::failed, this, [this](const QString &text) {
            statusLabel->setText(text);
            folderLock.reset();
        });
    }
}

void loadInterface::startInit()
{
    if (entry) {
        const QString refusal = entry->refusal(&participant);
        if (!refusal.isEmpty())
            return statusLabel->setText(refusal);
        runStart = QDateTime::currentDateTime();
    }
    if (useProxy) {
        pconf->makeProxy();
        loader->manager->setProxy(pconf->proxy);
    }

    // One download at a time in a folder: two windows would remove each other's part files
    // and replace pictures the other is writing or showing.
    const QString refusal =
        pictureFolderLock::refusal(pictureFolderLock::take(pictureDir, &folderLock), pictureDir);
    if (!refusal.isEmpty())
        return statusLabel->setText(refusal);

    loader->pictureDir = pictureDir;
    step = 0;
    getButton->setEnabled(false);
    proxyCheck->setEnabled(false);
    if (queue) {
        queue->transferTimeout = loader->transferTimeout;
        queue->fetchDocuments(serverUrl);
        return;
    }
    loadNext();
}

void loadInterface::queuedDocument(int index, const QString &text)
{
    if (takeDocument(index, text))
        queue->fetchPictures(fileList, pictureDir);
    else if (index + 1 == serverLayout::documentCount)
        folderLock.reset(); // no usable list: the download is over
}

bool loadInterface::takeDocument(int index, const QString &text)
{
    if (index + 1 < serverLayout::documentCount) {
        this->*stepText[index] = text;
        return false;
    }
    loader->replyText = text;
    // The error flags are not consulted here: a failed pars answer has an empty text, which
    // fails as a list like any other unusable body.
    if (makeParList())
        beginPictures();
    else
        statusLabel->setText(listFailureText());
    return !fileList.isEmpty();
}

void loadInterface::complete()
{
    //: Download status: every document and picture has arrived.
    statusLabel->setText(QCoreApplication::translate("loadInterface", "Загрузка завершена"));
    qCDebug(lcDownload) << "download complete";
    emit endLoading();
    folderLock.reset(); // unless the window has taken it over for its test
}

void loadInterface::decodeIcon(const QString &name, const QImage &decoded)
{
    // Decoded while the next picture is on its way, so that no slide waits for it; the
    // download's check has decoded it already at a ratio of 1.
    const qreal dpr = devicePixelRatioF();
    if (icons)
        icons->icon(serverLayout::pictureFile(pictureDir, name), pictureDecoder::iconSide, dpr,
                    qFuzzyCompare(dpr, 1.0) ? decoded : QImage());
}

bool loadInterface::request(const QString &path)
{
    if (!loader->load(serverUrl + path)) {
        statusLabel->setText(busyText());
        return false;
    }
    statusLabel->setText(loader->statusText);
    return true;
}

void loadInterface::loadNext()
{
    if (loader->netError || loader->fileError)
        return;
    if (loader->busy) {
        statusLabel->setText(busyText());
        return;
    }
    ++step;
    if (!request(serverLayout::documentPath(step - 1)))
        --step;
}

void loadInterface::startLoading()
{
    qCDebug(lcDownload) << "startLoading";
    statusLabel->setText(loader->statusText);
}

loadInterface::~loadInterface() = default;

void loadInterface::finishLoading()
{
    // Once no request is under way, the download is over, done or failed.
    const auto release = qScopeGuard([this] {
        if (!loader->busy)
            folderLock.reset();
    });
    statusLabel->setText(loader->statusText);

    if (step <= serverLayout::documentCount && !takeDocument(step - 1, loader->replyText)) {
        if (step < serverLayout::documentCount)
            loadNext();
        return;
    }
    if (step == serverLayout::documentCount + 1 && !loader->netError && !loader->fileError) {
        // The next request leaves before the picture that arrived is decoded and stored, so
        // that the decode costs no round trip; the last one is stored before the end.
        const QString arrived = loader->fileMode ? loader->fileName : QString();
        const bool more = fileIndex < fileList.size();
        if (more)
            loadNextFile();
        if (!arrived.isNull() && !loader->storeHeld())
            return statusLabel->setText(loader->statusText);
        if (!arrived.isNull())
            decodeIcon(arrived, loader->lastPicture);
        if (!more)
            loadNextFile();
    }
}

void loadInterface::beginPictures()
{
    fileList = parsParser::usablePictureNames(par1List, par2List);
    if (fileList.isEmpty()) {
        statusLabel->setText(listFailureText());
        return;
    }
    ++step;
    fileIndex = 0;
}

bool loadInterface::makeParList()
{
    qCDebug(lcDownload) << loader->replyText;
    if (!parsParser::parseValueLists(loader->replyText, &par1List, &par2List))
        return false;
    qCDebug(lcDownload) << "par1=" << par1List << "par2=" << par2List;
    return true;
}

void loadInterface::loadNextFile()
{
    if (loader->netError || loader->fileError)
        return;
    if (fileIndex < fileList.size()) {
        makeLoadingFile(fileList.at(fileIndex));
        ++fileIndex;
    } else {
        complete();
    }
}

void loadInterface::makeLoadingFile(QString name)
{
    if (loader->netError || loader->fileError)
        return;
    if (loader->busy) {
        statusLabel->setText(busyText());
        return;
    }
    loader->fileMode = true;
    loader->fileName = name;
    const QString path = serverLayout::picturePath(name);
    qCDebug(lcDownload) << "URL=" << serverUrl + path;
    request(path);
}

void loadInterface::pconfEnable()
{
    useProxy = !useProxy;
    pconf->setEnabled(useProxy);
}
