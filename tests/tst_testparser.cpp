#include "download/parsparser.h"
#include "test/testparser.h"

#include <QRandomGenerator>
#include <QRegExp>
#include <QtTest>

// The linear searches must agree with the toolkit's minimal-mode QRegExp on every input:
// position, length and captures.
class tst_testparser : public QObject
{
    Q_OBJECT
private slots:
    void agreesWithToolkit_data();
    void agreesWithToolkit();
    void randomTextsAgree();
    void hostileTextIsFast_data();
    void hostileTextIsFast();

private:
    static QString compareAt(const QString &text, int from);
};

QString tst_testparser::compareAt(const QString &text, int from)
{
    QRegExp variant(QStringLiteral("\\[(.*),(.*)\\]"));
    variant.setMinimal(true);
    QRegExp group(QStringLiteral("\\[(.+)\\]"));
    group.setMinimal(true);

    QString v1, v2, cap;
    int length = -1;
    const int pos = testParser::findVariant(text, from, &v1, &v2, &length);
    const int expected = variant.indexIn(text, from);
    if (pos != expected
        || (pos >= 0
            && (length != variant.matchedLength() || v1 != variant.cap(1) || v2 != variant.cap(2))))
        return QStringLiteral("variant: got %1 %2 '%3' '%4', toolkit %5 %6 '%7' '%8'")
            .arg(pos)
            .arg(length)
            .arg(v1, v2)
            .arg(expected)
            .arg(variant.matchedLength())
            .arg(variant.cap(1), variant.cap(2));

    const int gpos = parsParser::findGroup(text, from, &cap, &length);
    const int gexpected = group.indexIn(text, from);
    if (gpos != gexpected
        || (gpos >= 0 && (length != group.matchedLength() || cap != group.cap(1))))
        return QStringLiteral("group: got %1 %2 '%3', toolkit %4 %5 '%6'")
            .arg(gpos)
            .arg(length)
            .arg(cap)
            .arg(gexpected)
            .arg(group.matchedLength())
            .arg(group.cap(1));
    return QString();
}

void tst_testparser::agreesWithToolkit_data()
{
    QTest::addColumn<QString>("text");
    for (const char *t :
         {"",          "[",        "]",           "[]",     "[,]",  "[a,b]", "[a,b,c]", "[a][b,c]",
          "[[a,b],c]", "[a,b],c]", "x[a\n,\nb]y", "[][x]",  "[]]",  "[,",    "[a,b",    "a,b]",
          "[[[[,",     "],[a,]",   "[a,b][c,d]",  "[,][,]", "[[]]", "[я,ё]"})
        QTest::newRow(t) << QString::fromUtf8(t);
}

void tst_testparser::agreesWithToolkit()
{
    QFETCH(QString, text);
    for (int from = 0; from <= text.size() + 1; ++from) {
        const QString diff = compareAt(text, from);
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("from %1: ").arg(from) + diff));
    }
}

void tst_testparser::randomTextsAgree()
{
    // A small alphabet rich in the characters that matter finds the corner cases quickly.
    const QString alphabet = QStringLiteral("[],,a\n ");
    QRandomGenerator rng(20261206);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int n = int(rng.bounded(16));
        for (int i = 0; i < n; ++i)
            text += alphabet.at(int(rng.bounded(alphabet.size())));
        for (int from = 0; from <= n; ++from) {
            const QString diff = compareAt(text, from);
            QVERIFY2(diff.isEmpty(),
                     qPrintable(QStringLiteral("'%1' from %2: ").arg(text).arg(from) + diff));
        }
    }
}

void tst_testparser::hostileTextIsFast_data()
{
    // With QRegExp each of these took from minutes to hours: many "[" and no fitting "]".
    QTest::addColumn<QString>("text");
    QTest::newRow("[a, repeated") << QStringLiteral("[a,").repeated(1 << 20);
    QTest::newRow("[ repeated") << QStringLiteral("[").repeated(1 << 21);
    QTest::newRow("[a] repeated") << QStringLiteral("[a]").repeated(1 << 20);
}

void tst_testparser::hostileTextIsFast()
{
    QFETCH(QString, text);
    QString a, b;
    int length = 0;
    int pos = 0;
    int found = 0;
    while ((pos = testParser::findVariant(text, pos, &a, &b, &length)) != -1) {
        pos += length;
        ++found;
    }
    pos = 0;
    while ((pos = parsParser::findGroup(text, pos, &a, &length)) != -1) {
        pos += length;
        ++found;
    }
    QVERIFY(found <= text.size());
}

QTEST_GUILESS_MAIN(tst_testparser)
#include "tst_testparser.moc"
