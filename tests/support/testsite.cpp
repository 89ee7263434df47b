#include "support/testsite.h"

#include "download/serverlayout.h"
#include "support/testhttpserver.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

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

bool TestSite::waitForPort(quint16 port)
{
    return QTest::qWaitFor(
        [port] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port);
            return s.waitForConnected(200);
        },
        20000);
}

void TestSite::startServer(QProcess &process, const QString &program, const QStringList &arguments)
{
    // A shell between: a watcher reads the shell's standard input, a pipe from this process,
    // and ends the server when the pipe closes, which the kernel does even after a crash or
    // a kill by the test driver.
    const QString script = QStringLiteral("exec 3<&0; \"$@\" </dev/null 3<&- & pid=$!; "
                                          "(cat <&3; kill $pid) >/dev/null 2>&1 & exec 3<&-; "
                                          "trap 'kill $pid; wait $pid; exit 143' TERM; wait $pid");
    process.start(QStringLiteral("sh"), QStringList{"-c", script, "sh", program} + arguments);
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
    const QString program = QStandardPaths::findExecutable("nginx", {"/usr/sbin"});
    if (program.isEmpty())
        return QStringLiteral("nginx is missing; tools/run-tests.sh installs it");
    if (!writeFile(folder + "/nginx.conf", conf.toUtf8()))
        return QStringLiteral("cannot write nginx.conf");
    nginx.setProcessChannelMode(QProcess::MergedChannels);
    startServer(nginx, program, {"-c", folder + "/nginx.conf", "-p", folder});
    if (!waitForPort(port) || nginx.state() == QProcess::NotRunning)
        return QStringLiteral("nginx did not start: ") + QString::fromUtf8(nginx.readAll());
    return QString();
}
