// The header decompiler: the header fields back into header text that the header compiler
// reads to the same orders, ADC inputs, impulse outputs, timer-generators and technological
// keys. It runs whenever a program comes from an image instead of from text.
#include "prp/prpheader.h"

#include "core/textutils.h"
#include "prp/headerentries.h"
#include "prp/headerwords.h"
#include "prp/macrostable.h"
#include "prp/prplayout.h"
#include "prp/prptexts.h"
#include "prp/variableclass.h"

#include <memory>

namespace {

constexpr int kAdcModules = 8;
constexpr int kKeysPerKeyboard = 16;

// The key line of key q: key number, variable, the 8-character name.
QString KeyLine(int q, const TTechKey &key)
{
    return QString::number(q % kKeysPerKeyboard + 1) + QStringLiteral("  ") +
           HeaderKeyVariableText(key) + QStringLiteral("  ") + key.Name;
}

// The highest ADC module the text writes: module m serves the ВА variables 16m..16m+15.
int LastAdcModule(const TPRPHeader &h)
{
    return qMin(h.OrderVA / 2, kAdcModules - 1);
}

// The parts whose every entry the text carries, entry by entry.
struct TTextPart
{
    THeaderPart Part;
    // Whether the text writes entry i at all; an entry it leaves out must hold what a header
    // compiled from text holds there.
    bool (*Written)(const TPRPHeader &, const THeaderEntry &, int);
    QString (*Heading)(int);
    QString (*Line)(const TPRPHeader &, const THeaderEntry &, int);
    QString (*Value)(const TPRPHeader &, int);
};

QString EntryText(const TPRPHeader &, const THeaderEntry &e, int)
{
    return e.Text;
}

const TTextPart kTextParts[] = {
    {THeaderPart::Orders, [](const TPRPHeader &, const THeaderEntry &, int) { return true; },
     [](int) {
         return HeadingWord::HeadingLine({HeadingWord::Order, HeadingWord::Variables});
     },
     EntryText,
     [](const TPRPHeader &h, int i) {
         const std::uint8_t orders[] = {h.OrderKB, h.OrderVD, h.OrderDV,
                                        h.OrderVA, h.OrderAV, h.OrderTM};
         return PrpTexts::OrderValue(orders[i]);
     }},
    {THeaderPart::AdcInputs,
     [](const TPRPHeader &h, const THeaderEntry &, int m) { return m <= LastAdcModule(h); },
     [](int) {
         return HeadingWord::HeadingLine(
             {HeadingWord::Order, HeadingWord::Inputs, HeadingWord::Adc});
     },
     EntryText,
     [](const TPRPHeader &h, int m) {
         return PrpTexts::AdcValue(h.AdcOrder[m], m > LastAdcModule(h));
     }},
    {THeaderPart::ImpulseOutputs,
     [](const TPRPHeader &, const THeaderEntry &e, int) { return e.InUse; },
     [](int) {
         return HeadingWord::HeadingLine({HeadingWord::Order, ClassWord(ClassIV)});
     },
     EntryText,
     [](const TPRPHeader &h, int k) {
         return PrpTexts::SourceWord(h.ImpSource[k][1] * 256 + h.ImpSource[k][0]);
     }},
    // The part states all eight once it is written: a generator it leaves out is not in use.
    {THeaderPart::TimerGenerators,
     [](const TPRPHeader &, const THeaderEntry &e, int) { return e.InUse; },
     [](int) {
         return HeadingWord::HeadingLine({HeadingWord::Order, HeadingWord::TimeGen});
     },
     EntryText,
     [](const TPRPHeader &h, int k) {
         const std::uint8_t *t = h.TimeGen[k];
         return PrpTexts::IntervalWords(t[1] * 256 + t[0], t[3] * 256 + t[2]);
     }},
    {THeaderPart::TechKeys, [](const TPRPHeader &, const THeaderEntry &e, int) { return e.InUse; },
     [](int q) {
         return HeadingWord::HeadingLine({HeadingWord::TechSingular, HeadingWord::Keyboard}) +
                u' ' + QString::number(q / kKeysPerKeyboard + 1);
     },
     [](const TPRPHeader &h, const THeaderEntry &, int q) { return KeyLine(q, h.TechKeys[q]); },
     [](const TPRPHeader &h, int q) {
         const TTechKey &k = h.TechKeys[q];
         return PrpTexts::KeyValue(k.Class, k.Index, k.Name);
     }},
};

// Whether the line, compiled under its heading into a header of its own, gives entry i of
// the part the value it has in h.
bool CarriedByText(const TTextPart &part, const TPRPHeader &h, const THeaderEntry &e, int i)
{
    auto fresh = std::make_unique<TPRPHeader>();
    fresh->Text = {part.Heading(i), part.Line(h, e, i)};
    QStringList errors;
    TMacrosTable macros;
    if (fresh->Compile(errors, macros) != 0 || !errors.isEmpty())
        return false;
    return HeaderEntries(*fresh, part.Part)[static_cast<std::size_t>(i)].Value == e.Value;
}

// The key records as the bytes hold them: a key recorded twice, a record without a variable
// class and a name byte that is not its character's code give a header whose fields, and so
// whose text, cannot say what the bytes do.
void KeyRecordsNotInText(const TPRPHeader &h, QStringList &lines)
{
    const int length = qMin(h.BytesLength, int(TPRPHeader::BufferSize));
    if (length < TPRPHeader::FixedLength)
        return;
    const int records = (ImageWord(h.Bytes, PrpLayout::LengthWord) + 1 - TPRPHeader::FixedLength) /
                        TPRPHeader::KeyRecordLength;
    bool seen[TPRPHeader::KeyCount] = {};
    for (int r = 0; r < records; ++r) {
        const int pos = TPRPHeader::FixedLength + r * TPRPHeader::KeyRecordLength;
        if (pos + TPRPHeader::KeyRecordLength > length)
            return;
        const std::uint8_t *rec = h.Bytes + pos;
        const int q = rec[0];
        if (q >= TPRPHeader::KeyCount)
            continue; // the image check names it
        const QString key = PrpTexts::NotInText +
                            PrpTexts::KeyName(q / kKeysPerKeyboard + 1, q % kKeysPerKeyboard + 1);
        if (seen[q])
            lines.append(key + PrpTexts::KeyRecordedTwice);
        seen[q] = true;
        if (rec[1] == 0)
            lines.append(key + PrpTexts::KeyWithoutClass);
        for (int i = 3; i < TPRPHeader::KeyRecordLength; ++i)
            if (TextToController(ControllerToText(rec[i])) != rec[i]) {
                lines.append(key + PrpTexts::NameByte(rec[i]));
                break;
            }
    }
}

} // namespace

int TPRPHeader::Decompile(QStringList & /*messages*/)
{
    namespace W = HeadingWord;
    QStringList &out = Text;
    out.clear();

    out << W::HeadingLine({W::Order, W::Variables});
    for (const THeaderEntry &e : HeaderEntries(*this, THeaderPart::Orders))
        out << e.Text;
    out << QString();

    // Module m serves the ВА variables 16m..16m+15; the ADC order has eight modules only,
    // whatever ВА order a loaded image states.
    out << W::HeadingLine({W::Order, W::Inputs, W::Adc});
    const int lastModule = LastAdcModule(*this);
    const std::vector<THeaderEntry> adc = HeaderEntries(*this, THeaderPart::AdcInputs);
    for (int m = 0; m <= lastModule; ++m)
        out << adc[m].Text;
    out << QString();

    QStringList outputs;
    for (const THeaderEntry &e : HeaderEntries(*this, THeaderPart::ImpulseOutputs))
        if (e.InUse)
            outputs << e.Text;
    if (!outputs.isEmpty())
        out << W::HeadingLine({W::Order, ClassWord(ClassIV)}) << outputs << QString();

    // Every timer-generator in use (any word not 0): the part, once written, states all eight.
    QStringList timeGens;
    for (const THeaderEntry &e : HeaderEntries(*this, THeaderPart::TimerGenerators))
        if (e.InUse)
            timeGens << e.Text;
    if (!timeGens.isEmpty())
        out << W::HeadingLine({W::Order, W::TimeGen}) << timeGens << QString();

    int openKeyboard = -1;
    for (int q = 0; q < KeyCount; ++q) {
        const TTechKey &key = TechKeys[q];
        if (key.Class == 0)
            continue;
        if (q / kKeysPerKeyboard != openKeyboard) {
            openKeyboard = q / kKeysPerKeyboard;
            out << QString();
            out << W::HeadingLine({W::TechSingular, W::Keyboard}) + u' ' +
                       QString::number(openKeyboard + 1);
        }
        out << KeyLine(q, key);
    }

    out << QString();
    Valid = 1;
    CompiledText = Text; // the fields are what this text says
    TextCompiled = true;
    return 0;
}

QStringList TPRPHeader::ValuesNotInText() const
{
    QStringList lines;
    const auto defaults = std::make_unique<TPRPHeader>();
    for (const TTextPart &part : kTextParts) {
        const std::vector<THeaderEntry> entries = HeaderEntries(*this, part.Part);
        const std::vector<THeaderEntry> unset = HeaderEntries(*defaults, part.Part);
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            const THeaderEntry &e = entries[static_cast<std::size_t>(i)];
            const bool carried = part.Written(*this, e, i)
                                     ? CarriedByText(part, *this, e, i)
                                     : e.Value == unset[static_cast<std::size_t>(i)].Value;
            if (!carried)
                lines.append(PrpTexts::NotInText + e.Name + QStringLiteral(": ") +
                             part.Value(*this, i));
        }
    }
    KeyRecordsNotInText(*this, lines);
    return lines;
}
