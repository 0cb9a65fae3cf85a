// zentorc dump INPUT: the structure of a PRP image (.prp, or the image a section file set
// .000 stores: its header file and section files in order) and whether it is sound.

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
    const int loadErrors = ctx.Files.ErrorCount;
    // A set without its header file stores no image: what was found is in the messages.
    if (ext == QStringLiteral("000") && program->ImageLength == 0) {
        ctx.Out << CliTexts::SetHoldsNoImage(loadErrors) << '\n';
        return ExitReported;
    }
    const TImageDump dump = DescribeImage(program->Image, program->ImageLength, loadErrors);
    for (const QString &line : dump.Lines)
        ctx.Out << line << '\n';
    return dump.Problems > 0 || loadErrors > 0 ? ExitReported : ExitOk;
}
