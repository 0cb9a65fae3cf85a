// The program source file (.zen): the header's lines, then for every present section an
// empty line, the section line "/ СЕКЦИЯ NNN !name" and the section's lines.

#include "files/filetexts.h"
#include "files/programfiles.h"

#include "core/textfile.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <algorithm>

namespace {

const QString kSectionMarker = QStringLiteral("/ СЕКЦИЯ");

// The section number of a section line, or -1 when it cannot be read: fewer than three
// characters after the marker, or three that are no section number ("040" would read as
// section 100, "377" as 437).
int SectionLineNumber(const QString &line)
{
    // Character 9 is skipped whatever it is; spaces are skipped from character 10 on.
    qsizetype i = kSectionMarker.size() + 1;
    while (i < line.size() && line[i] == u' ')
        ++i;
    const QString digits = line.mid(i, 3);
    const int s = ParseSectionNumber(digits);
    return s >= 0 && s < TZentorProgram::SectionCount && SectionNumberText(s) == digits ? s : -1;
}

} // namespace

void ReadProgramSource(TZentorProgram &program, const QStringList &lines, TFileContext &ctx)
{
    program.HighestGroup = 0;
    QStringList *target = &program.Header.Text;
    // The writer puts one empty line before every section line; it is held back here and
    // dropped when a readable section line follows, so that a save and a load give the
    // program back unchanged.
    bool emptyLineHeld = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(kSectionMarker)) {
            const int s = SectionLineNumber(line);
            if (s >= 0) {
                emptyLineHeld = false;
                TZentorSection &sec = program.Sections[s];
                program.MarkPresent(s);
                sec.NeedsCompile = 1;
                sec.Modified = 0;
                const qsizetype mark = line.indexOf(u'!');
                if (mark >= 0)
                    sec.Name = line.mid(mark + 1);
                target = &sec.Text;
                continue;
            }
            program.Messages->append(FileTexts::BadSectionLine(static_cast<int>(i + 1)));
            ++ctx.ErrorCount;
        }
        if (emptyLineHeld)
            target->append(QString());
        emptyLineHeld = line.isEmpty();
        if (!emptyLineHeld)
            target->append(line);
    }
    if (emptyLineHeld)
        target->append(QString());
}

QStringList ProgramSourceLines(const TZentorProgram &program)
{
    QStringList lines = program.Header.Text;
    const int limit = std::min(program.SectionLimit(), TZentorProgram::SectionCount);
    for (int s = 0; s < limit; ++s) {
        const TZentorSection &sec = program.Sections[s];
        if (!sec.Present)
            continue;
        lines.append(QString());
        lines.append(kSectionMarker + u' ' + SectionNumberText(s) + QStringLiteral(" !") +
                     sec.Name);
        lines.append(sec.Text);
    }
    return lines;
}

int LoadProgramSource(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    QStringList lines;
    if (!ReadTextFile(fileName, lines, ctx.Error))
        return FileIoError;
    ReadProgramSource(program, lines, ctx);
    return FileOk;
}

int SaveProgramSource(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    if (!WriteTextFile(fileName, ProgramSourceLines(program), ctx.Error))
        return FileIoError;
    for (TZentorSection &sec : program.Sections)
        sec.Modified = 0;
    return FileOk;
}
