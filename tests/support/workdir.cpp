#include "support/workdir.h"

#include <QDir>

WorkDir::WorkDir() : previous(QDir::currentPath())
{
    valid = dir.isValid() && QDir::setCurrent(dir.path());
}

WorkDir::~WorkDir()
{
    QDir::setCurrent(previous);
}
