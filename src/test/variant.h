#ifndef VARIANT_H
#define VARIANT_H

#include <QString>

// One picture variant: its picture is img/<value1>_<value2>.jpg.
struct variant
{
    QString value1;
    QString value2;
};

#endif // VARIANT_H
