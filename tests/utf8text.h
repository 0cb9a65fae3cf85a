// Texts in the tests are written as UTF-8 literals; S() makes them QStrings.
#pragma once

#include <QString>

inline QString S(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
