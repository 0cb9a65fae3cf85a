#include "prp/prplayout.h"

#include "core/textutils.h"

#include <algorithm>
#include <vector>

using namespace PrpLayout;

const TFixedByte *FixedHeaderBytes(int &count)
{
    static const auto table = [] {
        std::vector<TFixedByte> bytes;
        for (const int at : ZeroBytes)
            bytes.push_back({at, 0});
        for (int i = 0; i < static_cast<int>(sizeof ConstantBytes); ++i)
            bytes.push_back({ConstantsOffset + i, ConstantBytes[i]});
        return bytes;
    }();
    count = static_cast<int>(table.size());
    return table.data();
}

int ImageWord(const std::uint8_t *bytes, int offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8);
}

void SetImageWord(std::uint8_t *bytes, int offset, int value)
{
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

int HeaderLengthOf(const std::uint8_t *image)
{
    return ImageWord(image, LengthWord) + 1;
}

int ImageEndOf(const std::uint8_t *image)
{
    int end = HeaderLengthOf(image);
    for (int g = 0; g < GroupCount; ++g)
        end += ImageWord(image, GroupWord(g));
    return end;
}

std::uint8_t ImageSum(const std::uint8_t *image, int end)
{
    std::vector<std::uint8_t> copy(image, image + std::clamp(end, 0, ImageSize));
    for (const int at : {ImageSumOffset, ImageSumOffset + 1, HeaderSumOffset})
        if (at < static_cast<int>(copy.size()))
            copy[static_cast<size_t>(at)] = 0;
    return ByteSum(copy.data(), static_cast<int>(copy.size()));
}

bool ImageSumHolds(const std::uint8_t *image, int end)
{
    const std::uint8_t sum = ImageSum(image, end);
    return image[ImageSumOffset] == 255 - sum && image[ImageSumOffset + 1] == sum;
}

std::uint8_t HeaderChecksumByte(const std::uint8_t *image, int headerLength)
{
    std::vector<std::uint8_t> copy(image, image + std::clamp(headerLength, 0, ImageSize));
    if (HeaderSumOffset < static_cast<int>(copy.size()))
        copy[HeaderSumOffset] = 0;
    const std::uint8_t hd = ByteSum(copy.data(), static_cast<int>(copy.size()));
    return static_cast<std::uint8_t>((256 - hd) % 256);
}

bool HeaderSumHolds(const std::uint8_t *image, int headerLength)
{
    return image[HeaderSumOffset] == HeaderChecksumByte(image, headerLength);
}

void WriteImageSums(std::uint8_t *image, int length)
{
    const std::uint8_t sum = ImageSum(image, length);
    image[ImageSumOffset] = static_cast<std::uint8_t>(255 - sum);
    image[ImageSumOffset + 1] = sum;
    image[HeaderSumOffset] = HeaderChecksumByte(image, std::min(HeaderLengthOf(image), length));
}

std::uint8_t BlockChecksumByte(const std::uint8_t *block, int l)
{
    // The sum with byte 4 taken as 0.
    std::vector<std::uint8_t> copy(block, block + std::max(l, 0));
    if (BlockSumOffset < static_cast<int>(copy.size()))
        copy[BlockSumOffset] = 0;
    return static_cast<std::uint8_t>((256 - ByteSum(copy.data(), static_cast<int>(copy.size()))) %
                                     256);
}

bool BlockChecksumHolds(const std::uint8_t *block, int length)
{
    if (length < 1)
        return false;
    const int l = block[0];
    if (l < 5 || l > length)
        return false;
    if (ByteSum(block, l) == 0)
        return true;
    return block[BlockSumOffset] == BlockChecksumByte(block, l);
}

bool BlockLengthAgrees(const std::uint8_t *block, int length)
{
    return length >= MinBlockLength && length <= MaxBlockLength && block[0] + 1 == length;
}

bool BlockAcceptable(const std::uint8_t *block, int available)
{
    if (available < MinBlockLength)
        return false;
    const int l = block[0];
    return l + 1 <= available && BlockLengthAgrees(block, l + 1) && block[BlockLengthCopy] == l &&
           block[BlockSection] == block[BlockSectionCopy] && block[l] == 0 &&
           BlockChecksumHolds(block, l + 1);
}

void SetBlockSection(std::uint8_t *block, int section)
{
    block[BlockSection] = static_cast<std::uint8_t>(section & 0xFF);
    block[BlockSectionCopy] = block[BlockSection];
}
