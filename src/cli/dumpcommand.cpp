// zentorc dump INPUT: the structure of a PRP image (.prp, or a section file set .000,
// which is assembled first) and whether it is sound.

#include "cli/cliapp.h"
#include "cli/clitexts.h"
#include "cli/imagedump.h"

#include "files/filetexts.h"
#include "model/zentorprogram.h"

#include <QFile>

#include <memory>

namespace {

// Reads up to 20000 bytes of a PRP file into the program's image, as loading does, and
// drops a system-information prefix; false (reason on Err) when the file cannot be read.
bool ReadImageFile(TZentorProgram &program, const QString &fileName, TCliContext &ctx)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        ctx.Err << FileTexts::CannotOpen(fileName, f.errorString()) << '\n';
        return false;
    }
    const qint64 n = f.read(reinterpret_cast<char *>(program.Image), TZentorProgram::ImageSize);
    if (n < 0) {
        ctx.Err << FileTexts::CannotRead(fileName, f.errorString()) << '\n';
        return false;
    }
    program.ImageLength = static_cast<int>(n);
    char more;
    if (n == TZentorProgram::ImageSize && f.read(&more, 1) == 1) {
        program.Messages->append(FileTexts::PrpFileTooLong());
        ++ctx.Files.ErrorCount;
    }
    program.RecognisePrefix();
    return true;
}

} // namespace

int DumpCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    auto program = std::make_unique<TZentorProgram>();
    ctx.Files.ErrorCount = 0;
    const QString ext = FileExtension(input);
    if (ext == QStringLiteral("PRP")) {
        if (!ReadImageFile(*program, input, ctx))
            return ExitUsage;
    } else if (ext == QStringLiteral("000")) {
        const int result = LoadFromFile(*program, input, ctx.Files);
        if (result != FileOk) {
            PrintMessages(*program, 0, ctx);
            return FileResultExit(result, input, ctx);
        }
    } else {
        ctx.Err << CliTexts::NotAnImage(input) << '\n';
        return ExitUsage;
    }
    PrintMessages(*program, 0, ctx);
    const TImageDump dump = DescribeImage(program->Image, program->ImageLength);
    for (const QString &line : dump.Lines)
        ctx.Out << line << '\n';
    return dump.Problems > 0 || ctx.Files.ErrorCount > 0 ? ExitReported : ExitOk;
}
