#pragma once
// The PRP header: the controller's variable orders, impulse outputs, ADC order,
// timer-generators and technological keys, between their text form, the edit dialogs,
// the console and the encoded header bytes at the start of the image.

#include "prp/prplayout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct THeaderDeclaration;
using THeaderDeclarations = std::vector<THeaderDeclaration>;

class TMacrosTable;

// The high byte of a header word that names an analog variable instead of a constant (an
// impulse output's source, a timer-generator's interval): the low byte then holds twice the
// variable's index. A timer-generator takes only the positive two.
namespace HeaderWord {
constexpr std::uint8_t PlusVA = 0x40;
constexpr std::uint8_t PlusAV = 0x41;
constexpr std::uint8_t MinusVA = 0x80;
constexpr std::uint8_t MinusAV = 0x81;
// An impulse output whose source has this high byte is not in use.
constexpr std::uint8_t SourceUnused = 0x20;

// The class word ("ВА", "АВ") a high byte names; empty for the high byte of a constant.
QString AnalogClassWord(std::uint8_t high);
constexpr bool IsMinus(std::uint8_t high)
{
    return high == MinusVA || high == MinusAV;
}
} // namespace HeaderWord

// One technological key: variable class code (0 = no key), index byte, 8-character name.
struct TTechKey
{
    std::uint8_t Class = 0;
    std::uint8_t Index = 0;
    QString Name = QStringLiteral("        ");
};

class TPRPHeader
{
public:
    static constexpr int FixedLength = PrpLayout::HeaderFixedLength; // before the key records
    static constexpr int KeyRecordLength = PrpLayout::KeyRecordLength;
    static constexpr int BufferSize = PrpLayout::HeaderMaxLength;
    static constexpr int KeyCount = PrpLayout::KeyCount;

    TPRPHeader();

    // 1 once the header text was compiled to its end without a fatal error, or the
    // header bytes were turned into text.
    std::uint8_t Valid = 0;
    // The last compile of the text stopped at a fatal error: its later parts were never
    // applied, so the fields are not what the text says.
    bool CompileStopped = false;

    // Order bytes in the order of header bytes 2..7.
    std::uint8_t OrderDV = 1;
    std::uint8_t OrderKB = 0;
    std::uint8_t OrderTM = 1;
    std::uint8_t OrderVD = 1;
    std::uint8_t OrderVA = 1;
    std::uint8_t OrderAV = 1;

    std::uint8_t ImpSource[32][2]; // [k][0] low byte, [k][1] high byte
    std::uint8_t ImpTicks[8];      // 2 bits per impulse output
    std::uint8_t AdcOrder[8];      // last - first input index per ADC module
    std::uint8_t TimeGen[8][4];    // on-interval low, high, off-interval low, high
    std::uint8_t Reserved[2];      // header bytes 137, 138
    TTechKey TechKeys[KeyCount];

    QStringList Text; // the header's source lines
    // The text the fields last stood for: what the last Compile processed, Decompile wrote,
    // or the text at hand when DecodeHeader took the fields from bytes. Not held after Reset
    // (a header that came from text and was never compiled).
    QStringList CompiledText;
    bool TextCompiled = false;
    // The fields are not what the text says: never compiled, stopped, or edited since.
    bool NeedsCompile() const { return !TextCompiled || CompileStopped || Text != CompiledText; }

    std::uint8_t Bytes[BufferSize]; // the encoded or loaded header
    int BytesLength = 0;

    void Reset();

    // Header text -> fields; messages go to errors, technological names to macros, and
    // what the text orders and names, with its place, to declarations (when given).
    // 0 when the text was processed to its end, 1 on a fatal error.
    int Compile(QStringList &errors, TMacrosTable &macros,
                THeaderDeclarations *declarations = nullptr);
    // Fields -> header text (rebuilt, not appended). Writes nothing to messages.
    int Decompile(QStringList &messages);
    // What the header holds that Decompile's text cannot carry, one line per value: compiled
    // back, that text would give other fields or not compile. Key records that the fields
    // cannot show (a key recorded twice, one without a variable class) are read from the
    // header bytes when they were decoded from an image.
    QStringList ValuesNotInText() const;

    void EncodeHeader();
    // Bytes -> fields. Reads only within BytesLength; problems are added to messages
    // (when given) and the result is false.
    bool DecodeHeader(QStringList *messages = nullptr);

    // The header file's contents: the header bytes and the byte after them.
    QByteArray HdrBytes() const;
    // Writes HdrBytes. False with error set when the file cannot be written.
    [[nodiscard]] bool SaveHdr(const QString &fileName, QString &error) const;
    // Reads up to 2000 bytes of a regular file, length = bytes read - 1, decodes; Valid = 0. False
    // with error set when the file cannot be read; false with error empty when the bytes do not
    // decode cleanly (the problems are added to messages).
    [[nodiscard]] bool LoadHdr(const QString &fileName, QString &error,
                               QStringList *messages = nullptr);

    // One of the four header parts the controller link carries (orders, impulse outputs
    // 8p..8p+7 with their ticks, ADC order, timer-generators): bytes 0..67 of its block,
    // byte 0 zero and byte 1 the part number. DecodePart ignores a part number above 3.
    static constexpr int PartBytes = 68;
    void EncodePart(int part, std::uint8_t *block) const;
    void DecodePart(const std::uint8_t *block);

    QString ImpulseSourceText(int k) const;
    [[nodiscard]] int SetImpulseSource(int k, const QString &text); // 0 done, 1 text not accepted
    QString ImpulseTickText(int k) const;                           // "0,1", "0,2", "0,4", "0,8"
    int ImpulseTickCode(int k) const;                               // 0..3
    void SetImpulseTickCode(int k, int code);
};
