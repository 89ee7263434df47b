#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "core/languagechoice.h"
#include "core/msclock.h"
#include "core/translationcheck.h"
#include "download/loadinterface.h"
#include "screens/conclgraph.h"
#include "screens/conclusionshow.h"
#include "screens/instrshow.h"
#include "support/testhttpserver.h"
#include "support/testsite.h"
#include "test/runtest.h"
#include "test/slidebutton.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextDocument>
#include <QTranslator>
#include <QtTest>

// The window in another language than the one its texts are written in.
class tst_language : public QObject
{
    Q_OBJECT
private slots:
    void wholeRun_data();
    void wholeRun();
    void countsAndNumbers_data();
    void countsAndNumbers();
    void checkTranslation_data();
    void checkTranslation();

private:
    WorkDir workDir;
};

void tst_language::wholeRun_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("texts"); // some of what the screens must show
    QTest::newRow("ru") << "ru"
                        << QStringList{"Получить тест с сервера", "Использовать Proxy",
                                       "Начать тест", "Результат определения внимания: 100 %",
                                       "Серия 1/2  До запуска следующей серии: 3 c"};
    QTest::newRow("en") << "en"
                        << QStringList{"Get the test from the server",
                                       "Use proxy",
                                       "Proxy name:",
                                       "Start the test",
                                       "series:1  1/1  time per slide:5 s  time per series:5 s",
                                       "Attention result: 100 %",
                                       "Series 1/2  Next series starts in: 3 s",
                                       "Go on to the next series"};
    QTest::newRow("de") << "de"
                        << QStringList{"Test vom Server laden",
                                       "Proxy-Server:",
                                       "Test starten",
                                       "Serie:1  1/1  Zeit pro Folie:5 s  Zeit pro Serie:5 s",
                                       "Ergebnis des Aufmerksamkeitstests: 100 %",
                                       "Serie 1/2  Die nächste Serie beginnt in 3 Sekunden"};
    QTest::newRow("fr") << "fr"
                        << QStringList{"Commencer le test",
                                       "Série 1/2  Prochaine série dans 3 secondes"};
    QTest::newRow("es") << "es"
                        << QStringList{"Comenzar la prueba",
                                       "Serie 1/2  La siguiente serie empieza en 3 segundos"};
    QTest::newRow("pt") << "pt"
                        << QStringList{"Iniciar o teste",
                                       "Série 1/2  A próxima série começa em 3 segundos"};
    QTest::newRow("zh_CN") << "zh_CN" << QStringList{"开始测试", "组 1/2  下一组将在 3 秒后开始"};
}

void tst_language::wholeRun()
{
    // Each language shipped, English right to left, in the smallest window: every label and
    // button as wide as its text; translated, no Cyrillic but the server's; the cross
    // unmirrored.
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    const bool english = language == "en", translated = language != "ru";
    languageChoice::install(language);
    QCOMPARE(qApp->findChildren<QTranslator *>().size(), int(translated)); // Russian: none
    qApp->setLayoutDirection(english ? Qt::RightToLeft : Qt::LeftToRight);
    auto russianAgain = qScopeGuard([] {
        qApp->setLayoutDirection(Qt::LeftToRight);
        languageChoice::install("ru");
    });
    TestHttpServer server;
    QVERIFY(server.listen());
    TestSite site = TestSite::small(2);
    site.tsInSeries = "1";
    site.totalSeries = "2";
    site.serve(server);
    appOptions options = appOptions::defaults();
    options.serverUrl = server.baseUrl();
    options.pictureDir = workDir.path() + "/img";
    MainWindow w(options);
    w.show();
    QStringList shown;
    auto read = [&](const char *screen) {
        w.resize(w.minimumSizeHint());
        QCoreApplication::processEvents();
        for (QWidget *widget : w.findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(widget);
            const auto *button = qobject_cast<QAbstractButton *>(widget);
            if (!widget->isVisible() || (!label && !button)
                || (w.instr && label == w.instr->instrLabel))
                continue;
            const QString text = label ? label->text() : button->text();
            const QString where = QString::fromLatin1(screen) + ": " + text;
            QVERIFY2(!translated || !text.contains(QRegularExpression("[\\x{0400}-\\x{04FF}]")),
                     qPrintable(where));
            if (!text.contains('\n') && !Qt::mightBeRichText(text))
                QVERIFY2(widget->width() >= widget->fontMetrics().horizontalAdvance(text),
                         qPrintable(where));
            shown << text;
        }
    };
    read("download");
    QTest::mouseClick(w.loadWidget->getButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<instrShow *>(w.centralWidget()), 10000);
    read("instructions");
    QTest::mouseClick(w.instr->startButton, Qt::LeftButton);
    read("slide");
    const QPoint left = w.tester->buttons.at(1)->pos(), right = w.tester->buttons.at(2)->pos();
    QVERIFY(left.x() < right.x());
    QTest::mouseClick(w.tester->buttons.at(1), Qt::LeftButton);
    read("pause");
    QTest::mouseClick(w.concl->nextButton, Qt::LeftButton);
    QTest::mouseClick(w.tester->buttons.at(1), Qt::LeftButton);
    QTRY_VERIFY(w.findChild<conclGraph *>());
    read("graph");
    for (const QString &text : texts)
        QVERIFY2(shown.contains(text), qPrintable(shown.join(" | ")));
}

void tst_language::countsAndNumbers_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("seconds");   // left of the pause
    QTest::addColumn<QString>("pause"); // the countdown
    QTest::addColumn<QString>("slide"); // the status line 2.801 s into the first slide
    const QString german = "Serie:1  1/10  Zeit pro Folie:2,199 s  Zeit pro Serie:47,199 s";
    QTest::newRow("German, 1 second")
        << "de" << 1 << "Serie 1/3  Die nächste Serie beginnt in 1 Sekunde" << german;
    QTest::newRow("German, 2 seconds")
        << "de" << 2 << "Serie 1/3  Die nächste Serie beginnt in 2 Sekunden" << german;
    QTest::newRow("German, 5 seconds")
        << "de" << 5 << "Serie 1/3  Die nächste Serie beginnt in 5 Sekunden" << german;
    QTest::newRow("French, 1 second") << "fr" << 1 << "Série 1/3  Prochaine série dans 1 seconde"
                                      << "série\u00a0:1  1/10  temps par diapositive\u00a0:2,199 "
                                         "s  temps par série\u00a0:47,199 s";
    QTest::newRow("Chinese, one form")
        << "zh_CN" << 1 << "组 1/3  下一组将在 1 秒后开始"
        << "组：1  1/10  每张幻灯片时间：2.199 秒  每组时间：47.199 秒";
    // No translator: the ticking line's Cyrillic "с", a point in the decimals.
    QTest::newRow("Russian, as ever")
        << "ru" << 1 << "Серия 1/3  До запуска следующей серии: 1 с"
        << "серия:1  1/10  время на слайд:2.199 c  временя на серию:47.199 c";
}

void tst_language::countsAndNumbers()
{
    QFETCH(QString, language);
    QFETCH(int, seconds);
    QFETCH(QString, pause);
    QFETCH(QString, slide);
    languageChoice::install(language);
    auto russianAgain = qScopeGuard([] {
        languageChoice::install("ru");
        msClock::useRealClock();
    });
    msClock::setFakeNow(100000);
    MainWindow w;
    w.concl = new conclusionShow(&w);
    w.tekSeries = 1;
    w.seriesTotal = 3;
    w.pauseTime = seconds;
    w.pauseStart = msClock::now();
    w.timeNextSeries();
    QCOMPARE(w.concl->timeLabel->text(), pause);

    const TestSite site = TestSite::small(10);
    for (auto it = site.pictures.cbegin(); it != site.pictures.cend(); ++it)
        QVERIFY(TestSite::writeFile("img/" + it.key() + ".jpg", it.value()));
    runTest runner(QString::fromUtf8(site.test), 5, 10, 1, 0);
    runner.startTest(1);
    msClock::advanceFake(2801);
    runner.timerStep();
    QCOMPARE(runner.statusLabel->text(), slide);
}

void tst_language::checkTranslation_data()
{
    QTest::addColumn<QString>("file"); // a built-in translation, as a lab could have it
    QTest::addColumn<QString>("old");  // replaced in it by "new"
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<QStringList>("problems");
    const QString ticking = "MainWindow: \"Series %1/%2  Next series starts in: %n s\" (ticking)";
    QTest::newRow("German, complete (.qm)") << "quelvan_de.qm"
                                            << ""
                                            << "" << QStringList();
    QTest::newRow("German, complete (.ts)") << "quelvan_de.ts"
                                            << ""
                                            << "" << QStringList();
    QTest::newRow("the ticking countdown left out")
        << "quelvan_de.ts"
        << "<comment>ticking</comment>"
        << "<comment>tick</comment>" << QStringList{"missing: " + ticking};
    QTest::newRow("a text unfinished") << "quelvan_fr.ts"
                                       << "<translation>Attendre</translation>"
                                       << "<translation type=\"unfinished\">Attendre</translation>"
                                       << QStringList{"unfinished: closeGuard: \"Wait\""};
    QTest::newRow("a plural form empty")
        << "quelvan_de.ts"
        << "<numerusform>Serie %1/%2  Die nächste Serie beginnt in %n Sekunde<"
        << "<numerusform><"
        << QStringList{"unfinished: " + ticking.section(" (", 0, 0) + " (pause begins)",
                       "unfinished: " + ticking};
    QTest::newRow("a text left in English") << "quelvan_es.ts"
                                            << "<translation>Esperar</translation>"
                                            << "<translation>Wait</translation>"
                                            << QStringList{"same as English: closeGuard: \"Wait\""};
    QTest::newRow("English may read as English") << "quelvan_en.ts"
                                                 << ""
                                                 << "" << QStringList();
}

void tst_language::checkTranslation()
{
    QFETCH(QString, file);
    QFETCH(QString, old);
    QFETCH(QString, replaced);
    QFETCH(QStringList, problems);
    const QString source = file.endsWith(".qm")
                               ? ":/translations/" + file
                               : TestSite::builtProgram(QUELVAN_TRANSLATIONS) + "/" + file;
    QByteArray bytes = TestSite::readFile(source);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(bytes.contains(old.toUtf8()));
    bytes.replace(old.toUtf8(), replaced.toUtf8());
    const QString copy = workDir.path() + "/" + file;
    QVERIFY(TestSite::writeFile(copy, bytes));
    QString error;
    QCOMPARE(translationCheck::problems(copy, &error), problems);
    QCOMPARE(error, QString());
    QString printed;
    QTextStream out(&printed);
    QCOMPARE(translationCheck::run(copy, out, out), problems.isEmpty() ? 0 : 1);
}

QTEST_MAIN(tst_language)
#include "tst_language.moc"
