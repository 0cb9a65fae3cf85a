// zentorc convert INPUT OUTPUT: reads a program in one form and writes it in another.

#include "cli/cliapp.h"

#include "model/zentorprogram.h"

#include <memory>

int ConvertCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    const QString &output = operands[1];
    // An image form read is decompiled, a text form written as an image form is compiled,
    // and the old format is converted on the way.
    TCliCompilerPtr compiler;
    if (NeedsCompiler(input) || NeedsCompiler(output)) {
        compiler = AttachCompiler(ctx);
        if (!compiler)
            return ExitUsage;
    }
    auto program = std::make_unique<TZentorProgram>();
    ctx.Files.ErrorCount = 0;

    int printed = 0;
    int result = LoadFromFile(*program, input, ctx.Files);
    printed = PrintMessages(*program, printed, ctx);
    if (result != FileOk)
        return FileResultExit(result, input, ctx);

    result = SaveToFile(*program, output, ctx.Files);
    PrintMessages(*program, printed, ctx);
    if (result != FileOk)
        return FileResultExit(result, output, ctx);
    return ctx.Files.ErrorCount > 0 ? ExitReported : ExitOk;
}
