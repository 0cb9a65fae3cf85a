// The old-format program file (.prg): technological name lines, section lines "NNN." and
// the old section texts, converted into the current language when read and produced by the
// export when written.

#include "files/filetexts.h"
#include "files/programfiles.h"

#include "compiler/decompilertexts.h"
#include "compiler/oldformat.h"
#include "compiler/zentorcompiler.h"
#include "core/textfile.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/headerwords.h"

namespace {

constexpr int kNameValueLength = 100;

bool IsOctalDigit(QChar c)
{
    return c >= u'0' && c <= u'7';
}

// "NNN." at the start of a line: three octal digits and a point.
bool IsSectionLine(const QString &line)
{
    return line.size() >= 4 && IsOctalDigit(line[0]) && IsOctalDigit(line[1]) &&
           IsOctalDigit(line[2]) && line[3] == u'.';
}

// "/К12 Насос" -> "К12" + blank + three blanks + at most 100 characters of the value.
QString NameLine(const QString &line)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0)
        return line.mid(1);
    return line.mid(1, blank) + QStringLiteral("   ") + line.mid(blank + 1, kNameValueLength);
}

} // namespace

void ReadOldFormatLines(TZentorProgram &program, const QStringList &lines, TFileContext &ctx)
{
    program.HighestGroup = 0;
    TZentorSection *current = nullptr;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty())
            continue;
        if (line[0] == u'/') {
            if (program.Header.Text.isEmpty()) {
                // The names heading, with the blank the import always wrote after it.
                program.Header.Text.append(
                    HeadingWord::HeadingLine({HeadingWord::TechPlural, HeadingWord::Names}) + u' ');
                program.Header.Valid = 0;
            }
            program.Header.Text.append(NameLine(line));
            continue;
        }
        if (IsSectionLine(line)) {
            const int s = ParseSectionNumber(line.left(3));
            if (s < TZentorProgram::SectionCount && SectionNumberText(s) == line.left(3)) {
                program.MarkPresent(s);
                current = &program.Sections[s];
                continue;
            }
            // "777." or "040." name no section (040 would read as 100): the line stays
            // where it stands.
            program.Messages->append(FileTexts::BadSectionLine(static_cast<int>(i + 1)));
            ++ctx.ErrorCount;
        }
        if (current)
            current->Text.append(line);
    }
}

int LoadOldFormat(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    if (!ctx.Compiler) {
        ctx.Error = FileTexts::OldFormatNeedsCompiler(fileName);
        return FileFormNotReady;
    }
    QStringList lines;
    if (!ReadTextFile(fileName, lines, ctx.Error))
        return FileIoError;
    ReadOldFormatLines(program, lines, ctx);
    ctx.Compiler->Messages = program.Messages;
    ctx.ErrorCount += ConvertOldFormatSections(*ctx.Compiler, program, *ctx.Progress);
    return FileOk;
}

int SaveOldFormat(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    if (!ctx.Compiler) {
        ctx.Error = FileTexts::OldFormatNeedsCompiler(fileName);
        return FileFormNotReady;
    }
    ctx.Compiler->Messages = program.Messages;
    int problems = 0;
    const QStringList lines = ExportOldFormat(*ctx.Compiler, program, *ctx.Progress, &problems);
    // What did not convert is in the file as comments, and the messages say so.
    ctx.ErrorCount += problems;
    return WriteTextFile(fileName, lines, ctx.Error) ? FileOk : FileIoError;
}
