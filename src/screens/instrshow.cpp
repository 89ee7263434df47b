#include "screens/instrshow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtMath>

instrShow::instrShow(QWidget *parent)
    : QWidget(parent),
      instrLabel(new QLabel(this)),
      startButton(new QPushButton(QStringLiteral("Начать тест"), this))
{
    auto *box = new QVBoxLayout(this);
    box->addWidget(instrLabel);
    box->addWidget(startButton);
}

namespace {
// Room for a window frame with its title bar, which a screen's area must also hold.
const QSize frame(8, 40);

// The instructions' own size, measured as the label lays them out: rich text as a document,
// plain text line by line.
QSize textSize(const QString &text, const QFont &font)
{
    if (!Qt::mightBeRichText(text))
        return QFontMetrics(font).boundingRect(QRect(), Qt::TextExpandTabs, text).size();
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setHtml(text);
    return QSize(qCeil(document.idealWidth()), qCeil(document.size().height()));
}

// The start button, the layout's margins and the spacing, generously for any style.
QSize chrome(const QFont &font)
{
    const int line = QFontMetrics(font).height();
    return QSize(2 * line + 16, 2 * line + 40);
}
} // namespace

QSize instrShow::roomFor(const QString &text, const QFont &font)
{
    return textSize(text, font) + chrome(font) + frame;
}

QSize instrShow::fitInto(const QSize &room)
{
    const QFont font = instrLabel->font();
    const QSize need = roomFor(instrLabel->text(), font);
    if (need.width() <= room.width() && need.height() <= room.height())
        return QSize();

    instrLabel->setWordWrap(need.width() > room.width());
    instrLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    delete layout()->replaceWidget(instrLabel, scroll);
    scroll->setWidget(instrLabel);

    // As wide as the text or the screen allows, and as tall as the wrapped text needs.
    const QSize window = room - frame;
    const int width = qMin(need.width(), room.width()) - frame.width();
    const int textHeight = instrLabel->wordWrap()
                               ? instrLabel->heightForWidth(width - chrome(font).width())
                               : textSize(instrLabel->text(), font).height();
    return QSize(width, qMin(window.height(), textHeight + chrome(font).height()));
}
