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

// True when the block's own checksum holds: the byte sum of its bytes 0..L-1 (L = byte 0)
// is 0, or byte 4 equals (256 - that sum taken with byte 4 as 0) mod 256.
bool BlockChecksumHolds(const std::uint8_t *block, int length);
