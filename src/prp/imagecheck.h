#pragma once
// The one check of a PRP image, whatever it came from: a .prp file, a section file set or the
// controller. The end-around sums cannot see a byte turning from 0x00 into 0xFF, so besides
// the image's, the header's and every block's sums it holds the image to what the program
// always builds: the header's fixed bytes and its length, each block's frame (its length and
// section number written twice, its terminator 0), the blocks in ascending section order and
// each group's blocks adding up to its group word. Every check reads only the bytes given.

#include <QStringList>

#include <cstdint>
#include <vector>

enum class TSumState { Holds, Broken, NotChecked };

// A section's code block as the check walked it.
struct TImageBlock
{
    int Offset = 0;
    int Length = 0;
    int Section = 0; // its byte 2
    bool SumHolds = false;
};

struct TImageCheck
{
    int HeaderLength = 0; // as the length word gives it (0 when the bytes end before it)
    int End = 0;          // header length + the group words (0 when not known)
    std::vector<TImageBlock> Blocks;
    bool BlocksWalked = false; // every block up to End was walked
    TSumState ImageSum = TSumState::NotChecked;
    TSumState HeaderSum = TSumState::NotChecked;
    // One line per problem, as the message list shows it.
    QStringList Problems;
    bool Sound() const { return Problems.isEmpty(); }
};

TImageCheck CheckPrpImage(const std::uint8_t *image, int length);

// The header on its own (a section file set's header file): its length, fixed bytes, key
// numbers and sum. Adds a line per problem; true when there is none. headerLength is set to
// what the length word says (0 when the bytes end before it).
bool CheckPrpHeader(const std::uint8_t *header, int length, int &headerLength,
                    QStringList &problems);

// A section's code block on its own, known to be `length` bytes long with byte 0 saying so:
// the length and the section number written twice, the terminator, the sum. Adds a line per
// problem; true when there is none.
bool CheckPrpBlock(const std::uint8_t *block, int length, int offset, QStringList &problems);
