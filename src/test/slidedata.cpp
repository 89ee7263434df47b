#include "test/slidedata.h"

#include "test/variant.h"

slideData::~slideData()
{
    qDeleteAll(variants);
    variants.clear();
}

void slideData::addVariant(QString value1, QString value2)
{
    variants.append(new variant{value1, value2});
}
