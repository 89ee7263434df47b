#ifndef TESTSITE_H
#define TESTSITE_H

#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;
class TestHttpServer;

// The documents and pictures of one test, as a test server would publish them, and the
// small file and port helpers the tests share.
struct TestSite
{
    QByteArray test;
    QByteArray instr = "Инструкция";
    QByteArray tm = "5";
    QByteArray tsInSeries = "2";
    QByteArray totalSeries = "1";
    QByteArray pauseSeries = "3";
    QByteArray pars = "[a,b][x,y,z]";
    QMap<QString, QByteArray> pictures; // base name -> body: a small JPEG each

    // What the client asks for first, in order, written out here rather than taken from
    // the client's own table.
    static QStringList documentPaths();
    // A consistent test of `slides` slides with every picture of its pars lists.
    static TestSite small(int slides = 2);
    void serve(TestHttpServer &server) const;
    // What the client's download takes, in request order: the documents as served, then the
    // pictures (a site whose pars lists its pictures in name order).
    QList<QByteArray> served() const;
    // Writes the site below `root` (root/quelvan/...), as a static web server serves it.
    bool writeSite(const QString &root) const;

    // A file's bytes, or "<missing>"; and a file written whole, its folder made.
    static QByteArray readFile(const QString &path);
    static bool writeFile(const QString &path, const QByteArray &data);
    // A program of this build, or a file of its sources, by the path CMake gave; under Wine a
    // cross-built test sees the build machine's / as Z: (its current folder may be on C:).
    static QString builtProgram(const char *path);
    // A port on 127.0.0.1 that nothing listens on, and a wait until one accepts (or, not
    // `open`, no longer accepts).
    static quint16 freePort();
    static bool waitForPort(quint16 port, bool open = true);
    // The machine's own programs (nginx, squid, openssl) by their Linux paths, with Linux
    // paths for their files: under Wine in folders below /tmp (serverFolder), seen as Z:/tmp.
    static bool underWine(); // a Windows program that Wine runs
    static QString hostProgram(const QString &name, const QStringList &dirs = {});
    static QString hostPath(const QString &path);
    static QString serverFolder();
    // Runs a host program in `folder` to its end: its exit code, or -1 when it did not end
    // within a minute; what it printed in *output.
    static int hostRun(const QString &program, const QStringList &arguments,
                       const QString &folder = {}, QByteArray *output = nullptr);
    // Starts a server that ends with this process (under Wine: its `folder`) however it ends;
    // stopServer() stops it, with `port` free again.
    static void startServer(QProcess &process, const QString &program, const QStringList &arguments,
                            const QString &folder);
    static void stopServer(QProcess &process, const QString &folder, quint16 port = 0);
    // nginx started that way on `conf`, written to folder/nginx.conf, once `port` accepts;
    // empty, or what went wrong.
    static QString startNginx(QProcess &nginx, const QString &folder, const QString &conf,
                              quint16 port);
};

// A fresh temporary folder as the working directory for as long as the object lives;
// quelvan keeps its pictures in img/ below the working directory.
class WorkDir
{
public:
    WorkDir();
    ~WorkDir();
    bool isValid() const { return valid; }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    QString previous;
    bool valid = false;
};

#endif // TESTSITE_H
