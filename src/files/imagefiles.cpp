// The image forms of a program: the PRP image file (.prp), the image bytes as they are,
// and the section file set: P.hdr with the header bytes and one file P.NNN per present
// section with its code block.

#include "files/filetexts.h"
#include "files/programfiles.h"

#include "core/textfile.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxBlock = 256;
// Length byte, its copy, the section number twice, the checksum and the terminator.
constexpr int kMinBlock = 6;

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

// "000" … "737": the group digit and the place in the group as two octal digits, as the
// writer names the files. "777" or "077" would name no section or another one's.
bool IsSectionName(const QString &ext)
{
    return IsSectionExtension(ext) && SectionNumberText(ParseSectionNumber(ext)) == ext;
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
    if (more || (n > 0 && (n < kMinBlock || b[0] + 1 != n)))
        fault = FileTexts::SectionFileDamaged(path);
    else if (n > 0 && (b[2] != s || b[3] != s))
        fault = FileTexts::SectionFileOfOtherSection(path, SectionNumberText(b[2]),
                                                     SectionNumberText(b[3]));
    if (!fault.isEmpty()) {
        program.Messages->append(fault);
        ++ctx.ErrorCount;
        return FileOk;
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
int LoadSetMember(TZentorProgram &program, const QString &path, TFileContext &ctx)
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
    if (!program.Header.LoadHdr(path, error, program.Messages)) {
        if (!error.isEmpty()) {
            ctx.Error = error;
            return FileIoError;
        }
        ++ctx.ErrorCount;
    }
    return FileOk;
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
    if (!program.SplitImage(&ctx.ImageBroken))
        ++ctx.ErrorCount;
    ctx.ErrorCount += program.CheckChecksums(true);
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
    const QStringList members = SetMembers(set);
    if (members.isEmpty())
        return FileSetNotFound;
    for (const QString &name : members) {
        const int result = LoadSetMember(program, set.Dir + name, ctx);
        if (result != FileOk)
            return result;
    }
    ctx.ErrorCount += program.CheckChecksums(false);
    if (ctx.DecompileAfterLoad)
        ctx.ErrorCount += ctx.DecompileAfterLoad(program);
    if (!program.AssembleImage())
        ++ctx.ErrorCount;
    return FileOk;
}

int SaveSectionSet(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    const int compiled = EnsureCompiled(program, fileName, ctx);
    if (compiled != FileOk)
        return compiled;
    const TSetName set = SplitSetName(fileName);
    const QString stem = set.Dir + set.Base + u'.';
    // The whole set is written beside the old one and replaces it only when every file was
    // written: a failure half-way leaves the old set as it was.
    QList<TFileWrite> files = {{stem + QStringLiteral("hdr"), program.Header.HdrBytes()}};
    QStringList written;
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        const TZentorSection &sec = program.Sections[s];
        if (!sec.Present)
            continue;
        const QString ext = SectionNumberText(s);
        const int length = std::clamp(sec.CodeLength, 0, kMaxBlock);
        files.append({stem + ext, QByteArray(reinterpret_cast<const char *>(sec.Code), length)});
        written.append(set.Base + u'.' + ext);
    }
    if (!WriteFilesTogether(files, ctx.Error))
        return FileIoError;
    // A section file left from an earlier save of a section that is gone now would come
    // back with the next load of the set. Only files the load would take are removed.
    for (const QString &name : SetMembers(set)) {
        const QString path = set.Dir + name;
        if (!IsSectionName(name.right(3)) || written.contains(name) ||
            !NotAFileReason(path).isEmpty())
            continue;
        QFile stale(path);
        if (!stale.remove()) {
            ctx.Error = FileTexts::CannotRemove(path, stale.errorString());
            return FileIoError;
        }
    }
    return FileOk;
}
