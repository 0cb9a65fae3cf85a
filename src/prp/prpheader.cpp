#include "prp/prpheader.h"

#include "core/textfile.h"
#include "core/textutils.h"
#include "prp/prplayout.h"
#include "prp/prptexts.h"
#include "prp/variableorder.h"

#include <algorithm>
#include <cstring>

namespace {

// Offsets in the header bytes.
constexpr int kOrders = 2;
constexpr int kImpSources = 25;
constexpr int kImpTicks = 89;
constexpr int kAdcOrder = 97;
constexpr int kTimeGenOn = 105;
constexpr int kTimeGenOff = 121;
constexpr int kReserved = 137;

const QString kEmptyName = QStringLiteral("        ");

// The six order bytes from b on, in their order in the header and in the link's header parts.
void PutOrders(const TPRPHeader &h, std::uint8_t *b)
{
    for (const TVariableOrder &o : VariableOrders())
        b[o.BytePlace] = h.*o.Field;
}

void TakeOrders(TPRPHeader &h, const std::uint8_t *b)
{
    for (const TVariableOrder &o : VariableOrders())
        h.*o.Field = b[o.BytePlace];
}

} // namespace

TPRPHeader::TPRPHeader()
{
    Reset();
}

void TPRPHeader::Reset()
{
    Valid = 0;
    CompileStopped = false;
    TextCompiled = false;
    CompiledText.clear();
    OrderDV = 1;
    OrderKB = 0;
    OrderTM = 1;
    OrderVD = 1;
    OrderVA = 1;
    OrderAV = 1;
    for (auto &s : ImpSource) {
        s[0] = 0;
        s[1] = HeaderWord::SourceUnused;
    }
    std::memset(ImpTicks, 0, sizeof ImpTicks);
    std::memset(AdcOrder, 0, sizeof AdcOrder);
    std::memset(TimeGen, 0, sizeof TimeGen);
    std::memset(Reserved, 0, sizeof Reserved);
    for (TTechKey &k : TechKeys) {
        k.Class = 0;
        k.Index = 0;
        k.Name = kEmptyName;
    }
    Text.clear();
    CompiledText.clear();
    std::memset(Bytes, 0, sizeof Bytes);
    BytesLength = 0;
}

void TPRPHeader::EncodeHeader()
{
    std::uint8_t *b = Bytes;
    b[0] = 0;
    b[1] = 0;
    PutOrders(*this, b + kOrders);
    // Byte 8 is reserved: it keeps what a loaded image had.
    std::memset(b + PrpLayout::GroupWords, 0,
                2 * PrpLayout::GroupCount); // filled by the image assembly
    for (int k = 0; k < 32; ++k) {
        b[kImpSources + 2 * k] = ImpSource[k][0];
        b[kImpSources + 2 * k + 1] = ImpSource[k][1];
    }
    std::memcpy(b + kImpTicks, ImpTicks, sizeof ImpTicks);
    std::memcpy(b + kAdcOrder, AdcOrder, sizeof AdcOrder);
    for (int k = 0; k < 8; ++k) {
        b[kTimeGenOn + 2 * k] = TimeGen[k][0];
        b[kTimeGenOn + 2 * k + 1] = TimeGen[k][1];
        b[kTimeGenOff + 2 * k] = TimeGen[k][2];
        b[kTimeGenOff + 2 * k + 1] = TimeGen[k][3];
    }
    b[kReserved] = Reserved[0];
    b[kReserved + 1] = Reserved[1];
    b[PrpLayout::ImageSumOffset] = 0;
    b[PrpLayout::ImageSumOffset + 1] = 0;
    int lengthWord = FixedLength - 1;
    b[PrpLayout::HeaderSumOffset] = 0;
    std::memcpy(b + PrpLayout::ConstantsOffset, PrpLayout::ConstantBytes,
                sizeof PrpLayout::ConstantBytes);

    int pos = FixedLength;
    for (int key = 0; key < KeyCount; ++key) {
        const TTechKey &k = TechKeys[key];
        if (k.Class == 0)
            continue;
        b[pos] = static_cast<std::uint8_t>(key);
        b[pos + 1] = k.Class;
        b[pos + 2] = k.Index;
        // The name is exactly 8 controller characters; a shorter one is space-padded.
        for (int i = 0; i < 8; ++i)
            b[pos + 3 + i] = TextToController(i < k.Name.size() ? k.Name[i] : QChar(u' '));
        pos += KeyRecordLength;
        lengthWord += KeyRecordLength;
    }
    SetImageWord(b, PrpLayout::LengthWord, lengthWord);
    BytesLength = pos;
}

bool TPRPHeader::DecodeHeader(QStringList *messages)
{
    auto report = [messages](const QString &line) {
        if (messages)
            messages->append(line);
    };
    const int length = std::clamp(BytesLength, 0, BufferSize);
    if (length < FixedLength) {
        report(PrpTexts::HeaderTooShort(length, FixedLength));
        return false;
    }
    // The fields are the bytes now: nothing of the text is waiting to be compiled.
    CompiledText = Text;
    TextCompiled = true;
    const std::uint8_t *b = Bytes;
    TakeOrders(*this, b + kOrders);
    for (int k = 0; k < 32; ++k) {
        ImpSource[k][0] = b[kImpSources + 2 * k];
        ImpSource[k][1] = b[kImpSources + 2 * k + 1];
    }
    std::memcpy(ImpTicks, b + kImpTicks, sizeof ImpTicks);
    std::memcpy(AdcOrder, b + kAdcOrder, sizeof AdcOrder);
    for (int k = 0; k < 8; ++k) {
        TimeGen[k][0] = b[kTimeGenOn + 2 * k];
        TimeGen[k][1] = b[kTimeGenOn + 2 * k + 1];
        TimeGen[k][2] = b[kTimeGenOff + 2 * k];
        TimeGen[k][3] = b[kTimeGenOff + 2 * k + 1];
    }
    for (TTechKey &k : TechKeys)
        k.Class = 0;

    const int lengthWord = ImageWord(b, PrpLayout::LengthWord);
    if (lengthWord + 1 < FixedLength) {
        report(PrpTexts::HeaderTooShort(lengthWord + 1, FixedLength));
        return false;
    }
    bool ok = true;
    const int records = (lengthWord - (FixedLength - 1)) / KeyRecordLength;
    for (int r = 0; r < records; ++r) {
        const int pos = FixedLength + r * KeyRecordLength;
        if (pos + KeyRecordLength > length) {
            report(PrpTexts::KeyRecordsPastHeader);
            return false;
        }
        const int key = b[pos];
        if (key >= KeyCount) {
            report(PrpTexts::BadKeyNumber(key));
            ok = false;
            continue;
        }
        TTechKey &k = TechKeys[key];
        k.Class = b[pos + 1];
        k.Index = b[pos + 2];
        QString name;
        for (int i = 0; i < 8; ++i)
            name += ControllerToText(b[pos + 3 + i]);
        k.Name = name;
    }
    return ok;
}

QByteArray TPRPHeader::HdrBytes() const
{
    // The header bytes and one byte more, always 0, so that the same program always gives
    // the same header file.
    const int length = std::clamp(BytesLength, 0, BufferSize);
    QByteArray data(reinterpret_cast<const char *>(Bytes), length);
    data.append('\0');
    return data;
}

bool TPRPHeader::SaveHdr(const QString &fileName, QString &error) const
{
    return WriteBinaryFile(fileName, HdrBytes(), error);
}

bool TPRPHeader::LoadHdr(const QString &fileName, QString &error, QStringList *messages)
{
    error.clear();
    QByteArray data;
    bool more = false;
    if (!ReadFileStart(fileName, BufferSize, data, more, error))
        return false;
    std::memcpy(Bytes, data.constData(), static_cast<size_t>(data.size()));
    // The file carries one byte after the header.
    BytesLength = std::max(0, static_cast<int>(data.size()) - 1);
    Valid = 0;
    return DecodeHeader(messages);
}

void TPRPHeader::EncodePart(int part, std::uint8_t *b) const
{
    b[0] = 0;
    b[1] = static_cast<std::uint8_t>(part);
    PutOrders(*this, b + 2);
    for (int i = 0; i < 8; ++i) {
        b[8 + 2 * i] = ImpSource[8 * part + i][0];
        b[9 + 2 * i] = ImpSource[8 * part + i][1];
    }
    b[24] = ImpTicks[2 * part];
    b[25] = ImpTicks[2 * part + 1];
    std::memcpy(b + 26, AdcOrder, 8);
    for (int k = 0; k < 8; ++k) {
        b[34 + 2 * k] = TimeGen[k][0];
        b[35 + 2 * k] = TimeGen[k][1];
        b[50 + 2 * k] = TimeGen[k][2];
        b[51 + 2 * k] = TimeGen[k][3];
    }
    b[66] = 0;
    b[67] = 0;
}

void TPRPHeader::DecodePart(const std::uint8_t *b)
{
    const int part = b[1];
    if (part > 3)
        return; // parts 0..3 only: another number names no impulse outputs
    TakeOrders(*this, b + 2);
    for (int i = 0; i < 8; ++i) {
        ImpSource[8 * part + i][0] = b[8 + 2 * i];
        ImpSource[8 * part + i][1] = b[9 + 2 * i];
    }
    ImpTicks[2 * part] = b[24];
    ImpTicks[2 * part + 1] = b[25];
    std::memcpy(AdcOrder, b + 26, 8);
    for (int k = 0; k < 8; ++k) {
        TimeGen[k][0] = b[34 + 2 * k];
        TimeGen[k][1] = b[35 + 2 * k];
        TimeGen[k][2] = b[50 + 2 * k];
        TimeGen[k][3] = b[51 + 2 * k];
    }
}
