#include "download/loadinterface.h"

#include "app/appoptions.h"
#include "app/foldercheck.h"
#include "app/logcategories.h"
#include "download/loading.h"
#include "download/parsparser.h"
#include "download/picturefolderlock.h"
#include "download/proxyconf.h"
#include "download/serverlayout.h"
#include "results/resultswriter.h"
#include "test/iconcache.h"
#include "test/slidebutton.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {
const QString busyText = QStringLiteral("сервер занят");
const QString listFailureText = QStringLiteral("Не получилось создать список требуемых ресурсов");

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
      getButton(new QPushButton(QStringLiteral("Получить тест с сервера"), this)),
      proxyCheck(new QCheckBox(QStringLiteral("Использовать Proxy"), this)),
      pconf(new proxyConf(this)),
      serverUrl(options.serverUrl),
      pictureDir(options.pictureDir),
      resultsDir(options.resultsDir),
      participant(options.participant)
{
    proxyCheck->setChecked(false);
    pconf->setEnabled(false);
    useProxy = false;

    auto *box = new QVBoxLayout(this);
    box->addWidget(statusLabel);
    if (!resultsDir.isEmpty() && participant.isEmpty()) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("Код участника:"), this));
        participantEdit = new QLineEdit(this);
        participantEdit->setMaxLength(64);
        row->addWidget(participantEdit);
        box->addLayout(row);
        connect(participantEdit, &QLineEdit::returnPressed, this, &loadInterface::startInit);
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
}

bool loadInterface::readyForResults()
{
    if (participantEdit)
        participant = participantEdit->text().trimmed();
    if (participant.isEmpty()) {
        statusLabel->setText(QStringLiteral("Введите код участника"));
        return false;
    }
    if (!resultsWriter::isParticipantCode(participant)) {
        statusLabel->setText(QStringLiteral("Недопустимый код участника «%1»: нужны от 1 до 64 "
                                            "букв, цифр, «-» или «_»")
                                 .arg(participant));
        return false;
    }
    const QString why = folderCheck::problem(resultsDir);
    if (!why.isEmpty()) {
        qCWarning(lcResults) << "cannot write results to" << resultsDir << ":" << why;
        statusLabel->setText(
            QStringLiteral("Не удаётся записать результаты в папку %1").arg(resultsDir));
        return false;
    }
    runStart = QDateTime::currentDateTime();
    if (participantEdit)
        participantEdit->setEnabled(false);
    return true;
}

void loadInterface::startInit()
{
    if (!resultsDir.isEmpty() && !readyForResults())
        return;
    if (useProxy) {
        pconf->makeProxy();
        loader->manager->setProxy(pconf->proxy);
    }

    if (!QDir().mkpath(pictureDir)) {
        qCWarning(lcDownload) << "cannot make the picture folder" << pictureDir << ":"
                              << folderCheck::problem(pictureDir);
        statusLabel->setText(QStringLiteral("Не могу создать вспомогательный каталог"));
        return;
    }
    // One download at a time in a folder: two windows would remove each other's part files
    // and replace pictures the other is writing or showing. A folder that takes no lock file
    // takes no picture either; that failure comes with the first picture.
    if (pictureFolderLock::take(pictureDir, &folderLock) == pictureFolderLock::InUse) {
        qCWarning(lcDownload) << "picture folder in use by another quelvan window:" << pictureDir;
        statusLabel->setText(
            QStringLiteral("Каталог с картинками занят другим окном quelvan: %1").arg(pictureDir));
        return;
    }

    loader->pictureDir = pictureDir;
    step = 0;
    getButton->setEnabled(false);
    proxyCheck->setEnabled(false);
    loadNext();
}

bool loadInterface::request(const QString &path)
{
    if (!loader->load(serverUrl + path)) {
        statusLabel->setText(busyText);
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
        statusLabel->setText(busyText);
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

    if (step >= 1 && step < serverLayout::documentCount)
        this->*stepText[step - 1] = loader->replyText;

    if (step < serverLayout::documentCount) {
        loadNext();
        return;
    }
    if (step == serverLayout::documentCount) {
        // The error flags are not consulted here: a failed pars answer has an empty
        // text, which fails as a list like any other unusable body.
        if (!makeParList()) {
            statusLabel->setText(listFailureText);
            return;
        }
        beginPictures();
        if (step != serverLayout::documentCount + 1)
            return;
    }
    if (step == serverLayout::documentCount + 1 && !loader->netError && !loader->fileError) {
        const QString stored = loader->fileMode ? loader->fileName : QString();
        loadNextFile();
        // Decoded while the next picture is on its way, so that no slide waits for it.
        if (icons && !stored.isNull())
            icons->icon(serverLayout::pictureFile(pictureDir, stored), slideButton::iconSide,
                        devicePixelRatioF());
    }
}

void loadInterface::beginPictures()
{
    const QStringList names = parsParser::pictureNames(par1List, par2List);
    if (names.isEmpty()) {
        qCWarning(lcDownload) << "too many pictures:" << par1List.size() << "x" << par2List.size();
        statusLabel->setText(listFailureText);
        return;
    }

    // A value that makes a name leave the picture directory makes the list unusable:
    // nothing is requested and nothing is written.
    for (const QString &name : qAsConst(names)) {
        if (!serverLayout::isSafePictureName(name)) {
            qCWarning(lcDownload) << "unsafe picture name" << name;
            statusLabel->setText(listFailureText);
            return;
        }
    }

    fileList = names;
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
        statusLabel->setText(QStringLiteral("Загрузка завершена"));
        qCDebug(lcDownload) << "download complete";
        emit endLoading();
    }
}

void loadInterface::makeLoadingFile(QString name)
{
    if (loader->netError || loader->fileError)
        return;
    if (loader->busy) {
        statusLabel->setText(busyText);
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
