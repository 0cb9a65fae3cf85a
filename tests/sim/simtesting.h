#pragma once
// The simulator on a real pseudo-terminal with a link in front of it.

#include "core/progress.h"
#include "core/textutils.h"
#include "link/comport.h"
#include "link/prptransfer.h"
#include "link/sarvetel.h"
#include "sim/ptyserver.h"
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <functional>
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
              if (OnRequest)
                  OnRequest(Requests.back());
              if (FailCount > 0 && n > 4 && f[4] == FailCode) {
                  --FailCount;
                  return TSimReply{SimReplyFrame({}, 0x40)};
              }
              std::lock_guard<std::mutex> state(Sim->Lock);
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

    // The next count requests whose first item is code reach the controller damaged: it
    // answers at once that it could not take them (a frame failure).
    void FailRequests(std::uint8_t code, int count)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        FailCode = code;
        FailCount = count;
    }

    // Calls watch with every request as it arrives, on the line's thread.
    void WatchRequests(std::function<void(const Bytes &)> watch)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        OnRequest = std::move(watch);
    }

    // The simulator's state, looked at while it handles no request and scans nothing.
    template <typename F> auto WithSim(F f)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        std::lock_guard<std::mutex> state(Sim->Lock);
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
    std::function<void(const Bytes &)> OnRequest;
    std::uint8_t FailCode = 0;
    int FailCount = 0;
};

// Records what a transfer window would show, and lets a test act at a given moment.
class TRecordingProgress : public TProgress
{
public:
    void SetCaption(const QString &c) override { Caption = c; }
    void SetMaximum(int m) override { Maximum = m; }
    void SetPosition(int p) override { Position = p; }
    void SetDetail(const QString &d) override { Detail = d; }
    void SetAction(const QString &a) override
    {
        Actions << a;
        if (OnAction)
            OnAction(a);
    }
    void Show() override { Shown = true; }
    void Hide() override { ++Hidden; }
    QString Caption;
    QString Detail;
    QStringList Actions;
    int Maximum = 0;
    int Position = 0;
    bool Shown = false;
    int Hidden = 0;
    std::function<void(const QString &)> OnAction;
};

// Answers the transfer's questions as a test says; Cancel when it says nothing.
class TScriptedQuestions : public TTransferQuestions
{
public:
    bool Confirm(const QString &text, const QString &caption) override
    {
        Asked << text + QStringLiteral(" / ") + caption;
        return Answer ? Answer(int(Asked.size())) : false;
    }
    QStringList Asked;
    std::function<bool(int)> Answer;
};

// A program with a header, keys and sections in groups 0 and 3.
inline std::unique_ptr<TZentorProgram> SampleProgram()
{
    auto p = std::make_unique<TZentorProgram>();
    p->Clear();
    p->Sections[0].Present = 0;
    TPRPHeader &h = p->Header;
    h.OrderDV = 5;
    h.OrderTM = 2;
    h.ImpSource[3][0] = 0x08;
    h.ImpSource[3][1] = 0x41;
    h.ImpTicks[0] = 0x03;
    h.AdcOrder[0] = 15;
    h.AdcOrder[1] = 7;
    h.TimeGen[0][0] = 0x0A;
    h.TimeGen[0][2] = 0x14;
    h.TechKeys[0].Class = 1;
    h.TechKeys[0].Index = 0x20;
    h.TechKeys[0].Name = QStringLiteral("ПУСК    ");
    h.TechKeys[17].Class = 9;
    h.TechKeys[17].Index = 0x05;
    h.TechKeys[17].Name = QStringLiteral("УРОВЕНЬ ");
    PutBlock(p->Sections[0], SectionBlock(0, {0x0C, 0x01, 0x10, 0x02}));
    PutBlock(p->Sections[1], SectionBlock(1, {0x1E}));
    PutBlock(p->Sections[31], SectionBlock(31, Bytes(200, 0x1E)));
    PutBlock(p->Sections[96], SectionBlock(96, {0x02, 0x07}));
    PutBlock(p->Sections[127], SectionBlock(127, {0x14, 0x03}));
    p->AddGroup(3);
    p->Sections[50].Present = 1; // present but compiled to nothing: nothing to send
    return p;
}
