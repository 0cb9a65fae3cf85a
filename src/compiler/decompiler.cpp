// The section decompiler and its driver. Every instruction is first measured (its length may
// depend on a count or length byte) and only decoded when it lies wholly inside the block,
// so no byte past CodeLength is ever read.

#include "compiler/decompiler.h"

#include "compiler/algbase.h"
#include "compiler/algmemory.h"
#include "compiler/decompilertexts.h"
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

constexpr int kCodeSize = static_cast<int>(sizeof(TZentorSection::Code));

using namespace Instruction;

const QString kVD = QStringLiteral("ВД");
const QString kDV = QStringLiteral("ДВ");
const QString kKB = QStringLiteral("КБ");
const QString kKS = QStringLiteral("КС");
const QString kTM = QStringLiteral("ТМ");
const QString kVA = QStringLiteral("ВА");
const QString kAV = QStringLiteral("АВ");
const QString kIV = QStringLiteral("ИВ");

QString Dec(long long x)
{
    return QString::number(x);
}

// Decimal with a leading "0" below 10.
QString Two(long long x)
{
    return x < 10 ? u'0' + Dec(x) : Dec(x);
}

// The variable of a ВКЛ/ОТКЛ statement or test by its class offset (0 ДВ, 2 ДВ from 256,
// 4 КБ, 6 КС, 8 ТМ, 10 ВД, 12 ВД from 256).
QString SwitchVariable(int offset, int x)
{
    static constexpr TVariableClassCode kClassOfOffset[] = {
        ClassDV, ClassDVHigh, ClassKB, ClassKS, ClassTM, ClassVD, ClassVDHigh};
    return ClassVariableText(kClassOfOffset[std::min(offset / 2, 6)], x, TIndexUse::Item);
}

// A discrete reference of an algorithm parameter (kinds 2, 3, 4); empty for a high byte
// the kind does not accept.
QString ReferenceText(std::uint8_t lo, std::uint8_t hi, bool inputs)
{
    switch (hi) {
    case RefVD:
        return inputs ? kVD + OctalText(lo, 3) : QString();
    case RefDV:
        return kDV + OctalText(lo, 3);
    case RefDVHigh:
        return kDV + OctalText(lo + 256, 3);
    case RefKS:
        return kKS + SectionNumberText(lo);
    case RefTM:
        return kTM + OctalText(lo - static_cast<int>(RefTMBase), 2);
    case RefKB:
        return kKB + OctalText(lo - static_cast<int>(RefKBBase), 2);
    default:
        return QString();
    }
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

// The text of a ТС instruction, bytes [begin, end) of the code.
QString TextLine(const std::uint8_t *code, int begin, int end)
{
    QString s;
    bool field = false;
    int i = begin;
    while (i < end) {
        const std::uint8_t c = code[i];
        if (c == TextField) {
            // Closing a field replaces the "." after its last variable or format; an empty
            // field keeps both of its "#".
            if (field && s.endsWith(u'.'))
                s[s.size() - 1] = u'#';
            else
                s += u'#';
            field = !field;
            ++i;
        } else if (c == TextStar) {
            s += u'*';
            ++i;
        } else if (field && c == TextVariable) {
            if (i + 2 >= end)
                break; // the variable's class and index are not in the text
            s += ClassVariableText(code[i + 1], code[i + 2], TIndexUse::Field) + u'.';
            i += 3;
        } else if (field && c == TextNumber) {
            if (i + 1 >= end)
                break;
            s += u'/' + OctalText(code[i + 1], 3) + u'.';
            i += 2;
        } else if (field) {
            ++i;
        } else {
            s += TextCharacter(c);
            ++i;
        }
    }
    // The lexer drops one quote at each end of the text: a text that itself begins or ends
    // with a quote is written between quotes.
    if (!s.isEmpty() && (IsQuote(s.front()) || IsQuote(s.back())))
        s = u'\'' + s + u'\'';
    return s;
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

class TSectionDecoder
{
public:
    TSectionDecoder(const TZentorSection &section, int sectionNumber, const TAlgBase *base,
                    QStringList &messages)
        : Code(section.Code), Limit(std::clamp(section.CodeLength, 0, kCodeSize) - 1),
          SectionNumber(sectionNumber), Base(base), Messages(messages)
    {
    }

    // Where the own-memory ranges of the calls decoded go, when anywhere.
    std::vector<TAlgMemoryRange> *Ranges = nullptr;

    // instructions (when given) receives where each instruction stands in the block and in
    // the text.
    bool Run(QStringList &text, int &fragments,
             std::vector<TDecodedInstruction> *instructions = nullptr)
    {
        text.clear();
        fragments = 0;
        int pos = BlockHeaderLength;
        while (pos < Limit) {
            const int op = Code[pos];
            if (op == 0)
                break;
            Pos = pos;
            QStringList lines;
            const TStatus status = Decode(op, lines);
            if (status == TStatus::Truncated) {
                Report(T::Truncated + Dec(pos));
                return false;
            }
            const QString number = OctalText(fragments, 2) + u' ' + Prefix(op);
            ++fragments;
            if (status == TStatus::Unknown) {
                text.append(number);
                Report(T::UnknownCode + QStringLiteral("%1").arg(op, 2, 16, QChar(u'0')).toUpper() +
                       T::AtOffset + Dec(pos));
                return false;
            }
            if (instructions)
                instructions->push_back({pos, Length, static_cast<int>(text.size()),
                                         static_cast<int>(std::max<qsizetype>(lines.size(), 1))});
            text.append(number + lines.value(0));
            for (qsizetype i = 1; i < lines.size(); ++i)
                text.append(lines[i]);
            pos += Length;
        }
        return true;
    }

private:
    enum class TStatus { Ok, Unknown, Truncated };

    const std::uint8_t *Code;
    // Instructions end before the block's last byte, its terminator.
    const int Limit;
    const int SectionNumber;
    const TAlgBase *Base;
    QStringList &Messages;
    int Pos = 0;    // the instruction's opcode
    int Length = 0; // the instruction's length once it is known to fit

    void Report(const QString &text)
    {
        Messages.append(T::ErrorBegin + SectionNumberText(SectionNumber) + text);
    }

    static QString Prefix(int op)
    {
        if (op >= ThenFirst && op <= ThenLast)
            return T::Then;
        if (op >= ElseFirst && op <= ElseLast)
            return T::Else;
        if (op >= TestOffFirst && op <= TimerCompare)
            return T::If;
        return QString();
    }

    // Whether the instruction's first length bytes lie inside the block.
    bool Fits(int length)
    {
        if (Pos + length > Limit)
            return false;
        Length = length;
        return true;
    }
    std::uint8_t At(int i) const { return Code[Pos + i]; }

    QString Terms(int first, int count) const
    {
        QString s;
        for (int k = 0; k < count; ++k)
            s += TermText(At(first + 2 * k), At(first + 2 * k + 1));
        return s;
    }

    TStatus Decode(int op, QStringList &lines)
    {
        if (op % 2 != 0 || op > Close)
            return TStatus::Unknown;
        if (op >= TestOffFirst)
            return Condition(op, lines);
        const int base = op <= Instruction::Call              ? op
                         : op <= Instruction::Call + MarkThen ? op - MarkThen
                                                              : op - MarkElse;
        return Statement(base, lines);
    }

    TStatus Statement(int op, QStringList &lines)
    {
        if (op >= OffFirst && op <= SwitchLast) {
            if (!Fits(2))
                return TStatus::Truncated;
            const bool on = op >= OnFirst;
            const int offset = op - (on ? OnFirst : OffFirst);
            lines.append((on ? T::On : T::Off) + SwitchVariable(offset, At(1)));
            return TStatus::Ok;
        }
        switch (op) {
        case AnalogSum: {
            if (!Fits(3) || !Fits(3 + 2 * At(2)))
                return TStatus::Truncated;
            lines.append(kAV + OctalText(At(1) / 2, 3) + QStringLiteral(" = ") + Terms(3, At(2)));
            return TStatus::Ok;
        }
        case TimerConst:
            if (!Fits(5))
                return TStatus::Truncated;
            lines.append(kTM + OctalText(At(1), 2) + u'=' +
                         TimerTimeText(At(1), At(2), At(3), At(4)));
            return TStatus::Ok;
        case TimerTimer:
            if (!Fits(3))
                return TStatus::Truncated;
            lines.append(kTM + OctalText(At(1), 2) + u'=' + kTM + OctalText(At(2), 2));
            return TStatus::Ok;
        case Instruction::Text:
            return Text(lines);
        case Instruction::Skip:
            Fits(1);
            lines.append(T::Skip);
            return TStatus::Ok;
        case Instruction::Call:
            return Call(lines);
        default:
            return TStatus::Unknown;
        }
    }

    TStatus Text(QStringList &lines)
    {
        if (!Fits(4) || !Fits(4 + At(2) + 1))
            return TStatus::Truncated;
        const int f = At(1);
        lines.append(T::Text + QString::number((f >> 2) & 1) + u'.' +
                     QString::number((f >> 1) & 1) + u'.' + QString::number(f & 1));
        lines.append(TextLine(Code, Pos + 4, Pos + Length));
        return TStatus::Ok;
    }

    TStatus Condition(int op, QStringList &lines)
    {
        if (op <= TestLast) {
            if (!Fits(2))
                return TStatus::Truncated;
            const bool on = op >= TestOnFirst;
            const int offset = op - (on ? TestOnFirst : TestOffFirst);
            lines.append((on ? T::On : T::Off) + SwitchVariable(offset, At(1)));
            return TStatus::Ok;
        }
        switch (op) {
        case Instruction::Bit:
            if (!Fits(3))
                return TStatus::Truncated;
            lines.append(T::Bit + ClassVariableText(At(1), At(2), TIndexUse::Item));
            return TStatus::Ok;
        case AnalogCompare: {
            if (!Fits(3) || !Fits(3 + 2 * (At(2) & 0x0F)))
                return TStatus::Truncated;
            const int r = At(2);
            const int high = r >> 4;
            QString s;
            if (high == 0x0 || high == 0x2 || high == 0x4)
                s = kVA;
            else if (high == 0x8 || high == 0xA || high == 0xC)
                s = kAV;
            s += OctalText(At(1) / 2, 3);
            if (high == 0x0 || high == 0x8)
                s += u'=';
            else if (high == 0x2 || high == 0xA)
                s += u'>';
            else if (high == 0x4 || high == 0xC)
                s += u'<';
            lines.append(s + Terms(3, r & 0x0F));
            return TStatus::Ok;
        }
        case TimerCompare: {
            if (!Fits(3) || !Fits(At(2) >= CompareTimer ? 4 : 6))
                return TStatus::Truncated;
            const int r = At(2);
            QString s = kTM + OctalText(At(1), 2);
            const int relation = r & ~CompareTimer;
            if (relation == RelationEqual)
                s += QStringLiteral(" = ");
            else if (relation == RelationGreater)
                s += QStringLiteral(" > ");
            else if (relation == RelationLess)
                s += QStringLiteral(" < ");
            if (r >= CompareTimer)
                s += kTM + OctalText(At(3), 2);
            else
                s += TimerTimeText(At(1), At(3), At(4), At(5));
            lines.append(s);
            return TStatus::Ok;
        }
        case Instruction::Or:
            Fits(1);
            lines.append(T::Or);
            return TStatus::Ok;
        case Open:
            Fits(1);
            lines.append(QStringLiteral("("));
            return TStatus::Ok;
        case Close:
            Fits(1);
            lines.append(QStringLiteral(")"));
            return TStatus::Ok;
        default:
            return TStatus::Unknown;
        }
    }

    // An algorithm call: its length byte P says where the next instruction starts; the
    // parameters are read by their kinds from the algorithm base, inside the call only.
    TStatus Call(QStringList &lines)
    {
        if (!Fits(3) || !Fits(3 + At(2)))
            return TStatus::Truncated;
        const int n = At(1) / 2;
        lines.append(T::Algorithm + OctalText(n, 3));
        const TAlgInfo *alg = Base ? Base->Find(n) : nullptr;
        if (!alg) {
            QString bytes = T::CallBytes;
            for (int i = 3; i < Length; ++i)
                bytes += QStringLiteral("%1 ").arg(At(i), 2, 16, QChar(u'0')).toUpper();
            lines.append(bytes);
            return TStatus::Ok;
        }
        int q = alg->OwnMemory != 0 ? 5 : 3;
        if (Ranges && alg->OwnMemory != 0 && Length >= 5)
            Ranges->push_back({AlgAddress(At(3), At(4)), alg->OwnMemory});
        const int count = std::min<int>(alg->ParamCount, TAlgInfo::MaxParams);
        for (int p = 1; p <= count; ++p) {
            const TAlgParam &param = alg->Params[p];
            lines.append(T::ParamIndent + Dec(p) + QStringLiteral("  ") + param.Name + u'=' +
                         ParamValue(param.Kind, q));
        }
        return TStatus::Ok;
    }

    // The value of one parameter at offset q of the call (q moves past its bytes); empty when
    // the kind is unknown or its bytes are not inside the call.
    QString ParamValue(int kind, int &q) const
    {
        const int size = AlgParamKindInfo(kind).CallBytes;
        if (size == 0)
            return QString();
        if (q + size > Length) {
            q = Length;
            return QString();
        }
        const std::uint8_t lo = At(q);
        const std::uint8_t hi = size > 1 ? At(q + 1) : 0;
        q += size;
        switch (kind) {
        case KindOnOff:
            return lo == ParamOn ? T::ParamOn : T::ParamOff;
        case KindLogic:
            if (hi == 0x00)
                return lo == ParamOn ? T::ParamOn : T::ParamOff;
            return ReferenceText(lo, hi, true);
        case KindDiscreteIn:
            return ReferenceText(lo, hi, true);
        case KindDiscreteOut:
            return ReferenceText(lo, hi, false);
        case KindAnalogIn:
            return TermText(lo, hi);
        case KindAnalogOut:
            return kAV + OctalText(lo / 2, 3);
        case KindTimer:
            return kTM + OctalText(lo / 3, 2);
        case KindConstant128:
            return Dec(lo);
        case KindConstant7:
            // The compiler stores value + 1 in a byte: 0 stands for 255.
            return Dec((lo + 255) % 256);
        case KindTimeConstant:
            return TimeParameterText(lo, hi);
        case KindCoefficient:
            return CoefficientText(static_cast<std::uint16_t>(lo | (hi << 8)));
        default: // KindScale
            return ScaleText(lo);
        }
    }
};

} // namespace

QString TermText(std::uint8_t low, std::uint8_t high)
{
    switch (high) {
    case TermPlusVA:
        return u'+' + kVA + OctalText(low / 2, 3);
    case TermPlusAV:
        return u'+' + kAV + OctalText(low / 2, 3);
    case TermMinusVA:
        return u'-' + kVA + OctalText(low / 2, 3);
    case TermMinusAV:
        return u'-' + kAV + OctalText(low / 2, 3);
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
    TSectionDecoder decoder(section, sectionNumber, base, messages);
    QStringList text;
    int fragments = 0;
    const bool ok = decoder.Run(text, fragments);
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
    TSectionDecoder decoder(section, sectionNumber, base, messages);
    int fragments = 0;
    return decoder.Run(text, fragments, &instructions);
}

std::vector<TAlgMemoryRange> CallMemoryRanges(const TZentorSection &section, const TAlgBase *base)
{
    QStringList ignored;
    TSectionDecoder decoder(section, 0, base, ignored);
    std::vector<TAlgMemoryRange> ranges;
    decoder.Ranges = &ranges;
    QStringList text;
    int fragments = 0;
    decoder.Run(text, fragments);
    return ranges;
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
