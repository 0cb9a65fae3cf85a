#include "protocol/replyitems.h"

#include "protocol/iosetup.h"
#include "protocol/wire.h"

#include <algorithm>
#include <iterator>

using namespace Sarvetel;

namespace {

// One screen line as a reply carries it: its number, then its characters.
constexpr int ScreenLineItem = 1 + ScreenLineLength;

// The data bytes of an item whose length does not depend on its data.
int FixedDataLength(int code)
{
    switch (code) {
    case ReplyEmpty02:
    case ReplyEmpty05:
    case ReplyEmpty06:
    case ReplyEmpty07:
    case ReplyEmpty41:
        return 0;
    case CodeBlock:
        return 1 + BlockSize;
    case CodeHeaderBlock:
        return HeaderPartBlockLength - 1;
    case ReplyPair1F:
    case CodeResetVariables:
    case CodeSectionInfo:
        return 2;
    case ReplyLong23:
        return 11;
    case CodeIOSetup:
        return IOSetupItemLength - 1;
    case CodeReadHeaderPart:
        return HeaderPartBlockLength;
    default: // the block count, the status answers, and what the link does not know
        return 1;
    }
}

// Items whose first data byte tells how long they are.
constexpr std::uint8_t SizedByFirstByte[] = {CodeValue,           CodeStatus,    CodeScreen,
                                             CodeSection,         CodeAlgorithm, CodeWriteSection,
                                             CodeToggleMemoryType};

// The data bytes of such an item whose first data byte is b.
int DataLengthFromFirst(int code, int b)
{
    switch (code) {
    case CodeValue: // a sub-type, then its value
        if ((b >= 1 && b <= 4) || b == 6 || b == 7)
            return 1 + 3;
        if (b == 5)
            return 1 + 6;
        return b >= 8 && b <= 10 ? 1 + 4 : 1;
    case CodeStatus: // the mode, then the fault list or the errors byte
        return b == ModeFault ? 1 + 2 * FaultPairCount : 2;
    case CodeScreen: // a count, then one line or two
        return 1 + ReplyItems::ScreenLinesOf(b) * ScreenLineItem;
    case CodeSection: // the section block, its first byte its length
        return b + 2;
    case CodeAlgorithm: // the description's length from the code byte
        return b == 0 ? 0 : b - 1;
    case CodeWriteSection: // a status; a refusal has two more bytes
        return b != 0 ? 3 : 1;
    default: // the memory type answer: a status; a refusal has one more byte
        return b != 0 ? 2 : 1;
    }
}

} // namespace

int ReplyItems::DataLength(const std::uint8_t *frame, int length, int p)
{
    const int code = frame[p];
    if (std::find(std::begin(SizedByFirstByte), std::end(SizedByFirstByte), code) ==
        std::end(SizedByFirstByte))
        return FixedDataLength(code);
    return p + 1 < length ? DataLengthFromFirst(code, frame[p + 1]) : -1;
}

int ReplyItems::ScreenCountByte(int lines)
{
    return lines * ScreenLineItem;
}

int ReplyItems::ScreenLinesOf(int countByte)
{
    // 17 announces one line, 34 two; the threshold lies between them.
    if (countByte == 0)
        return 0;
    return countByte >= 30 ? 2 : 1;
}
