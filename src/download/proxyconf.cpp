#include "download/proxyconf.h"

#include "core/logfile.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

proxyConf::proxyConf(QWidget *parent)
    : QWidget(parent),
      //: Proxy form: the proxy's host name or address.
      hostLabel(new QLabel(QCoreApplication::translate("proxyConf", "Имя proxy:"), this)),
      //: Proxy form: the proxy's port number.
      portLabel(new QLabel(QCoreApplication::translate("proxyConf", "Порт:"), this)),
      //: Proxy form: the user name the proxy asks for.
      userLabel(new QLabel(QCoreApplication::translate("proxyConf", "Имя пользователя:"), this)),
      //: Proxy form: the password the proxy asks for.
      passwordLabel(new QLabel(QCoreApplication::translate("proxyConf", "Пароль:"), this)),
      hostEdit(new QLineEdit(this)),
      portEdit(new QLineEdit(QStringLiteral("8080"), this)),
      userEdit(new QLineEdit(this)),
      passwordEdit(new QLineEdit(this))
{
    passwordEdit->setEchoMode(QLineEdit::Password);

    auto *grid = new QGridLayout(this);
    const QList<QLabel *> captions{hostLabel, portLabel, userLabel, passwordLabel};
    const QList<QLineEdit *> fields{hostEdit, portEdit, userEdit, passwordEdit};
    for (int row = 0; row < captions.size(); ++row) {
        captions.at(row)->setTextFormat(Qt::PlainText);
        grid->addWidget(captions.at(row), row, 0, Qt::AlignRight);
        grid->addWidget(fields.at(row), row, 1, Qt::AlignLeft);
    }
}

void proxyConf::makeProxy()
{
    proxy.setType(QNetworkProxy::HttpProxy);
    proxy.setHostName(hostEdit->text());
    // Not a number gives 0; an out-of-range number keeps its low 16 bits.
    proxy.setPort(quint16(portEdit->text().toInt()));
    proxy.setUser(userEdit->text());
    proxy.setPassword(passwordEdit->text());
    logFile::hide(passwordEdit->text());
    QNetworkProxy::setApplicationProxy(proxy);
}
