#pragma once
// The one in-memory controller program: the PRP header, 256 section records and the
// image buffer. Every command of the program works on one object of this class.

#include "prp/prpheader.h"
#include "prp/prplayout.h"

#include <QString>
#include <QStringList>

#include <cstdint>

struct TZentorSection
{
    std::uint8_t Present = 0;      // only present sections are shown, compiled, saved, imaged
    std::uint8_t NeedsCompile = 0; // the text changed; the code must be produced again
    std::uint8_t Modified = 0;     // changed since the program source file was written
    std::uint8_t CompiledOk = 0;   // the last compile or decompile succeeded
    QString Name;
    QStringList Text;
    std::uint8_t Code[512] = {}; // byte 0 = block length - 1, byte 2 = section number
    int CodeLength = 0;
    int FragmentCount = 0;
};

// The record behind each node of the program tree.
struct TTreeItemInfo
{
    static constexpr int HeaderCode = 4096;
    static constexpr int NothingCode = 61440;

    int Code = NothingCode; // 0..255 section, 256*(g+1) group g, 4096 header, 61440 nothing
    int CaretColumn = 0;
    int CaretLine = 0;

    bool IsSection() const { return Code >= 0 && Code < 256; }
    bool IsGroup() const { return Code >= 256 && Code <= 2048 && Code % 256 == 0; }
    int Group() const { return Code / 256 - 1; }
    bool IsHeader() const { return (Code / 4096) % 16 == 1 && ((Code >> 8) & 0xFF) > 15; }
};

class TZentorProgram
{
public:
    static constexpr int SectionCount = 256;
    static constexpr int GroupCount = PrpLayout::GroupCount;
    static constexpr int ImageSize = PrpLayout::ImageSize;

    TZentorProgram();
    TZentorProgram(const TZentorProgram &) = delete;
    TZentorProgram &operator=(const TZentorProgram &) = delete;

    TPRPHeader Header;
    TZentorSection Sections[SectionCount];
    std::uint8_t Image[ImageSize] = {};
    int ImageLength = 0;
    QStringList *Messages; // the model's own list until the caller points it elsewhere
    std::uint8_t GroupPresent[GroupCount] = {};
    int HighestGroup = 0;

    void Clear();
    // The header, sections, groups and image of other in place of this program's; the
    // message list stays.
    void CopyContentOf(const TZentorProgram &other);

    // Header + present blocks with both checksums. False (with a message) when the
    // image would not fit into 20000 bytes: the image then stops before that block.
    bool AssembleImage();
    // Image -> header fields and section blocks; never reads past ImageLength. The image
    // check runs first: every problem it finds is a message, and the result is false when
    // there is any (the image is damaged). *broken (when given) tells whether the image's
    // structure gave way (empty, truncated, a length past the data, a block too short): the
    // split then stopped there, and the image could not be cut into its header and blocks.
    [[nodiscard]] bool SplitImage(bool *broken = nullptr);
    // Drops the 57 bytes of system information that some images carry in front.
    // True when it did (and the message was added).
    bool RecognisePrefix();

    // The image is not what the text says: never assembled, a header that needs compiling,
    // or a present section whose code is out of date.
    bool NeedsCompiling() const;

    // Loops over sections run over 0 .. SectionLimit() - 1.
    int SectionLimit() const { return 32 * (HighestGroup + 1); }
    int PresentSectionCount() const;

    // Section and group editing, as the windows do it.
    void AddSection(int n, const QString &name);
    void RenameSection(int n, const QString &name);
    void DeleteSection(int n);
    void AddGroup(int g);
    void DeleteGroup(int g);
    void CommitSectionText(int n, const QStringList &lines);
    void CommitHeaderText(const QStringList &lines);
    void MarkAllForCompile();

    // Marks section s present from a loader and raises its group.
    void MarkPresent(int s);

private:
    QStringList OwnMessages;
};
