#ifndef SLIDEDATA_H
#define SLIDEDATA_H

#include <QList>
#include <QString>

struct variant;

// One slide: its variants in text order; variant 0 is the sample.
class slideData
{
public:
    slideData() = default;
    ~slideData();
    slideData(const slideData &) = delete;
    slideData &operator=(const slideData &) = delete;

    void addVariant(QString value1, QString value2);

    QList<variant *> variants;
};

#endif // SLIDEDATA_H
