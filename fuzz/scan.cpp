// Arbitrary bytes as a section's code block: the first byte seeds the inputs, the rest is the
// block. The decoder reads the block from a buffer exactly its size (a read past it stops
// the fuzzer), then the block is prepared as section 000 of a program and scanned a few
// times with inputs drawn from the first byte: nothing may read past a block or hang.

#include "compiler/algbase.h"
#include "compiler/instructiondecoder.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "runtime/runprogram.h"
#include "runtime/runreport.h"
#include "runtime/scanengine.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Every parameter kind, unknown kinds, own memory, calls shorter than their parameters.
const TAlgBase &Base()
{
    static const TAlgBase *base = [] {
        auto *b = new TAlgBase;
        QStringList lines;
        for (int n = 0; n <= 14; ++n) {
            lines.append(QStringLiteral("/ Алгоритм %1 ! вид %2").arg(OctalText(n, 3)).arg(n));
            lines.append(QStringLiteral("память %1 %2").arg(n % 3 == 0 ? 4 : 0).arg(3 + n % 9));
            lines.append(QStringLiteral("1   %1  А").arg(n));
            lines.append(QStringLiteral("2   %1  Б").arg(14 - n));
            lines.append(QStringLiteral("3   4  В"));
        }
        b->LoadFromLines(lines);
        return b;
    }();
    return *base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const std::vector<std::uint8_t> block(data + 1, data + size);
    DecodeBlock(block.data(), static_cast<int>(block.size()), &Base());

    auto program = std::make_unique<TZentorProgram>();
    TZentorSection &section = program->Sections[0];
    section.Present = 1;
    const std::size_t n = std::min(block.size(), sizeof section.Code);
    if (n > 0)
        std::memcpy(section.Code, block.data(), n);
    section.CodeLength = static_cast<int>(n);
    section.Text.clear();
    TRunProgram run;
    run.Prepare(*program, &Base());
    TScanEngine engine(run);
    unsigned x = data[0];
    for (int scan = 0; scan < 3; ++scan) {
        for (int i = 0; i < 8; ++i) {
            x = x * 1103515245u + 12345u;
            engine.State.Set({TVarClass::VD, static_cast<int>(x >> 8) % 512}, x & 1);
            engine.State.Set({TVarClass::VA, static_cast<int>(x >> 12) % 128},
                             static_cast<int>(x >> 16) - 32768);
            engine.State.Set({TVarClass::DV, static_cast<int>(x >> 4) % 512, TVarPart::Bad},
                             (x >> 3) & 1);
        }
        engine.Scan();
    }
    RunReportLines(engine);
    return 0;
}
