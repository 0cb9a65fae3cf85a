#pragma once
// The simulator on a real pseudo-terminal with a link in front of it.

#include "core/textutils.h"
#include "link/comport.h"
#include "link/sarvetel.h"
#include "sim/ptyserver.h"
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A section code block as the compiler makes it: L, L, s, s, checksum, instructions, 0.
inline Bytes SectionBlock(int s, const Bytes &instructions)
{
    const int l = 5 + int(instructions.size());
    Bytes b(std::size_t(l + 1), 0);
    b[0] = b[1] = std::uint8_t(l);
    b[2] = b[3] = std::uint8_t(s);
    for (std::size_t i = 0; i < instructions.size(); ++i)
        b[5 + i] = instructions[i];
    const std::uint8_t sum = ByteSum(b.data(), l);
    b[4] = std::uint8_t((256 - sum) % 256);
    return b;
}

inline void PutBlock(TZentorSection &section, const Bytes &block)
{
    std::copy(block.begin(), block.end(), section.Code);
    section.CodeLength = int(block.size());
    section.Present = 1;
}

class TSimulatedController
{
public:
    TSimulatedController()
        : Sim(std::make_unique<TSarvetelSimulator>()), Server([this](const std::uint8_t *f, int n) {
              std::lock_guard<std::mutex> lock(Mutex);
              Requests.emplace_back(f, f + n);
              return Sim->HandleRequest(f, n);
          })
    {
        QString error;
        Opened = Server.Open(QString(), error);
        if (Opened) {
            Server.Start();
            Opened = Port.OpenDevice(Server.SlavePath()) == 0;
        }
    }
    ~TSimulatedController() { Server.Stop(); }

    std::vector<Bytes> TakeRequests()
    {
        std::lock_guard<std::mutex> lock(Mutex);
        return std::move(Requests);
    }

    // The simulator's state, looked at while it handles no request.
    template <typename F> auto WithSim(F f)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        return f(*Sim);
    }

    std::unique_ptr<TSarvetelSimulator> Sim;
    TPtyServer Server;
    TCOMPort Port;
    TSarvetel Link{&Port, nullptr};
    bool Opened = false;

private:
    std::mutex Mutex;
    std::vector<Bytes> Requests;
};
