// Arbitrary bytes for the decompiler, by the first byte:
//   0: a PRP image file: prefix recognition, split, decompilation of the header and every
//      present section, then the export of the decompiled program to the old format;
//   1: one code block of any CodeLength (even beyond the code area or negative);
//   2: a section file set of one section file and a header file, loaded as the file
//      reader loads it (decompiled and assembled).

#include "compiler/algbase.h"
#include "compiler/decompiler.h"
#include "compiler/oldformat.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "core/textutils.h"
#include "files/programfiles.h"
#include "model/zentorprogram.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

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

void Image(const std::uint8_t *data, std::size_t size)
{
    auto program = std::make_unique<TZentorProgram>();
    const std::size_t n = std::min<std::size_t>(size, TZentorProgram::ImageSize);
    std::memcpy(program->Image, data, n);
    program->ImageLength = static_cast<int>(n);
    program->RecognisePrefix();
    if (!program->SplitImage() && program->Messages->isEmpty())
        __builtin_trap(); // a damaged image is always named
    TZentorCompiler compiler;
    compiler.AlgBase = &Base();
    compiler.Messages = program->Messages;
    // What is looked for is a crash or a sanitizer's report, not the failures counted.
    static_cast<void>(DecompileProgram(compiler, *program, NoProgress()));
    ExportOldFormat(compiler, *program, NoProgress());
}

void Block(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return;
    TZentorSection section;
    const int length = static_cast<std::int16_t>(data[0] | (data[1] << 8));
    const std::size_t n = std::min(size - 2, sizeof section.Code);
    std::memcpy(section.Code, data + 2, n);
    section.CodeLength = length;
    QStringList messages;
    static_cast<void>(DecompileSection(section, data[0], &Base(), messages));
}

void SectionSet(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    if (size < 2)
        return;
    // The header file takes the bytes up to the split point, the section file the rest.
    const std::size_t split = std::min<std::size_t>(size, data[0] * 16);
    const QString section = dir.filePath(QStringLiteral("f.") + SectionNumberText(data[1]));
    QFile hdr(dir.filePath(QStringLiteral("f.hdr")));
    QFile sec(section);
    if (!hdr.open(QIODevice::WriteOnly) || !sec.open(QIODevice::WriteOnly))
        return;
    hdr.write(reinterpret_cast<const char *>(data + 2), std::max<qint64>(0, qint64(split) - 2));
    sec.write(reinterpret_cast<const char *>(data + split), qint64(size - split));
    hdr.close();
    sec.close();
    auto program = std::make_unique<TZentorProgram>();
    TZentorCompiler compiler;
    compiler.AlgBase = &Base();
    TFileContext ctx;
    ConnectCompiler(ctx, compiler);
    // Looks for crashes only: a set that does not load is as good an input as one that does.
    static_cast<void>(LoadFromFile(*program, dir.filePath(QStringLiteral("f.000")), ctx));
    QFile::remove(section);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 24 * 1024)
        return 0;
    switch (data[0] % 3) {
    case 0:
        Image(data + 1, size - 1);
        break;
    case 1:
        Block(data + 1, size - 1);
        break;
    default:
        SectionSet(data + 1, size - 1);
        break;
    }
    return 0;
}
