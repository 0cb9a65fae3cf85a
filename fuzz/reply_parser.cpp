// The link's reply parser on arbitrary bytes: it must stay inside its buffers whatever a
// controller (or the line) sends.

#include "link/sarvetel.h"
#include "model/zentorprogram.h"
#include "prp/prpheader.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto header = std::make_unique<TPRPHeader>();
    static TZentorSection section;
    static std::uint8_t blocks[3 * 64 + 17];

    TSarvetel link(nullptr, nullptr);
    const int n = int(std::min<std::size_t>(size, sizeof link.Reply));
    std::memcpy(link.Reply, data, std::size_t(n));
    link.BytesRead = n;
    // The first byte chooses which destinations are waiting, as the commands set them.
    const std::uint8_t choice = n > 0 ? data[0] : 0;
    if (choice & 1) {
        link.BlockDestination = blocks;
        link.BlockDestinationSize = sizeof blocks;
    }
    if (choice & 2)
        link.SectionRecord = &section;
    if (choice & 4)
        link.HeaderObject = header.get();
    link.ParseReply();
    // Looks for crashes only: whether the reply is whole does not matter here.
    static_cast<void>(TSarvetel::IsCompleteReply(link.Reply, n));
    if (link.FaultCount < 0 || link.FaultCount > 8 || link.ProtocolResult < 0 ||
        link.ProtocolResult > 5 || section.CodeLength < 0 || section.CodeLength > 512)
        __builtin_trap();
    return 0;
}
