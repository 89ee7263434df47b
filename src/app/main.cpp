#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int code = 0;
    {
        MainWindow w;
        w.show();
        code = app.exec();
    }
    return code;
}
