#ifndef PICTURESTORE_H
#define PICTURESTORE_H

#include <QByteArray>
#include <QString>

// Stores downloaded pictures so that a failed or short write never damages an older file of
// the same name: the picture is written beside its final name and then swapped into place.
//
// Every run downloads the same pictures again, so the swap exchanges the two files
// (renameat2 with RENAME_EXCHANGE where the file system has it): the older picture ends up
// in the spare file, whose inode the next picture reuses. On ext4 creating and deleting an
// inode per picture costs more than the download itself. No fsync: the pictures are a cache.
class pictureStore
{
public:
    pictureStore() = default;
    ~pictureStore();
    pictureStore(const pictureStore &) = delete;
    pictureStore &operator=(const pictureStore &) = delete;

    // Writes `data` as the file `path`; false, with any older file untouched, on failure.
    bool store(const QString &path, const QByteArray &data);
    // Removes the spare file, if there is one.
    void discardSpare();

private:
    QString spare; // a file beside the pictures holding an older picture, or empty
};

#endif // PICTURESTORE_H
