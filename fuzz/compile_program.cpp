// Arbitrary bytes as a Windows-1251 program source file: loaded as the program source
// reader loads it, then compiled whole (header, every section, image) as the compile
// command does, once more as F9 does, and its cross-reference built. The same lines are
// also read as an algorithm base file.

#include "compiler/algbase.h"
#include "compiler/crossref.h"
#include "compiler/zentorcompiler.h"
#include "core/cp1251.h"
#include "core/progress.h"
#include "core/textfile.h"
#include "core/textutils.h"
#include "files/programfiles.h"
#include "model/zentorprogram.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// One algorithm per parameter kind, some with own memory, one with a kind it does not know.
const TAlgBase &Base()
{
    static const TAlgBase *base = [] {
        auto *b = new TAlgBase;
        QStringList lines;
        for (int n = 1; n <= 13; ++n) {
            lines.append(QStringLiteral("/ Алгоритм %1 ! вид %2").arg(OctalText(n, 3)).arg(n % 13));
            lines.append(QStringLiteral("память %1 %2").arg(n % 3 == 0 ? 200 : 0).arg(3 + n % 11));
            lines.append(QStringLiteral("1   %1  А").arg(n % 13));
            lines.append(QStringLiteral("2   5  Б"));
        }
        b->LoadFromLines(lines);
        return b;
    }();
    return *base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QStringList lines = SplitLines(DecodeCp1251(data, static_cast<int>(size)));

    TAlgBase fromInput;
    fromInput.LoadFromLines(lines);

    auto program = std::make_unique<TZentorProgram>();
    TFileContext ctx;
    ReadProgramSource(*program, lines, ctx);
    TZentorCompiler compiler;
    compiler.Messages = program->Messages;
    compiler.AlgBase = &Base();
    program->MarkAllForCompile();
    // Whether the input compiles is its own affair: what is looked for is a crash or a
    // sanitizer's report.
    static_cast<void>(compiler.CompileWithReport(*program, NoProgress()));
    // A second run over the same program: code areas already written, counters reset.
    program->MarkAllForCompile();
    static_cast<void>(compiler.CompileWithReport(*program, NoProgress()));
    // A partial run (F9): only the sections that failed are compiled again; the others'
    // call memory is read from their code and their texts are scanned for the summary.
    static_cast<void>(compiler.CompileWithReport(*program, NoProgress()));
    const TCrossReference x = BuildCrossReference(*program, &Base());
    for (const TCrossRefUse &use : x.Uses)
        CrossRefMatches(use, use.Name.isEmpty() ? use.Variable : use.Name.left(2));
    return 0;
}
