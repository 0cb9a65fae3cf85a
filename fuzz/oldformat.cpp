// Arbitrary bytes as a Windows-1251 old-format program file: read into the model, its
// sections converted into the current language (re-layout, technological names), and the
// program exported to the old format again.

#include "compiler/oldformat.h"
#include "compiler/algbase.h"
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

const TAlgBase &Base()
{
    static const TAlgBase *base = [] {
        auto *b = new TAlgBase;
        QStringList lines;
        for (int n = 1; n <= 12; ++n) {
            lines.append(QStringLiteral("/ Алгоритм %1 ! вид %2").arg(OctalText(n, 3)).arg(n));
            lines.append(QStringLiteral("память 0 %1").arg(3 + n));
            lines.append(QStringLiteral("1   %1  ВХОД").arg(n));
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
    auto program = std::make_unique<TZentorProgram>();
    TZentorCompiler compiler;
    compiler.AlgBase = &Base();
    compiler.Messages = program->Messages;
    TFileContext ctx;
    ReadOldFormatLines(*program, lines, ctx);
    // What is looked for is a crash or a sanitizer's report, not the problems counted.
    static_cast<void>(ConvertOldFormatSections(compiler, *program, NoProgress()));
    ExportOldFormat(compiler, *program, NoProgress());
    return 0;
}
