// The section decompiler and its driver: the text of a block is written from its decoded
// instructions (compiler/instructiondecoder.h), which never read past CodeLength.

#include "compiler/decompiler.h"

#include "compiler/algbase.h"
#include "compiler/algmemory.h"
#include "compiler/compilertexts.h"
#include "compiler/decompilertexts.h"
#include "compiler/instructiondecoder.h"
#include "compiler/instructionset.h"
#include "compiler/lexer.h"
#include "compiler/zentorcompiler.h"
#include "core/cp1251.h"
#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/variableclass.h"

#include <algorithm>

namespace T = DecompilerText;

namespace {

using namespace Instruction;

// A variable of a statement: "АВ012", "ТМ05".
QString Var(TVariableClassCode code, int indexByte)
{
    return ClassVariableText(code, indexByte, TIndexUse::Item);
}

QString Dec(long long x)
{
    return QString::number(x);
}

// Decimal with a leading "0" below 10.
QString Two(long long x)
{
    return x < 10 ? u'0' + Dec(x) : Dec(x);
}

// Time fields of a timer instruction; timers above 31 take the form with a leading point,
// whose seconds carry no leading zero.
QString TimerTimeText(int timer, int seconds, int minutes, int hours)
{
    const bool pointed = timer > 31;
    return (pointed ? QStringLiteral(".") : QString()) + Two(hours) + u'.' + Two(minutes) + u'.' +
           (pointed ? Dec(seconds) : Two(seconds));
}

// The byte that the compiler writes for a character of a ТС text outside a field.
int EncodedTextByte(QChar ch)
{
    if (ch == u'#')
        return TextField;
    if (ch == u'*')
        return TextStar;
    const QString upper = ControllerUpper(QString(ch));
    return upper.size() == 1 ? TextToController(upper[0]) : -1;
}

// A character of a ТС text outside a field: the controller's character for the byte. Where
// that character would compile to another byte, the byte came from a Windows-1251 character
// that the compiler passes through unchanged (Ъ, Ё, "$" ...): that character is shown, so
// that the text compiles back to the same bytes. Line ends cannot stand inside a line and
// become blanks.
QChar TextCharacter(std::uint8_t b)
{
    QChar ch = ControllerToText(b);
    if (EncodedTextByte(ch) != b) {
        const QString own = DecodeCp1251(&b, 1);
        if (own.size() == 1 && EncodedTextByte(own[0]) == b)
            ch = own[0];
    }
    if (ch == u'\n' || ch == u'\r')
        ch = u' ';
    return ch;
}

bool IsQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

// Decimal text of an unsigned 128-bit number.
QString Decimal128(unsigned __int128 v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s;
    while (v > 0) {
        s.prepend(QChar(u'0' + static_cast<int>(v % 10)));
        v /= 10;
    }
    return s;
}

// The shortest text "I.F" with at least minDigits decimals that the compiler turns back into
// value (it takes floor(text × factor)); the usual rounded text r / 10^minDigits comes first.
QString ScaledText(long long value, long long factor, long long rounded, int minDigits,
                   int maxDigits)
{
    auto text = [](long long m, long long scale, int digits) {
        return Dec(m / scale) + u'.' + QString::number(m % scale).rightJustified(digits, u'0');
    };
    long long scale = 1;
    for (int k = 0; k < minDigits; ++k)
        scale *= 10;
    if (rounded * factor / scale == value)
        return text(rounded, scale, minDigits);
    for (int digits = minDigits; digits <= maxDigits; ++digits, scale *= 10) {
        const long long m = (value * scale + factor - 1) / factor; // ceil(value / factor)
        if (m * factor / scale == value)
            return text(m, scale, digits);
    }
    return text(rounded, 1, minDigits); // not reached: maxDigits always suffices
}

// The condition word a fragment line begins with, by the range its first byte falls in
// (a byte that begins no instruction is named so as well).
QString Prefix(int op)
{
    if (op >= ThenFirst && op <= ThenLast)
        return T::Then;
    if (op >= ElseFirst && op <= ElseLast)
        return T::Else;
    if (op >= TestOffFirst && op <= TimerCompare)
        return T::If;
    return QString();
}

QString TermsText(const std::vector<TAnalogTerm> &terms)
{
    QString s;
    for (const TAnalogTerm &t : terms)
        s += TermText(t.Low, t.High);
    return s;
}

QString RelationText(TRelation relation, bool spaced)
{
    static const QString kPlain[] = {QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"),
                                     QString()};
    static const QString kSpaced[] = {QStringLiteral(" = "), QStringLiteral(" > "),
                                      QStringLiteral(" < "), QString()};
    return (spaced ? kSpaced : kPlain)[static_cast<int>(relation)];
}

QString ItemVariable(const TCodedVariable &v)
{
    return ClassVariableText(v.Class, v.Byte, TIndexUse::Item);
}

// The text of a ТС instruction from its items.
QString TextLine(const std::vector<TTextItem> &items)
{
    QString s;
    bool field = false;
    for (const TTextItem &item : items) {
        switch (item.Kind) {
        case TTextItem::Field:
            // Closing a field replaces the "." after its last variable or format; an empty
            // field keeps both of its "#".
            if (field && s.endsWith(u'.'))
                s[s.size() - 1] = u'#';
            else
                s += u'#';
            field = !field;
            break;
        case TTextItem::Star:
            s += u'*';
            break;
        case TTextItem::InField:
            s +=
                ClassVariableText(item.Variable.Class, item.Variable.Byte, TIndexUse::Field) + u'.';
            break;
        case TTextItem::Format:
            s += u'/' + OctalText(item.Byte, 3) + u'.';
            break;
        case TTextItem::Skipped:
            break;
        case TTextItem::Character:
            s += TextCharacter(item.Byte);
            break;
        }
    }
    // The lexer drops one quote at each end of the text: a text that itself begins or ends
    // with a quote is written between quotes.
    if (!s.isEmpty() && (IsQuote(s.front()) || IsQuote(s.back())))
        s = u'\'' + s + u'\'';
    return s;
}

// A variable passed to an algorithm; empty for a reference the parameter's kind does not
// accept.
QString ParamVariable(const TCallParam &p)
{
    return ClassVariableText(p.Variable.Class, p.Variable.Byte, TIndexUse::Param);
}

// The value of one parameter of a call; empty when the kind is unknown or its bytes are not
// inside the call.
QString ParamValue(const TCallParam &p)
{
    if (!p.Present)
        return QString();
    switch (p.Kind) {
    case KindOnOff:
        return p.On ? T::ParamOn : T::ParamOff;
    case KindLogic:
        if (p.IsOnOff)
            return p.On ? T::ParamOn : T::ParamOff;
        return ParamVariable(p);
    case KindDiscreteIn:
    case KindDiscreteOut:
    case KindAnalogOut:
    case KindTimer:
        return ParamVariable(p);
    case KindAnalogIn:
        return TermText(p.Lo, p.Hi);
    case KindConstant128:
        return Dec(p.Lo);
    case KindConstant7:
        // The compiler stores value + 1 in a byte: 0 stands for 255.
        return Dec((p.Lo + 255) % 256);
    case KindTimeConstant:
        return TimeParameterText(p.Lo, p.Hi);
    case KindCoefficient:
        return CoefficientText(static_cast<std::uint16_t>(p.Lo | (p.Hi << 8)));
    default: // KindScale
        return ScaleText(p.Lo);
    }
}

// A call: its line, then one line per parameter the base describes, or, when the base
// does not describe the algorithm, a comment line with the call's bytes.
void CallLines(const TInstruction &x, QStringList &lines)
{
    lines.append(Keyword::Algorithm + OctalText(x.Algorithm, 3));
    if (!x.Alg) {
        QString bytes = T::CallBytes;
        for (std::size_t i = 3; i < x.Bytes.size(); ++i)
            bytes += QStringLiteral("%1 ").arg(x.Bytes[i], 2, 16, QChar(u'0')).toUpper();
        lines.append(bytes);
        return;
    }
    for (std::size_t i = 0; i < x.Params.size(); ++i) {
        const int p = static_cast<int>(i) + 1;
        lines.append(T::ParamIndent + Dec(p) + QStringLiteral("  ") + x.Alg->Params[p].Name + u'=' +
                     ParamValue(x.Params[i]));
    }
}

// The lines of one instruction, its fragment line (without number and condition word) first.
QStringList InstructionLines(const TInstruction &x)
{
    QStringList lines;
    const int t = x.Variable.Byte;
    switch (x.Kind) {
    case TInstructionKind::Off:
    case TInstructionKind::TestOff:
        lines.append(Keyword::OffShort + u' ' + ItemVariable(x.Variable));
        break;
    case TInstructionKind::On:
    case TInstructionKind::TestOn:
        lines.append(Keyword::OnShort + u' ' + ItemVariable(x.Variable));
        break;
    case TInstructionKind::AnalogSum:
        lines.append(Var(ClassAV, x.Variable.Byte) + QStringLiteral(" = ") + TermsText(x.Terms));
        break;
    case TInstructionKind::TimerSet:
        lines.append(Var(ClassTM, t) + u'=' + TimerTimeText(t, x.Seconds, x.Minutes, x.Hours));
        break;
    case TInstructionKind::TimerCopy:
        lines.append(Var(ClassTM, t) + u'=' + Var(ClassTM, x.Timer2));
        break;
    case TInstructionKind::Text: {
        const int f = x.TextFlags;
        lines.append(Keyword::Text + QString::number((f >> 2) & 1) + u'.' +
                     QString::number((f >> 1) & 1) + u'.' + QString::number(f & 1));
        lines.append(TextLine(x.TextItems));
        break;
    }
    case TInstructionKind::Skip:
        lines.append(Keyword::Skip);
        break;
    case TInstructionKind::Call:
        CallLines(x, lines);
        break;
    case TInstructionKind::Bit:
        lines.append(Keyword::Bit + u' ' + ItemVariable(x.Variable));
        break;
    case TInstructionKind::AnalogCompare: {
        const bool analog = x.Variable.Class == ClassVA || x.Variable.Class == ClassAV;
        const QString word = analog ? ClassWord(x.Variable.Class) : QString();
        lines.append(word + OctalText(x.Variable.Byte, 3) + RelationText(x.Relation, false) +
                     TermsText(x.Terms));
        break;
    }
    case TInstructionKind::TimerCompare:
        lines.append(Var(ClassTM, t) + RelationText(x.Relation, true) +
                     (x.OtherTimer ? Var(ClassTM, x.Timer2)
                                   : TimerTimeText(t, x.Seconds, x.Minutes, x.Hours)));
        break;
    case TInstructionKind::Or:
        lines.append(Keyword::Or);
        break;
    case TInstructionKind::Open:
        lines.append(QStringLiteral("("));
        break;
    case TInstructionKind::Close:
        lines.append(QStringLiteral(")"));
        break;
    case TInstructionKind::Unknown:
        break;
    }
    return lines;
}

// The text of a block, one fragment line per instruction; instructions (when given)
// receives where each one stands in the block and in the text. False, with the reason in
// messages, when the block cannot be read to its end: the text then ends there (an
// unknown byte still gives its numbered line).
bool BlockText(const TZentorSection &section, int sectionNumber, const TAlgBase *base,
               QStringList &messages, QStringList &text, int &fragments,
               std::vector<TDecodedInstruction> *instructions = nullptr)
{
    const TDecodedBlock block = DecodeBlock(section, base);
    text.clear();
    fragments = 0;
    for (const TInstruction &x : block.Instructions) {
        const QStringList lines = InstructionLines(x);
        if (instructions)
            instructions->push_back({x.Offset, x.Length, static_cast<int>(text.size()),
                                     static_cast<int>(std::max<qsizetype>(lines.size(), 1))});
        text.append(OctalText(fragments, 2) + u' ' + Prefix(x.Opcode) + lines.value(0));
        ++fragments;
        for (qsizetype i = 1; i < lines.size(); ++i)
            text.append(lines[i]);
    }
    const QString where = T::ErrorBegin + SectionNumberText(sectionNumber);
    switch (block.End) {
    case TDecodedBlock::Complete:
        return true;
    case TDecodedBlock::Truncated:
        messages.append(where + T::Truncated + Dec(block.EndOffset));
        return false;
    case TDecodedBlock::Unknown:
        text.append(OctalText(fragments, 2) + u' ' + Prefix(block.EndOpcode));
        ++fragments;
        messages.append(where + T::UnknownCode +
                        QStringLiteral("%1").arg(block.EndOpcode, 2, 16, QChar(u'0')).toUpper() +
                        T::AtOffset + Dec(block.EndOffset));
        return false;
    }
    return true;
}

} // namespace

QString TermText(std::uint8_t low, std::uint8_t high)
{
    switch (high) {
    case TermPlusVA:
        return u'+' + Var(ClassVA, low / 2);
    case TermPlusAV:
        return u'+' + Var(ClassAV, low / 2);
    case TermMinusVA:
        return u'-' + Var(ClassVA, low / 2);
    case TermMinusAV:
        return u'-' + Var(ClassAV, low / 2);
    default:
        break;
    }
    const int w = low | (high << 8);
    if (w < 32768)
        return u'+' + Dec(w / 2);
    // Negative: the constant is (w - 65536) / 2, truncated toward zero; its sign is always
    // written, since a term without a sign does not compile.
    return u'-' + Dec(-((w - 65536) / 2));
}

QString TimeParameterText(std::uint8_t mantissa, std::uint8_t exponent)
{
    // Seconds = mantissa × 2^exponent for exponents 0..128 and mantissa >> (256 - exponent)
    // above. The hours are computed exactly however large the exponent is.
    unsigned __int128 hours = 0;
    unsigned rest = 0; // seconds mod 3600
    if (exponent <= 128) {
        rest = mantissa;
        for (int i = 0; i < exponent; ++i) {
            hours *= 2;
            rest *= 2;
            if (rest >= 3600) {
                rest -= 3600;
                hours += 1;
            }
        }
    } else {
        const int shift = 256 - exponent;
        rest = shift >= 8 ? 0u : static_cast<unsigned>(mantissa >> shift);
    }
    const QString hh = Decimal128(hours);
    return (hh.size() < 2 ? u'0' + hh : hh) + u'.' + Two(rest / 60) + u'.' + Two(rest % 60);
}

QString CoefficientText(std::uint16_t word)
{
    // x = v × 10 / 16, rounded up only above one half.
    const long long tenths = word * 10LL / 16;
    const long long rem = word * 10LL % 16;
    return ScaledText(word, 16, tenths + (rem * 2 > 16 ? 1 : 0), 1, 4);
}

QString ScaleText(std::uint8_t value)
{
    const long long hundredths = value * 100LL / 128;
    const long long rem = value * 100LL % 128;
    return ScaledText(value, 128, hundredths + (rem * 2 > 128 ? 1 : 0), 2, 7);
}

bool DecompileSection(TZentorSection &section, int sectionNumber, const TAlgBase *base,
                      QStringList &messages)
{
    QStringList text;
    int fragments = 0;
    const bool ok = BlockText(section, sectionNumber, base, messages, text, fragments);
    section.Text = text;
    section.FragmentCount = fragments;
    section.Modified = 1;
    section.NeedsCompile = 0;
    return ok;
}

bool DecodeSectionText(const TZentorSection &section, int sectionNumber, const TAlgBase *base,
                       QStringList &text, std::vector<TDecodedInstruction> &instructions,
                       QStringList &messages)
{
    instructions.clear();
    int fragments = 0;
    return BlockText(section, sectionNumber, base, messages, text, fragments, &instructions);
}

QStringList InstructionText(const TInstruction &x, bool conditionWord)
{
    QStringList lines = InstructionLines(x);
    if (lines.isEmpty())
        lines.append(QString());
    if (conditionWord)
        lines[0].prepend(Prefix(x.Opcode));
    return lines;
}

std::vector<TCallSite> CallSites(const TZentorSection &section)
{
    std::vector<TCallSite> calls;
    for (const TInstruction &x : DecodeBlock(section, nullptr).Instructions) {
        if (x.Kind != TInstructionKind::Call)
            continue;
        TCallSite call{x.Algorithm, x.Bytes.size() >= 5, 0};
        if (call.HasAddress)
            call.Address = AlgAddress(x.Bytes[3], x.Bytes[4]);
        calls.push_back(call);
    }
    return calls;
}

std::vector<TAlgMemoryRange> CallMemoryRanges(const std::vector<TCallSite> &calls,
                                              const TAlgBase *base)
{
    std::vector<TAlgMemoryRange> ranges;
    for (const TCallSite &call : calls) {
        const TAlgInfo *alg = base ? base->Find(call.Algorithm) : nullptr;
        if (alg && alg->OwnMemory != 0 && call.HasAddress)
            ranges.push_back({call.Address, alg->OwnMemory});
    }
    return ranges;
}

std::vector<TAlgMemoryRange> CallMemoryRanges(const TZentorSection &section, const TAlgBase *base)
{
    return CallMemoryRanges(CallSites(section), base);
}

bool DecompileSection(TZentorCompiler &compiler, TZentorSection &section, int sectionNumber)
{
    return DecompileSection(section, sectionNumber, compiler.AlgBase, *compiler.Messages);
}

int DecompileProgram(TZentorCompiler &compiler, TZentorProgram &program, TProgress &progress)
{
    const int limit =
        std::min(program.SectionLimit(), static_cast<int>(TZentorProgram::SectionCount));
    progress.SetCaption(T::ProgressCaption);
    progress.SetMaximum(limit + 1);
    progress.SetPosition(0);
    progress.Show();
    progress.SetAction(T::ProgressHeader);
    program.Header.Decompile(*compiler.Messages);
    // Values the header text cannot carry count as failures: that text is no round trip.
    const QStringList lost = program.Header.ValuesNotInText();
    compiler.Messages->append(lost);
    int failed = static_cast<int>(lost.size());
    for (int n = 0; n < limit; ++n) {
        TZentorSection &section = program.Sections[n];
        if (!section.Present)
            continue;
        progress.SetPosition(n + 1);
        const QString line = T::ProgressSection + SectionNumberText(n);
        compiler.Messages->append(line);
        progress.SetAction(line);
        const bool ok = DecompileSection(compiler, section, n);
        section.CompiledOk = ok ? 1 : 0;
        if (!ok)
            ++failed;
    }
    progress.Hide();
    return failed;
}
