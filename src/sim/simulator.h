#pragma once
// The controller simulator: a pure request-to-reply state machine that behaves as a
// Sarvetel controller does on its serial line. It keeps a mode, a 10-line screen that
// reacts to key presses, faults in mode "Неисправность", the stored PRP (header parts,
// technological keys, sections) served block by block from an assembled image, the I/O
// setup and the algorithm descriptions, and runs the stored program (sim/simrun.h) when a
// scan clock (sim/simclock.h) drives it. Link faults can be injected on purpose.

#include "model/zentorprogram.h"
#include "protocol/iosetup.h"
#include "protocol/wire.h"
#include "sim/ptyserver.h"
#include "sim/simrun.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <mutex>
#include <random>
#include <vector>

class TAlgBase;

// One request item while the simulator answers it: the frame, where the item's code stands,
// and the reply items and flags being built.
struct TSimItem
{
    const std::uint8_t *Frame;
    int Length;
    int End; // where the packet checksum stands
    int At;
    std::vector<std::uint8_t> &Out;
    std::uint8_t &Flags;

    std::uint8_t Code() const { return Frame[At]; }
    std::uint8_t operator[](int i) const { return Frame[At + i]; }
    const std::uint8_t *Data() const { return Frame + At + 1; }
    // True when the item's n bytes (its code included) are in the frame.
    bool Has(int n) const { return At + n <= End; }
    int Rest() const { return End - At; }
};

// One algorithm as the simulated controller describes it.
struct TSimAlgorithm
{
    bool Present = false;
    std::uint8_t OwnMemory = 0;                      // sent as the description's modifier byte
    int ParamCount = 0;                              // up to 19
    std::uint8_t Kinds[Sarvetel::MaxAlgParams] = {}; // internal parameter kinds 1..12
    QString Names[Sarvetel::MaxAlgParams];           // up to 5 characters each
};

// Faults injected on purpose, from the --faults list.
struct TSimFaults
{
    int DropEvery = 0;       // no reply to every n-th request
    int CorruptEvery = 0;    // one byte of every n-th reply is damaged
    bool RefuseMode = false; // mode changes do not take
    bool RejectSections = false;
    int RejectSection = -1;      // only this section (-1: all)
    bool GarbleSections = false; // sections are kept with a byte changed ...
    int GarbleSection = -1;      // ... only this one (-1: all)
    // The first reply to a read of PRP block FlipBlock carries its first 0x00 byte as 0xFF:
    // a change that no end-around sum of the frame or the image can see.
    int FlipBlock = -1;
    bool Flipped = false;
    int SlowMs = 0;    // replies come this late ...
    int SlowEvery = 1; // ... every n-th of them
    // A noisy line: each reply is lost or has a byte damaged with this chance, in
    // hundredths of a percent; lost and damaged are equally likely. The draws come from a
    // generator of their own, so one seed gives the same faults on every run.
    int NoiseBasisPoints = 0;
    std::mt19937 Noise;

    // "drop:N,corrupt:N,refuse-mode,reject-section[:S],garble-section[:S],slow:MS[:N],
    // noise:P[:SEED],flip-block:K". False with error set for anything else.
    [[nodiscard]] bool Parse(const QString &list, QString &error);
    // P percent (0 < P <= 100, two decimals kept) of noise drawn from seed.
    void SetNoise(double percent, std::uint32_t seed);
    // What the noisy line does to one reply: lose it (Bytes emptied) or damage one byte.
    void AddNoise(std::vector<std::uint8_t> &reply);
};

class TSarvetelSimulator
{
public:
    static constexpr int MemorySize = 256 * 64; // what the block count can describe

    TSarvetelSimulator();
    TSarvetelSimulator(const TSarvetelSimulator &) = delete;
    TSarvetelSimulator &operator=(const TSarvetelSimulator &) = delete;

    // The reply to one request frame (empty bytes: no reply).
    TSimReply HandleRequest(const std::uint8_t *frame, int length);

    // Controller state.
    std::uint8_t Mode = 0x01;
    std::uint8_t ErrorsByte = 0xFF;                       // 0xFF: no errors
    std::uint8_t FaultPairs[Sarvetel::FaultPairCount][2]; // reported in mode 0x80; code 0xFF = none
    std::uint8_t MemoryType = 0;
    std::uint8_t IOSetup[Sarvetel::IOSetupSize] = {};
    TSimAlgorithm Algorithms[128];
    TSimFaults Faults;
    TZentorProgram Program; // the stored PRP; Image/ImageLength always assembled
    std::uint8_t LastKey = 0;
    QString Input; // digits typed on the front panel
    int RequestCount = 0;
    // Held while a request is handled (by whoever serves the line); a thread that reads or
    // changes the state above while a line is served takes it too, and so does the scan
    // clock for each scan.
    std::mutex Lock;

    // The run of the stored program: its scans, the variables' state and the trend.
    TSimProgramRun Run;
    // What a preparation of the stored program needs, when one is due: the stored program
    // or the descriptions changed and the controller is not being programmed. The
    // preparation itself (PrepareStoredImage) needs no lock; its result goes to Run.Install.
    [[nodiscard]] bool TakePreparation(TSimPreparation &job) const;
    // All of that at once, the lock held all along; true when it prepared.
    bool PrepareRun();

    // The algorithm descriptions of a base; the program is prepared again by them.
    // Returns the algorithms whose call length in the base is not the one their
    // description gives (AlgRecordCallLength): a base read from this controller compiles
    // their calls to another length.
    std::vector<int> LoadAlgorithms(const TAlgBase &base);
    // The base the descriptions make: what the run decodes the calls by.
    void DescribedBase(TAlgBase &base) const;
    // Screen line i (0..9), 16 characters.
    QString ScreenLine(int i) const;

    // Keeps the stored PRP and the I/O setup in dir across runs. Load: false with error
    // set when the state there is damaged (a missing state is no error).
    QString StateDir;
    [[nodiscard]] bool LoadState(QString &error);
    bool SaveState(QString &error) const;
    // Why the last change could not be kept in StateDir (the old state stays); empty when
    // it was.
    QString StateError;

    // Rebuilds Image from the stored header and sections.
    void Reassemble();

private:
    void HandleItems(const std::uint8_t *frame, int length, std::vector<std::uint8_t> &items,
                     std::uint8_t &flags);
    // A request item's handler: the bytes the item takes, or 0 when its data is not all
    // there (the rest of the frame is left unanswered).
    using THandler = int (TSarvetelSimulator::*)(TSimItem &);
    static THandler HandlerOf(std::uint8_t code);
    int OnStatus(TSimItem &item);
    int OnSetMode(TSimItem &item);
    int OnScreen(TSimItem &item);
    int OnKey(TSimItem &item);
    int OnBlockCount(TSimItem &item);
    int OnBlock(TSimItem &item);
    int OnReadHeaderPart(TSimItem &item);
    int OnBeginWrite(TSimItem &item);
    int OnSilent(TSimItem &item);
    int OnPrepare(TSimItem &item);
    int OnHeaderPart(TSimItem &item);
    int OnWriteTechKey(TSimItem &item);
    int OnClearTechKey(TSimItem &item);
    int OnSection(TSimItem &item);
    int OnSectionInfo(TSimItem &item);
    int OnWriteSection(TSimItem &item);
    int OnDeleteSection(TSimItem &item);
    int OnIOSetup(TSimItem &item);
    int OnWriteIOSetup(TSimItem &item);
    int OnReleaseChannel(TSimItem &item);
    int OnAutoIOSetup(TSimItem &item);
    int OnResetVariables(TSimItem &item);
    int OnReset(TSimItem &item);
    int OnToggleMemoryType(TSimItem &item);
    int OnAlgorithm(TSimItem &item);
    void Status(std::vector<std::uint8_t> &out) const;
    [[nodiscard]] bool ChangeMode(std::uint8_t mode);
    void PressKey(std::uint8_t key);
    [[nodiscard]] bool StoreSection(const std::uint8_t *data, int length, bool &noMemory);
    void StoreHeaderPart(const std::uint8_t *block);
    void HeaderPartBlock(int part, std::vector<std::uint8_t> &out) const;
    void IOSetupItem(std::vector<std::uint8_t> &out) const;
    [[nodiscard]] bool StoreIOSetup(const std::uint8_t *frame, int length);
    void AlgorithmItem(int n, std::vector<std::uint8_t> &out) const;
    void Changed();
    // The stored program was written: kept as any change is, and run afresh.
    void ProgramChanged();
    void ResetIOSetup();
};

// The reply frame around items: payload length announced in bytes 1-2 as a request does,
// flags in byte 2 (0x40 frame failure, 0x20 no memory), both checksums.
std::vector<std::uint8_t> SimReplyFrame(const std::vector<std::uint8_t> &items,
                                        std::uint8_t flags = 0);
