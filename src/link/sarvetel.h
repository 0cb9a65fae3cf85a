#pragma once
// The controller link: request/reply frames over one TCOMPort, the reply parser and every
// controller command. A command takes the port's lock, sends its frames, and returns what it
// learned (TLinkResult and its kin below), copied out while it still held the lock. The
// fields below are the link's own state between frames.
//
// Threads (the screen updater, the desktop's exchange worker, the transfer jobs and the
// main thread share one link): the port's Lock guards every field of this object. A
// command takes it for all its frames. A caller that fills what a command sends (IOSetup,
// MemoryType) holds the lock around that and the command, since another thread's command may
// rewrite the fields as soon as the lock is free; what a command learned comes back as its
// result. The lock is recursive, so commands run inside it.
// PortOpen alone is atomic: the port dialog sets it and the updater reads it without the
// lock. Exchanges counts the exchanges, so a copy of the state can tell which is newer.

#include "link/sarveteldefs.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

class TCOMPort;
class TLogger;
class TKSB;
class TPRPHeader;
struct TZentorSection;

// One algorithm description as the controller reports it.
struct TAlgDescription
{
    std::uint8_t Present = 0;
    int RecordSize = 0;        // bytes of a call, its first three included
    std::uint8_t Modifier = 0; // the controller's own-memory byte of the algorithm
    int ParamCount = 0;        // as reported; types and names are kept for the first 20
    std::uint8_t ParamTypes[Sarvetel::MaxAlgParams] = {};
    QString ParamNames[Sarvetel::MaxAlgParams];
};

// What a run of commands learned of the controller: whether it answered the last of them
// and, when a reply told it, its mode. Exchange (the link's exchange count then) orders two
// such records, larger is newer; 0 means nothing was learned.
struct TControllerSeen
{
    std::uint64_t Exchange = 0;
    bool Answered = false;
    bool ModeKnown = false;
    std::uint32_t Mode = 0;

    // Takes news unless it is older than what is known. A controller that did not answer
    // has no known mode; one that answered without telling it keeps the mode known before.
    void Take(const TControllerSeen &news);
};

// What one command learned. Status is the link status of its last frame and Protocol the
// result its reply carried (as LinkFailureText names them); Ok is whether the command did
// what it was for: its answers accepted and, for a read, what it asked for came. Mode is the
// controller's mode as the link knows it after the command; ModeKnown says a reply of this
// command told it.
struct TLinkResult
{
    std::uint8_t Status = Sarvetel::LinkNoReply;
    int Protocol = Sarvetel::ResultOk;
    bool Ok = false;
    bool ModeKnown = false;
    std::uint32_t Mode = 0;

    bool Accepted() const { return Status == Sarvetel::LinkAccepted; }
    explicit operator bool() const { return Ok; }
};

// A command's result with what it read.
template <typename T> struct TLinkRead : TLinkResult
{
    T Value{};
};

// The status reply: the mode (in the result), whether errors are noted, and in "Авария" the
// fault pairs (code, detail), FaultCount of them.
struct TControllerStatus
{
    std::uint8_t ErrorsPresent = 0;
    std::uint8_t Faults[Sarvetel::FaultPairCount][2] = {};
    int FaultCount = 0;
    // The fault word of pair k: code + 256 * detail.
    std::uint16_t FaultWord(int k) const;
};

// The controller's I/O setup and memory type, as read.
struct TIOSetupState
{
    std::uint8_t IOSetup[Sarvetel::IOSetupSize] = {};
    std::uint8_t MemoryType = 0;
};

using TScreenText = std::array<QString, Sarvetel::ScreenLineCount>;

// How often a command that is harmless to repeat sends its request before its failure
// stands: Count times at most, and no more once Stop is set (a transfer's "Отмена").
struct TAttempts
{
    TAttempts(int count = 1, const std::atomic<bool> *stop = nullptr) : Count(count), Stop(stop) {}
    int Count;
    const std::atomic<bool> *Stop;
};

class TSarvetel
{
public:
    TSarvetel(TCOMPort *port, TLogger *logger, int channel = -1);
    TSarvetel(const TSarvetel &) = delete;
    TSarvetel &operator=(const TSarvetel &) = delete;

    // Framing.
    TCOMPort *Port;
    TLogger *Logger;
    std::uint8_t Request[Sarvetel::FrameSize] = {};
    int RequestLength = 0;
    std::uint8_t Reply[Sarvetel::FrameSize] = {};
    int BytesRead = 0;
    std::uint8_t LinkStatus = Sarvetel::LinkAccepted;
    int ProtocolResult = Sarvetel::ResultOk;
    std::atomic<std::uint8_t> PortOpen{0};
    std::uint64_t Exchanges = 0;    // exchanges so far
    std::uint64_t ModeExchange = 0; // the exchange whose reply last told the mode
    std::uint8_t MultiChannel = 0;
    TKSB *KSB = nullptr;
    int Channel = -1;

    // State that the reply items fill.
    std::uint32_t Mode = 0;
    std::uint8_t ErrorsPresent = 0;
    std::uint8_t Faults[Sarvetel::FaultPairCount][2] = {}; // (code, detail)
    int FaultCount = 0;
    QString ScreenLines[Sarvetel::ScreenLineCount];
    int PRPBlockCount = 0;
    std::uint8_t *BlockDestination = nullptr; // where 64-byte blocks land
    int BlockDestinationSize = 0;             // blocks that would not fit are ignored
    int LastBlockNumber = -1;                 // number of the last block that landed
    TZentorSection *SectionRecord = nullptr;
    std::uint32_t SectionInfo = 0;
    TPRPHeader *HeaderObject = nullptr;
    bool HeaderPartTaken = false; // a header part landed in HeaderObject
    std::uint8_t MemoryType = 0;  // bit 0: PRP in ППЗУ; bit 1: system memory not duplicated
    std::uint8_t IOSetup[Sarvetel::IOSetupSize] = {};
    TAlgDescription Algorithm;

    // Holds the port's lock (see above); an empty lock for a link without a port.
    std::unique_lock<std::recursive_mutex> LineLock() const;

    // What the exchanges after since (a value of Exchanges) learned: nothing when there was
    // none, else whether the last one was answered (a reply came, even one refused) and the
    // mode when one of them told it. The caller holds the port's lock.
    TControllerSeen SeenSince(std::uint64_t since) const;

    // The fault word of pair k: code + 256 * detail.
    std::uint16_t FaultWord(int k) const;

    // One exchange: completes the frame whose payload is in place from offset 4 (length in
    // RequestLength), sends it and parses the reply of at most capacity bytes.
    // The caller holds the port's lock. A device found gone (unplugged and plugged in
    // again, the other end restarted) is closed and opened again once, and the frame sent
    // again, before the failure stands.
    void Transact(int capacity);
    // Parses Reply[0 .. BytesRead) into the state above; sets ProtocolResult.
    void ParseReply();

    // Frame helpers shared with the simulator and the tests.
    // Writes bytes 0..3 and the packet checksum of a frame of total length L.
    static void CompleteFrame(std::uint8_t *frame, int length, int capacity);
    // True when the bytes are a whole reply: announced length reached, both checksums
    // right, and the items end exactly before the packet checksum.
    [[nodiscard]] static bool IsCompleteReply(const std::uint8_t *frame, int length);

    // Commands. Those that take attempts send their request again, under the same hold of
    // the lock, while the controller's answer did not arrive or was not accepted (see
    // TAttempts; one attempt by default). They do not repeat a request the port could not
    // write, nor one the controller refused for lack of memory: neither changes by asking.
    // Each returns what it learned; Ok is its answer accepted unless said otherwise.
    [[nodiscard]] TLinkRead<TControllerStatus> ReadStatus(TAttempts attempts = {});
    [[nodiscard]] TLinkRead<TControllerStatus> ReadStatusOnOpen();
    [[nodiscard]] TLinkResult SetMode(std::uint8_t mode, TAttempts attempts = {});
    // The screen as the link knows it after the lines that came (the others as before).
    [[nodiscard]] TLinkRead<TScreenText> ReadScreenLines(int first);
    [[nodiscard]] TLinkResult SendKeys(const std::uint8_t *keys, int count);
    // The count; an answer without it is no success (and counts as a failed attempt).
    [[nodiscard]] TLinkRead<int> ReadPRPBlockCount(TAttempts attempts = {});
    // Ok (and an attempt succeeds) when block itself landed.
    [[nodiscard]] TLinkResult ReadPRPBlock(std::uint8_t *destination, int destinationSize,
                                           int block, TAttempts attempts = {});
    // Ok when every block of the header came.
    [[nodiscard]] TLinkResult ReadPRPIntoHeader(TPRPHeader &header);
    // Ok when the part came.
    [[nodiscard]] TLinkResult ReadHeaderPart(TPRPHeader &header);
    // Part 0 of the header (the orders) after the two preparation frames. Ok when the
    // last answer was accepted and carried the part; header is left as it was otherwise.
    [[nodiscard]] TLinkResult ReadHeader(TPRPHeader &header);
    // The four header parts (each its two preparation frames and its data frame), then every
    // technological key; each part and each key is repeated by itself. A part took when its
    // data frame was accepted. Ok when every part and key took; stops at the first one
    // that failed all its attempts, and after the frame in flight once the attempts' Stop is
    // set (not Ok then either).
    [[nodiscard]] TLinkResult WriteHeader(TPRPHeader &header, TAttempts attempts = {});
    [[nodiscard]] TLinkResult WriteHeaderPart0(TPRPHeader &header);
    [[nodiscard]] TLinkResult WriteTechKey(const TPRPHeader &header, int key);
    [[nodiscard]] TLinkResult ClearTechKey(int key);
    [[nodiscard]] TLinkResult ReadSection(int section, TZentorSection &record);
    [[nodiscard]] TLinkRead<std::uint32_t> ReadSectionInfo(int section);
    // The two preparation frames and the section's block, repeated together. Ok when the
    // block frame was accepted (a lost answer to a preparation frame alone is no failure).
    [[nodiscard]] TLinkResult WriteSection(const TZentorSection &record, TAttempts attempts = {});
    [[nodiscard]] TLinkResult DeleteSection(int section);
    [[nodiscard]] TLinkRead<TIOSetupState> ReadIOSetup();
    // Sends IOSetup and MemoryType as they stand in the link.
    [[nodiscard]] TLinkResult WriteIOSetup();
    [[nodiscard]] TLinkResult ReleaseChannel(int logicalChannel);
    // The automatic setup, then the setup read back (the result is the read's).
    [[nodiscard]] TLinkRead<TIOSetupState> AutoIOSetup();
    [[nodiscard]] TLinkResult ResetVariables();
    [[nodiscard]] TLinkResult ResetVariableLocks();
    [[nodiscard]] TLinkResult ResetCoefficients();
    [[nodiscard]] TLinkResult ResetSystemMemory();
    [[nodiscard]] TLinkResult ToggleMemoryType();
    [[nodiscard]] TLinkRead<TAlgDescription> ReadAlgorithm(int number);

    // Frame builders, exposed so that the exact bytes can be checked.
    static void BuildHeaderPartFrame(const TPRPHeader &header, int part, std::uint8_t *frame);
    void BuildIOSetupFrame(std::uint8_t *frame) const;

private:
    // Writes the completed request and reads and parses its reply.
    void SendAndReceive(int capacity);
    // Puts the payload at offset 4 and exchanges it.
    void Exchange(std::initializer_list<std::uint8_t> payload, int capacity);
    void Log(const QString &text);
    // Walks the items of Reply; with apply false it only checks where they end.
    [[nodiscard]] static int WalkItems(TSarvetel *link, const std::uint8_t *frame, int length);
    // Stores what the item at item (its code byte, then data bytes) reports.
    void ApplyItem(const std::uint8_t *item, int data);
    void StoreStatus(const std::uint8_t *d);
    void StoreScreenLines(const std::uint8_t *d);
    void StoreHeaderBlock(const std::uint8_t *block, int available);
    void StoreIOSetup(const std::uint8_t *item);
    void StoreAlgorithm(const std::uint8_t *item, int available);
    // False, without sending another frame, as soon as stop is set.
    [[nodiscard]] bool SendHeaderPart(TPRPHeader &header, int part,
                                      const std::atomic<bool> *stop = nullptr);
    // Runs attempt (one try of a command, true when it took) as TAttempts says.
    template <typename Attempt> bool Repeat(const TAttempts &attempts, Attempt attempt);
    // What the exchanges after since (a value of Exchanges) left, ok as the command judged.
    TLinkResult Result(std::uint64_t since, bool ok) const;
    template <typename T> TLinkRead<T> Read(std::uint64_t since, bool ok, T value) const;
    TLinkRead<TControllerStatus> StatusResult(std::uint64_t since) const;
    TLinkRead<TIOSetupState> IOSetupResult(std::uint64_t since) const;
};
