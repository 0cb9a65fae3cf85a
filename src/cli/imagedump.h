#pragma once
// A PRP image in readable form: its header fields, group words, section blocks with
// their own checksums and the two checksums of the image, plus what is wrong with it.

#include <QStringList>

#include <cstdint>

struct TImageDump
{
    QStringList Lines; // the description; problems appear in place, as "Ошибка: ..." lines
    int Problems = 0;  // how many problems were found (0: the image is sound)
};

// Reads only the `length` bytes given.
TImageDump DescribeImage(const std::uint8_t *image, int length);
