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
