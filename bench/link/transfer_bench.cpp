// Writing and reading the largest PRP the block count can describe (16384 bytes) against
// the simulator paced to the line's baud rate. The goal: each transfer takes at most 1.10
// times the wire time of its frames plus the pauses the transfer prescribes. The counter
// "ratio" is that quotient; "wire_s" and "pause_s" are its parts.

#include "core/textutils.h"
#include "link/comport.h"
#include "link/prptransfer.h"
#include "link/sarvetel.h"
#include "sim/ptyserver.h"
#include "sim/simulator.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace {

constexpr int BitsPerByte = 12; // start, 8 data, odd parity, 2 stop

void PutBlock(TZentorSection &s, int number, int instructions)
{
    const int l = 5 + instructions;
    s.Code[0] = s.Code[1] = std::uint8_t(l);
    s.Code[2] = s.Code[3] = std::uint8_t(number);
    s.Code[4] = 0;
    for (int i = 5; i < l; ++i)
        s.Code[i] = 0x1E;
    s.Code[l] = 0;
    s.Code[4] = std::uint8_t((256 - ByteSum(s.Code, l)) % 256);
    s.CodeLength = l + 1;
    s.Present = 1;
}

// 64 keys (a header of 866 bytes), 60 sections of 256 bytes and one of 158: 16384 bytes.
std::unique_ptr<TZentorProgram> LargestProgram()
{
    auto p = std::make_unique<TZentorProgram>();
    p->Clear();
    p->Sections[0].Present = 0;
    for (int k = 0; k < 64; ++k) {
        p->Header.TechKeys[k].Class = 3;
        p->Header.TechKeys[k].Index = std::uint8_t(k % 8);
    }
    for (int s = 0; s < 60; ++s)
        PutBlock(p->Sections[4 * s], 4 * s, 250);
    PutBlock(p->Sections[250], 250, 152);
    p->AddGroup(7);
    return p;
}

struct TBench
{
    explicit TBench(int baud)
        : Sim(std::make_unique<TSarvetelSimulator>()), Server([this](const std::uint8_t *f, int n) {
              std::lock_guard<std::mutex> lock(Mutex);
              TSimReply r = Sim->HandleRequest(f, n);
              WireBytes += n + int(r.Bytes.size());
              return r;
          })
    {
        QString error;
        Server.Baud = baud;
        Server.BitsPerByte = BitsPerByte;
        Ready = Server.Open(QString(), error);
        Server.Start();
        Port.BaudRate = std::uint32_t(baud);
        Ready = Ready && Port.OpenDevice(Server.SlavePath()) == 0;
    }
    ~TBench() { Server.Stop(); }

    std::unique_ptr<TSarvetelSimulator> Sim;
    std::mutex Mutex;
    std::atomic<long> WireBytes{0};
    TPtyServer Server;
    TCOMPort Port;
    TSarvetel Link{&Port, nullptr};
    bool Ready = false;
};

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void Report(benchmark::State &state, double elapsed, long wireBytes, int baud, double pause)
{
    const double wire = double(wireBytes) * BitsPerByte / baud;
    state.counters["wire_s"] = wire;
    state.counters["pause_s"] = pause;
    state.counters["elapsed_s"] = elapsed;
    state.counters["ratio"] = elapsed / (wire + pause);
}

void BM_WriteLargestPrp(benchmark::State &state)
{
    const int baud = int(state.range(0));
    auto program = LargestProgram();
    for (auto _ : state) {
        TBench b(baud);
        if (!b.Ready) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        static_cast<void>(b.Link.SetMode(0x08));
        b.WireBytes = 0;
        TPRPWriteThread job(b.Link, *program, NoProgress(), nullptr);
        const auto start = std::chrono::steady_clock::now();
        job.Execute();
        const double elapsed = Seconds(std::chrono::steady_clock::now() - start);
        if (job.Result != TTransferResult::Done ||
            b.Sim->Program.ImageLength != TSarvetelSimulator::MemorySize) {
            state.SkipWithError("the write did not complete");
            return;
        }
        Report(state, elapsed, b.WireBytes, baud, 61 * job.SectionPauseMs / 1000.0);
    }
}

void BM_ReadLargestPrp(benchmark::State &state)
{
    const int baud = int(state.range(0));
    auto program = LargestProgram();
    for (auto _ : state) {
        TBench b(baud);
        if (!b.Ready) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        {
            std::lock_guard<std::mutex> lock(b.Mutex);
            b.Sim->Program.Header = program->Header;
            for (int s = 0; s < 256; ++s)
                b.Sim->Program.Sections[s] = program->Sections[s];
            b.Sim->Reassemble();
        }
        auto back = std::make_unique<TZentorProgram>();
        b.WireBytes = 0;
        TPRPReadThread job(b.Link, *back, NoProgress(), nullptr);
        const auto start = std::chrono::steady_clock::now();
        job.Execute();
        const double elapsed = Seconds(std::chrono::steady_clock::now() - start);
        if (job.Result != TTransferResult::Done ||
            back->ImageLength != TSarvetelSimulator::MemorySize) {
            state.SkipWithError("the read did not complete");
            return;
        }
        Report(state, elapsed, b.WireBytes, baud, 0);
    }
}

} // namespace

BENCHMARK(BM_WriteLargestPrp)->Arg(4800)->Arg(19200)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ReadLargestPrp)->Arg(4800)->Arg(19200)->Iterations(1)->Unit(benchmark::kSecond);
