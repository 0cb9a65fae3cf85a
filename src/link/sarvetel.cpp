#include "link/sarvetel.h"

#include "compiler/algparamkind.h"
#include "core/logger.h"
#include "core/textutils.h"
#include "link/comport.h"
#include "model/zentorprogram.h"
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

// The data bytes that follow the code byte at p, or -1 when the byte that tells it is
// not there.
int ItemDataLength(const std::uint8_t *f, int length, int p)
{
    const int code = f[p];
    auto at = [&](int i) { return i < length ? int(f[i]) : -1; };
    switch (code) {
    case 1: {
        const int sub = at(p + 1);
        if (sub < 0)
            return -1;
        if ((sub >= 1 && sub <= 4) || sub == 6 || sub == 7)
            return 1 + 3;
        if (sub == 5)
            return 1 + 6;
        if (sub >= 8 && sub <= 10)
            return 1 + 4;
        return 1;
    }
    case 2:
    case 5:
    case 6:
    case 7:
    case 65:
        return 0;
    case 3:
        return 1;
    case 4:
        return 1 + BlockSize;
    case 25: {
        const int mode = at(p + 1);
        if (mode < 0)
            return -1;
        return mode == ModeFault ? 1 + 2 * FaultPairCount : 2;
    }
    case 26: {
        const int c = at(p + 1);
        if (c < 0)
            return -1;
        if (c == 0)
            return 1;
        return c >= 30 ? 1 + 2 * (1 + ScreenLineLength) : 1 + 1 + ScreenLineLength;
    }
    case 27: {
        const int n = at(p + 1);
        return n < 0 ? -1 : n + 2;
    }
    case 28: {
        const int l = at(p + 1);
        if (l < 0)
            return -1;
        return l == 0 ? 0 : l - 1;
    }
    case 29:
    case 89:
    case 90:
    case 92:
    case 93:
    case 95:
    case 98:
    case 99:
        return 1;
    case 30:
        return HeaderPartBlockLength - 1;
    case 31:
    case 104:
    case 34:
        return 2;
    case 35:
        return 11;
    case 36:
        return IOSetupItemLength - 1;
    case 91: {
        const int s = at(p + 1);
        return s < 0 ? -1 : (s != 0 ? 3 : 1);
    }
    case 94:
        return HeaderPartBlockLength;
    case 108: {
        const int s = at(p + 1);
        return s < 0 ? -1 : (s != 0 ? 2 : 1);
    }
    default:
        return 1;
    }
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

std::uint16_t TSarvetel::FaultWord(int k) const
{
    if (k < 0 || k >= FaultPairCount)
        return 0xFFFF;
    return static_cast<std::uint16_t>(Faults[k][0] + 256 * Faults[k][1]);
}

void TSarvetel::Log(const QString &text)
{
    if (Logger)
        Logger->AddLine(text);
}

// ---------------------------------------------------------------------------- framing

void TSarvetel::CompleteFrame(std::uint8_t *frame, int length, int capacity)
{
    const int n = length - 5;
    frame[0] = 0x01;
    frame[1] = static_cast<std::uint8_t>(n & 0xFF);
    frame[2] =
        static_cast<std::uint8_t>(0xC0 | (((capacity / 32) & 0x1F) << 1) | (n >= 256 ? 1 : 0));
    frame[3] = ByteSum(frame, 3);
    frame[length - 1] = ByteSum(frame, length - 1);
}

int TSarvetel::AnnouncedPayload(const std::uint8_t *frame)
{
    return frame[1] | ((frame[2] & 1) << 8);
}

bool TSarvetel::IsCompleteReply(const std::uint8_t *frame, int length)
{
    if (length < 5 || length != AnnouncedPayload(frame) + 5)
        return false;
    if (ByteSum(frame, 3) != frame[3] || ByteSum(frame, length - 1) != frame[length - 1])
        return false;
    return WalkItems(nullptr, frame, length) == length - 1;
}

void TSarvetel::Transact(int capacity)
{
    capacity = std::clamp(capacity, 0, FrameSize);
    RequestLength = std::clamp(RequestLength, 5, FrameSize);
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
    Port->Read(Reply, got, capacity, &TSarvetel::IsCompleteReply);
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
    else if (ByteSum(Reply, 3) != Reply[3])
        ProtocolResult = ResultHeaderChecksum;
    else if (ByteSum(Reply, n - 1) != Reply[n - 1])
        ProtocolResult = ResultPacketChecksum;
    else if (Reply[2] & 0x40)
        ProtocolResult = ResultFrameFailure;
    else if (Reply[2] & 0x20)
        ProtocolResult = ResultNoMemory;
    else if (n < 5)
        ProtocolResult = ResultBadPacket; // a header alone carries nothing
    if (ProtocolResult != ResultOk) {
        Log(ProtocolResultText(ProtocolResult));
        return;
    }
    WalkItems(this, Reply, n);
}

// Items run from offset 4 up to the packet checksum. An item whose data would reach into
// the checksum or past the bytes read is not applied and ends the walk (-1).
int TSarvetel::WalkItems(TSarvetel *link, const std::uint8_t *f, int length)
{
    int p = 4;
    while (p < length - 1) {
        const int code = f[p];
        if (link)
            link->Log(LogItem + Hex2(code));
        const int data = ItemDataLength(f, length, p);
        if (data < 0 || p + 1 + data > length - 1)
            return -1;
        if (link) {
            const std::uint8_t *d = f + p + 1;
            switch (code) {
            case 3:
                link->PRPBlockCount = d[0] == 0 ? 256 : d[0];
                break;
            case 4: {
                const int k = d[0];
                if (link->BlockDestination && (k + 1) * BlockSize <= link->BlockDestinationSize) {
                    std::memcpy(link->BlockDestination + k * BlockSize, d + 1, BlockSize);
                    link->LastBlockNumber = k;
                }
                break;
            }
            case 25:
                link->Mode = d[0];
                if (d[0] == ModeFault) {
                    link->FaultCount = 0;
                    for (auto &pair : link->Faults)
                        pair[0] = pair[1] = 0xFF;
                    for (int k = 0; k < FaultPairCount; ++k)
                        if (d[1 + 2 * k] != 0xFF) {
                            link->Faults[link->FaultCount][0] = d[1 + 2 * k];
                            link->Faults[link->FaultCount][1] = d[2 + 2 * k];
                            ++link->FaultCount;
                        }
                } else {
                    link->ErrorsPresent = d[1] != 0xFF ? 1 : 0;
                }
                break;
            case 26:
                if (d[0] != 0) {
                    const int lines = d[0] >= 30 ? 2 : 1;
                    for (int i = 0; i < lines; ++i) {
                        const std::uint8_t *l = d + 1 + i * (1 + ScreenLineLength);
                        if (l[0] >= ScreenLineCount)
                            continue; // the screen has lines 0..9 only
                        QString text;
                        for (int c = 0; c < ScreenLineLength; ++c)
                            text += ControllerToText(l[1 + c]);
                        link->ScreenLines[l[0]] = text;
                    }
                }
                break;
            case 27:
                if (link->SectionRecord) {
                    const int n = d[0];
                    std::memcpy(link->SectionRecord->Code, d, n);
                    link->SectionRecord->CodeLength = n;
                }
                break;
            case 28:
                link->StoreAlgorithm(f + p, data + 1);
                break;
            case 30:
                link->StoreHeaderBlock(f + p, HeaderPartBlockLength);
                break;
            case 34:
                link->SectionInfo = d[0];
                break;
            case 36:
                link->StoreIOSetup(f + p);
                break;
            case 91:
                if (d[0] != 0)
                    link->ProtocolResult = ResultHeaderChecksum;
                break;
            case 94:
                link->StoreHeaderBlock(d, HeaderPartBlockLength);
                break;
            case 108:
                if (d[0] != 0)
                    link->ProtocolResult = ResultNoMemory;
                break;
            default:
                break;
            }
        }
        p += 1 + data;
    }
    return p;
}

void TSarvetel::StoreHeaderBlock(const std::uint8_t *b, int available)
{
    if (HeaderObject && available >= HeaderPartBlockLength)
        HeaderObject->DecodePart(b);
}

void TSarvetel::StoreIOSetup(const std::uint8_t *c)
{
    MemoryType = c[3];
    for (int i = 0; i < 15; ++i)
        IOSetup[i] = c[5 + i];
    for (int l = 0; l < 8; ++l)
        IOSetup[15 + l] = 7;
    for (int s = 0; s < 8; ++s) {
        const int mask = c[20 + 2 * s];
        const int logical = c[21 + 2 * s];
        if (mask == 0 || logical > 7)
            continue;
        int physical = 7;
        for (int bit = 0; bit <= 6; ++bit)
            if (mask == (1 << bit))
                physical = bit;
        IOSetup[15 + logical] = static_cast<std::uint8_t>(physical);
    }
    for (int i = 0; i < 7; ++i)
        IOSetup[23 + i] = c[37 + i];
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

std::uint32_t TSarvetel::ReadStatus(TAttempts attempts)
{
    auto lock = LineLock();
    Repeat(attempts, [&] {
        Exchange({CodeStatus}, Capacity::Status);
        return LinkStatus == LinkAccepted;
    });
    return Mode;
}

void TSarvetel::ReadStatusOnOpen()
{
    auto lock = LineLock();
    Exchange({CodeStatus, CodeOpenExtra1, CodeOpenExtra2}, Capacity::StatusOnOpen);
}

void TSarvetel::SetMode(std::uint8_t mode, TAttempts attempts)
{
    // Asking for the mode the controller already took changes nothing; a refusal is an
    // answer (the reply's status shows the old mode) and is not asked again.
    auto lock = LineLock();
    Repeat(attempts, [&] {
        Exchange({CodeSetMode, mode, CodeStatus}, Capacity::SetMode);
        return LinkStatus == LinkAccepted;
    });
}

void TSarvetel::ReadScreenLines(int first)
{
    auto lock = LineLock();
    Exchange({CodeScreen, static_cast<std::uint8_t>(first)}, Capacity::Screen);
}

void TSarvetel::SendKeys(const std::uint8_t *keys, int count)
{
    count = std::min(count, MaxKeys);
    if (count <= 0)
        return;
    auto lock = LineLock();
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
}

int TSarvetel::ReadPRPBlockCount(TAttempts attempts)
{
    auto lock = LineLock();
    Repeat(attempts, [&] {
        PRPBlockCount = 0;
        Exchange({CodeBlockCount}, Capacity::BlockCount);
        return LinkStatus == LinkAccepted && PRPBlockCount > 0;
    });
    return PRPBlockCount;
}

void TSarvetel::ReadPRPBlock(std::uint8_t *destination, int destinationSize, int block,
                             TAttempts attempts)
{
    auto lock = LineLock();
    BlockDestination = destination;
    BlockDestinationSize = destination ? destinationSize : 0;
    Repeat(attempts, [&] {
        LastBlockNumber = -1;
        Exchange({CodeBlock, static_cast<std::uint8_t>(block)}, Capacity::Block);
        return LinkStatus == LinkAccepted && LastBlockNumber == block;
    });
    BlockDestination = nullptr;
    BlockDestinationSize = 0;
}

void TSarvetel::ReadPRPIntoHeader(TPRPHeader &header)
{
    auto lock = LineLock();
    int received = 0;
    auto readBlock = [&](int k) {
        ReadPRPBlock(header.Bytes, TPRPHeader::BufferSize, k);
        if (LinkStatus != LinkAccepted || LastBlockNumber != k)
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
}

void TSarvetel::ReadHeaderPart(TPRPHeader &header)
{
    auto lock = LineLock();
    HeaderObject = &header;
    Exchange({CodeReadHeaderPart, 0x00}, Capacity::ReadHeaderPart);
    HeaderObject = nullptr;
}

void TSarvetel::ReadHeader(TPRPHeader &header)
{
    auto lock = LineLock();
    Exchange({CodeBeginWrite, 0x00}, Capacity::Prepare);
    Exchange({CodePrepare, 0x03}, Capacity::Prepare);
    HeaderObject = &header;
    Exchange({CodeReadHeaderPart, 0x00}, Capacity::ReadHeader);
    HeaderObject = nullptr;
}

void TSarvetel::BuildHeaderPartFrame(const TPRPHeader &h, int part, std::uint8_t *f)
{
    f[4] = CodeHeaderPart;
    f[5] = HeaderPartBlockLength;
    h.EncodePart(part, f + 6);
}

bool TSarvetel::SendHeaderPart(TPRPHeader &header, int part)
{
    // The answer to the data frame tells whether the part took; a lost answer to a
    // preparation frame alone does not make it fail.
    Exchange({CodeBeginWrite, 0x00}, Capacity::Prepare);
    Exchange({CodePrepare, 0x03}, Capacity::Prepare);
    BuildHeaderPartFrame(header, part, Request);
    RequestLength = HeaderPartFrameLength;
    Transact(Capacity::HeaderPart);
    return LinkStatus == LinkAccepted;
}

bool TSarvetel::WriteHeader(TPRPHeader &header, TAttempts attempts)
{
    auto lock = LineLock();
    for (int part = 0; part < 4; ++part)
        if (!Repeat(attempts, [&] { return SendHeaderPart(header, part); }))
            return false;
    for (int t = 0; t < TPRPHeader::KeyCount; ++t) {
        if (header.TechKeys[t].Class == 0)
            continue;
        const bool written = Repeat(attempts, [&] {
            WriteTechKey(header, t);
            return LinkStatus == LinkAccepted;
        });
        if (!written)
            return false;
    }
    return true;
}

bool TSarvetel::WriteHeaderPart0(TPRPHeader &header)
{
    auto lock = LineLock();
    return SendHeaderPart(header, 0);
}

void TSarvetel::WriteTechKey(const TPRPHeader &header, int key)
{
    if (key < 0 || key >= TPRPHeader::KeyCount)
        return;
    auto lock = LineLock();
    const TTechKey &k = header.TechKeys[key];
    Request[4] = CodeWriteTechKey;
    Request[5] = static_cast<std::uint8_t>(key);
    Request[6] = k.Class;
    Request[7] = k.Index;
    for (int i = 0; i < 8; ++i)
        Request[8 + i] = TextToController(i < k.Name.size() ? k.Name[i] : QChar(u' '));
    RequestLength = 17;
    Transact(Capacity::TechKey);
}

void TSarvetel::ClearTechKey(int key)
{
    auto lock = LineLock();
    Exchange({CodeClearTechKey, static_cast<std::uint8_t>(key)}, Capacity::TechKey);
}

void TSarvetel::ReadSection(int section, TZentorSection &record)
{
    auto lock = LineLock();
    SectionRecord = &record;
    Exchange({CodeSection, static_cast<std::uint8_t>(section)}, Capacity::Section);
    SectionRecord = nullptr;
}

std::uint32_t TSarvetel::ReadSectionInfo(int section)
{
    auto lock = LineLock();
    SectionInfo = 0;
    const auto s = static_cast<std::uint8_t>(section);
    Exchange({CodeSectionInfo, s, s}, Capacity::SectionInfo);
    return SectionInfo;
}

bool TSarvetel::WriteSection(const TZentorSection &record, TAttempts attempts)
{
    auto lock = LineLock();
    return Repeat(attempts, [&] {
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
}

void TSarvetel::DeleteSection(int section)
{
    auto lock = LineLock();
    const auto s = static_cast<std::uint8_t>(section);
    Exchange({CodeDeleteSection, s, s}, Capacity::DeleteSection);
}

void TSarvetel::ReadIOSetup()
{
    auto lock = LineLock();
    Exchange({CodeIOSetup}, Capacity::IOSetup);
}

void TSarvetel::BuildIOSetupFrame(std::uint8_t *f) const
{
    std::memset(f + 4, 0, IOSetupFrameLength - 4);
    f[4] = CodeWriteIOSetup;
    f[5] = IOSetupItemLength;
    f[7] = 0;
    f[8] = 4;
    f[9] = MemoryType;
    f[10] = 1;
    for (int i = 0; i < 15; ++i)
        f[11 + i] = IOSetup[i];
    int sum = 0;
    // Every logical channel with a physical one gets its pair, channel 7 included: a
    // channel left out would lose its assignment on the next read.
    for (int l = 0; l < 8; ++l) {
        const int physical = IOSetup[15 + l];
        if (physical >= 7)
            continue;
        const int mask = 1 << physical;
        f[26 + 2 * l] = static_cast<std::uint8_t>(mask);
        f[27 + 2 * l] = static_cast<std::uint8_t>(l);
        sum += mask;
    }
    f[42] = static_cast<std::uint8_t>(sum & 0xFF);
    for (int i = 0; i < 7; ++i)
        f[43 + i] = IOSetup[23 + i];
    f[50] = 2;
    f[51] = 1;
    f[6] = 0;
    f[6] = ByteSum(f + 5, 55);
}

void TSarvetel::WriteIOSetup()
{
    auto lock = LineLock();
    BuildIOSetupFrame(Request);
    RequestLength = IOSetupFrameLength;
    Transact(Capacity::WriteIOSetup);
}

void TSarvetel::ReleaseChannel(int logicalChannel)
{
    if (logicalChannel < 0 || logicalChannel > 7)
        return;
    auto lock = LineLock();
    const int a = std::min<int>(IOSetup[15 + logicalChannel], 7);
    const auto m = static_cast<std::uint8_t>(1 << a);
    const std::uint8_t b = IOSetup[15 + a];
    Exchange({CodeReleaseChannel, m, b}, Capacity::Service);
}

void TSarvetel::AutoIOSetup()
{
    auto lock = LineLock();
    Exchange({CodeAutoIOSetup}, Capacity::Service);
    ReadIOSetup();
}

void TSarvetel::ResetVariables()
{
    auto lock = LineLock();
    Exchange({CodeResetVariables}, Capacity::Service);
}

void TSarvetel::ResetVariableLocks()
{
    auto lock = LineLock();
    Exchange({CodeResetVariableLocks}, Capacity::Service);
}

void TSarvetel::ResetCoefficients()
{
    auto lock = LineLock();
    Exchange({CodeResetCoefficients}, Capacity::Service);
}

void TSarvetel::ResetSystemMemory()
{
    auto lock = LineLock();
    Exchange({CodeResetSystemMemory}, Capacity::Service);
}

void TSarvetel::ToggleMemoryType()
{
    auto lock = LineLock();
    Exchange({CodeToggleMemoryType}, Capacity::ToggleMemoryType);
}

void TSarvetel::ReadAlgorithm(int number)
{
    auto lock = LineLock();
    Algorithm = TAlgDescription();
    Exchange({CodeAlgorithm, static_cast<std::uint8_t>(number)}, Capacity::Algorithm);
}
