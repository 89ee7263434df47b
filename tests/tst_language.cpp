#include "app/mainwindow.h"
#include "core/appoptions.h"
#include "core/languagechoice.h"
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
}

void tst_language::wholeRun()
{
    // Each language shipped, English right to left, in the smallest window: every label and
    // button as wide as its text; in English no Cyrillic but the server's, the cross unmirrored.
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    const bool english = language == "en";
    languageChoice::install(language);
    QCOMPARE(qApp->findChildren<QTranslator *>().size(), int(english)); // Russian: none at all
    qApp->setLayoutDirection(english ? Qt::RightToLeft : Qt::LeftToRight);
    auto russianAgain = qScopeGuard([] {
        qApp->setLayoutDirection(Qt::LeftToRight);
        for (QTranslator *t : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
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
            QVERIFY2(!english || !text.contains(QRegularExpression("[\\x{0400}-\\x{04FF}]")),
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

QTEST_MAIN(tst_language)
#include "tst_language.moc"
