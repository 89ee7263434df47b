#include "maketest/sitetexts.h"

namespace {
// The default instructions of one language other than Russian: %1 the seconds per slide,
// %2 the series, %3 the slides of each, %4 the pause, each a number with its noun.
struct wording
{
    const char *code;
    const char *intro;
    const char *drawnRule;
    const char *ownRule;
    const char *closing;
    const char *second[2]; // the singular, then the plural
    const char *series[2];
    const char *slides[2];
    bool zeroIsOne; // 0 takes the singular too, as in French
};

const wording others[] = {
    {"en",
     "<h3>Attention test</h3>A sample is shown in the middle of the screen. Left of it, right of "
     "it and above it are three pictures,<br>below it the button \u201cnone of them\u201d.<br><br>",
     "Press the picture that has the sample's <b>shape</b> or <b>colour</b>.<br>If none of the "
     "three pictures has the sample's shape or colour,<br>",
     "Press the picture that matches the sample in one feature.<br>If none of the three "
     "pictures matches the sample in any feature,<br>",
     "press the bottom button.<br><br>You have %1 for each slide. The test has %2 of %3 each;"
     "<br>between the series there is a pause of %4. Press \u201cStart the test\u201d when you "
     "are ready.",
     {"second", "seconds"},
     {"series", "series"},
     {"slide", "slides"},
     false},
    {"de",
     "<h3>Aufmerksamkeitstest</h3>In der Mitte des Bildschirms steht ein Muster. Links, rechts "
     "und über ihm sind drei Bilder,<br>darunter die Schaltfläche \u201ekeines passt\u201c."
     "<br><br>",
     "Klicken Sie auf das Bild, das mit dem Muster in der <b>Form</b> oder der <b>Farbe</b> "
     "übereinstimmt.<br>Wenn keines der drei Bilder in Form oder Farbe mit dem Muster "
     "übereinstimmt,<br>",
     "Klicken Sie auf das Bild, das mit dem Muster in einem Merkmal übereinstimmt.<br>Wenn "
     "keines der drei Bilder in irgendeinem Merkmal mit dem Muster übereinstimmt,<br>",
     "klicken Sie auf die untere Schaltfläche.<br><br>Für jede Folie haben Sie %1. Der Test hat "
     "%2 mit je %3;<br>zwischen den Serien gibt es eine Pause von %4. Klicken Sie auf \u201eTest "
     "starten\u201c, wenn Sie bereit sind.",
     {"Sekunde", "Sekunden"},
     {"Serie", "Serien"},
     {"Folie", "Folien"},
     false},
    {"es",
     "<h3>Prueba de atención</h3>En el centro de la pantalla aparece un modelo. A su izquierda, "
     "a su derecha y encima hay tres imágenes,<br>debajo, el botón «ninguna coincide».<br><br>",
     "Pulse la imagen que tenga la misma <b>forma</b> o el mismo <b>color</b> que el modelo."
     "<br>Si ninguna de las tres imágenes coincide con el modelo en forma ni en color,<br>",
     "Pulse la imagen que coincida con el modelo en un rasgo.<br>Si ninguna de las tres "
     "imágenes coincide con el modelo en ningún rasgo,<br>",
     "pulse el botón de abajo.<br><br>Tiene %1 para cada diapositiva. La prueba tiene %2 de %3 "
     "cada una;<br>entre las series hay una pausa de %4. Pulse «Comenzar la prueba» cuando esté "
     "listo.",
     {"segundo", "segundos"},
     {"serie", "series"},
     {"diapositiva", "diapositivas"},
     false},
    {"fr",
     "<h3>Test d’attention</h3>Un modèle est affiché au milieu de l’écran. À sa gauche, à sa "
     "droite et au-dessus se trouvent trois images,<br>en dessous le bouton «\u00a0aucune ne "
     "convient\u00a0».<br><br>",
     "Cliquez sur l’image qui a la même <b>forme</b> ou la même <b>couleur</b> que le modèle."
     "<br>Si aucune des trois images n’a la forme ou la couleur du modèle,<br>",
     "Cliquez sur l’image qui correspond au modèle par un caractère.<br>Si aucune des trois "
     "images ne correspond au modèle par aucun caractère,<br>",
     "cliquez sur le bouton du bas.<br><br>Vous disposez de %1 par diapositive. Le test comporte "
     "%2 de %3 chacune\u00a0;<br>entre les séries, une pause de %4. Cliquez sur «\u00a0Commencer "
     "le test\u00a0» quand vous êtes prêt.",
     {"seconde", "secondes"},
     {"série", "séries"},
     {"diapositive", "diapositives"},
     true},
    {"pt",
     "<h3>Teste de atenção</h3>No centro da tela aparece um modelo. À esquerda, à direita e "
     "acima dele há três imagens,<br>abaixo, o botão \u201cnenhuma serve\u201d.<br><br>",
     "Clique na imagem que tem a mesma <b>forma</b> ou a mesma <b>cor</b> do modelo.<br>Se "
     "nenhuma das três imagens tiver a forma ou a cor do modelo,<br>",
     "Clique na imagem que coincide com o modelo em uma característica.<br>Se nenhuma das três "
     "imagens coincidir com o modelo em nenhuma característica,<br>",
     "clique no botão de baixo.<br><br>Você tem %1 para cada slide. O teste tem %2 de %3 cada;"
     "<br>entre as séries há uma pausa de %4. Clique em \u201cIniciar o teste\u201d quando "
     "estiver pronto.",
     {"segundo", "segundos"},
     {"série", "séries"},
     {"slide", "slides"},
     false},
    {"zh_CN",
     "<h3>注意力测试</h3>屏幕中央显示一个样本。它的左边、右边和上方各有一张图片，<br>下方是"
     "\u201c都不符合\u201d按钮。<br><br>",
     "请点击与样本<b>形状</b>或<b>颜色</"
     "b>相同的图片。<br>如果三张图片的形状和颜色都与样本不同，<br>",
     "请点击与样本有一个特征相同的图片。<br>如果三张图片没有任何特征与样本相同，<br>",
     "请点击下方的按钮。<br><br>每张幻灯片有 %1。测试共 %2，每组 %3；<br>两组之间休息 %4。"
     "准备好后请点击\u201c开始测试\u201d。",
     {"秒", "秒"},
     {"组", "组"},
     {"张幻灯片", "张幻灯片"},
     false},
};

QString russian(int slideTime, int series, int slides, int pause, bool ownPictures)
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
                 .arg(siteTexts::count(series, QStringLiteral("серия"), QStringLiteral("серии"),
                                       QStringLiteral("серий")),
                      siteTexts::count(slides, QStringLiteral("слайду"), QStringLiteral("слайда"),
                                       QStringLiteral("слайдов")))
                 .arg(pause);
}
} // namespace

QStringList siteTexts::languages()
{
    QStringList codes{QStringLiteral("ru")};
    for (const wording &w : others)
        codes.append(QLatin1String(w.code));
    return codes;
}

QString siteTexts::languageOf(const QString &code)
{
    const QString wanted = code.trimmed().replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString language = wanted.section(QLatin1Char('_'), 0, 0);
    for (const QString &known : languages()) {
        if (known.compare(wanted, Qt::CaseInsensitive) == 0)
            return known;
    }
    for (const QString &known : languages()) {
        if (!language.isEmpty()
            && known.section(QLatin1Char('_'), 0, 0).compare(language, Qt::CaseInsensitive) == 0)
            return known;
    }
    return QString();
}

QString siteTexts::count(int n, const QString &one, const QString &few, const QString &many)
{
    const int lastTwo = qAbs(n) % 100, last = qAbs(n) % 10;
    const QString &noun = lastTwo >= 11 && lastTwo <= 14 ? many
                          : last == 1                    ? one
                          : last >= 2 && last <= 4       ? few
                                                         : many;
    return QString::number(n) + QLatin1Char(' ') + noun;
}

QString siteTexts::instructions(const QString &language, int slideTime, int series, int slides,
                                int pause, bool ownPictures)
{
    for (const wording &w : others) {
        if (language != QLatin1String(w.code))
            continue;
        const auto counted = [&w](int n, const char *const noun[2]) {
            return QString::number(n) + QLatin1Char(' ')
                   + QString::fromUtf8(noun[n == 1 || (n == 0 && w.zeroIsOne) ? 0 : 1]);
        };
        return QString::fromUtf8(w.intro) + QString::fromUtf8(ownPictures ? w.ownRule : w.drawnRule)
               + QString::fromUtf8(w.closing).arg(
                   counted(slideTime, w.second), counted(series, w.series),
                   counted(slides, w.slides), counted(pause, w.second));
    }
    return russian(slideTime, series, slides, pause, ownPictures);
}

QString siteTexts::fill(QString text, int slideTime, int series, int slides, int pause)
{
    return text.replace(QLatin1String("{series}"), QString::number(series))
        .replace(QLatin1String("{slides}"), QString::number(slides))
        .replace(QLatin1String("{seconds}"), QString::number(slideTime))
        .replace(QLatin1String("{pause}"), QString::number(pause));
}
