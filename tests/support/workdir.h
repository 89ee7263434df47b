#ifndef WORKDIR_H
#define WORKDIR_H

#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder as the working directory for as long as the object lives;
// quelvan keeps its pictures in img/ below the working directory.
class WorkDir
{
public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir &) = delete;
    WorkDir &operator=(const WorkDir &) = delete;

    bool isValid() const { return valid; }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    QString previous;
    bool valid = false;
};

#endif // WORKDIR_H
