#include "results/runoutbox.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>

runOutbox::runOutbox(const QString &resultsDir, const QString &stem)
    : stem(stem),
      resultsDir(resultsDir)
{}

QString runOutbox::folder(const QString &resultsDir)
{
    return resultsDir + QLatin1String("/outbox");
}

QStringList runOutbox::stems(const QString &resultsDir)
{
    QStringList stems = QDir(folder(resultsDir)).entryList({"*.json"}, QDir::Files, QDir::Name);
    for (QString &s : stems)
        s.chop(5);
    return stems;
}

QStringList runOutbox::files() const
{
    return {stem + QLatin1String("_trials.csv"), stem + QLatin1String("_series.csv"),
            stem + QLatin1String("_graph.png")};
}

QString runOutbox::path(const QString &file) const
{
    return resultsDir + QLatin1Char('/') + file;
}

QString runOutbox::lockPath() const
{
    return folder(resultsDir) + QLatin1Char('/') + stem + QLatin1String(".lock");
}

QByteArray runOutbox::hash(const QString &file)
{
    const QFileInfo info(path(file));
    known &k = hashes[file];
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    if (k.size == info.size() && k.modified == modified && !k.hash.isEmpty())
        return k.hash;
    QFile f(path(file));
    QCryptographicHash sha(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !sha.addData(&f))
        return QByteArray();
    k = {info.size(), modified, sha.result().toHex()};
    return k.hash;
}

QStringList runOutbox::pending()
{
    QStringList left;
    for (const QString &file : files()) {
        if (!QFileInfo::exists(path(file)))
            continue;
        // One that cannot be read has no hash: it is never delivered, even when nothing of
        // the run was confirmed.
        const QByteArray now = hash(file);
        if (now.isEmpty() || now != confirmed.value(file))
            left.append(file);
    }
    return left;
}

void runOutbox::confirm(const QString &file, const QByteArray &data)
{
    confirmed.insert(file, QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

std::unique_ptr<QLockFile> runOutbox::lock() const
{
    QDir().mkpath(folder(resultsDir));
    auto lock = std::make_unique<QLockFile>(lockPath());
    // The toolkit takes over the lock of a window that crashed on this machine.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        lock.reset();
    return lock;
}

bool runOutbox::load()
{
    QFile f(folder(resultsDir) + QLatin1Char('/') + stem + QLatin1String(".json"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    runId = o.value(QStringLiteral("run_id")).toString();
    testId = o.value(QStringLiteral("test_id")).toString();
    const QJsonObject done = o.value(QStringLiteral("confirmed")).toObject();
    confirmed.clear();
    for (auto it = done.begin(); it != done.end(); ++it)
        confirmed.insert(it.key(), it.value().toString().toLatin1());
    return !runId.isEmpty();
}

bool runOutbox::save() const
{
    QJsonObject done;
    for (auto it = confirmed.cbegin(); it != confirmed.cend(); ++it)
        done.insert(it.key(), QString::fromLatin1(it.value()));
    const QByteArray json = QJsonDocument(QJsonObject{{QStringLiteral("run_id"), runId},
                                                      {QStringLiteral("test_id"), testId},
                                                      {QStringLiteral("confirmed"), done}})
                                .toJson();
    QSaveFile f(folder(resultsDir) + QLatin1Char('/') + stem + QLatin1String(".json"));
    // Flushed before commit: a failed last write must not leave an empty record.
    return QDir().mkpath(folder(resultsDir)) && f.open(QIODevice::WriteOnly)
           && f.write(json) == json.size() && f.flush() && f.commit();
}

void runOutbox::remove() const
{
    QFile::remove(folder(resultsDir) + QLatin1Char('/') + stem + QLatin1String(".json"));
}
