#include "link/sarvetel.h"

#include "compiler/algparamkind.h"
#include "core/logger.h"
#include "core/textutils.h"
#include "link/comport.h"
#include "model/zentorprogram.h"
#include "protocol/replyitems.h"
#include "prp/prpheader.h"
#include "prp/prplayout.h"

#include <algorithm>
#include <cstring>
#include <mutex>

using namespace Sarvetel;

namespace {

QString Hex2(int v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TSarvetel::TSarvetel(TCOMPort *port, TLogger *logger, int channel)
    : Port(port), Logger(logger), Channel(channel)
{
    for (QString &line : ScreenLines)
        line = ScreenLineAtStart;
    for (auto &pair : Faults)
        pair[0] = pair[1] = 0xFF;
}

void TControllerSeen::Take(const TControllerSeen &news)
{
    if (news.Exchange == 0 || news.Exchange < Exchange)
        return;
    Exchange = news.Exchange;
    Answered = news.Answered;
    if (news.ModeKnown || !news.Answered) {
        ModeKnown = news.ModeKnown && news.Answered;
        Mode = ModeKnown ? news.Mode : 0;
    }
}

TControllerSeen TSarvetel::SeenSince(std::uint64_t since) const
{
    TControllerSeen seen;
    if (Exchanges <= since)
        return seen;
    seen.Exchange = Exchanges;
    seen.Answered = LinkStatus == LinkAccepted || LinkStatus == LinkRejected;
    seen.ModeKnown = ModeExchange > since;
    seen.Mode = seen.ModeKnown ? Mode : 0;
    return seen;
}

std::uint16_t TSarvetel::FaultWord(int k) const
{
    if (k < 0 || k >= FaultPairCount)
        return 0xFFFF;
    return static_cast<std::uint16_t>(Faults[k][0] + 256 * Faults[k][1]);
}

std::uint16_t TControllerStatus::FaultWord(int k) const
{
    if (k < 0 || k >= FaultPairCount)
        return 0xFFFF;
    return static_cast<std::uint16_t>(Faults[k][0] + 256 * Faults[k][1]);
}

TLinkResult TSarvetel::Result(std::uint64_t since, bool ok) const
{
    TLinkResult r;
    r.Status = LinkStatus;
    r.Protocol = ProtocolResult;
    r.Ok = ok;
    r.ModeKnown = ModeExchange > since;
    r.Mode = Mode;
    return r;
}

template <typename T> TLinkRead<T> TSarvetel::Read(std::uint64_t since, bool ok, T value) const
{
    TLinkRead<T> r;
    static_cast<TLinkResult &>(r) = Result(since, ok);
    r.Value = std::move(value);
    return r;
}

TLinkRead<TControllerStatus> TSarvetel::StatusResult(std::uint64_t since) const
{
    TControllerStatus status;
    status.ErrorsPresent = ErrorsPresent;
    std::memcpy(status.Faults, Faults, sizeof Faults);
    status.FaultCount = std::clamp(FaultCount, 0, int(FaultPairCount));
    return Read(since, LinkStatus == LinkAccepted, status);
}

TLinkRead<TIOSetupState> TSarvetel::IOSetupResult(std::uint64_t since) const
{
    TIOSetupState setup;
    std::memcpy(setup.IOSetup, IOSetup, sizeof IOSetup);
    setup.MemoryType = MemoryType;
    return Read(since, LinkStatus == LinkAccepted, setup);
}

void TSarvetel::Log(const QString &text)
{
    if (Logger)
        Logger->AddLine(text);
}

// ---------------------------------------------------------------------------- framing

void TSarvetel::CompleteFrame(std::uint8_t *frame, int length, int capacity)
{
    FrameLayout::CompleteRequest(frame, length, capacity);
}

bool TSarvetel::IsCompleteReply(const std::uint8_t *frame, int length)
{
    return FrameLayout::IsWhole(frame, length) && WalkItems(nullptr, frame, length) == length - 1;
}

void TSarvetel::Transact(int capacity)
{
    capacity = std::clamp(capacity, 0, FrameSize);
    RequestLength = std::clamp(RequestLength, FrameLayout::Overhead, FrameSize);
    CompleteFrame(Request, RequestLength, capacity);
    Log(LogSent);
    Log(HexDump(Request, RequestLength));
    ++Exchanges;
    SendAndReceive(capacity);
    if (LinkStatus == LinkAccepted || !Port || !Port->DeviceGone || Port->Interrupted())
        return;
    // The device went away under the open descriptor: it may be back under its name.
    Log(LogDeviceGone + Port->DevicePath);
    if (Port->ReopenDevice() != 0)
        return;
    Log(LogSent);
    Log(HexDump(Request, RequestLength));
    SendAndReceive(capacity);
}

void TSarvetel::SendAndReceive(int capacity)
{
    ProtocolResult = ResultOk;
    BytesRead = 0;
    if (!Port || !Port->Write(Request, RequestLength)) {
        LinkStatus = LinkNotWritten;
        return;
    }
    int got = 0;
    if (!Port->Read(Reply, got, capacity, &TSarvetel::IsCompleteReply))
        got = 0; // the port closed under the request
    BytesRead = std::clamp(got, 0, capacity);
    if (BytesRead == 0) {
        LinkStatus = LinkNoReply;
        return;
    }
    ParseReply();
    LinkStatus = ProtocolResult != ResultOk ? LinkRejected : LinkAccepted;
}

void TSarvetel::ParseReply()
{
    const int n = std::clamp(BytesRead, 0, FrameSize);
    Log(LogReceived);
    Log(HexDump(Reply, n));
    ProtocolResult = ResultOk;
    if (n < 4)
        ProtocolResult = ResultBadPacket;
    else if (!FrameLayout::HeaderSumRight(Reply))
        ProtocolResult = ResultHeaderChecksum;
    else if (!FrameLayout::PacketSumRight(Reply, n))
        ProtocolResult = ResultPacketChecksum;
    else if (Reply[2] & FrameLayout::FlagFrameFailure)
        ProtocolResult = ResultFrameFailure;
    else if (Reply[2] & FrameLayout::FlagNoMemory)
        ProtocolResult = ResultNoMemory;
    else if (n < FrameLayout::Overhead)
        ProtocolResult = ResultBadPacket; // a header alone carries nothing
    if (ProtocolResult != ResultOk) {
        Log(ProtocolResultText(ProtocolResult));
        return;
    }
    // Items before one that does not fit the frame stand; the rest is not applied. The sums
    // were right, so this is what the controller sent.
    static_cast<void>(WalkItems(this, Reply, n));
}

// Items run from offset 4 up to the packet checksum. An item whose data would reach into
// the checksum or past the bytes read is not applied and ends the walk (-1).
int TSarvetel::WalkItems(TSarvetel *link, const std::uint8_t *f, int length)
{
    int p = FrameLayout::PayloadAt;
    while (p < length - 1) {
        const int code = f[p];
        if (link)
            link->Log(LogItem + Hex2(code));
        const int data = ReplyItems::DataLength(f, length, p);
        if (data < 0 || p + 1 + data > length - 1)
            return -1;
        if (link)
            link->ApplyItem(f + p, data);
        p += 1 + data;
    }
    return p;
}

void TSarvetel::ApplyItem(const std::uint8_t *item, int data)
{
    const std::uint8_t *d = item + 1;
    switch (item[0]) {
    case CodeStatus:
        StoreStatus(d);
        break;
    case CodeScreen:
        StoreScreenLines(d);
        break;
    case CodeBlockCount:
        PRPBlockCount = d[0] == 0 ? 256 : d[0];
        break;
    case CodeBlock: {
        const int k = d[0];
        if (BlockDestination && (k + 1) * BlockSize <= BlockDestinationSize) {
            std::memcpy(BlockDestination + k * BlockSize, d + 1, BlockSize);
            LastBlockNumber = k;
        }
        break;
    }
    case CodeSection:
        if (SectionRecord) {
            const int n = d[0];
            std::memcpy(SectionRecord->Code, d, n);
            SectionRecord->CodeLength = n;
        }
        break;
    case CodeAlgorithm:
        StoreAlgorithm(item, data + 1);
        break;
    case CodeHeaderBlock:
        StoreHeaderBlock(item, HeaderPartBlockLength);
        break;
    case CodeSectionInfo:
        SectionInfo = d[0];
        break;
    case CodeIOSetup:
        StoreIOSetup(item);
        break;
    case CodeWriteSection:
        if (d[0] != 0)
            ProtocolResult = ResultHeaderChecksum;
        break;
    case CodeReadHeaderPart:
        StoreHeaderBlock(d, HeaderPartBlockLength);
        break;
    case CodeToggleMemoryType:
        if (d[0] != 0)
            ProtocolResult = ResultNoMemory;
        break;
    default:
        break;
    }
}

void TSarvetel::StoreStatus(const std::uint8_t *d)
{
    Mode = d[0];
    ModeExchange = Exchanges;
    if (d[0] == ModeFault) {
        FaultCount = 0;
        for (auto &pair : Faults)
            pair[0] = pair[1] = 0xFF;
        for (int k = 0; k < FaultPairCount; ++k)
            if (d[1 + 2 * k] != 0xFF) {
                Faults[FaultCount][0] = d[1 + 2 * k];
                Faults[FaultCount][1] = d[2 + 2 * k];
                ++FaultCount;
            }
    } else {
        ErrorsPresent = d[1] != 0xFF ? 1 : 0;
    }
}

// One screen line, or two when the count says so.
void TSarvetel::StoreScreenLines(const std::uint8_t *d)
{
    if (d[0] != 0) {
        const int lines = ReplyItems::ScreenLinesOf(d[0]);
        for (int i = 0; i < lines; ++i) {
            const std::uint8_t *l = d + 1 + i * (1 + ScreenLineLength);
            if (l[0] >= ScreenLineCount)
                continue; // the screen has lines 0..9 only
            QString text;
            for (int c = 0; c < ScreenLineLength; ++c)
                text += ControllerToText(l[1 + c]);
            ScreenLines[l[0]] = text;
        }
    }
}

void TSarvetel::StoreHeaderBlock(const std::uint8_t *b, int available)
{
    if (HeaderObject && available >= HeaderPartBlockLength) {
        HeaderObject->DecodePart(b);
        HeaderPartTaken = true;
    }
}

void TSarvetel::StoreIOSetup(const std::uint8_t *c)
{
    IOSetupLayout::DecodeBlock(c, IOSetup, MemoryType, IOSetupLayout::TUnnamedMask::MeansNone);
}

void TSarvetel::StoreAlgorithm(const std::uint8_t *c, int itemLength)
{
    Algorithm = TAlgDescription();
    const int l = c[1];
    if (l == 0)
        return;
    Algorithm.Present = 1;
    auto at = [&](int i) { return i < itemLength ? int(c[i]) : -1; };
    const int modifier = at(2);
    const int n = at(3);
    Algorithm.Modifier = modifier < 0 ? 0 : static_cast<std::uint8_t>(modifier);
    Algorithm.ParamCount = n < 0 ? 0 : n;
    int size = 3 + (Algorithm.Modifier ? 2 : 0);
    for (int i = 0; i < Algorithm.ParamCount; ++i) {
        const int wire = at(4 + i);
        const std::uint8_t type = AlgParamKindOfWireType(wire);
        size += AlgParamKindInfo(type).RecordBytes;
        if (i >= MaxAlgParams)
            continue;
        Algorithm.ParamTypes[i] = type;
        QString name;
        for (int k = 0; k < AlgNameLength; ++k) {
            const int ch = at(4 + Algorithm.ParamCount + AlgNameLength * i + k);
            if (ch >= 0)
                name += ControllerToText(static_cast<std::uint8_t>(ch));
        }
        Algorithm.ParamNames[i] = name;
    }
    Algorithm.RecordSize = size;
}

// ---------------------------------------------------------------------------- commands

std::unique_lock<std::recursive_mutex> TSarvetel::LineLock() const
{
    if (!Port)
        return {};
    return std::unique_lock<std::recursive_mutex>(Port->Lock);
}

template <typename Attempt> bool TSarvetel::Repeat(const TAttempts &attempts, Attempt attempt)
{
    for (int made = 1;; ++made) {
        if (attempt())
            return true;
        const bool final = LinkStatus == LinkNotWritten ||
                           (LinkStatus == LinkRejected && ProtocolResult == ResultNoMemory);
        if (final || made >= attempts.Count || (attempts.Stop && *attempts.Stop))
            return false;
        Log(LogRepeat1 + QString::number(made + 1) + LogRepeat2 + QString::number(attempts.Count));
    }
}

void TSarvetel::Exchange(std::initializer_list<std::uint8_t> payload, int capacity)
{
    int i = 4;
    for (std::uint8_t b : payload)
        Request[i++] = b;
    RequestLength = i + 1;
    Transact(capacity);
}

TLinkRead<TControllerStatus> TSarvetel::ReadStatus(TAttempts attempts)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    static_cast<void>(Repeat(attempts, [&] {
        Exchange({CodeStatus}, Capacity::Status);
        return LinkStatus == LinkAccepted;
    }));
    return StatusResult(since);
}

TLinkRead<TControllerStatus> TSarvetel::ReadStatusOnOpen()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeStatus, CodeOpenExtra1, CodeOpenExtra2}, Capacity::StatusOnOpen);
    return StatusResult(since);
}

TLinkResult TSarvetel::SetMode(std::uint8_t mode, TAttempts attempts)
{
    // Asking for the mode the controller already took changes nothing; a refusal is an
    // answer (the reply's status shows the old mode) and is not asked again.
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    const bool ok = Repeat(attempts, [&] {
        Exchange({CodeSetMode, mode, CodeStatus}, Capacity::SetMode);
        return LinkStatus == LinkAccepted;
    });
    return Result(since, ok);
}

TLinkRead<TScreenText> TSarvetel::ReadScreenLines(int first)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeScreen, static_cast<std::uint8_t>(first)}, Capacity::Screen);
    TScreenText lines;
    std::copy(std::begin(ScreenLines), std::end(ScreenLines), lines.begin());
    return Read(since, LinkStatus == LinkAccepted, lines);
}

TLinkResult TSarvetel::SendKeys(const std::uint8_t *keys, int count)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    count = std::min(count, MaxKeys);
    if (count <= 0)
        return Result(since, true); // nothing to send
    int i = 4;
    for (int k = 0; k < count; ++k) {
        Request[i++] = CodeKey;
        Request[i++] = keys[k];
    }
    // The frame is two bytes longer than its key pairs; they go out as zeros.
    Request[i++] = 0;
    Request[i++] = 0;
    RequestLength = i + 1;
    Transact(Capacity::Keys(count));
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkRead<int> TSarvetel::ReadPRPBlockCount(TAttempts attempts)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    const bool ok = Repeat(attempts, [&] {
        PRPBlockCount = 0;
        Exchange({CodeBlockCount}, Capacity::BlockCount);
        return LinkStatus == LinkAccepted && PRPBlockCount > 0;
    });
    return Read(since, ok, PRPBlockCount);
}

TLinkResult TSarvetel::ReadPRPBlock(std::uint8_t *destination, int destinationSize, int block,
                                    TAttempts attempts)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    BlockDestination = destination;
    BlockDestinationSize = destination ? destinationSize : 0;
    const bool ok = Repeat(attempts, [&] {
        LastBlockNumber = -1;
        Exchange({CodeBlock, static_cast<std::uint8_t>(block)}, Capacity::Block);
        return LinkStatus == LinkAccepted && LastBlockNumber == block;
    });
    BlockDestination = nullptr;
    BlockDestinationSize = 0;
    return Result(since, ok);
}

TLinkResult TSarvetel::ReadPRPIntoHeader(TPRPHeader &header)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    int received = 0;
    auto readBlock = [&](int k) {
        if (!ReadPRPBlock(header.Bytes, TPRPHeader::BufferSize, k))
            return false;
        received = std::max(received, (k + 1) * BlockSize);
        return true;
    };
    bool ok = readBlock(0) && readBlock(1) && readBlock(2);
    if (ok) {
        const int w = ImageWord(header.Bytes, PrpLayout::LengthWord);
        // Blocks past the end of the header buffer would have nowhere to land.
        const int last = std::min(w / BlockSize, TPRPHeader::BufferSize / BlockSize - 1);
        for (int k = 3; k <= last && ok; ++k)
            ok = readBlock(k);
        header.BytesLength = std::min(w + 1, received);
    } else {
        header.BytesLength = received;
    }
    return Result(since, ok);
}

TLinkResult TSarvetel::ReadHeaderPart(TPRPHeader &header)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    HeaderObject = &header;
    HeaderPartTaken = false;
    Exchange({CodeReadHeaderPart, 0x00}, Capacity::ReadHeaderPart);
    HeaderObject = nullptr;
    return Result(since, LinkStatus == LinkAccepted && HeaderPartTaken);
}

TLinkResult TSarvetel::ReadHeader(TPRPHeader &header)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeBeginWrite, 0x00}, Capacity::Prepare);
    Exchange({CodePrepare, 0x03}, Capacity::Prepare);
    HeaderObject = &header;
    HeaderPartTaken = false;
    Exchange({CodeReadHeaderPart, 0x00}, Capacity::ReadHeader);
    HeaderObject = nullptr;
    return Result(since, LinkStatus == LinkAccepted && HeaderPartTaken);
}

void TSarvetel::BuildHeaderPartFrame(const TPRPHeader &h, int part, std::uint8_t *f)
{
    f[4] = CodeHeaderPart;
    f[5] = HeaderPartBlockLength;
    h.EncodePart(part, f + 6);
}

bool TSarvetel::SendHeaderPart(TPRPHeader &header, int part, const std::atomic<bool> *stop)
{
    // The answer to the data frame tells whether the part took; a lost answer to a
    // preparation frame alone does not make it fail. On a slow line each frame takes
    // seconds: a stop asked for meanwhile is heeded before the next one.
    const auto stopped = [stop] { return stop && *stop; };
    if (stopped())
        return false;
    Exchange({CodeBeginWrite, 0x00}, Capacity::Prepare);
    if (stopped())
        return false;
    Exchange({CodePrepare, 0x03}, Capacity::Prepare);
    if (stopped())
        return false;
    BuildHeaderPartFrame(header, part, Request);
    RequestLength = HeaderPartFrameLength;
    Transact(Capacity::HeaderPart);
    return LinkStatus == LinkAccepted;
}

TLinkResult TSarvetel::WriteHeader(TPRPHeader &header, TAttempts attempts)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    for (int part = 0; part < HeaderPartCount; ++part)
        if (!Repeat(attempts, [&] { return SendHeaderPart(header, part, attempts.Stop); }))
            return Result(since, false);
    for (int t = 0; t < TPRPHeader::KeyCount; ++t) {
        if (header.TechKeys[t].Class == 0)
            continue;
        if (attempts.Stop && *attempts.Stop)
            return Result(since, false);
        const bool written =
            Repeat(attempts, [&] { return static_cast<bool>(WriteTechKey(header, t)); });
        if (!written)
            return Result(since, false);
    }
    return Result(since, true);
}

TLinkResult TSarvetel::WriteHeaderPart0(TPRPHeader &header)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    const bool ok = SendHeaderPart(header, 0);
    return Result(since, ok);
}

TLinkResult TSarvetel::WriteTechKey(const TPRPHeader &header, int key)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    if (key < 0 || key >= TPRPHeader::KeyCount)
        return Result(since, false);
    const TTechKey &k = header.TechKeys[key];
    Request[4] = CodeWriteTechKey;
    Request[5] = static_cast<std::uint8_t>(key);
    Request[6] = k.Class;
    Request[7] = k.Index;
    for (int i = 0; i < TechKeyNameLength; ++i)
        Request[8 + i] = TextToController(i < k.Name.size() ? k.Name[i] : QChar(u' '));
    RequestLength = TechKeyFrameLength;
    Transact(Capacity::TechKey);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ClearTechKey(int key)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeClearTechKey, static_cast<std::uint8_t>(key)}, Capacity::TechKey);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ReadSection(int section, TZentorSection &record)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    SectionRecord = &record;
    Exchange({CodeSection, static_cast<std::uint8_t>(section)}, Capacity::Section);
    SectionRecord = nullptr;
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkRead<std::uint32_t> TSarvetel::ReadSectionInfo(int section)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    SectionInfo = 0;
    const auto s = static_cast<std::uint8_t>(section);
    Exchange({CodeSectionInfo, s, s}, Capacity::SectionInfo);
    return Read(since, LinkStatus == LinkAccepted, SectionInfo);
}

TLinkResult TSarvetel::WriteSection(const TZentorSection &record, TAttempts attempts)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    const bool ok = Repeat(attempts, [&] {
        Exchange({CodeBeginWrite}, Capacity::Prepare);
        Exchange({CodePrepare, 0x01}, Capacity::Prepare);
        const int n = std::clamp(record.CodeLength, 0, int(sizeof record.Code));
        Request[4] = CodeWriteSection;
        std::memcpy(Request + 5, record.Code, n);
        Request[5 + n] = 0;
        RequestLength = n + 7;
        Transact(Capacity::WriteSection);
        return LinkStatus == LinkAccepted;
    });
    return Result(since, ok);
}

TLinkResult TSarvetel::DeleteSection(int section)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    const auto s = static_cast<std::uint8_t>(section);
    Exchange({CodeDeleteSection, s, s}, Capacity::DeleteSection);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkRead<TIOSetupState> TSarvetel::ReadIOSetup()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeIOSetup}, Capacity::IOSetup);
    return IOSetupResult(since);
}

void TSarvetel::BuildIOSetupFrame(std::uint8_t *f) const
{
    using namespace IOSetupLayout;
    std::memset(f + FrameLayout::PayloadAt, 0, WriteFrameLength - FrameLayout::PayloadAt);
    std::uint8_t *block = f + WriteBlockAt;
    EncodeBlock(IOSetup, MemoryType, block);
    f[4] = CodeWriteIOSetup;
    f[5] = BlockLength;
    block[0] = ByteSum(f + 5, WriteSummedBytes);
}

TLinkResult TSarvetel::WriteIOSetup()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    BuildIOSetupFrame(Request);
    RequestLength = IOSetupFrameLength;
    Transact(Capacity::WriteIOSetup);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ReleaseChannel(int logicalChannel)
{
    using namespace IOSetupLayout;
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    if (logicalChannel < 0 || logicalChannel >= LogicalChannels)
        return Result(since, false);
    const int a = std::min<int>(IOSetup[ChannelsAt + logicalChannel], NoChannel);
    const auto m = static_cast<std::uint8_t>(1 << a);
    const std::uint8_t b = IOSetup[ChannelsAt + a];
    Exchange({CodeReleaseChannel, m, b}, Capacity::Service);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkRead<TIOSetupState> TSarvetel::AutoIOSetup()
{
    auto lock = LineLock();
    Exchange({CodeAutoIOSetup}, Capacity::Service);
    return ReadIOSetup();
}

TLinkResult TSarvetel::ResetVariables()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeResetVariables}, Capacity::Service);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ResetVariableLocks()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeResetVariableLocks}, Capacity::Service);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ResetCoefficients()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeResetCoefficients}, Capacity::Service);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ResetSystemMemory()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeResetSystemMemory}, Capacity::Service);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkResult TSarvetel::ToggleMemoryType()
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Exchange({CodeToggleMemoryType}, Capacity::ToggleMemoryType);
    return Result(since, LinkStatus == LinkAccepted);
}

TLinkRead<TAlgDescription> TSarvetel::ReadAlgorithm(int number)
{
    auto lock = LineLock();
    const std::uint64_t since = Exchanges;
    Algorithm = TAlgDescription();
    Exchange({CodeAlgorithm, static_cast<std::uint8_t>(number)}, Capacity::Algorithm);
    return Read(since, LinkStatus == LinkAccepted, Algorithm);
}
