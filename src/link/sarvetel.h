#pragma once
// The controller link: request/reply frames over one TCOMPort, the reply parser and every
// controller command. A command takes the port's lock, sends its frames, and leaves its
// results in the fields below; the caller reads them together with LinkStatus (only the
// last frame's status survives a command of several frames).
//
// Threads (the screen updater, the desktop's exchange worker, the transfer jobs and the
// main thread share one link): the port's Lock guards every field of this object. A
// command takes it for all its frames; a caller that reads what a command left (LinkStatus,
// Mode, the screen lines, ...) or fills what a command sends (IOSetup, ...) holds the lock
// around the command and that access, since another thread's command may rewrite the
// fields as soon as the lock is free. The lock is recursive, so commands run inside it.
// PortOpen alone is atomic: the port dialog sets it and the updater reads it without the
// lock. Exchanges counts the exchanges, so a copy of the state can tell which is newer.

#include "link/sarveteldefs.h"

#include <QString>

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
    static bool IsCompleteReply(const std::uint8_t *frame, int length);

    // Commands. Those that take attempts send their request again, under the same hold of
    // the lock, while the controller's answer did not arrive or was not accepted (see
    // TAttempts; one attempt by default). They do not repeat a request the port could not
    // write, nor one the controller refused for lack of memory: neither changes by asking.
    std::uint32_t ReadStatus(TAttempts attempts = {});
    void ReadStatusOnOpen();
    void SetMode(std::uint8_t mode, TAttempts attempts = {});
    void ReadScreenLines(int first);
    void SendKeys(const std::uint8_t *keys, int count);
    // The count lands in PRPBlockCount; an answer without it counts as a failed attempt.
    int ReadPRPBlockCount(TAttempts attempts = {});
    // An attempt succeeds when block itself landed (LastBlockNumber == block).
    void ReadPRPBlock(std::uint8_t *destination, int destinationSize, int block,
                      TAttempts attempts = {});
    void ReadPRPIntoHeader(TPRPHeader &header);
    void ReadHeaderPart(TPRPHeader &header);
    // Part 0 of the header (the orders) after the two preparation frames. True when the
    // last answer was accepted and carried the part; header is left as it was otherwise.
    [[nodiscard]] bool ReadHeader(TPRPHeader &header);
    // The four header parts (each its two preparation frames and its data frame), then every
    // technological key; each part and each key is repeated by itself. A part took when its
    // data frame was accepted. True when every part and key took; stops at the first one
    // that failed all its attempts, and after the frame in flight once the attempts' Stop is
    // set (false then too).
    bool WriteHeader(TPRPHeader &header, TAttempts attempts = {});
    bool WriteHeaderPart0(TPRPHeader &header);
    void WriteTechKey(const TPRPHeader &header, int key);
    void ClearTechKey(int key);
    void ReadSection(int section, TZentorSection &record);
    std::uint32_t ReadSectionInfo(int section);
    // The two preparation frames and the section's block, repeated together. True when the
    // block frame was accepted (a lost answer to a preparation frame alone is no failure).
    bool WriteSection(const TZentorSection &record, TAttempts attempts = {});
    void DeleteSection(int section);
    void ReadIOSetup();
    void WriteIOSetup();
    void ReleaseChannel(int logicalChannel);
    void AutoIOSetup();
    void ResetVariables();
    void ResetVariableLocks();
    void ResetCoefficients();
    void ResetSystemMemory();
    void ToggleMemoryType();
    void ReadAlgorithm(int number);

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
    static int WalkItems(TSarvetel *link, const std::uint8_t *frame, int length);
    // Stores what the item at item (its code byte, then data bytes) reports.
    void ApplyItem(const std::uint8_t *item, int data);
    void StoreStatus(const std::uint8_t *d);
    void StoreScreenLines(const std::uint8_t *d);
    void StoreHeaderBlock(const std::uint8_t *block, int available);
    void StoreIOSetup(const std::uint8_t *item);
    void StoreAlgorithm(const std::uint8_t *item, int available);
    // False, without sending another frame, as soon as stop is set.
    bool SendHeaderPart(TPRPHeader &header, int part, const std::atomic<bool> *stop = nullptr);
    // Runs attempt (one try of a command, true when it took) as TAttempts says.
    template <typename Attempt> bool Repeat(const TAttempts &attempts, Attempt attempt);
};
