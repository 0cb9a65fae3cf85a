// The compiler behind the file forms: decompilation after an image form was read,
// compilation before one is written, and the old-format file.

#include "files/programfiles.h"

#include "compiler/decompiler.h"
#include "compiler/zentorcompiler.h"
#include "model/zentorprogram.h"

void ConnectCompiler(TFileContext &ctx, TZentorCompiler &compiler)
{
    ctx.Compiler = &compiler;
    TZentorCompiler *c = &compiler;
    TProgress *progress = ctx.Progress;
    ctx.DecompileAfterLoad = [c, progress](TZentorProgram &program) {
        c->Messages = program.Messages;
        return DecompileProgram(*c, program, *progress);
    };
    ctx.CompileBeforeImageSave = [c, progress](TZentorProgram &program) {
        c->Messages = program.Messages;
        program.MarkAllForCompile();
        return c->CompileWithReport(program, *progress);
    };
}
