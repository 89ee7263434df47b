#include "download/parsparser.h"
#include "test/testparser.h"

#include <QtTest>

// The two searches of the server documents. Expected results are the toolkit's own
// minimal-mode QRegExp answers for "\[(.*),(.*)\]" and "\[(.+)\]"; the fuzz targets compare
// with QRegExp on random input.
class tst_testparser : public QObject
{
    Q_OBJECT
private slots:
    void search_data();
    void search();
    void valueLists_data();
    void valueLists();
};

void tst_testparser::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found"); // "pos len value1|value2 / pos len capture", -1: none
    auto row = [](const char *name, const char *text, const char *found) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(found);
    };
    row("plain", "[a,b]", "0 5 a|b / 0 5 a,b");
    row("two commas: first value to the last", "[a,b,c]", "0 7 a,b|c / 0 7 a,b,c");
    row("bracket pair inside", "[a][b,c]", "0 8 a][b|c / 0 3 a");
    row("nested bracket", "[[a,b],c]", "0 6 [a|b / 0 6 [a,b");
    row("line breaks kept", "x[a\n,\nb]y", "1 7 a\n|\nb / 1 7 a\n,\nb");
    row("empty values", "[,]", "0 3 | / 0 3 ,");
    row("empty group is no group", "[][x]", "-1 / 0 5 ][x");
    row("start after a stray ]", "],[a,]", "2 4 a| / 2 4 a,");
    row("Cyrillic", "[я,ё]", "0 5 я|ё / 0 5 я,ё");
    row("no closing bracket", "[a,b", "-1 / -1");
    // With QRegExp each of these took from minutes to hours: many "[" and no fitting "]".
    QTest::newRow("1 MiB of [a,") << QStringLiteral("[a,").repeated(1 << 20) << "-1 / -1";
    QTest::newRow("2 MiB of [") << QStringLiteral("[").repeated(1 << 21) << "-1 / -1";
}

void tst_testparser::search()
{
    QFETCH(QString, text);
    QFETCH(QString, found);
    QString v1, v2, capture;
    int length = -1;
    int pos = testParser::findVariant(text, 0, &v1, &v2, &length);
    QString got = pos < 0 ? "-1" : QStringLiteral("%1 %2 %3|%4").arg(pos).arg(length).arg(v1, v2);
    pos = parsParser::findGroup(text, 0, &capture, &length);
    got += pos < 0 ? " / -1" : QStringLiteral(" / %1 %2 %3").arg(pos).arg(length).arg(capture);
    QCOMPARE(got, found);
}

void tst_testparser::valueLists_data()
{
    QTest::addColumn<QString>("pars");
    QTest::addColumn<QStringList>("pictures"); // empty: the list cannot be built
    QTest::newRow("two groups") << "[a,b][x,y,z]"
                                << QStringList{"a_x", "a_y", "a_z", "b_x", "b_y", "b_z", "fail"};
    QTest::newRow("repeated value") << "[a,a][x]" << QStringList{"a_x", "a_x", "fail"};
    QTest::newRow("empty middle value") << "[a,,b][x]" << QStringList{"a_x", "_x", "b_x", "fail"};
    QTest::newRow("blank kept, text around")
        << "<p>\n[a, b]\r\nи [x]</p>" << QStringList{"a_x", " b_x", "fail"};
    QTest::newRow("one group") << "[a,b]" << QStringList();
    QTest::newRow("three groups") << "[a][b][c]" << QStringList();
    // 1001 x 1000 names: past the million pictures a list may ask for.
    QTest::newRow("too many pictures")
        << "[" + QString(1000, ',') + "][" + QString(999, ',') + "]" << QStringList();
}

void tst_testparser::valueLists()
{
    QFETCH(QString, pars);
    QFETCH(QStringList, pictures);
    QStringList first{"untouched"}, second;
    const bool ok = parsParser::parseValueLists(pars, &first, &second);
    QCOMPARE(ok ? parsParser::pictureNames(first, second) : first,
             pictures.isEmpty() && !ok ? QStringList{"untouched"} : pictures);
    if (pictures.isEmpty() && ok) { // a million is still allowed
        first.removeLast();
        QCOMPARE(parsParser::pictureNames(first, second).size(), 1000001);
    }
}

QTEST_GUILESS_MAIN(tst_testparser)
#include "tst_testparser.moc"
