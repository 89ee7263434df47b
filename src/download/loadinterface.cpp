#include "loadinterface.h"

#include "loading.h"
#include "logcategories.h"
#include "proxyconf.h"
#include "testparser.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef QUELVAN_SERVER_URL
#define QUELVAN_SERVER_URL "http://127.0.0.1:8080"
#endif

namespace {
// Request paths of the document steps 1 to 7, in request order.
const char *const documentPaths[] = {
    "/quelvan/test.php",         "/quelvan/instr.php",       "/quelvan/tm.php",
    "/quelvan/ts_in_series.php", "/quelvan/totalseries.php", "/quelvan/pauseseries.php",
    "/quelvan/pars.php",
};
} // namespace

loadInterface::loadInterface(QWidget *parent)
    : QWidget(parent),
      loader(new loading(this)),
      statusLabel(new QLabel(this)),
      getButton(new QPushButton(QStringLiteral("Получить тест с сервера"), this)),
      proxyCheck(new QCheckBox(QStringLiteral("Использовать Proxy"), this)),
      pconf(new proxyConf(this)),
      serverUrl(QStringLiteral(QUELVAN_SERVER_URL))
{
    proxyCheck->setChecked(false);
    pconf->setEnabled(false);
    useProxy = false;

    auto *box = new QVBoxLayout(this);
    box->addWidget(statusLabel);
    box->addWidget(getButton);
    box->addWidget(proxyCheck);
    box->addWidget(pconf);

    connect(proxyCheck, &QCheckBox::clicked, this, &loadInterface::pconfEnable);
    connect(getButton, &QPushButton::clicked, this, &loadInterface::startInit);
    connect(loader, &loading::start, this, &loadInterface::startLoading);
    connect(loader, &loading::finish, this, &loadInterface::finishLoading);
}

void loadInterface::startInit()
{
    if (useProxy) {
        pconf->makeProxy();
        loader->manager->setProxy(pconf->proxy);
    }

    const QString dir = QDir::currentPath() + QLatin1String("/img");
    if (!QDir(dir).exists() && !QDir().mkdir(dir)) {
        statusLabel->setText(QStringLiteral("Не могу создать вспомогательный каталог"));
        return;
    }

    step = 0;
    getButton->setEnabled(false);
    proxyCheck->setEnabled(false);
    loadNext();
}

void loadInterface::loadNext()
{
    if (loader->netError || loader->fileError)
        return;
    if (loader->busy) {
        statusLabel->setText(QStringLiteral("сервер занят"));
        return;
    }
    ++step;
    const QString url = serverUrl + QLatin1String(documentPaths[step - 1]);
    if (loader->load(url)) {
        statusLabel->setText(loader->statusText);
    } else {
        --step;
        statusLabel->setText(QStringLiteral("сервер занят"));
    }
}

void loadInterface::startLoading()
{
    qCDebug(lcDownload) << "startLoading";
    statusLabel->setText(loader->statusText);
}

void loadInterface::finishLoading()
{
    statusLabel->setText(loader->statusText);

    switch (step) {
    case 1: testText = loader->replyText; break;
    case 2: instrText = loader->replyText; break;
    case 3: tmText = loader->replyText; break;
    case 4: tsInSeriesText = loader->replyText; break;
    case 5: totalSeriesText = loader->replyText; break;
    case 6: pauseSeriesText = loader->replyText; break;
    default: break;
    }

    if (step <= 6) {
        loadNext();
        return;
    }
    if (step == 7) {
        // The error flags are not consulted here: a failed pars answer has an empty
        // text, which fails as a list like any other unusable body.
        if (!makeParList()) {
            statusLabel->setText(QStringLiteral("Не получилось создать список требуемых ресурсов"));
            return;
        }
        beginPictures();
        if (step != 8)
            return;
    }
    if (step == 8 && !loader->netError && !loader->fileError)
        loadNextFile();
}

void loadInterface::beginPictures()
{
    const QStringList names = testParser::pictureNames(par1List, par2List);
    if (names.isEmpty()) {
        qCWarning(lcDownload) << "too many pictures:" << par1List.size() << "x" << par2List.size();
        statusLabel->setText(QStringLiteral("Не получилось создать список требуемых ресурсов"));
        return;
    }

    // A value that makes a name leave the picture directory makes the list unusable:
    // nothing is requested and nothing is written.
    for (const QString &name : qAsConst(names)) {
        if (!loading::isSafePictureName(name)) {
            qCWarning(lcDownload) << "unsafe picture name" << name;
            statusLabel->setText(QStringLiteral("Не получилось создать список требуемых ресурсов"));
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
    if (!testParser::parseValueLists(loader->replyText, &par1List, &par2List))
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
        emit endLoading();
    }
}

void loadInterface::makeLoadingFile(QString name)
{
    if (loader->netError || loader->fileError)
        return;
    if (loader->busy) {
        statusLabel->setText(QStringLiteral("сервер занят"));
        return;
    }
    loader->fileMode = true;
    loader->fileName = name;
    const QString url = serverUrl + QLatin1String("/quelvan/img/") + name + QLatin1String(".jpg");
    qCDebug(lcDownload) << "URL=" << url;
    if (loader->load(url))
        statusLabel->setText(loader->statusText);
    else
        statusLabel->setText(QStringLiteral("сервер занят"));
}

void loadInterface::pconfEnable()
{
    useProxy = !useProxy;
    pconf->setEnabled(useProxy);
}
