#include "support/davserver.h"

#include "support/testsite.h"

#include <QDir>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

QString DavServer::start()
{
    if (!port)
        port = TestSite::freePort();
    const QString d = TestSite::hostPath(dir.path());
    const QString conf =
        QStringLiteral("daemon off; master_process off; pid %1/nginx.pid; error_log %1/error.log;\n"
                       "events {}\nhttp { log_format calls '$status $request_method';\n"
                       "access_log %1/access.log calls; client_body_temp_path %1/tmp;\n"
                       "server { listen 127.0.0.1:%2; root %1/store;\n"
                       "location /moved/ { return 307 /up/; }\n"
                       "location /noput/ { }\n"
                       "location /broken/ { root %1/passwd; dav_methods PUT; }\n"
                       "location /up/ { if (-f %1/failing) { return 429; }\n"
                       "dav_methods PUT; create_full_put_path on; limit_except PUT { deny all; }\n"
                       "auth_basic quelvan; auth_basic_user_file %1/passwd; } } }\n")
            .arg(d)
            .arg(port);
    const QString here = dir.path();
    if (!TestSite::writeFile(here + "/passwd", "tester:{PLAIN}s3cret\n")
        || !QDir().mkpath(here + "/tmp") || !QDir().mkpath(here + "/store/up"))
        return QStringLiteral("cannot write the server's files");
    return TestSite::startNginx(nginx, here, conf, port);
}

void DavServer::stop()
{
    pause(false); // a stopped server would not end
    TestSite::stopServer(nginx, dir.path(), port);
}

void DavServer::pause(bool paused)
{
    const QByteArray pid = TestSite::readFile(dir.path() + "/nginx.pid").trimmed();
    if (pid.toInt() <= 0)
        return;
#ifdef Q_OS_UNIX
    ::kill(pid.toInt(), paused ? SIGSTOP : SIGCONT);
#else
    TestSite::hostRun(TestSite::hostProgram("kill"),
                      {paused ? "-STOP" : "-CONT", QString::fromLatin1(pid)});
#endif
}

void DavServer::setFailing(bool failing)
{
    if (failing)
        TestSite::writeFile(dir.path() + "/failing", "");
    else
        QFile::remove(dir.path() + "/failing");
}

QStringList DavServer::stored() const
{
    return QDir(dir.path() + "/store/up").entryList(QDir::Files, QDir::Name);
}

QByteArray DavServer::file(const QString &name) const
{
    return TestSite::readFile(dir.path() + "/store/up/" + name);
}

QStringList DavServer::log() const
{
    return QString::fromUtf8(TestSite::readFile(dir.path() + "/access.log"))
        .split('\n', Qt::SkipEmptyParts);
}
