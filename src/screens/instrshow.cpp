#include "screens/instrshow.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
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
// A document that reads nothing: it notes every resource that rich text asks for and
// answers with a blank, which the layout takes as it is. (The toolkit loads a name that
// gets a null image as a file by itself, so the blank must not be null.)
class guardedDocument : public QTextDocument
{
public:
    QList<QPair<int, QUrl>> asked;

protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        asked.append({type, name});
        return blank(type);
    }

public:
    static QVariant blank(int type)
    {
        if (type != QTextDocument::ImageResource)
            return QString();
        QImage image(1, 1, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        return image;
    }
};

// Room for a window frame with its title bar, which a screen's area must also hold.
const QSize frame(8, 40);

// The instructions' own size, measured as the label lays them out: rich text as a document,
// plain text line by line.
QSize textSize(const QString &text, const QFont &font)
{
    if (!Qt::mightBeRichText(text))
        return QFontMetrics(font).boundingRect(QRect(), Qt::TextExpandTabs, text).size();
    guardedDocument document;
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

void instrShow::setInstructions(const QString &text, const QString &pictureDir,
                                const QStringList &pictures)
{
    if (Qt::mightBeRichText(text)) {
        // Every name the text asks for, found on a document that reads nothing ...
        guardedDocument probe;
        probe.setHtml(text);
        probe.size(); // the layout asks for the images
        // ... is answered ahead in the label's own document, which keeps its resources
        // across setText().
        instrLabel->setText(QStringLiteral("<p></p>"));
        QTextDocument *shown = instrLabel->findChild<QTextDocument *>();
        for (const auto &resource : qAsConst(probe.asked)) {
            const QUrl &name = resource.second;
            const QString file = QFileInfo(name.path()).fileName();
            QVariant answer = guardedDocument::blank(resource.first);
            if (resource.first == QTextDocument::ImageResource && name.scheme().isEmpty()
                && !name.path().contains(QLatin1String(".."))
                && file.endsWith(QLatin1String(".jpg")) && pictures.contains(file.chopped(4))) {
                QImageReader reader(pictureDir + QLatin1Char('/') + file);
                const QSize size = reader.size();
                if (size.width() > 2048 || size.height() > 2048) // the cap of a screen, not memory
                    reader.setScaledSize(size.scaled(2048, 2048, Qt::KeepAspectRatio));
                const QImage image = reader.read();
                if (!image.isNull())
                    answer = image;
            }
            if (shown)
                shown->addResource(resource.first, name, answer);
        }
    }
    instrLabel->setText(text);
}

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
