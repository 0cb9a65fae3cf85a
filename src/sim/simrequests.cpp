// The simulated controller's answers to the request items, one handler a request code.

#include "sim/simulator.h"

#include "core/textutils.h"
#include "protocol/frame.h"
#include "protocol/iosetup.h"
#include "protocol/replyitems.h"
#include "protocol/wire.h"

#include <algorithm>

using namespace Sarvetel;

namespace {

// An item of one answer: the request's code and its status byte (0: done).
void Answer(TSimItem &item, bool ok)
{
    item.Out.push_back(item.Code());
    item.Out.push_back(ok ? 0 : 1);
}

} // namespace

int TSarvetelSimulator::OnStatus(TSimItem &item)
{
    // The console's opening frame has room only for a short status.
    if (!(item.Has(2) && item[1] == CodeOpenExtra1 && Mode == ModeFault))
        Status(item.Out);
    return 1;
}

int TSarvetelSimulator::OnSetMode(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    Answer(item, ChangeMode(item[1]));
    return 2;
}

int TSarvetelSimulator::OnScreen(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    const int first = std::min<int>(item[1], ScreenLineCount - 1);
    const int lines = first < ScreenLineCount - 1 ? 2 : 1;
    item.Out.push_back(CodeScreen);
    item.Out.push_back(static_cast<std::uint8_t>(ReplyItems::ScreenCountByte(lines)));
    for (int i = first; i < first + lines; ++i) {
        item.Out.push_back(static_cast<std::uint8_t>(i));
        for (QChar ch : ScreenLine(i))
            item.Out.push_back(TextToController(ch));
    }
    return 2;
}

int TSarvetelSimulator::OnKey(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    PressKey(item[1]);
    Answer(item, true);
    return 2;
}

int TSarvetelSimulator::OnBlockCount(TSimItem &item)
{
    const int blocks = (Program.ImageLength + BlockSize - 1) / BlockSize;
    item.Out.push_back(CodeBlockCount);
    item.Out.push_back(static_cast<std::uint8_t>(blocks & 0xFF));
    return 1;
}

int TSarvetelSimulator::OnBlock(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    const int k = item[1];
    item.Out.push_back(CodeBlock);
    item.Out.push_back(static_cast<std::uint8_t>(k));
    const std::size_t first = item.Out.size();
    for (int i = 0; i < BlockSize; ++i) {
        const int at = BlockSize * k + i;
        item.Out.push_back(at < Program.ImageLength ? Program.Image[at] : 0);
    }
    if (Faults.FlipBlock == k && !Faults.Flipped) {
        const auto zero = std::find(item.Out.begin() + first, item.Out.end(), 0);
        if (zero != item.Out.end()) {
            *zero = 0xFF;
            Faults.Flipped = true;
        }
    }
    return 2;
}

int TSarvetelSimulator::OnReadHeaderPart(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    item.Out.push_back(CodeReadHeaderPart);
    HeaderPartBlock(item[1] % HeaderPartCount, item.Out);
    return 2;
}

int TSarvetelSimulator::OnBeginWrite(TSimItem &item)
{
    Answer(item, true);
    return 1;
}

int TSarvetelSimulator::OnSilent(TSimItem &)
{
    return 1; // taken, and no answer
}

int TSarvetelSimulator::OnPrepare(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    Answer(item, true);
    return 2;
}

int TSarvetelSimulator::OnHeaderPart(TSimItem &item)
{
    // The block runs from the byte after its length to the end of the frame.
    const bool ok =
        Mode == ModeProgram && item.Has(HeaderPartBlockLength) && item[1] == HeaderPartBlockLength;
    if (ok)
        StoreHeaderPart(item.Data() + 1);
    Answer(item, ok);
    return item.Rest();
}

int TSarvetelSimulator::OnWriteTechKey(TSimItem &item)
{
    if (!item.Has(4 + TechKeyNameLength))
        return 0;
    const int t = item[1];
    const bool ok = Mode == ModeProgram && t < TPRPHeader::KeyCount;
    if (ok) {
        TTechKey &key = Program.Header.TechKeys[t];
        key.Class = item[2];
        key.Index = item[3];
        key.Name.clear();
        for (int i = 0; i < TechKeyNameLength; ++i)
            key.Name += ControllerToText(item[4 + i]);
        ProgramChanged();
    }
    Answer(item, ok);
    return 4 + TechKeyNameLength;
}

int TSarvetelSimulator::OnClearTechKey(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    const int t = item[1];
    const bool ok = Mode == ModeProgram && t < TPRPHeader::KeyCount;
    if (ok) {
        Program.Header.TechKeys[t].Class = 0;
        ProgramChanged();
    }
    Answer(item, ok);
    return 2;
}

int TSarvetelSimulator::OnSection(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    const TZentorSection &s = Program.Sections[item[1]];
    item.Out.push_back(CodeSection);
    if (s.Present && s.CodeLength > 0) {
        item.Out.insert(item.Out.end(), s.Code, s.Code + s.CodeLength);
        item.Out.push_back(0);
    } else {
        item.Out.insert(item.Out.end(), {0, 0, 0});
    }
    return 2;
}

int TSarvetelSimulator::OnSectionInfo(TSimItem &item)
{
    if (!item.Has(3))
        return 0;
    const TZentorSection &s = Program.Sections[item[1]];
    const int size = s.Present ? s.CodeLength : 0;
    item.Out.push_back(CodeSectionInfo);
    item.Out.push_back(static_cast<std::uint8_t>(size & 0xFF));
    item.Out.push_back(static_cast<std::uint8_t>(size >> 8));
    return 3;
}

int TSarvetelSimulator::OnWriteSection(TSimItem &item)
{
    bool noMemory = false;
    const bool ok = StoreSection(item.Data(), item.Rest() - 1, noMemory);
    if (noMemory)
        item.Flags |= FrameLayout::FlagNoMemory;
    Answer(item, ok);
    if (!ok)
        item.Out.insert(item.Out.end(), {0, 0});
    return item.Rest();
}

int TSarvetelSimulator::OnDeleteSection(TSimItem &item)
{
    if (!item.Has(3))
        return 0;
    const int s = item[1];
    const bool ok = Mode == ModeProgram && item[2] == s;
    if (ok && Program.Sections[s].Present) {
        Program.Sections[s].Present = 0;
        ProgramChanged();
    }
    Answer(item, ok);
    return 3;
}

int TSarvetelSimulator::OnIOSetup(TSimItem &item)
{
    IOSetupItem(item.Out);
    return 1;
}

int TSarvetelSimulator::OnWriteIOSetup(TSimItem &item)
{
    // The setup block fills the whole frame, so it is the frame's only item.
    Answer(item, item.At == FrameLayout::PayloadAt && StoreIOSetup(item.Frame, item.Length));
    return item.Rest();
}

int TSarvetelSimulator::OnReleaseChannel(TSimItem &item)
{
    if (!item.Has(3))
        return 0;
    for (int l = 0; l < IOSetupLayout::LogicalChannels; ++l) {
        std::uint8_t &physical = IOSetup[IOSetupLayout::ChannelsAt + l];
        if (physical < IOSetupLayout::NoChannel && (1 << physical) == item[1])
            physical = IOSetupLayout::NoChannel;
    }
    Changed();
    Answer(item, true);
    return 3;
}

int TSarvetelSimulator::OnAutoIOSetup(TSimItem &item)
{
    ResetIOSetup();
    Changed();
    Answer(item, true);
    return 1;
}

int TSarvetelSimulator::OnResetVariables(TSimItem &item)
{
    Run.ResetVariables();
    Answer(item, true);
    item.Out.push_back(0);
    return 1;
}

int TSarvetelSimulator::OnReset(TSimItem &item)
{
    if (item.Code() == CodeResetSystemMemory) {
        ErrorsByte = 0xFF;
        Input.clear();
    } else if (item.Code() == CodeResetVariableLocks) {
        Run.ResetLocks();
    }
    Answer(item, true);
    return 1;
}

int TSarvetelSimulator::OnToggleMemoryType(TSimItem &item)
{
    MemoryType ^= 0x01;
    Changed();
    Answer(item, true);
    return 1;
}

int TSarvetelSimulator::OnAlgorithm(TSimItem &item)
{
    if (!item.Has(2))
        return 0;
    AlgorithmItem(item[1], item.Out);
    return 2;
}

TSarvetelSimulator::THandler TSarvetelSimulator::HandlerOf(std::uint8_t code)
{
    using S = TSarvetelSimulator;
    static const std::pair<std::uint8_t, THandler> Handlers[] = {
        {CodeStatus, &S::OnStatus},
        {CodeSetMode, &S::OnSetMode},
        {CodeScreen, &S::OnScreen},
        {CodeKey, &S::OnKey},
        {CodeBlockCount, &S::OnBlockCount},
        {CodeBlock, &S::OnBlock},
        {CodeReadHeaderPart, &S::OnReadHeaderPart},
        {CodeBeginWrite, &S::OnBeginWrite},
        {CodeOpenExtra1, &S::OnSilent},
        {CodeOpenExtra2, &S::OnSilent},
        {CodePrepare, &S::OnPrepare},
        {CodeHeaderPart, &S::OnHeaderPart},
        {CodeWriteTechKey, &S::OnWriteTechKey},
        {CodeClearTechKey, &S::OnClearTechKey},
        {CodeSection, &S::OnSection},
        {CodeSectionInfo, &S::OnSectionInfo},
        {CodeWriteSection, &S::OnWriteSection},
        {CodeDeleteSection, &S::OnDeleteSection},
        {CodeIOSetup, &S::OnIOSetup},
        {CodeWriteIOSetup, &S::OnWriteIOSetup},
        {CodeReleaseChannel, &S::OnReleaseChannel},
        {CodeAutoIOSetup, &S::OnAutoIOSetup},
        {CodeResetVariables, &S::OnResetVariables},
        {CodeResetVariableLocks, &S::OnReset},
        {CodeResetCoefficients, &S::OnReset},
        {CodeResetSystemMemory, &S::OnReset},
        {CodeToggleMemoryType, &S::OnToggleMemoryType},
        {CodeAlgorithm, &S::OnAlgorithm},
    };
    for (const auto &[c, handler] : Handlers)
        if (c == code)
            return handler;
    return &S::OnSilent; // nothing this controller knows: no answer
}

void TSarvetelSimulator::HandleItems(const std::uint8_t *f, int length,
                                     std::vector<std::uint8_t> &out, std::uint8_t &flags)
{
    TSimItem item{f, length, length - 1, FrameLayout::PayloadAt, out, flags};
    while (item.At < item.End) {
        const int taken = (this->*HandlerOf(item.Code()))(item);
        if (taken <= 0)
            return; // the item's data is not all there
        item.At += taken;
    }
}
