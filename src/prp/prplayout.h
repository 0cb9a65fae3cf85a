#pragma once
// The PRP image's own bookkeeping: where the header keeps the block bytes of each group,
// the image sum, its length word and its checksum, and the sums the controller checks.
// Everything that reads or writes those bytes asks here; each function reads only the
// bytes it is given.

#include <cstdint>

namespace PrpLayout {

constexpr int ImageSize = 20000;    // the controller's PRP memory
constexpr int GroupCount = 8;       // groups of 32 sections
constexpr int GroupWords = 9;       // word 9 + 2g: bytes of the blocks of group g
constexpr int ImageSumOffset = 139; // 255 - S here, S in the next byte
constexpr int LengthWord = 141;     // header length - 1
constexpr int HeaderSumOffset = 143;
// Bytes an image needs before its header length can be read.
constexpr int LengthKnownFrom = LengthWord + 2;
// The header: 162 bytes, then 11 bytes per technological-key record.
constexpr int HeaderFixedLength = 162;
constexpr int KeyRecordLength = 11;
constexpr int HeaderMaxLength = 2000; // the header buffer; 64 key records need 866
constexpr int KeyCount = 64;

// Bytes 144..161, the same on every header the program builds; 144 and 145 also tell an
// image from one with system information in front.
constexpr int ConstantsOffset = 144;
constexpr std::uint8_t ConstantBytes[18] = {0xA2, 0x80, 0xC9, 0x00, 0x00, 0xC9, 0x00, 0x00, 0xC9,
                                            0x00, 0x00, 0xC9, 0x00, 0x00, 0xFF, 0xA1, 0x80, 0xFC};
// Bytes the header builder always writes as 0: 0 and 1 in front of the orders and the two
// reserved bytes 137 and 138.
constexpr int ZeroBytes[4] = {0, 1, 137, 138};

// A section's code block: byte 0 its length - 1, byte 1 the same again, bytes 2 and 3 the
// section number twice, byte 4 the block's checksum; its last byte, the terminator, is 0.
constexpr int BlockLengthCopy = 1;
constexpr int BlockSection = 2;
constexpr int BlockSectionCopy = 3;
constexpr int BlockSumOffset = 4;
// The five frame bytes and the terminator: a block without instructions.
constexpr int MinBlockLength = 6;
constexpr int MaxBlockLength = 256;
// What byte 0 can count: the bytes of a block in front of its terminator.
constexpr int MaxBlockBody = MaxBlockLength - 1;

constexpr int GroupWord(int g)
{
    return GroupWords + 2 * g;
}

} // namespace PrpLayout

// One byte the header builder always writes with the same value.
struct TFixedByte
{
    int Offset;
    std::uint8_t Value;
};
// Every such byte of the header's fixed part, in ascending offset.
const TFixedByte *FixedHeaderBytes(int &count);

// The little-endian word at offset.
int ImageWord(const std::uint8_t *bytes, int offset);
void SetImageWord(std::uint8_t *bytes, int offset, int value);
// The header length the length word gives (at least PrpLayout::LengthKnownFrom bytes).
int HeaderLengthOf(const std::uint8_t *image);
// The header length plus the group words: where the image's last block ends (at least
// PrpLayout::GroupWord(7) + 2 and PrpLayout::LengthKnownFrom bytes).
int ImageEndOf(const std::uint8_t *image);

// S of the image checksum (byte 139 holds 255 - S, byte 140 S): the sum of the first `end`
// bytes of the image with bytes 139, 140 and 143 taken as 0.
std::uint8_t ImageSum(const std::uint8_t *image, int end);
// Whether bytes 139 and 140 hold the image sum of the first `end` bytes.
bool ImageSumHolds(const std::uint8_t *image, int end);
// Byte 143, the header checksum: what makes the header's bytes sum to 0 (itself taken as 0).
std::uint8_t HeaderChecksumByte(const std::uint8_t *image, int headerLength);
bool HeaderSumHolds(const std::uint8_t *image, int headerLength);
// Writes the image sum of the first `length` bytes and the header checksum of the header
// the length word gives (cut at `length`).
void WriteImageSums(std::uint8_t *image, int length);

// A section's code block: byte 4 makes bytes 0 .. L-1 (L = byte 0) sum to 0.
std::uint8_t BlockChecksumByte(const std::uint8_t *block, int l);
bool BlockChecksumHolds(const std::uint8_t *block, int length);
// Whether `length` bytes are a whole block by their own byte 0 (length - 1 there), no
// shorter than a block without instructions and no longer than byte 0 can count.
bool BlockLengthAgrees(const std::uint8_t *block, int length);
// Whether the first of `available` bytes hold a block the controller keeps: a whole block
// by byte 0 with its length copy, both section bytes alike, the terminator 0 and the sum.
bool BlockAcceptable(const std::uint8_t *block, int available);
// Writes the section number into bytes 2 and 3 of a block.
void SetBlockSection(std::uint8_t *block, int section);
