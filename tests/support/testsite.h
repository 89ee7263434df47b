#ifndef TESTSITE_H
#define TESTSITE_H

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QString>

class TestHttpServer;

// The documents and pictures of one test, as a test server would publish them.
struct TestSite
{
    QByteArray test;
    QByteArray instr = "Инструкция";
    QByteArray tm = "5";
    QByteArray tsInSeries = "2";
    QByteArray totalSeries = "1";
    QByteArray pauseSeries = "3";
    QByteArray pars;
    QMap<QString, QByteArray> pictures; // base name -> body

    // A consistent test: pars "[a,b][x,y,z]", every picture present, `slides` slides.
    static TestSite small(int slides = 2);
    // A small JPEG of one colour.
    static QByteArray jpeg(const QColor &colour, int size = 8);
    // Pictures for every name that the pars lists give, plus fail.
    void addPicturesFor(const QStringList &first, const QStringList &second);

    // The seven bodies in request order.
    QList<QByteArray> documents() const;
    void serve(TestHttpServer &server) const;
    // Writes the site below `root` (root/quelvan/...), as a static web server serves it.
    bool writeSite(const QString &root) const;
    // Writes every picture into `dir` (img/ below the working directory by default).
    bool writePictures(const QString &dir = QStringLiteral("img")) const;
};

#endif // TESTSITE_H
