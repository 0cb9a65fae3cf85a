#include "prp/imagecheck.h"

#include "prp/prplayout.h"
#include "prp/prptexts.h"

#include <algorithm>

using namespace PrpLayout;

bool CheckPrpHeader(const std::uint8_t *header, int length, int &headerLength,
                    QStringList &problems)
{
    headerLength = 0;
    const qsizetype before = problems.size();
    if (length < LengthKnownFrom) {
        problems.append(PrpTexts::HeaderPastData(HeaderFixedLength));
        return false;
    }
    const int h = HeaderLengthOf(header);
    headerLength = h;
    if (h < HeaderFixedLength) {
        problems.append(PrpTexts::HeaderTooShort(h, HeaderFixedLength));
        return false;
    }
    if (h > HeaderMaxLength) {
        problems.append(PrpTexts::HeaderTooLong(h, HeaderMaxLength));
        return false;
    }
    if ((h - HeaderFixedLength) % KeyRecordLength != 0)
        problems.append(PrpTexts::HeaderLengthOdd(h));
    int count = 0;
    const TFixedByte *fixed = FixedHeaderBytes(count);
    for (int i = 0; i < count && fixed[i].Offset < length; ++i)
        if (header[fixed[i].Offset] != fixed[i].Value)
            problems.append(
                PrpTexts::FixedByte(fixed[i].Offset, header[fixed[i].Offset], fixed[i].Value));
    if (h > length) {
        problems.append(PrpTexts::HeaderPastData(h));
        return false;
    }
    for (int pos = HeaderFixedLength; pos + KeyRecordLength <= h; pos += KeyRecordLength)
        if (header[pos] >= KeyCount)
            problems.append(PrpTexts::BadKeyNumber(header[pos]));
    if (!HeaderSumHolds(header, h))
        problems.append(PrpTexts::HeaderSumBroken);
    return problems.size() == before;
}

bool CheckPrpBlock(const std::uint8_t *block, int length, int offset, QStringList &problems)
{
    const qsizetype before = problems.size();
    const int s = block[BlockSection];
    if (block[BlockSectionCopy] != s)
        problems.append(PrpTexts::BlockTwoSections(offset, s, block[BlockSectionCopy]));
    if (block[BlockLengthCopy] != block[0])
        problems.append(PrpTexts::BlockLengthCopy(s, block[0], block[BlockLengthCopy]));
    if (block[length - 1] != 0)
        problems.append(PrpTexts::BlockTerminator(s, block[length - 1]));
    if (!BlockChecksumHolds(block, length))
        problems.append(PrpTexts::BlockSumBroken(s));
    return problems.size() == before;
}

namespace {

// The blocks from the header's end: group by group, each group's blocks filling exactly its
// word, in ascending section order. Stops where the chain of length bytes gives way.
void WalkBlocks(const std::uint8_t *image, int length, TImageCheck &c)
{
    int p = c.HeaderLength;
    int previous = -1;
    for (int g = 0; g < GroupCount; ++g) {
        const int word = ImageWord(image, GroupWord(g));
        const int groupEnd = p + word;
        while (p < groupEnd) {
            if (p + MinBlockLength > length) {
                c.Problems.append(PrpTexts::BlockPastData(p));
                return;
            }
            const int n = image[p] + 1;
            if (n < MinBlockLength) {
                c.Problems.append(PrpTexts::BlockTooShort(p, MinBlockLength));
                return;
            }
            if (p + n > length) {
                c.Problems.append(PrpTexts::BlockPastData(p));
                return;
            }
            if (p + n > groupEnd) {
                c.Problems.append(PrpTexts::BlockPastGroup(p, n, g, groupEnd));
                return;
            }
            const int s = image[p + BlockSection];
            if (s / 32 != g)
                c.Problems.append(PrpTexts::BlockInOtherGroup(s, p, g));
            else if (s == previous)
                c.Problems.append(PrpTexts::BlockRepeated(s, p));
            else if (s < previous)
                c.Problems.append(PrpTexts::BlockOutOfOrder(s, p, previous));
            previous = std::max(previous, s);
            CheckPrpBlock(image + p, n, p, c.Problems);
            c.Blocks.push_back({p, n, s, BlockChecksumHolds(image + p, n)});
            p += n;
        }
    }
    c.BlocksWalked = true;
}

} // namespace

TImageCheck CheckPrpImage(const std::uint8_t *image, int length)
{
    TImageCheck c;
    length = std::clamp(length, 0, ImageSize);
    CheckPrpHeader(image, length, c.HeaderLength, c.Problems);
    if (c.HeaderLength < HeaderFixedLength || c.HeaderLength > std::min(length, HeaderMaxLength))
        return c; // no group words to go by, or the header itself is not all there
    c.HeaderSum = HeaderSumHolds(image, c.HeaderLength) ? TSumState::Holds : TSumState::Broken;
    c.End = ImageEndOf(image);
    WalkBlocks(image, length, c);
    if (c.End <= length) {
        c.ImageSum = ImageSumHolds(image, c.End) ? TSumState::Holds : TSumState::Broken;
        if (c.ImageSum == TSumState::Broken)
            c.Problems.append(PrpTexts::ImageSumBroken);
    }
    return c;
}
