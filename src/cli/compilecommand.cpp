// zentorc compile INPUT -o OUTPUT [--alg FILE]: compiles a program as the main window's
// compile command does and writes its image. Standard output holds exactly the lines of
// the compile's error list; what loading and saving say goes to standard error.

#include "cli/cliapp.h"
#include "cli/clitexts.h"

#include "compiler/algbase.h"
#include "compiler/algbasefile.h"
#include "compiler/zentorcompiler.h"
#include "core/programpaths.h"
#include "model/zentorprogram.h"

#include <QFileInfo>

struct TCliCompiler
{
    TAlgBase Base;
    TZentorCompiler Compiler;
};

void TCliCompilerDeleter::operator()(TCliCompiler *c) const
{
    delete c;
}

const TAlgBase &CliAlgBase(const TCliCompiler &c)
{
    return c.Base;
}

bool IsImageForm(const QString &fileName)
{
    const QString ext = FileExtension(fileName);
    return ext == QStringLiteral("PRP") || ext == QStringLiteral("000");
}

TCliCompilerPtr AttachCompiler(TCliContext &ctx)
{
    TCliCompilerPtr c(new TCliCompiler);
    QString path = ctx.AlgFile;
    // A base that is there but is no file (a folder, a FIFO) is named as such when read.
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        ctx.Err << CliTexts::AlgBaseNotFound(path) << '\n';
        return nullptr;
    }
    if (path.isEmpty())
        path = FindAlgBaseFile(ExecutableDirectory());
    QString error;
    if (!path.isEmpty() && !c->Base.LoadFromFile(path, &error)) {
        ctx.Err << error << '\n';
        return nullptr;
    }
    c->Compiler.AlgBase = &c->Base;
    ConnectCompiler(ctx.Files, c->Compiler);
    return c;
}

namespace {

void PrintLines(const QStringList &lines, qsizetype from, qsizetype to, QTextStream &stream)
{
    for (qsizetype i = from; i < to; ++i)
        stream << lines[i] << '\n';
}

} // namespace

int CompileCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    const QString &output = ctx.OutputFile;
    if (output.isEmpty()) {
        ctx.Err << CliTexts::OutputNeeded(QStringLiteral("compile")) << '\n';
        return ExitUsage;
    }
    if (!IsImageForm(output)) {
        ctx.Err << CliTexts::OutputNotAnImage(output) << '\n';
        return ExitUsage;
    }
    const TCliCompilerPtr compiler = AttachCompiler(ctx);
    if (!compiler)
        return ExitUsage;

    auto program = std::make_unique<TZentorProgram>();
    const QStringList &messages = *program->Messages;
    ctx.Files.ErrorCount = 0;
    int result = LoadFromFile(*program, input, ctx.Files);
    PrintLines(messages, 0, messages.size(), ctx.Err);
    if (result != FileOk)
        return FileResultExit(result, input, ctx);

    // The compile list: what the main window's error list would show.
    const qsizetype first = messages.size();
    const bool ok = ctx.Files.CompileBeforeImageSave(*program);
    PrintLines(messages, first, messages.size(), ctx.Out);
    if (!ok)
        return ExitReported;

    // The image is ready: the save must not compile again.
    const qsizetype saved = messages.size();
    ctx.Files.CompileBeforeImageSave = [](TZentorProgram &) { return true; };
    result = SaveToFile(*program, output, ctx.Files);
    PrintLines(messages, saved, messages.size(), ctx.Err);
    return FileResultExit(result, output, ctx);
}
