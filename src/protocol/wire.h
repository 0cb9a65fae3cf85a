#pragma once
// The controller's wire vocabulary, shared by the link and the simulator: controller modes,
// request codes (a reply item answers with the code of its request), the reply items that
// answer no request of ours, reply capacities and the fixed sizes of frames and items.

#include <cstdint>

namespace Sarvetel {

// Controller modes: the mode byte is a single bit.
enum Mode : std::uint32_t {
    ModeStop = 0x01,
    ModeRun = 0x02,
    ModeSetup = 0x04,
    ModeProgram = 0x08,
    ModeCopy = 0x10,
    ModeTest = 0x20,
    ModeFault = 0x80,
};

// Request item codes (payload bytes) and the reply items that answer them.
enum Code : std::uint8_t {
    CodeValue = 0x01,
    CodeBlockCount = 0x03,
    CodeBlock = 0x04,
    CodeStatus = 0x19,
    CodeScreen = 0x1A,
    CodeSection = 0x1B,
    CodeAlgorithm = 0x1C,
    CodePrepare = 0x1D,
    CodeHeaderBlock = 0x1E, // reply item 30: a header part block that starts at its code
    CodeSectionInfo = 0x22,
    CodeIOSetup = 0x24,
    CodeKey = 0x59,
    CodeSetMode = 0x5A,
    CodeWriteSection = 0x5B,
    CodeBeginWrite = 0x5C,
    CodeHeaderPart = 0x5D,
    CodeReadHeaderPart = 0x5E,
    CodeDeleteSection = 0x5F,
    CodeOpenExtra1 = 0x60,
    CodeOpenExtra2 = 0x81,
    CodeClearTechKey = 0x62,
    CodeWriteTechKey = 0x63,
    CodeWriteIOSetup = 0x65,
    CodeReleaseChannel = 0x66,
    CodeAutoIOSetup = 0x67,
    CodeResetVariables = 0x68,
    CodeResetVariableLocks = 0x69,
    CodeResetCoefficients = 0x6A,
    CodeResetSystemMemory = 0x6B,
    CodeToggleMemoryType = 0x6C,
};

// Reply items the controller may send that answer no request of ours: they carry no data,
// two bytes or eleven, and are stepped over.
enum ReplyCode : std::uint8_t {
    ReplyEmpty02 = 0x02,
    ReplyEmpty05 = 0x05,
    ReplyEmpty06 = 0x06,
    ReplyEmpty07 = 0x07,
    ReplyEmpty41 = 0x41,
    ReplyPair1F = 0x1F,
    ReplyLong23 = 0x23,
};

// Front-panel key codes as a key request carries them. The 48 keys of the panel have the
// codes from FirstPanelKey on, six rows of eight: "СБР" first, then "ИСП", ...; "ВСК" is
// the sixteenth, the digits 0 to 9 start at Digit0. Two codes of no panel key: the run key
// and the fault key the mode buttons press while the controller runs.
namespace PanelKey {
constexpr std::uint8_t Run = 0x05;
constexpr std::uint8_t Fault = 0x08;
constexpr std::uint8_t First = 0x10;
constexpr int Count = 48;
constexpr std::uint8_t Reset = 0x10;   // "СБР"
constexpr std::uint8_t Execute = 0x11; // "ИСП"
constexpr std::uint8_t Start = 0x1F;   // "ВСК"
constexpr std::uint8_t Digit0 = 0x30;
} // namespace PanelKey

// Reply capacities: the most reply bytes each command accepts.
namespace Capacity {
constexpr int Status = 24;
constexpr int StatusOnOpen = 20;
constexpr int SetMode = 30;
constexpr int Screen = 46;
constexpr int BlockCount = 10;
constexpr int Block = 80;
constexpr int ReadHeaderPart = 90;
constexpr int ReadHeader = 96;
constexpr int Prepare = 20;
constexpr int HeaderPart = 18;
constexpr int TechKey = 12;
constexpr int Section = 266;
constexpr int SectionInfo = 80;
constexpr int WriteSection = 16;
constexpr int DeleteSection = 10;
constexpr int IOSetup = 70;
constexpr int WriteIOSetup = 20;
constexpr int Service = 10; // release channel, auto setup, the resets
constexpr int ToggleMemoryType = 24;
constexpr int Algorithm = 128;
inline int Keys(int n)
{
    return 2 * n + 10;
}
} // namespace Capacity

constexpr int FrameSize = 520; // request and reply buffers
constexpr int ScreenLineCount = 10;
constexpr int ScreenLineLength = 16;
constexpr int FaultPairCount = 8;
constexpr int MaxKeys = 36;
constexpr int BlockSize = 64;
constexpr int HeaderPartCount = 4; // the header travels in four parts, numbered 0..3
constexpr int HeaderPartFrameLength = 75;
constexpr int HeaderPartBlockLength = 69;
constexpr int TechKeyFrameLength = 17;
constexpr int TechKeyNameLength = 8;
constexpr int MaxAlgParams = 20;
constexpr int AlgNameLength = 5;

// The fault a controller stopped by the fault key reports: "Программируемый отказ".
struct TFaultPair
{
    std::uint8_t Code;
    std::uint8_t Detail;
};
constexpr TFaultPair ProgrammedFault = {16, 8};

} // namespace Sarvetel
