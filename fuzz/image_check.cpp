// Arbitrary bytes as a PRP image, as a file or the controller gives it: the image check, the
// split and, for an image the check calls sound, assembling the split program again. A sound
// image always splits whole and assembles into an image the check calls sound too; a damaged
// one is always named.

#include "model/zentorprogram.h"
#include "prp/imagecheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > TZentorProgram::ImageSize)
        return 0;
    // Exactly the bytes given, so that a read past them is seen.
    const std::vector<std::uint8_t> exact(data, data + size);
    const TImageCheck check = CheckPrpImage(exact.data(), static_cast<int>(size));
    if (check.Sound() != check.Problems.isEmpty())
        __builtin_trap();

    auto program = std::make_unique<TZentorProgram>();
    std::memcpy(program->Image, data, size);
    program->ImageLength = static_cast<int>(size);
    bool broken = false;
    const bool whole = program->SplitImage(&broken);
    if (whole != check.Sound() || (check.Sound() && broken))
        __builtin_trap();
    if (!check.Sound())
        return 0;
    if (!program->AssembleImage())
        __builtin_trap();
    if (!CheckPrpImage(program->Image, program->ImageLength).Sound())
        __builtin_trap();
    return 0;
}
