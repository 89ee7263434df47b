#include "test/runtest.h"

#include "core/languagechoice.h"
#include "core/logcategories.h"
#include "core/msclock.h"
#include "core/serverlayout.h"
#include "test/buttonpresses.h"
#include "test/slidebutton.h"
#include "test/slidedata.h"
#include "test/testparser.h"
#include "test/variant.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QSignalMapper>
#include <QTimer>

#include <climits>

namespace {
// Grid cell of buttons 0 to 4: the sample in the middle, variants left, right and
// top, the fail picture below.
const int buttonRow[5] = {2, 2, 2, 1, 3};
const int buttonColumn[5] = {1, 0, 2, 1, 1};
} // namespace

runTest::runTest(QString test, int slideTime, int slideTotal, int seriesTotal, int pauseTime,
                 QWidget *parent)
    : QWidget(parent),
      slideTime(slideTime),
      slideTotal(slideTotal),
      seriesTotal(seriesTotal),
      pauseTime(pauseTime)
{
    // The cross is the data's, not the reading direction's: button 1 stays on the left in a
    // right-to-left language too.
    setLayoutDirection(Qt::LeftToRight);
    timer = new QTimer(this);
    // A coarse timer may fire up to 5 % early or late and drifts off its 200 ms grid.
    timer->setTimerType(Qt::PreciseTimer);
    limitTimer = new QTimer(this);
    limitTimer->setSingleShot(true);
    limitTimer->setTimerType(Qt::PreciseTimer);
    connect(limitTimer, &QTimer::timeout, this, &runTest::limitReached);
    presses = new buttonPresses(this);

    auto *grid = new QGridLayout(this);
    //: Status line while the slides are being prepared.
    statusLabel = new QLabel(QCoreApplication::translate("runTest", "Формируем тест"), this);
    // A missing picture's message names the server's values: never markup.
    statusLabel->setTextFormat(Qt::PlainText);
    grid->addWidget(statusLabel, 0, 0, 1, 3, Qt::AlignCenter);
    auto *mapper = new QSignalMapper(this);
    for (int i = 0; i < 5; ++i) {
        auto *button = new slideButton(this);
        if (i == 4)
            button->showFail = true;
        mapper->setMapping(button, i);
        connect(button, &QPushButton::clicked, mapper, qOverload<>(&QSignalMapper::map));
        grid->addWidget(button, buttonRow[i], buttonColumn[i], Qt::AlignCenter);
        buttons.append(button);
        presses->watch(button, i);
        if (i == 0)
            button->setFlat(true);
    }
    connect(mapper, &QSignalMapper::mappedInt, this, &runTest::pressBut);

    tekSlide = 0;
    if (makeTestData(test)) {
        connect(timer, &QTimer::timeout, this, &runTest::timerStep);
    } else {
        testFailed = true;
        //: Status line: the server's test text holds no slide that can be shown.
        statusLabel->setText(QCoreApplication::translate("runTest", "Ошибка формирования теста!"));
    }
}

runTest::~runTest()
{
    qDeleteAll(testData);
    testData.clear();
}

bool runTest::makeTestData(QString text)
{
    const QStringList lines = text.split(QStringLiteral("<br>"));

    for (const QString &line : lines) {
        auto *slide = new slideData;
        const int j = testParser::parseSlide(line, slide);
        if (j != 0)
            testData.append(slide);
        else
            delete slide;
        qCDebug(lcRun) << "j=" << j;
        if (j >= 1 && j <= 4)
            return false;
    }
    // 64-bit: absurd counts from the server must not overflow.
    return qint64(testData.size()) >= qint64(slideTotal) * qint64(seriesTotal);
}

void runTest::startTest(int series)
{
    countRightAnswer = 0;
    countTotalAncwer = 0;
    tekSeries = series;
    // Saturated so that the increment in makeTestStep cannot overflow; a series that
    // would start past the end of the slides ends at once either way.
    const qint64 first = qint64(series - 1) * qint64(slideTotal);
    tekSlide = int(qBound(qint64(INT_MIN), first, qint64(INT_MAX - 1)));
    presses->setKeyboardAnswers(keyboardAnswers);
    timer->start(200);
    makeTestStep();
}

void runTest::makeTestStep()
{
    if (testFailed || seriesOver)
        return;
    ++tekSlide;
    ++countTotalAncwer;
    qCDebug(lcRun) << "tekSlide=" << tekSlide << " testData.count" << testData.size()
                   << " countTotalAncwer=" << countTotalAncwer << "  slideTotal" << slideTotal;
    if (tekSlide > testData.size() || tekSlide < 1 || countTotalAncwer > slideTotal) {
        --tekSlide;
        --countTotalAncwer;
        timer->stop();
        limitTimer->stop();
        seriesOver = true;
        emit endTest();
        return;
    }
    showSlide();
}

void runTest::showSlide()
{
    const slideData *slide = testData.at(tekSlide - 1);
    const variant *sample = slide->variants.at(0);
    for (int i = 0; i < 5; ++i) {
        slideButton *button = buttons.at(i);
        const variant *shown = slide->variants.at(i);
        button->value1 = shown->value1;
        button->value2 = shown->value2;
        button->sample1 = sample->value1;
        button->sample2 = sample->value2;
        if (!button->setPicture()) {
            testFailed = true;
            statusLabel->setText(
                //: Status line: a picture of the slide is missing; %1 and %2 are its two values.
                QCoreApplication::translate(
                    "runTest",
                    "Ошибка! Отсутствует необходимый файл с картинкой для варианта: %1 %2")
                    .arg(shown->value1, shown->value2));
            return;
        }
    }
    slideStart = msClock::now();
    slideOnset = QDateTime::currentDateTime();
    presses->setSlide(tekSlide, slideStart);
    if (exactLimit)
        limitTimer->start(int(qBound(qint64(0), limitMs(), qint64(INT_MAX))));
    const QLocale numbers = languageChoice::numbers();
    statusLabel->setText(
        statusLine(numbers.toString(slideTime), numbers.toString(seriesSeconds())));
}

qint64 runTest::seriesSeconds() const
{
    // Seconds of the slides still to come, this one included; 64-bit so that absurd
    // settings give a correct line instead of overflow.
    return qint64(slideTime) * (qint64(tekSeries) * slideTotal - tekSlide + 1);
}

quint32 runTest::shownMs() const
{
    return quint32(msClock::now() - slideStart);
}

void runTest::reportSlide(int button, bool right, qint64 pressMs, bool key)
{
    if (tekSeries < 1 || tekSlide < 1 || tekSlide > testData.size())
        return; // no slide is shown
    const QList<variant *> &variants = testData.at(tekSlide - 1)->variants;
    const variant *sample = variants.at(0);
    trialRecord trial;
    trial.series = tekSeries;
    trial.slideInSeries = int(qint64(tekSlide) - qint64(tekSeries - 1) * slideTotal);
    trial.slide = tekSlide;
    trial.sample = serverLayout::pictureName(sample->value1, sample->value2);
    trial.response = button >= 0 && button < buttons.size() ? button : -1;
    if (trial.response >= 0)
        trial.responsePicture = buttons.at(button)->picture();
    trial.correct = right;
    // The same clock and start as the time limit.
    trial.rtMs = shownMs();
    trial.shownMs = trial.rtMs;
    trial.slideTimeMs = limitMs();
    if (trial.response >= 0) {
        trial.pressMs = pressMs < 0 ? trial.rtMs : pressMs;
        trial.input = key ? QStringLiteral("key") : QStringLiteral("mouse");
    }
    for (int b = 1; b <= 4; ++b) {
        const variant *choice = variants.at(b);
        trial.choices.append(serverLayout::pictureName(choice->value1, choice->value2));
        if (serverLayout::isRightAnswer(choice->value1, choice->value2, sample->value1,
                                        sample->value2))
            trial.rightButtons.append(b);
    }
    trial.onset = slideOnset;
    emit slideEnded(trial);
}

QString runTest::statusLine(const QString &slideLeft, const QString &seriesLeft) const
{
    const qint64 slideInSeries = qint64(tekSlide) - qint64(tekSeries - 1) * slideTotal;
    //: Status line above the slides: %5 the series, %1 the slide, %2 the slides of a
    //: series, %3 the seconds left for this slide, %4 for the series (decimals). Keep the two
    //: blanks between the parts.
    return QCoreApplication::translate(
               "runTest", "серия:%5  %1/%2  время на слайд:%3 c  временя на серию:%4 c")
        .arg(slideInSeries)
        .arg(slideTotal)
        .arg(slideLeft)
        .arg(seriesLeft)
        .arg(tekSeries);
}

void runTest::pressBut(int i)
{
    // A frozen or finished runner ignores clicks; nothing may change its counters.
    if (testFailed || seriesOver)
        return;
    // The release of a press made on an earlier slide: the participant had not seen this one.
    const buttonPresses::press press = presses->take(i);
    if (press.slide != 0 && press.slide != tekSlide)
        return;
    if (exactLimit && shownMs() > limitMs())
        return timeOut();
    const bool right = i >= 1 && i < buttons.size() && buttons.at(i)->isRight();
    if (right)
        ++countRightAnswer;
    reportSlide(i, right, press.slide ? qint64(press.ms) : -1, press.key);
    makeTestStep();
}

void runTest::timeOut()
{
    reportSlide(-1, false);
    makeTestStep();
}

void runTest::limitReached()
{
    if (testFailed || seriesOver)
        return;
    // Never before the limit on the program's clock: a timer a millisecond early waits on.
    const qint64 left = limitMs() - shownMs();
    if (left > 0)
        return limitTimer->start(int(qMin(left, qint64(INT_MAX))));
    timeOut();
}

void runTest::timerStep()
{
    if (testFailed)
        return;
    const float elapsed = float(shownMs()) / 1000.0f;
    if (exactLimit ? shownMs() > limitMs() : elapsed > slideTime)
        return timeOut();
    // Decimals as the language writes them: "2,199" in German; with no translator "2.199".
    const QLocale numbers = languageChoice::numbers();
    statusLabel->setText(statusLine(numbers.toString(slideTime - elapsed, 'g', 6),
                                    numbers.toString(double(seriesSeconds()) - elapsed, 'g', 6)));
}
