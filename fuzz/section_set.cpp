// Arbitrary bytes as a section file set on disk, with what an interrupted save may have left
// beside it, read as the file reader reads a set. A set read without a damage named stores an
// image that the image check calls sound; nothing is ever read outside the files.
//
// The bytes are a list of files: a place byte (0: P.hdr, 1: P.NNN with NNN the next byte as
// a section number, 2: P.new/hdr, 3: P.new/NNN, 4: P.new/ready, 5: P.new/list), a 16-bit
// length (low byte first) and that many bytes of contents.

#include "files/programfiles.h"
#include "model/zentorprogram.h"
#include "prp/imagecheck.h"

#include "core/textutils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

void Put(const QString &path, const std::uint8_t *data, std::size_t size)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 64 * 1024)
        return 0;
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("p."));
    std::size_t at = 0;
    while (at + 2 <= size) {
        const int place = data[at] % 6;
        ++at;
        QString name;
        if (place == 1 || place == 3) {
            if (at >= size)
                break;
            name = SectionNumberText(data[at++]);
        } else if (place == 4 || place == 5) {
            name = place == 4 ? QStringLiteral("ready") : QStringLiteral("list");
        } else {
            name = QStringLiteral("hdr");
        }
        if (at + 2 > size)
            break;
        std::size_t length = data[at] | (data[at + 1] << 8);
        at += 2;
        length = std::min(length, size - at);
        if (place >= 2) {
            QDir().mkpath(stem + QStringLiteral("new"));
            Put(stem + QStringLiteral("new/") + name, data + at, length);
        } else {
            Put(stem + name, data + at, length);
        }
        at += length;
    }
    auto program = std::make_unique<TZentorProgram>();
    TFileContext ctx;
    if (LoadFromFile(*program, stem + QStringLiteral("000"), ctx) == FileOk && !ctx.Damaged &&
        !CheckPrpImage(program->Image, program->ImageLength).Sound())
        __builtin_trap();
    return 0;
}
