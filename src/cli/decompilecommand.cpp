// zentorc decompile INPUT -o OUTPUT [--alg FILE]: reads a PRP image, a section file set or an
// old-format program file and writes the program's text. Standard output holds exactly the
// lines that loading adds to the message list; what writing says goes to standard error.

#include "cli/cliapp.h"
#include "cli/clitexts.h"

#include "model/zentorprogram.h"

#include <memory>

bool NeedsCompiler(const QString &fileName)
{
    const QString ext = FileExtension(fileName);
    return IsImageForm(fileName) || ext == QStringLiteral("PRG");
}

int DecompileCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    const QString &output = ctx.OutputFile;
    if (output.isEmpty()) {
        ctx.Err << CliTexts::OutputNeeded(QStringLiteral("decompile")) << '\n';
        return ExitUsage;
    }
    if (!NeedsCompiler(input)) {
        ctx.Err << CliTexts::DecompileInput(input) << '\n';
        return ExitUsage;
    }
    const QString outExt = FileExtension(output);
    if (outExt != QStringLiteral("ZEN") && outExt != QStringLiteral("PRG")) {
        ctx.Err << CliTexts::DecompileOutput(output) << '\n';
        return ExitUsage;
    }
    const TCliCompilerPtr compiler = AttachCompiler(ctx);
    if (!compiler)
        return ExitUsage;

    auto program = std::make_unique<TZentorProgram>();
    const QStringList &messages = *program->Messages;
    ctx.Files.ErrorCount = 0;
    int result = LoadFromFile(*program, input, ctx.Files);
    for (const QString &line : messages)
        ctx.Out << line << '\n';
    if (result != FileOk)
        return FileResultExit(result, input, ctx);

    const qsizetype loaded = messages.size();
    result = SaveToFile(*program, output, ctx.Files);
    for (qsizetype i = loaded; i < messages.size(); ++i)
        ctx.Err << messages[i] << '\n';
    if (result != FileOk)
        return FileResultExit(result, output, ctx);
    return ctx.Files.ErrorCount > 0 ? ExitReported : ExitOk;
}
