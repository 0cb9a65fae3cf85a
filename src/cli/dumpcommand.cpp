// zentorc dump INPUT: the structure of a PRP image (.prp, or a section file set .000,
// which is assembled first) and whether it is sound.

#include "cli/cliapp.h"
#include "cli/clitexts.h"
#include "cli/imagedump.h"

#include "model/zentorprogram.h"

#include <memory>

int DumpCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    auto program = std::make_unique<TZentorProgram>();
    ctx.Files.ErrorCount = 0;
    const QString ext = FileExtension(input);
    if (ext == QStringLiteral("PRP")) {
        if (ReadPrpImageFile(*program, input, ctx.Files) != FileOk) {
            ctx.Err << ctx.Files.Error << '\n';
            return ExitUsage;
        }
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
