#pragma once
// A PRP image in readable form: its header fields, group words, section blocks with
// their own checksums and the two checksums of the image, plus what is wrong with it.

#include <QStringList>

#include <cstdint>

struct TImageDump
{
    QStringList Lines; // the description, then the image check's problems and the verdict
    int Problems = 0;  // how many problems the image check found (0: the image is sound)
};

// Reads only the `length` bytes given. loadErrors: what reading the file or set found
// besides; the verdict then does not call the image sound.
TImageDump DescribeImage(const std::uint8_t *image, int length, int loadErrors = 0);
