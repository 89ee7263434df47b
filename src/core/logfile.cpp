#include "core/logfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace {
QtMessageHandler previous = nullptr;
QMutex mutex;
QStringList secrets;

// Keeps the latest lines, from a whole line on, once the file has grown past its bound.
// Cut to three quarters, so that a long session does not rewrite it at every line.
void trim(QFile &file)
{
    if (file.size() <= logFile::maxBytes)
        return;
    file.seek(file.size() - logFile::maxBytes * 3 / 4);
    QByteArray kept = file.readAll();
    kept.remove(0, kept.indexOf('\n') + 1);
    file.resize(0);
    file.write(kept);
}

void write(const QString &line)
{
    QString text = line;
    // A user name and password in an address the person typed.
    static const QRegularExpression credentials(QStringLiteral("(://[^/\\s:@]*):[^/\\s@]*@"));
    text.replace(credentials, QStringLiteral("\\1:***@"));
    const QMutexLocker lock(&mutex);
    for (const QString &secret : qAsConst(secrets))
        text.replace(secret, QLatin1String("***"));
    const QString path = logFile::path();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return;
    file.write(QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' '
               + text.toUtf8() + '\n');
    trim(file);
}

void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        write(qFormatLogMessage(type, context, message));
    previous(type, context, message);
}
} // namespace

QString logFile::path()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Qt 5 knows no state folder: the XDG rule, an absolute path or ~/.local/state.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QLatin1String("/.local/state");
    return state + QLatin1String("/quelvan/quelvan.log");
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
           + QLatin1String("/quelvan.log");
#endif
}

void logFile::install()
{
    if (!previous)
        previous = qInstallMessageHandler(handle);
}

void logFile::append(const QString &line)
{
    write(line);
}

void logFile::hide(const QString &secret)
{
    const QMutexLocker lock(&mutex);
    if (!secret.isEmpty())
        secrets.append(secret);
}
