// The simulator's request handling on arbitrary frames. The input is a run of chunks,
// each a length byte and that many bytes; a chunk whose first byte is even becomes the
// payload of a well-formed frame (so the item handling is reached), an odd one is sent
// as raw bytes. Whatever was stored then runs a few scans, as the clock would run it.

#include "link/sarvetel.h"
#include "sim/simulator.h"

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto sim = std::make_unique<TSarvetelSimulator>();
    sim->Program.Clear();
    sim->Program.Sections[0].Present = 0;
    sim->Reassemble();
    sim->Run.Restart();
    sim->Mode = 0x08;
    sim->Faults = TSimFaults();
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t want = data[pos++];
        const std::size_t len = std::min<std::size_t>(want, size - pos);
        const std::uint8_t *chunk = data + pos;
        pos += len;
        std::vector<std::uint8_t> frame;
        if (len > 0 && (chunk[0] & 1) == 0) {
            frame.assign(4, 0);
            frame.insert(frame.end(), chunk + 1, chunk + len);
            frame.push_back(0);
            TSarvetel::CompleteFrame(frame.data(), int(frame.size()), chunk[0]);
        } else {
            frame.assign(chunk, chunk + len);
        }
        const TSimReply reply = sim->HandleRequest(frame.data(), int(frame.size()));
        if (reply.Bytes.size() > 520 || sim->Program.ImageLength > TSarvetelSimulator::MemorySize)
            __builtin_trap();
    }
    sim->Mode = 0x02;
    sim->PrepareRun();
    for (int i = 0; i < 3; ++i)
        sim->Run.Scan();
    return 0;
}
