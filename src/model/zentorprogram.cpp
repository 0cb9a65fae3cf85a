#include "model/zentorprogram.h"

#include "core/textutils.h"
#include "prp/imagecheck.h"
#include "prp/prplayout.h"
#include "prp/prptexts.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Messages of the program model.
const QString kPrefixFound =
    QStringLiteral("Вероятно, в начале ПрП записана системная информация.");
QString BlockLengthMismatch(int section, int length)
{
    return QStringLiteral("Ошибка в секции %1: длина блока кода %2 не совпадает с его байтом "
                          "длины, блок не включён в ПрП")
        .arg(SectionNumberText(section))
        .arg(length);
}

constexpr int kPrefixLength = 57;

void AddToWord(std::uint8_t *b, int offset, int value)
{
    SetImageWord(b, offset, (ImageWord(b, offset) + value) & 0xFFFF);
}

bool ValidSection(int n)
{
    return n >= 0 && n < TZentorProgram::SectionCount;
}

bool ValidGroup(int g)
{
    return g >= 0 && g < TZentorProgram::GroupCount;
}

// A section's code never outlives its text.
void ClearSectionCode(TZentorSection &s)
{
    s.CodeLength = 0;
    s.FragmentCount = 0;
    s.CompiledOk = 0;
    s.NeedsCompile = 0;
    std::memset(s.Code, 0, sizeof s.Code);
}

} // namespace

TZentorProgram::TZentorProgram() : Messages(&OwnMessages)
{
    Clear();
}

void TZentorProgram::Clear()
{
    ImageLength = 0;
    for (TZentorSection &s : Sections) {
        s.Name.clear();
        s.Text.clear();
        s.CodeLength = 0;
        s.FragmentCount = 0;
        s.Present = 0;
        s.NeedsCompile = 0;
        s.Modified = 0;
        s.CompiledOk = 0; // nothing of the new program has been compiled yet
    }
    std::memset(GroupPresent, 0, sizeof GroupPresent);
    GroupPresent[0] = 1;
    Sections[0].Present = 1;
    Header.Reset();
}

void TZentorProgram::CopyContentOf(const TZentorProgram &other)
{
    Header = other.Header;
    std::copy(std::begin(other.Sections), std::end(other.Sections), std::begin(Sections));
    std::copy(other.Image, other.Image + other.ImageLength, Image);
    ImageLength = other.ImageLength;
    std::copy(std::begin(other.GroupPresent), std::end(other.GroupPresent),
              std::begin(GroupPresent));
    HighestGroup = other.HighestGroup;
}

bool TZentorProgram::AssembleImage()
{
    Header.EncodeHeader();
    const int headerLength = Header.BytesLength;
    std::memcpy(Image, Header.Bytes, static_cast<size_t>(headerLength));
    ImageLength = headerLength;

    bool ok = true;
    for (int n = 0; n < SectionCount; ++n) {
        const TZentorSection &s = Sections[n];
        if (!s.Present || s.CodeLength <= 0)
            continue;
        // A block that does not agree with its own length byte would make the image
        // unreadable from that block on, for the controller and for the split alike.
        if (!BlockLengthAgrees(s.Code, s.CodeLength)) {
            Messages->append(BlockLengthMismatch(n, s.CodeLength));
            ok = false;
            continue;
        }
        if (ImageLength + s.CodeLength > ImageSize) {
            Messages->append(PrpTexts::ImageTooLarge);
            ok = false;
            break;
        }
        std::memcpy(Image + ImageLength, s.Code, static_cast<size_t>(s.CodeLength));
        ImageLength += s.CodeLength;
        const int word = PrpLayout::GroupWord(n / 32);
        AddToWord(Image, word, s.CodeLength);
        AddToWord(Header.Bytes, word, s.CodeLength);
    }

    WriteImageSums(Image, ImageLength);
    // The header object keeps the finished header bytes as they stand in the image.
    constexpr int sums = PrpLayout::HeaderSumOffset + 1 - PrpLayout::ImageSumOffset;
    std::memcpy(Header.Bytes + PrpLayout::ImageSumOffset, Image + PrpLayout::ImageSumOffset, sums);
    return ok;
}

bool TZentorProgram::SplitImage(bool *broken)
{
    // Every problem the check finds is named; the split itself takes the blocks as far as
    // the image's structure allows and never reads past the bytes loaded.
    const TImageCheck check = CheckPrpImage(Image, ImageLength);
    Messages->append(check.Problems);
    if (broken)
        *broken = true;
    const int loaded = std::clamp(ImageLength, 0, ImageSize);
    if (loaded < PrpLayout::LengthKnownFrom)
        return false;
    const int headerLength = HeaderLengthOf(Image);
    if (headerLength > loaded || headerLength > TPRPHeader::BufferSize)
        return false;
    std::memcpy(Header.Bytes, Image, static_cast<size_t>(headerLength));
    Header.BytesLength = headerLength;
    const bool decoded = Header.DecodeHeader();
    if (headerLength < TPRPHeader::FixedLength)
        return false; // no group words to go by

    const int end = ImageEndOf(Image);
    int p = headerLength;
    while (p < end) {
        const int n = p < loaded ? Image[p] + 1 : 1;
        if (p + n > loaded || n < PrpLayout::MinBlockLength)
            return false;
        const int s = Image[p + PrpLayout::BlockSection];
        TZentorSection &sec = Sections[s];
        std::memcpy(sec.Code, Image + p, static_cast<size_t>(n));
        sec.CodeLength = n;
        MarkPresent(s);
        p += n;
    }
    if (broken)
        *broken = false;
    return check.Sound() && decoded;
}

bool TZentorProgram::RecognisePrefix()
{
    // Bytes 144/145 carry the constants 0xA2 0x80 of a header that starts the image; at
    // 201/202 they betray 57 bytes of system information in front of it.
    constexpr int at = PrpLayout::ConstantsOffset;
    if (ImageLength < at + kPrefixLength + 2 || ImageLength > ImageSize)
        return false;
    constexpr std::uint8_t a = PrpLayout::ConstantBytes[0], b = PrpLayout::ConstantBytes[1];
    if (Image[at] == a || Image[at + 1] == b || Image[at + kPrefixLength] != a ||
        Image[at + 1 + kPrefixLength] != b)
        return false;
    Messages->append(kPrefixFound);
    std::memmove(Image, Image + kPrefixLength, static_cast<size_t>(ImageLength - kPrefixLength));
    std::memset(Image + ImageLength - kPrefixLength, 0, kPrefixLength);
    ImageLength -= kPrefixLength;
    return true;
}

int TZentorProgram::PresentSectionCount() const
{
    int count = 0;
    const int limit = std::min(SectionLimit(), SectionCount);
    for (int n = 0; n < limit; ++n)
        if (Sections[n].Present)
            ++count;
    return count;
}

bool TZentorProgram::NeedsCompiling() const
{
    if (ImageLength <= 0)
        return true;
    // A header without text that no compile ever saw was set field by field: the image
    // holds those fields, and there is no text they could differ from.
    const bool fieldsOnly = Header.Text.isEmpty() && !Header.TextCompiled;
    if (Header.NeedsCompile() && !fieldsOnly)
        return true;
    for (const TZentorSection &s : Sections)
        if (s.Present && s.NeedsCompile)
            return true;
    return false;
}

void TZentorProgram::AddSection(int n, const QString &name)
{
    if (!ValidSection(n))
        return;
    // A section added anew starts from nothing: no code of an earlier section of that
    // number may reach the image.
    if (!Sections[n].Present) {
        ClearSectionCode(Sections[n]);
        Sections[n].Text.clear();
    }
    Sections[n].Name = name;
    Sections[n].Present = 1;
}

void TZentorProgram::RenameSection(int n, const QString &name)
{
    if (ValidSection(n))
        Sections[n].Name = name;
}

void TZentorProgram::DeleteSection(int n)
{
    if (!ValidSection(n))
        return;
    Sections[n].Present = 0;
    Sections[n].Text.clear();
    ClearSectionCode(Sections[n]);
}

void TZentorProgram::AddGroup(int g)
{
    if (!ValidGroup(g))
        return;
    GroupPresent[g] = 1;
    HighestGroup = std::max(HighestGroup, g);
}

void TZentorProgram::DeleteGroup(int g)
{
    if (!ValidGroup(g))
        return;
    for (int n = 32 * g; n < 32 * g + 32; ++n)
        if (Sections[n].Present)
            DeleteSection(n);
    GroupPresent[g] = 0;
}

void TZentorProgram::CommitSectionText(int n, const QStringList &lines)
{
    if (!ValidSection(n))
        return;
    Sections[n].Text = lines;
    Sections[n].NeedsCompile = 1;
    Sections[n].Modified = 1;
}

void TZentorProgram::CommitHeaderText(const QStringList &lines)
{
    Header.Text = lines;
}

void TZentorProgram::MarkAllForCompile()
{
    for (TZentorSection &s : Sections)
        if (s.Present)
            s.NeedsCompile = 1;
}

void TZentorProgram::MarkPresent(int s)
{
    if (!ValidSection(s))
        return;
    Sections[s].Present = 1;
    GroupPresent[s / 32] = 1;
    HighestGroup = std::max(HighestGroup, s / 32);
}
