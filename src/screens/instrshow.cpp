#include "screens/instrshow.h"

#include "pictures/picturedecoder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QTextFormat>
#include <QVBoxLayout>
#include <QtMath>

instrShow::instrShow(QWidget *parent)
    : QWidget(parent),
      instrLabel(new QLabel(this)),
      //: Button under the server's instructions: start the first series.
      startButton(new QPushButton(QCoreApplication::translate("instrShow", "Начать тест"), this))
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
        // Every name the text holds, found on a document that reads nothing: those asked for
        // while parsing and laying out (style sheets, backgrounds, images without a size) ...
        guardedDocument probe;
        probe.setHtml(text);
        probe.size();
        QList<QPair<int, QUrl>> names = probe.asked;
        // ... and those the label would only ask for when painting: every image, and every
        // background of a block, frame, table, cell or span, however the text nests them.
        const QVector<QTextFormat> formats = probe.allFormats();
        for (const QTextFormat &format : formats) {
            if (format.isImageFormat())
                names.append(
                    {QTextDocument::ImageResource, imageUrl(format.toImageFormat().name())});
            if (format.hasProperty(QTextFormat::BackgroundImageUrl))
                names.append({QTextDocument::ImageResource,
                              imageUrl(format.stringProperty(QTextFormat::BackgroundImageUrl))});
        }
        // All are answered ahead in the label's own document, which keeps its resources
        // across setText(): the test's pictures from the picture folder, a blank for the rest.
        instrLabel->setText(QStringLiteral("<p></p>"));
        QTextDocument *shown = instrLabel->findChild<QTextDocument *>();
        for (const auto &resource : qAsConst(names)) {
            if (shown)
                shown->addResource(resource.first, resource.second,
                                   answer(resource.first, resource.second, pictureDir, pictures));
        }
    }
    instrLabel->setText(text);
}

QUrl instrShow::imageUrl(QString name)
{
    // As the layout turns an image's name into the address it asks for.
    if (name.startsWith(QLatin1String(":/")))
        name.prepend(QLatin1String("qrc"));
    return QUrl(name);
}

QVariant instrShow::answer(int type, const QUrl &name, const QString &pictureDir,
                           const QStringList &pictures)
{
    const QString file = QFileInfo(name.path()).fileName();
    if (type == QTextDocument::ImageResource && name.scheme().isEmpty()
        && !name.path().contains(QLatin1String("..")) && file.endsWith(QLatin1String(".jpg"))
        && pictures.contains(file.chopped(4))) {
        // At most a screen's size; never over the pixel cap.
        const QImage image =
            pictureDecoder::decode(pictureDir + QLatin1Char('/') + file, QSize(2048, 2048));
        if (!image.isNull())
            return image;
    }
    return guardedDocument::blank(type);
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
