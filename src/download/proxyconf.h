#ifndef PROXYCONF_H
#define PROXYCONF_H

#include <QNetworkProxy>
#include <QWidget>

class QLabel;
class QLineEdit;

// The HTTP proxy form of the download screen. Nothing here is stored between runs.
class proxyConf : public QWidget
{
    Q_OBJECT
public:
    explicit proxyConf(QWidget *parent = nullptr);

    void makeProxy();

    QNetworkProxy proxy;
    QLabel *hostLabel;
    QLabel *portLabel;
    QLabel *userLabel;
    QLabel *passwordLabel;
    QLineEdit *hostEdit;
    QLineEdit *portEdit;
    QLineEdit *userEdit;
    QLineEdit *passwordEdit;
};

#endif // PROXYCONF_H
