#include "support/testsite.h"

#include "core/serverlayout.h"
#include "support/testhttpserver.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

QStringList TestSite::documentPaths()
{
    return {"/quelvan/test.php",         "/quelvan/instr.php",       "/quelvan/tm.php",
            "/quelvan/ts_in_series.php", "/quelvan/totalseries.php", "/quelvan/pauseseries.php",
            "/quelvan/pars.php"};
}

TestSite TestSite::small(int slides)
{
    TestSite site;
    const QByteArray slideA = "[a,x][b,x][a,y][b,z][a,z]", slideB = "[b,y][a,y][b,z][a,x][b,x]";
    for (int i = 0; i < slides; ++i)
        site.test += (i ? "<br>" : "") + (i % 2 ? slideB : slideA);
    site.tsInSeries = QByteArray::number(slides);
    int hue = 0;
    for (const QString name : {"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"}) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(hue += 37, 200, name == QLatin1String("fail") ? 0 : 200));
        QBuffer buffer(&site.pictures[name]);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
    }
    return site;
}

QList<QByteArray> TestSite::served() const
{
    return QList<QByteArray>{test, instr, tm, tsInSeries, totalSeries, pauseSeries, pars}
           + pictures.values();
}

void TestSite::serve(TestHttpServer &server) const
{
    const QList<QByteArray> bodies{test, instr, tm, tsInSeries, totalSeries, pauseSeries, pars};
    for (int i = 0; i < serverLayout::documentCount; ++i)
        server.setBody(serverLayout::documentPath(i), bodies.at(i));
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        server.setBody(serverLayout::picturePath(it.key()), it.value());
}

bool TestSite::writeSite(const QString &root) const
{
    const QList<QByteArray> bodies{test, instr, tm, tsInSeries, totalSeries, pauseSeries, pars};
    bool ok = true;
    for (int i = 0; i < serverLayout::documentCount; ++i)
        ok = ok && writeFile(root + serverLayout::documentPath(i), bodies.at(i));
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        ok = ok && writeFile(root + serverLayout::picturePath(it.key()), it.value());
    return ok;
}

QByteArray TestSite::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool TestSite::writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly)
           && f.write(data) == data.size();
}

QString TestSite::builtProgram(const char *path)
{
    const QString program = QString::fromUtf8(path);
#ifdef Q_OS_WIN
    if (program.startsWith(QLatin1Char('/')) && !QFileInfo::exists(program))
        return QLatin1String("Z:") + program;
#endif
    return program;
}

quint16 TestSite::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

bool TestSite::waitForPort(quint16 port, bool open)
{
    return QTest::qWaitFor(
        [port, open] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port);
            return s.waitForConnected(200) == open;
        },
        20000);
}

bool TestSite::underWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

QString TestSite::hostProgram(const QString &name, const QStringList &dirs)
{
#ifdef Q_OS_WIN
    // Wine starts a Linux program by its path, which it sees as Z:<path>.
    for (const QString &dir :
         dirs + QStringList{"/usr/local/bin", "/usr/bin", "/bin", "/usr/sbin", "/sbin"}) {
        if (QFileInfo(QLatin1String("Z:") + dir + '/' + name).isFile())
            return dir + '/' + name;
    }
    return QString();
#else
    const QString found = QStandardPaths::findExecutable(name, dirs);
    return found.isEmpty() && !dirs.isEmpty() ? QStandardPaths::findExecutable(name) : found;
#endif
}

QString TestSite::hostPath(const QString &path)
{
#ifdef Q_OS_WIN
    if (path.startsWith(QLatin1String("Z:"), Qt::CaseInsensitive))
        return path.mid(2);
#endif
    return path;
}

QString TestSite::serverFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Z:/tmp/quelvan-server-XXXXXX");
#else
    return QDir::tempPath() + QStringLiteral("/quelvan-server-XXXXXX");
#endif
}

namespace {
#ifdef Q_OS_WIN
// Wine gives a Linux program the Windows environment, without PATH.
const char *const hostShellPath =
    "PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin; export PATH; ";
// By its drive: "/bin/sh" would be looked for on the current folder's drive.
const char *const hostShell = "Z:/bin/sh";

QString shellQuoted(const QString &word)
{
    return QLatin1Char('\'') + QString(word).replace(QLatin1String("'"), QLatin1String("'\\''"))
           + QLatin1Char('\'');
}
#endif
} // namespace

int TestSite::hostRun(const QString &program, const QStringList &arguments, const QString &folder,
                      QByteArray *output)
{
#ifdef Q_OS_WIN
    // A Linux program started from Wine: its exit and its output are not seen through a
    // process object, whose end would be waited for in vain, so a shell started on its own
    // writes them to files.
    QTemporaryDir scratch(serverFolder());
    const QString out = scratch.filePath("out"), status = scratch.filePath("status");
    QString command = QLatin1String(hostShellPath)
                      + QStringLiteral("cd %1 && %2")
                            .arg(shellQuoted(hostPath(folder.isEmpty() ? scratch.path() : folder)),
                                 shellQuoted(program));
    for (const QString &argument : arguments)
        command += QLatin1Char(' ') + shellQuoted(argument);
    command += QStringLiteral(" >%1 2>&1; echo $? >%2.part; mv %2.part %2")
                   .arg(shellQuoted(hostPath(out)), shellQuoted(hostPath(status)));
    if (!QProcess::startDetached(QLatin1String(hostShell), {QStringLiteral("-c"), command},
                                 scratch.path())
        || !QTest::qWaitFor([&] { return QFile::exists(status); }, 60000))
        return -1;
    if (output)
        *output = readFile(out);
    return readFile(status).trimmed().toInt();
#else
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    if (output)
        *output = process.readAll();
    return ended ? process.exitCode() : -1;
#endif
}

void TestSite::startServer(QProcess &process, const QString &program, const QStringList &arguments,
                           const QString &folder)
{
#ifdef Q_OS_WIN
    // Wine neither signals a Linux process nor sees it end, nor passes it the end of a pipe
    // in time: the server runs while its folder holds the file "running", which stopServer()
    // and the folder's removal take away.
    Q_UNUSED(process)
    writeFile(folder + QLatin1String("/running"), "");
    const QString script = QLatin1String(hostShellPath)
                           + QStringLiteral("\"$@\" </dev/null & pid=$!; while [ -e %1 ] && "
                                            "kill -0 $pid; do sleep 0.2; done; kill $pid")
                                 .arg(shellQuoted(hostPath(folder + QLatin1String("/running"))));
    // From a folder of Wine's C: drive, Wine may not start it at all.
    QProcess::startDetached(QLatin1String(hostShell),
                            QStringList{"-c", script, "sh", program} + arguments, folder);
#else
    Q_UNUSED(folder)
    // A shell between: a watcher reads the shell's standard input, a pipe from this process,
    // and ends the server when the pipe closes, which the kernel does even after a crash or
    // a kill by the test driver.
    const QString script = QStringLiteral("exec 3<&0; \"$@\" </dev/null 3<&- & pid=$!; "
                                          "(cat <&3; kill $pid) >/dev/null 2>&1 & exec 3<&-; "
                                          "trap 'kill $pid; wait $pid; exit 143' TERM; wait $pid");
    process.start(QStringLiteral("sh"), QStringList{"-c", script, "sh", program} + arguments);
#endif
}

void TestSite::stopServer(QProcess &process, const QString &folder, quint16 port)
{
#ifdef Q_OS_WIN
    Q_UNUSED(process)
    if (QFile::remove(folder + QLatin1String("/running")) && port && !waitForPort(port, false))
        qWarning("the server on port %d did not stop", port);
#else
    Q_UNUSED(folder)
    Q_UNUSED(port)
    process.terminate();
    process.waitForFinished(10000);
#endif
}

WorkDir::WorkDir() : previous(QDir::currentPath())
{
    valid = dir.isValid() && QDir::setCurrent(dir.path());
}

WorkDir::~WorkDir()
{
    QDir::setCurrent(previous);
}

QString TestSite::startNginx(QProcess &nginx, const QString &folder, const QString &conf,
                             quint16 port)
{
    const QString program = hostProgram("nginx", {"/usr/sbin"});
    if (program.isEmpty())
        return QStringLiteral("nginx is missing; tools/run-tests.sh installs it");
    if (!writeFile(folder + "/nginx.conf", conf.toUtf8()))
        return QStringLiteral("cannot write nginx.conf");
    nginx.setProcessChannelMode(QProcess::MergedChannels);
    startServer(nginx, program, {"-c", hostPath(folder) + "/nginx.conf", "-p", hostPath(folder)},
                folder);
#ifdef Q_OS_WIN
    if (!waitForPort(port)) // the process object does not stand for it there
#else
    if (!waitForPort(port) || nginx.state() == QProcess::NotRunning)
#endif
        return QStringLiteral("nginx did not start: ") + QString::fromUtf8(nginx.readAll());
    return QString();
}
