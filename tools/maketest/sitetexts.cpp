#include "maketest/sitetexts.h"

#include <QStringList>

QString siteTexts::count(int n, const QString &one, const QString &few, const QString &many)
{
    const int lastTwo = qAbs(n) % 100, last = qAbs(n) % 10;
    const QString &noun = lastTwo >= 11 && lastTwo <= 14 ? many
                          : last == 1                    ? one
                          : last >= 2 && last <= 4       ? few
                                                         : many;
    return QString::number(n) + QLatin1Char(' ') + noun;
}

QString siteTexts::instructions(int slideTime, int series, int slides, int pause, bool ownPictures)
{
    const QString rule =
        ownPictures
            ? QStringLiteral("Нажмите картинку, которая совпадает с образцом по одному "
                             "признаку.<br>"
                             "Если ни одна из трёх картинок не совпадает с образцом ни по "
                             "одному признаку,<br>")
            : QStringLiteral("Нажмите картинку, у которой с образцом совпадает <b>форма</b> "
                             "или <b>цвет</b>.<br>"
                             "Если ни одна из трёх картинок не совпадает с образцом ни формой, "
                             "ни цветом,<br>");
    return QStringLiteral("<h3>Тест внимания</h3>"
                          "В середине экрана показан образец. Слева, справа и сверху от него "
                          "— три картинки,<br>"
                          "внизу — кнопка «ни одна не подходит».<br><br>")
           + rule
           + QStringLiteral("нажмите нижнюю кнопку.<br><br>"
                            "На каждый слайд даётся %1 с. В тесте %2, по %3 в каждой;<br>"
                            "между сериями — пауза %4 с. Нажмите «Начать тест», когда будете "
                            "готовы.")
                 .arg(slideTime)
                 .arg(count(series, QStringLiteral("серия"), QStringLiteral("серии"),
                            QStringLiteral("серий")),
                      count(slides, QStringLiteral("слайду"), QStringLiteral("слайда"),
                            QStringLiteral("слайдов")))
                 .arg(pause);
}

QString siteTexts::englishInstructions(int slideTime, int series, int slides, int pause,
                                       bool ownPictures)
{
    const auto plural = [](int n, const char *one, const char *other) {
        return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : other);
    };
    const QString rule =
        ownPictures ? QStringLiteral("Press the picture that matches the sample in one "
                                     "feature.<br>"
                                     "If none of the three pictures matches the sample in any "
                                     "feature,<br>")
                    : QStringLiteral("Press the picture that has the sample's <b>shape</b> or "
                                     "<b>colour</b>.<br>"
                                     "If none of the three pictures has the sample's shape or "
                                     "colour,<br>");
    return QStringLiteral("<h3>Attention test</h3>"
                          "A sample is shown in the middle of the screen. Left of it, right of "
                          "it and above it are three pictures,<br>"
                          "below it the button \u201cnone of them\u201d.<br><br>")
           + rule
           + QStringLiteral("press the bottom button.<br><br>"
                            "You have %1 for each slide. The test has %2 of %3 each;<br>"
                            "between the series there is a pause of %4. Press \u201cStart the "
                            "test\u201d when you are ready.")
                 .arg(plural(slideTime, "second", "seconds"), plural(series, "series", "series"),
                      plural(slides, "slide", "slides"), plural(pause, "second", "seconds"));
}
