#ifndef SLIDEBUTTON_H
#define SLIDEBUTTON_H

#include "pictures/picturedecoder.h"

#include <QPushButton>

class iconCache;

// A picture button of the slide grid: shows one variant and knows the slide's sample.
class slideButton : public QPushButton
{
    Q_OBJECT
public:
    explicit slideButton(QWidget *parent = nullptr);

    // Width and height of the icons in device-independent pixels.
    static constexpr int iconSide = pictureDecoder::iconSide;

    bool setPicture();
    // The name of the picture the button shows: its variant's, or "fail".
    QString picture() const;
    bool isRight();

    QString value1;
    QString value2;
    QString sample1;
    QString sample2;
    bool showFail = false;
    QString pictureDir;
    // Icons decoded ahead, shared by the buttons of every series; null decodes each time.
    iconCache *icons = nullptr;
};

#endif // SLIDEBUTTON_H
