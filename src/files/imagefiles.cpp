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
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxBlock = 256;

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

// Names of the files P.??? in D, in file-name order so that loading is deterministic.
QStringList SetMembers(const TSetName &set)
{
    const QDir dir(set.Dir.isEmpty() ? QStringLiteral(".") : set.Dir);
    const QString prefix = set.Base + u'.';
    QStringList names;
    const QStringList all = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
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

// A program that is only in text form (never assembled, with sections whose code is out of
// date, or with a header whose text stopped the header compiler) must be compiled before it
// can be written as an image form.
bool NeedsCompiling(const TZentorProgram &program)
{
    if (program.ImageLength <= 0 || program.Header.CompileStopped)
        return true;
    for (const TZentorSection &sec : program.Sections)
        if (sec.Present && sec.NeedsCompile)
            return true;
    return false;
}

int EnsureCompiled(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    if (!NeedsCompiling(program))
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

// Reads one section file into the section when its size agrees with its own length
// byte; a file of another size would corrupt the assembled image.
int LoadSectionFile(TZentorProgram &program, int s, const QString &path, TFileContext &ctx)
{
    program.Messages->append(FileTexts::LoadingSection(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ctx.Error = FileTexts::CannotOpen(path, f.errorString());
        return FileIoError;
    }
    std::uint8_t data[kMaxBlock + 1];
    const qint64 n = f.read(reinterpret_cast<char *>(data), sizeof data);
    if (n < 0) {
        ctx.Error = FileTexts::CannotRead(path, f.errorString());
        return FileIoError;
    }
    if (n > kMaxBlock || (n > 0 && data[0] + 1 != n)) {
        program.Messages->append(FileTexts::SectionFileDamaged(path));
        ++ctx.ErrorCount;
        return FileOk;
    }
    TZentorSection &sec = program.Sections[s];
    std::memcpy(sec.Code, data, static_cast<size_t>(n));
    sec.CodeLength = static_cast<int>(n);
    sec.Modified = 1;
    sec.NeedsCompile = 0;
    program.MarkPresent(s);
    return FileOk;
}

} // namespace

int LoadPrpImage(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        ctx.Error = FileTexts::CannotOpen(fileName, f.errorString());
        return FileIoError;
    }
    const qint64 n = f.read(reinterpret_cast<char *>(program.Image), TZentorProgram::ImageSize);
    if (n < 0) {
        ctx.Error = FileTexts::CannotRead(fileName, f.errorString());
        return FileIoError;
    }
    program.ImageLength = static_cast<int>(n);
    if (n == TZentorProgram::ImageSize && !f.atEnd()) {
        char more;
        if (f.read(&more, 1) == 1) {
            program.Messages->append(FileTexts::PrpFileTooLong());
            ++ctx.ErrorCount;
        }
    }
    program.RecognisePrefix();
    if (!program.SplitImage(&ctx.ImageBroken))
        ++ctx.ErrorCount;
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
        const QString ext = name.right(3).toUpper();
        const QString path = set.Dir + name;
        if (IsSectionExtension(ext)) {
            const int s = ParseSectionNumber(ext) % TZentorProgram::SectionCount;
            const int result = LoadSectionFile(program, s, path, ctx);
            if (result != FileOk)
                return result;
        } else if (ext == QStringLiteral("HDR")) {
            program.Messages->append(FileTexts::LoadingHeader(path));
            QString error;
            if (!program.Header.LoadHdr(path, error, program.Messages)) {
                if (!error.isEmpty()) {
                    ctx.Error = error;
                    return FileIoError;
                }
                ++ctx.ErrorCount;
            }
        }
    }
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
    if (!program.Header.SaveHdr(stem + QStringLiteral("hdr"), ctx.Error))
        return FileIoError;
    QStringList written;
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        const TZentorSection &sec = program.Sections[s];
        if (!sec.Present)
            continue;
        const QString ext = SectionNumberText(s);
        const int length = std::clamp(sec.CodeLength, 0, kMaxBlock);
        const QByteArray data(reinterpret_cast<const char *>(sec.Code), length);
        if (!WriteBinaryFile(stem + ext, data, ctx.Error))
            return FileIoError;
        written.append(set.Base + u'.' + ext);
    }
    // A section file left from an earlier save of a section that is gone now would come
    // back with the next load of the set.
    for (const QString &name : SetMembers(set)) {
        if (!IsSectionExtension(name.right(3)) || written.contains(name))
            continue;
        QFile stale(set.Dir + name);
        if (!stale.remove()) {
            ctx.Error = FileTexts::CannotRemove(set.Dir + name, stale.errorString());
            return FileIoError;
        }
    }
    return FileOk;
}
