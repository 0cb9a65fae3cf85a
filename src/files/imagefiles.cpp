// The image forms of a program: the PRP image file (.prp), the image bytes as they are,
// and the section file set: P.hdr with the header bytes and one file P.NNN per present
// section with its code block.

#include "files/filetexts.h"
#include "files/programfiles.h"
#include "files/setstore.h"

#include "core/textfile.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/imagecheck.h"
#include "prp/prplayout.h"
#include "prp/prptexts.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxBlock = PrpLayout::MaxBlockLength;

// D (with its final "/", empty for a bare name) and P of a set named D/P.000.
struct TSetName
{
    QString Dir;
    QString Base;
};

TSetName SplitSetName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot >= 0 ? fileName.left(dot) : fileName;
    const qsizetype slash = stem.lastIndexOf(u'/');
    return {stem.left(slash + 1), stem.mid(slash + 1)};
}

// Names of the entries P.??? in D, in file-name order so that loading is deterministic.
// Folders, FIFOs and devices are listed too: they are reported, never read.
QStringList SetMembers(const TSetName &set)
{
    const QDir dir(set.Dir.isEmpty() ? QStringLiteral(".") : set.Dir);
    const QString prefix = set.Base + u'.';
    QStringList names;
    const QStringList all =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : all)
        if (name.size() == prefix.size() + 3 && name.startsWith(prefix))
            names.append(name);
    std::sort(names.begin(), names.end());
    return names;
}

bool IsSectionExtension(const QString &ext)
{
    return ext.size() == 3 && IsOctalText(ext);
}

int EnsureCompiled(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    if (!program.NeedsCompiling())
        return FileOk;
    if (!ctx.CompileBeforeImageSave) {
        ctx.Error = FileTexts::NoCompiler(fileName);
        return FileNotCompiled;
    }
    if (!ctx.CompileBeforeImageSave(program)) {
        ctx.Error = FileTexts::CompileFailed(fileName);
        return FileNotCompiled;
    }
    return FileOk;
}

// Reads one section file into section s when it holds a whole block of that section; a
// file of another size would corrupt the assembled image, a block of another section
// would put two blocks for one section into it.
int LoadSectionFile(TZentorProgram &program, int s, const QString &path, TFileContext &ctx)
{
    program.Messages->append(FileTexts::LoadingSection(path));
    QByteArray data;
    bool more = false;
    if (!ReadFileStart(path, kMaxBlock, data, more, ctx.Error))
        return FileIoError;
    const auto *b = reinterpret_cast<const std::uint8_t *>(data.constData());
    const int n = static_cast<int>(data.size());
    QString fault;
    if (more || (n > 0 && !BlockLengthAgrees(b, n)))
        fault = FileTexts::SectionFileDamaged(path);
    else if (n > 0 && (b[PrpLayout::BlockSection] != s || b[PrpLayout::BlockSectionCopy] != s))
        fault = FileTexts::SectionFileOfOtherSection(
            path, SectionNumberText(b[PrpLayout::BlockSection]),
            SectionNumberText(b[PrpLayout::BlockSectionCopy]));
    if (!fault.isEmpty()) {
        program.Messages->append(fault);
        ++ctx.ErrorCount;
        return FileOk;
    }
    // A block that does not hold together is still taken: it is what the set stores.
    QStringList problems;
    if (n > 0 && !CheckPrpBlock(b, n, 0, problems)) {
        program.Messages->append(problems);
        ctx.ErrorCount += static_cast<int>(problems.size());
        ctx.Damaged = true;
    }
    TZentorSection &sec = program.Sections[s];
    std::memcpy(sec.Code, b, static_cast<size_t>(n));
    sec.CodeLength = n;
    sec.Modified = 1;
    sec.NeedsCompile = 0;
    program.MarkPresent(s);
    return FileOk;
}

// One entry P.XXX of a set: a section file, the header file, or nothing of the set.
int LoadSetMember(TZentorProgram &program, const QString &path, TFileContext &ctx, bool &headerRead)
{
    const QString ext = path.right(3).toUpper();
    const bool header = ext == QStringLiteral("HDR");
    if (!header && !IsSectionExtension(ext))
        return FileOk; // P.zen, P.prp and the like lie beside a set without belonging to it
    const QString notAFile = NotAFileReason(path);
    QString fault = notAFile.isEmpty() ? QString() : FileTexts::NotLoaded(notAFile);
    if (fault.isEmpty() && !header && !IsSectionName(ext))
        fault = FileTexts::NotASectionName(path);
    if (!fault.isEmpty()) {
        program.Messages->append(fault);
        ++ctx.ErrorCount;
        return FileOk;
    }
    if (!header)
        return LoadSectionFile(program, ParseSectionNumber(ext), path, ctx);
    program.Messages->append(FileTexts::LoadingHeader(path));
    QString error;
    // What the header bytes hold is judged with the whole set, as an image's header is.
    QStringList ignored;
    if (!program.Header.LoadHdr(path, error, &ignored) && !error.isEmpty()) {
        ctx.Error = error;
        return FileIoError;
    }
    headerRead = true;
    return FileOk;
}

// The header file as an image's header: its length, fixed bytes, key numbers and sum, and
// the file holding that header and the one byte after it. False when it fails.
bool CheckHeaderFile(TZentorProgram &program, const QString &path, TFileContext &ctx)
{
    const TPRPHeader &h = program.Header;
    QStringList problems;
    int headerLength = 0;
    CheckPrpHeader(h.Bytes, h.BytesLength, headerLength, problems);
    if (problems.isEmpty() && headerLength != h.BytesLength)
        problems.append(FileTexts::HeaderFileLength(h.BytesLength + 1, headerLength));
    if (problems.isEmpty())
        return true;
    program.Messages->append(FileTexts::HeaderFileDamaged(path));
    program.Messages->append(problems);
    ctx.ErrorCount += static_cast<int>(problems.size());
    ctx.Damaged = true;
    return false;
}

// Each group's section files against the group's word in the header: a file that is missing,
// empty or left from another program makes them differ.
bool CheckGroups(TZentorProgram &program, const QString &setName, TFileContext &ctx)
{
    bool whole = true;
    for (int g = 0; g < PrpLayout::GroupCount; ++g) {
        int have = 0;
        for (int s = 32 * g; s < 32 * g + 32; ++s)
            if (program.Sections[s].Present)
                have += std::max(program.Sections[s].CodeLength, 0);
        const int word = ImageWord(program.Header.Bytes, PrpLayout::GroupWord(g));
        if (have == word)
            continue;
        program.Messages->append(have < word ? FileTexts::SetGroupShort(setName, g, word - have)
                                             : FileTexts::SetGroupLong(setName, g, have - word));
        ++ctx.ErrorCount;
        whole = false;
    }
    if (!whole)
        ctx.Damaged = true;
    return whole;
}

// The image the set stores: its header file's bytes and the section blocks in ascending
// order, as far as they fit into the image buffer. False when they do not all fit.
bool StoredImage(TZentorProgram &program)
{
    const TPRPHeader &h = program.Header;
    int length = std::clamp(h.BytesLength, 0, TZentorProgram::ImageSize);
    std::memcpy(program.Image, h.Bytes, static_cast<size_t>(length));
    for (const TZentorSection &sec : program.Sections) {
        if (!sec.Present || sec.CodeLength <= 0)
            continue;
        if (length + sec.CodeLength > TZentorProgram::ImageSize) {
            program.ImageLength = length;
            return false;
        }
        std::memcpy(program.Image + length, sec.Code, static_cast<size_t>(sec.CodeLength));
        length += sec.CodeLength;
    }
    program.ImageLength = length;
    return true;
}

// A set is whole when its header file is sound, every group's files add up to its word and
// the image they make has the sum the header file states.
void CheckSet(TZentorProgram &program, const TSetName &set, bool headerRead, TFileContext &ctx)
{
    const QString setName = set.Dir + set.Base + QStringLiteral(".000");
    const QString headerPath = set.Dir + set.Base + QStringLiteral(".hdr");
    if (!headerRead) {
        program.Messages->append(FileTexts::SetWithoutHeader(setName, headerPath));
        ++ctx.ErrorCount;
        ctx.Damaged = true;
        return;
    }
    const bool fits = StoredImage(program);
    if (!CheckHeaderFile(program, headerPath, ctx) || !CheckGroups(program, setName, ctx))
        return;
    if (!fits) {
        program.Messages->append(PrpTexts::ImageTooLarge);
        ++ctx.ErrorCount;
        ctx.Damaged = true;
        return;
    }
    if (!ImageSumHolds(program.Image, program.ImageLength)) {
        program.Messages->append(PrpTexts::ImageSumBroken);
        ++ctx.ErrorCount;
        ctx.Damaged = true;
    }
}

} // namespace

int ReadPrpImageFile(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    QByteArray data;
    bool more = false;
    if (!ReadFileStart(fileName, TZentorProgram::ImageSize, data, more, ctx.Error))
        return FileIoError;
    std::memcpy(program.Image, data.constData(), static_cast<size_t>(data.size()));
    program.ImageLength = static_cast<int>(data.size());
    if (more) {
        program.Messages->append(FileTexts::PrpFileTooLong());
        ++ctx.ErrorCount;
    }
    program.RecognisePrefix();
    return FileOk;
}

int LoadPrpImage(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    const int read = ReadPrpImageFile(program, fileName, ctx);
    if (read != FileOk)
        return read;
    const qsizetype before = program.Messages->size();
    if (!program.SplitImage()) {
        ctx.Damaged = true;
        ctx.ErrorCount +=
            static_cast<int>(std::max<qsizetype>(program.Messages->size() - before, 1));
    }
    if (ctx.DecompileAfterLoad)
        ctx.ErrorCount += ctx.DecompileAfterLoad(program);
    return FileOk;
}

int SavePrpImage(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    const int compiled = EnsureCompiled(program, fileName, ctx);
    if (compiled != FileOk)
        return compiled;
    const int length = std::clamp(program.ImageLength, 0, TZentorProgram::ImageSize);
    const QByteArray data(reinterpret_cast<const char *>(program.Image), length);
    return WriteBinaryFile(fileName, data, ctx.Error) ? FileOk : FileIoError;
}

int LoadSectionSet(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    const TSetName set = SplitSetName(fileName);
    if (!TidySectionSet(set.Dir, set.Base, *program.Messages, ctx.Error))
        return FileIoError;
    const QStringList members = SetMembers(set);
    if (members.isEmpty())
        return FileSetNotFound;
    bool headerRead = false;
    for (const QString &name : members) {
        const int result = LoadSetMember(program, set.Dir + name, ctx, headerRead);
        if (result != FileOk)
            return result;
    }
    CheckSet(program, set, headerRead, ctx);
    if (ctx.DecompileAfterLoad)
        ctx.ErrorCount += ctx.DecompileAfterLoad(program);
    return FileOk;
}

int SaveSectionSet(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    const int compiled = EnsureCompiled(program, fileName, ctx);
    if (compiled != FileOk)
        return compiled;
    const TSetName set = SplitSetName(fileName);
    QList<TSetFile> files = {{QStringLiteral("hdr"), program.Header.HdrBytes()}};
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        const TZentorSection &sec = program.Sections[s];
        if (!sec.Present)
            continue;
        const int length = std::clamp(sec.CodeLength, 0, kMaxBlock);
        files.append(
            {SectionNumberText(s), QByteArray(reinterpret_cast<const char *>(sec.Code), length)});
    }
    // The whole set replaces the old one or nothing changes; a section file left from an
    // earlier save of a section that is gone now goes with the old set.
    return ReplaceSectionSet(set.Dir, set.Base, files, *program.Messages, ctx.Error) ? FileOk
                                                                                     : FileIoError;
}
