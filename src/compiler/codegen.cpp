#include "compiler/codegen.h"

#include "compiler/algbase.h"
#include "compiler/algmemory.h"
#include "compiler/compilertexts.h"
#include "compiler/lexer.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

std::uint8_t Low(long long v)
{
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(v) & 0xFFu);
}

// Statement instructions and condition items (first bytes, unconditional).
enum : std::uint8_t {
    OpOffDV = 0x02,
    OpOnDV = 0x0C,
    OpAnalogSum = 0x16,
    OpTimerConst = 0x18,
    OpTimerTimer = 0x1A,
    OpText = 0x1C,
    OpSkip = 0x1E,
    OpCall = 0x20,
    OpTestOff = 0x62,
    OpTestOn = 0x70,
    OpBit = 0x7E,
    OpCompare = 0x80,
    OpTimerCompare = 0x82,
    OpOr = 0x84,
    OpOpen = 0x86,
    OpClose = 0x88,
};

constexpr std::uint8_t MarkThen = 0x20;
constexpr std::uint8_t MarkElse = 0x40;

// Analog term high bytes.
constexpr std::uint8_t TermPlusVA = 0x40;
constexpr std::uint8_t TermPlusAV = 0x41;
constexpr std::uint8_t TermMinusVA = 0x80;
constexpr std::uint8_t TermMinusAV = 0x81;

// ТС text bytes.
constexpr std::uint8_t TextStar = 0xAA;
constexpr std::uint8_t TextField = 0xA3;
constexpr std::uint8_t TextNumber = 0x9B;
constexpr std::uint8_t TextVariable = 0xFF;

// Parameter encodings.
constexpr std::uint8_t ParamOn = 0x43;
constexpr std::uint8_t ParamOff = 0x44;
constexpr std::uint8_t RefDV = 0xE5;
constexpr std::uint8_t RefDVHigh = 0xE6;
constexpr std::uint8_t RefVD = 0xE1;
constexpr std::uint8_t RefKS = 0xE7;
constexpr std::uint8_t RefTM = 0xEE;
constexpr std::uint8_t RefKB = 0xEF;
constexpr std::uint8_t RefAnalog = 0xED;

bool IsSig(const TLexeme &lx)
{
    return lx.Code != LxLineNumber && lx.Code != LxParamName;
}

// The statement without the parameter numbers and names that fell into it.
TLexemeContainer Significant(const TLexemeContainer &raw)
{
    TLexemeContainer s;
    for (int i = 0; i < raw.Count(); ++i)
        if (IsSig(raw.At(i)))
            s.Add(raw.At(i));
    return s;
}

std::uint8_t MarkOf(const TLexeme &first)
{
    if (first.Code != LxThenElse)
        return 0;
    return first.SubCode == SubElse ? MarkElse : MarkThen;
}

bool Is(const TLexeme &lx, int subCode)
{
    return lx.SubCode == subCode;
}

unsigned Index(const TLexeme &var)
{
    return static_cast<unsigned>(VariableIndex(var.Text));
}

// Decimal digits -> value, saturating far above anything that fits.
long long DecimalSaturated(const QString &digits)
{
    constexpr long long cap = 1000000000000LL;
    long long v = 0;
    for (QChar c : digits) {
        v = v * 10 + (c.unicode() - u'0');
        if (v > cap)
            v = cap;
    }
    return v;
}

// The low byte of a decimal number however long it is.
std::uint8_t DecimalLowByte(const QString &digits)
{
    unsigned v = 0;
    for (QChar c : digits)
        v = (v * 10u + static_cast<unsigned>(c.unicode() - u'0')) & 0xFFu;
    return static_cast<std::uint8_t>(v);
}

// Class code of a variable for the Б item and the ТС text fields.
std::uint8_t ClassCode(const QString &word, unsigned index)
{
    if (IsClass(word, Keyword::DV))
        return index >= 256 ? 2 : 1;
    if (IsClass(word, Keyword::KB))
        return 3;
    if (IsClass(word, Keyword::KS))
        return 4;
    if (IsClass(word, Keyword::TM))
        return 5;
    if (IsClass(word, Keyword::VD))
        return index >= 256 ? 7 : 6;
    if (IsClass(word, Keyword::VA))
        return 8;
    if (IsClass(word, Keyword::AV))
        return 9;
    if (IsClass(word, Keyword::IV))
        return 10;
    return 0;
}

// The three fields of a time constant for a timer: exactly three decimal fields, after a
// leading point for timers above 31 and without one otherwise.
bool TimerConstant(const QString &text, unsigned timer, std::uint8_t fields[3])
{
    const bool leadingPoint = text.startsWith(u'.');
    if (leadingPoint != (timer > 31))
        return false;
    const QStringList parts = (leadingPoint ? text.mid(1) : text).split(u'.');
    if (parts.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!IsDecimalText(parts[i]))
            return false;
        fields[i] = DecimalLowByte(parts[i]);
    }
    return true;
}

// Integer constant as an analog term: the 16-bit word 2c. False when it does not fit or
// would read back as a variable.
bool ConstantTerm(long long c, std::uint8_t &low, std::uint8_t &high)
{
    if (c < -16384 || c > 16383)
        return false;
    const unsigned word = static_cast<unsigned>(2 * c) & 0xFFFFu;
    low = static_cast<std::uint8_t>(word & 0xFF);
    high = static_cast<std::uint8_t>(word >> 8);
    return high != TermPlusVA && high != TermPlusAV && high != TermMinusVA && high != TermMinusAV;
}

// kind 10: "HH.MM.SS" -> mantissa 64..127 and a binary exponent.
bool TimeParameter(const QString &text, std::uint8_t &mantissa, std::uint8_t &exponent)
{
    if (text.startsWith(u'.'))
        return false;
    const QStringList parts = text.split(u'.');
    if (parts.size() != 3)
        return false;
    long long f[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        f[i] = parts[i].toInt(&ok);
        if (!IsDecimalText(parts[i]) || !ok)
            return false;
    }
    long long s = f[0] * 3600 + f[1] * 60 + f[2];
    int e = 0;
    if (s != 0) {
        while (s < 64) {
            s *= 2;
            --e;
        }
        while (s > 127) {
            s /= 2;
            ++e;
        }
    }
    mantissa = Low(s);
    exponent = Low(e);
    return true;
}

// A real constant "I.F" times factor, truncated toward zero, computed exactly.
bool ScaledReal(const QString &text, int factor, long long &result)
{
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return false;
    const QString whole = text.left(point);
    const QString fraction = text.mid(point + 1);
    if (!IsDecimalText(whole) || !IsDecimalText(fraction))
        return false;
    const long long w = DecimalSaturated(whole);
    if (w > 1000000000LL)
        return false;
    // floor(factor * 0.F): the digits beyond the 15th cannot change it for factors 16 and
    // 128, whose steps have at most 7 decimal places.
    const QString f15 = fraction.left(15);
    long long scale = 1;
    for (qsizetype i = 0; i < f15.size(); ++i)
        scale *= 10;
    result = w * factor + DecimalSaturated(f15) * factor / scale;
    return true;
}

} // namespace

TSectionCodeGenerator::TSectionCodeGenerator(TZentorSection &section, int sectionNumber,
                                             const TAlgBase *base, TAlgMemoryMap &algMemory,
                                             QStringList &messages)
    : Section(section), SectionNumber(sectionNumber), Base(base), AlgMemory(algMemory),
      Messages(messages)
{
}

void TSectionCodeGenerator::Put(std::uint8_t byte)
{
    if (Section.CodeLength >= 0 &&
        Section.CodeLength < static_cast<int>(sizeof(Section.Code) / sizeof(Section.Code[0])))
        Section.Code[Section.CodeLength] = byte;
    ++Section.CodeLength;
}

void TSectionCodeGenerator::Report(const TLexeme &at, const QString &text)
{
    Messages.append(PositionTag(SectionNumber, at.Line, at.Column) + text);
}

bool TSectionCodeGenerator::OnStep(int appliedRow, bool accepted, int newRow,
                                   TLexemeContainer &statement)
{
    const bool moment = (accepted && LL1IsAcceptMoment(appliedRow)) || LL1IsArrivalMoment(newRow);
    if (!moment)
        return true;
    if (Observer)
        Observer->OnStatement(statement);
    const bool ok = Generate(appliedRow, newRow, statement);
    statement.Clear();
    ++Section.FragmentCount;
    return ok;
}

bool TSectionCodeGenerator::Generate(int appliedRow, int newRow, const TLexemeContainer &statement)
{
    if (newRow == 59)
        return Call(statement);
    const TLexemeContainer s = Significant(statement);
    if (newRow == 45)
        return Analog(s);
    switch (appliedRow) {
    case 31:
        return Skip(s);
    case 33:
        return Text(s);
    case 38:
    case 39:
        return Switch(s);
    case 52:
    case 53:
        return Timer(s);
    case 88:
        Put(OpOpen);
        return true;
    case 90:
        Put(OpClose);
        return true;
    case 96:
        Put(OpOr);
        return true;
    default: // 122, 123, 124
        return Bit(s);
    }
}

bool TSectionCodeGenerator::OnStepEnd(const TLexeme &lookahead)
{
    if (Section.CodeLength > MaxBlockLength) {
        Report(lookahead, CompilerText::SectionTooLong + QString::number(Section.CodeLength) +
                              CompilerText::Bytes);
        return false;
    }
    if (Section.FragmentCount > MaxFragments) {
        Report(lookahead, CompilerText::TooManyFragments + QString::number(Section.FragmentCount) +
                              CompilerText::Fragments);
        return false;
    }
    return true;
}

void TSectionCodeGenerator::OnSyntaxError(const TLexeme &lookahead)
{
    const QString l = QString::number(lookahead.Line);
    const QString p = QString::number(lookahead.Column);
    Report(lookahead, QStringLiteral("] ") + CompilerText::SyntaxErrorInLine + l +
                          CompilerText::InPosition + p);
}

bool TSectionCodeGenerator::Skip(const TLexemeContainer &s)
{
    Put(OpSkip + MarkOf(s.Get(0)));
    return true;
}

bool TSectionCodeGenerator::Switch(const TLexemeContainer &s)
{
    if (s.Get(0).Code == LxIf) {
        const TLexeme onOff = s.Get(1);
        const TLexeme var = s.Get(2);
        const unsigned index = Index(var);
        int offset = 0;
        if (Is(var, SubDV))
            offset = index >= 256 ? 2 : 0;
        else if (Is(var, SubKB))
            offset = 4;
        else if (Is(var, SubKS))
            offset = 6;
        else if (Is(var, SubTM))
            offset = 8;
        else if (Is(var, SubVD))
            offset = index >= 256 ? 12 : 10;
        Put(static_cast<std::uint8_t>((Is(onOff, SubOn) ? OpTestOn : OpTestOff) + offset));
        Put(Low(index));
        return true;
    }
    const std::uint8_t mark = MarkOf(s.Get(0));
    const int k = mark ? 1 : 0;
    const TLexeme onOff = s.Get(k);
    const TLexeme var = s.Get(k + 1);
    if (Is(var, SubVD))
        return true; // an input cannot be switched: no code, still a fragment
    const unsigned index = Index(var);
    int offset = 0;
    if (Is(var, SubDV))
        offset = index >= 256 ? 2 : 0;
    else if (Is(var, SubKB))
        offset = 4;
    else if (Is(var, SubKS))
        offset = 6;
    else if (Is(var, SubTM))
        offset = 8;
    Put(static_cast<std::uint8_t>((Is(onOff, SubOn) ? OpOnDV : OpOffDV) + mark + offset));
    Put(Low(index));
    return true;
}

bool TSectionCodeGenerator::Analog(const TLexemeContainer &s)
{
    std::uint8_t first = 0;
    std::uint8_t relation = 0;
    int termStart = 0;
    TLexeme var;
    const bool comparison = s.Get(0).Code == LxIf;
    if (comparison) {
        var = s.Get(1);
        const TLexeme rel = s.Get(2);
        first = OpCompare;
        relation = Is(var, SubAV) ? 0x80 : 0x00;
        if (Is(rel, SubGreater))
            relation += 0x20;
        else if (Is(rel, SubLess))
            relation += 0x40;
        termStart = 3;
    } else {
        const std::uint8_t mark = MarkOf(s.Get(0));
        const int k = mark ? 1 : 0;
        var = s.Get(k);
        if (!Is(var, SubAV))
            return true; // only an analog variable can be assigned
        first = OpAnalogSum + mark;
        termStart = k + 2;
    }
    const int terms = (s.Count() - termStart) / 2;
    if (comparison && terms > MaxComparisonTerms) {
        Report(s.Get(0), CompilerText::TooManyTerms);
        return false;
    }
    TBytes bytes;
    for (int t = 0; t < terms; ++t) {
        const TLexeme sign = s.Get(termStart + 2 * t);
        const TLexeme operand = s.Get(termStart + 2 * t + 1);
        const bool minus = Is(sign, SubMinus);
        if (operand.Code == LxInteger) {
            const long long c = DecimalSaturated(operand.Text);
            std::uint8_t low = 0;
            std::uint8_t high = 0;
            if (!ConstantTerm(minus ? -c : c, low, high)) {
                Report(operand, CompilerText::BadConstant);
                return false;
            }
            bytes.push_back(low);
            bytes.push_back(high);
        } else {
            bytes.push_back(Low(2ull * Index(operand)));
            const bool av = Is(operand, SubAV);
            bytes.push_back(minus ? (av ? TermMinusAV : TermMinusVA)
                                  : (av ? TermPlusAV : TermPlusVA));
        }
    }
    Put(first);
    Put(Low(2ull * Index(var)));
    Put(Low(relation + terms));
    for (std::uint8_t b : bytes)
        Put(b);
    return true;
}

bool TSectionCodeGenerator::Timer(const TLexemeContainer &s)
{
    const bool comparison = s.Get(0).Code == LxIf;
    const std::uint8_t mark = comparison ? 0 : MarkOf(s.Get(0));
    const int k = (comparison || mark) ? 1 : 0;
    const TLexeme timer = s.Get(k);
    const TLexeme rel = s.Get(k + 1);
    const TLexeme operand = s.Get(k + 2);
    const unsigned index = Index(timer);
    if (operand.Code == LxTime) {
        std::uint8_t f[3] = {};
        if (!TimerConstant(operand.Text, index, f)) {
            Report(s.Get(0), comparison ? CompilerText::WrongTimeInCondition
                                        : CompilerText::WrongTimeInSetting);
            return false;
        }
        if (comparison) {
            Put(OpTimerCompare);
            Put(Low(index));
            Put(Is(rel, SubLess) ? 0x40 : 0x20);
        } else {
            Put(OpTimerConst + mark);
            Put(Low(index));
        }
        Put(f[2]); // seconds, minutes, hours
        Put(f[1]);
        Put(f[0]);
        return true;
    }
    if (comparison) {
        Put(OpTimerCompare);
        Put(Low(index));
        Put(Is(rel, SubLess) ? 0xC0 : 0xA0);
    } else {
        Put(OpTimerTimer + mark);
        Put(Low(index));
    }
    Put(Low(Index(operand)));
    return true;
}

bool TSectionCodeGenerator::Bit(const TLexemeContainer &s)
{
    const TLexeme var = s.Get(2);
    // The item carries the first three digits of the index.
    const QString word = var.Text.left(5);
    const unsigned index = static_cast<unsigned>(VariableIndex(word));
    Put(OpBit);
    Put(ClassCode(word, index));
    Put(Low(index));
    return true;
}

bool TSectionCodeGenerator::Text(const TLexemeContainer &s)
{
    const std::uint8_t mark = MarkOf(s.Get(0));
    const int k = mark ? 1 : 0;
    const QString word = s.Get(k).Text; // ТС1.0.1
    const TLexeme textLexeme = s.Get(k + 1);
    const QString text = textLexeme.Text;
    std::uint8_t flags = 0;
    if (word.size() >= 7) {
        flags = static_cast<std::uint8_t>((word[2] == u'1' ? 4 : 0) | (word[4] == u'1' ? 2 : 0) |
                                          (word[6] == u'1' ? 1 : 0));
    }
    auto isOctal = [&](qsizetype i) {
        return i < text.size() && text[i] >= u'0' && text[i] <= u'7';
    };
    auto fieldError = [&](qsizetype offset) {
        TLexeme at = textLexeme;
        at.Column += static_cast<int>(offset);
        Report(at, CompilerText::TextFieldError);
        return false;
    };
    static const QString *const fieldClasses[] = {&Keyword::DV, &Keyword::KB, &Keyword::KS,
                                                  &Keyword::TM, &Keyword::VD, &Keyword::VA,
                                                  &Keyword::AV, &Keyword::IV};
    TBytes bytes;
    bool field = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'*') {
            bytes.push_back(TextStar);
        } else if (c == u'#') {
            bytes.push_back(TextField);
            field = !field;
        } else if (!field) {
            bytes.push_back(TextToController(c));
        } else if (c == u'.') {
            // a separator inside a field: no byte
        } else if (c == u'/') {
            qsizetype e = i + 1;
            while (isOctal(e))
                ++e;
            if (e == i + 1)
                return fieldError(i);
            bytes.push_back(TextNumber);
            bytes.push_back(Low(ParseOctal(text.mid(i + 1, e - i - 1))));
            i = e - 1;
        } else {
            const QString letters = text.mid(i, 2);
            bool known = false;
            for (const QString *cls : fieldClasses)
                known = known || letters == *cls;
            if (!known)
                return fieldError(i);
            qsizetype e = i + 2;
            unsigned index = 0;
            if (letters == Keyword::KS) {
                // A section number: exactly three digits.
                if (!isOctal(e) || !isOctal(e + 1) || !isOctal(e + 2))
                    return fieldError(i);
                e += 3;
                index = static_cast<unsigned>(ParseSectionNumber(text.mid(i + 2, 3)));
            } else {
                while (isOctal(e))
                    ++e;
                if (e == i + 2)
                    return fieldError(i);
                index = static_cast<unsigned>(ParseOctal(text.mid(i + 2, e - i - 2)));
            }
            bytes.push_back(TextVariable);
            bytes.push_back(ClassCode(letters, index));
            bytes.push_back(Low(index));
            i = e - 1;
        }
    }
    const int n = static_cast<int>(bytes.size());
    if (n == 0) {
        Report(textLexeme, CompilerText::TextFieldError);
        return false;
    }
    if (n > MaxTextBytes) {
        Report(textLexeme, CompilerText::TextTooLong);
        return false;
    }
    Put(OpText + mark);
    Put(flags);
    Put(Low(n - 1));
    Put(Low(n - 1));
    for (std::uint8_t b : bytes)
        Put(b);
    return true;
}

bool TSectionCodeGenerator::Call(const TLexemeContainer &raw)
{
    int first = 0;
    while (first < raw.Count() && !IsSig(raw.At(first)))
        ++first;
    const TLexeme head = raw.Get(first);
    const std::uint8_t mark = MarkOf(head);
    int a = first;
    while (a < raw.Count() && raw.At(a).Code != LxAlgorithm)
        ++a;
    const int n = ParseOctal(raw.Get(a).Text.mid(Keyword::Algorithm.size()));
    const TAlgInfo *alg = Base ? Base->Find(n) : nullptr;
    if (!alg) {
        Report(head, CompilerText::NoSuchAlgorithm);
        return false;
    }
    const int address =
        alg->OwnMemory != 0 ? AlgMemory.Allocate(alg->OwnMemory, AlgMemoryLimit) : 0;
    if (address < 0) {
        Report(head, CompilerText::AlgMemoryExhausted);
        return false;
    }
    TBytes bytes;
    bytes.push_back(OpCall + mark);
    bytes.push_back(Low(2ll * n));
    bytes.push_back(alg->PrpMemory);
    if (alg->OwnMemory != 0) {
        bytes.push_back(AlgAddressLow(address));
        bytes.push_back(AlgAddressHigh(address));
    }
    auto discreteRef = [&](const TLexeme &v) {
        const unsigned index = Index(v);
        if (Is(v, SubDV)) {
            bytes.push_back(Low(index >= 256 ? index - 256 : index));
            bytes.push_back(index >= 256 ? RefDVHigh : RefDV);
        } else if (Is(v, SubVD)) {
            bytes.push_back(Low(index));
            bytes.push_back(RefVD);
        } else if (Is(v, SubKS)) {
            bytes.push_back(Low(index));
            bytes.push_back(RefKS);
        } else if (Is(v, SubTM)) {
            bytes.push_back(Low(static_cast<long long>(index) - 64));
            bytes.push_back(RefTM);
        } else { // КБ
            bytes.push_back(Low(index + 104ull));
            bytes.push_back(RefKB);
        }
    };
    auto outputTail = [&](const TLexeme &v) {
        const unsigned index = Index(v);
        if (Is(v, SubDV)) {
            bytes.insert(bytes.end(), {Low(index), 0xE8, 0xA6, 0xEF});
        } else if (Is(v, SubKS)) {
            bytes.insert(bytes.end(), {Low(index), 0xEA, 0xA8, 0xEF});
        } else if (Is(v, SubTM)) {
            bytes.insert(bytes.end(), {Low(index), 0xEF, 0xA9, 0xEF});
        } else { // КБ
            bytes.insert(bytes.end(), {Low(index + 96ull), 0xEF, 0xA7, 0xEF});
        }
    };
    auto badInLine = [&](const TLexeme &v) {
        Messages.append(CompilerText::BadParamInLine + QString::number(v.Line));
        return false;
    };
    int k = a + 1;
    for (int i = 1; i <= alg->ParamCount && i <= TAlgInfo::MaxParams; ++i) {
        if (raw.Get(k).Code == LxLineNumber)
            ++k;
        if (raw.Get(k).Code == LxParamName)
            ++k;
        if (raw.Get(k).Code == LxEquals)
            ++k;
        const TLexeme value = raw.Get(k++);
        const bool discrete = value.Code == LxDiscrete || value.Code == LxTimer;
        switch (alg->Params[i].Kind) {
        case 1:
            if (value.Code != LxOnOff) {
                Report(head, CompilerText::MustBeOnOff);
                return false;
            }
            bytes.push_back(Is(value, SubOn) ? ParamOn : ParamOff);
            bytes.push_back(0x00);
            break;
        case 2:
            if (value.Code == LxOnOff) {
                bytes.push_back(Is(value, SubOn) ? ParamOn : ParamOff);
                bytes.push_back(0x00);
            } else if (discrete) {
                discreteRef(value);
            } else {
                Report(value, CompilerText::BadParamPoint);
                return false;
            }
            break;
        case 3:
        case 4:
            if (value.Code == LxOnOff) {
                Report(value, CompilerText::BadParamNoPoint);
                return false;
            }
            if (!discrete) {
                Report(value, CompilerText::BadParamPoint);
                return false;
            }
            if (alg->Params[i].Kind == 4 && Is(value, SubVD)) {
                Report(value, CompilerText::BadOutputParam);
                return false;
            }
            discreteRef(value);
            if (alg->Params[i].Kind == 4)
                outputTail(value);
            break;
        case 5: {
            if (value.Code != LxSign) {
                const TLexeme after = raw.Get(k);
                Messages.append(PositionTag(SectionNumber, value.Line, after.Column) +
                                CompilerText::SignRequired);
                return false;
            }
            const TLexeme operand = raw.Get(k++);
            const bool minus = Is(value, SubMinus);
            if (operand.Code == LxInteger) {
                std::uint8_t low = 0;
                std::uint8_t high = 0;
                const long long c = DecimalSaturated(operand.Text);
                if (!ConstantTerm(minus ? -c : c, low, high)) {
                    Report(operand, CompilerText::BadConstant);
                    return false;
                }
                bytes.push_back(low);
                bytes.push_back(high);
            } else if (operand.Code == LxAnalog) {
                const bool av = Is(operand, SubAV);
                bytes.push_back(Low(2ull * Index(operand)));
                bytes.push_back(minus ? (av ? TermMinusAV : TermMinusVA)
                                      : (av ? TermPlusAV : TermPlusVA));
            } else {
                return badInLine(operand);
            }
            break;
        }
        case 6:
            if (value.Code != LxAnalog)
                return badInLine(value);
            bytes.push_back(Low(2ull * Index(value)));
            bytes.push_back(RefAnalog);
            break;
        case 7:
            if (value.Code != LxTimer)
                return badInLine(value);
            bytes.push_back(Low(3ull * Index(value)));
            bytes.push_back(RefTM);
            break;
        case 8:
            if (value.Code != LxInteger)
                return badInLine(value);
            bytes.push_back(DecimalLowByte(value.Text) & 0x7F);
            break;
        case 9:
            if (value.Code != LxInteger)
                return badInLine(value);
            bytes.push_back(Low(DecimalLowByte(value.Text) + 1));
            break;
        case 10: {
            std::uint8_t mantissa = 0;
            std::uint8_t exponent = 0;
            if (value.Code != LxTime || !TimeParameter(value.Text, mantissa, exponent))
                return badInLine(value);
            bytes.push_back(mantissa);
            bytes.push_back(exponent);
            break;
        }
        case 11: {
            long long t = 0;
            if (value.Code != LxReal || !ScaledReal(value.Text, 16, t))
                return badInLine(value);
            bytes.push_back(Low(t));
            bytes.push_back(Low(t / 256));
            break;
        }
        case 12: {
            long long t = 0;
            if (value.Code != LxReal || !ScaledReal(value.Text, 128, t))
                return badInLine(value);
            bytes.push_back(Low(t));
            break;
        }
        default: // a kind the generator does not know: the base is at fault, not the text
            Report(head, CompilerText::UnknownParamKindBegin + QString::number(i) +
                             CompilerText::UnknownParamKindAlgorithm + OctalText(n, 3) +
                             CompilerText::UnknownParamKindType +
                             QString::number(alg->Params[i].Kind));
            return false;
        }
    }
    // The call is exactly as long as the base says; bytes the parameters leave are 0.
    const int length = alg->PrpMemory + 3;
    for (int i = 0; i < length; ++i)
        Put(i < static_cast<int>(bytes.size()) ? bytes[static_cast<std::size_t>(i)] : 0);
    return true;
}

void FinishBlock(TZentorSection &section)
{
    const int length = section.CodeLength;
    section.Code[0] = Low(length);
    section.Code[1] = Low(length);
    section.Code[4] = 0;
    const std::uint8_t sum = ByteSum(section.Code, length);
    section.Code[4] = Low(256 - sum);
    section.Code[length] = 0;
    section.CodeLength = length + 1;
}
