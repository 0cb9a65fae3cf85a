#include "compiler/codegen.h"

#include "compiler/algbase.h"
#include "compiler/algmemory.h"
#include "compiler/compilertexts.h"
#include "compiler/instructionset.h"
#include "compiler/lexer.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/prplayout.h"
#include "prp/variableclass.h"

#include <algorithm>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

// Room for the bytes of any one instruction a statement collects before it is written.
constexpr std::size_t kInstructionRoom = 128;

std::uint8_t Low(long long v)
{
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(v) & 0xFFu);
}

using namespace Instruction;

bool IsSig(const TLexeme &lx)
{
    return lx.Code != LxLineNumber && lx.Code != LxParamName;
}

// The statement without the parameter numbers and names that fell into it: the statement
// itself when none did, else a copy in scratch.
const TLexemeContainer &Significant(const TLexemeContainer &raw, TLexemeContainer &scratch)
{
    int i = 0;
    while (i < raw.Count() && IsSig(raw.At(i)))
        ++i;
    if (i == raw.Count())
        return raw;
    scratch.Clear();
    for (i = 0; i < raw.Count(); ++i)
        if (IsSig(raw.At(i)))
            scratch.Add(raw.At(i));
    return scratch;
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

// The class offset of a switched or tested discrete variable (ДВ and ВД from 256 take their
// second code's).
std::uint8_t SwitchOffsetOf(const TLexeme &var, unsigned index)
{
    return SwitchOffsetOfClass(ClassCodeForIndex(LexemeClass(var), index));
}

bool IsDecimal(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Decimal digits -> value, saturating far above anything that fits.
long long DecimalSaturated(QStringView digits)
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
std::uint8_t DecimalLowByte(QStringView digits)
{
    unsigned v = 0;
    for (QChar c : digits)
        v = (v * 10u + static_cast<unsigned>(c.unicode() - u'0')) & 0xFFu;
    return static_cast<std::uint8_t>(v);
}

// The three fields of a time constant for a timer: exactly three decimal fields, after a
// leading point for timers above 31 and without one otherwise.
bool TimerConstant(QStringView text, unsigned timer, std::uint8_t fields[3])
{
    const bool leadingPoint = text.startsWith(u'.');
    if (leadingPoint != (timer > 31))
        return false;
    // Three fields of decimal digits between two points, each kept as its low byte.
    int field = 0;
    unsigned value = 0;
    int digits = 0;
    for (QChar c : text.mid(leadingPoint ? 1 : 0)) {
        if (c == u'.') {
            if (digits == 0 || field == 2)
                return false;
            fields[field++] = static_cast<std::uint8_t>(value);
            value = 0;
            digits = 0;
        } else if (c >= u'0' && c <= u'9') {
            value = (value * 10u + static_cast<unsigned>(c.unicode() - u'0')) & 0xFFu;
            ++digits;
        } else {
            return false;
        }
    }
    if (field != 2 || digits == 0)
        return false;
    fields[2] = static_cast<std::uint8_t>(value);
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
bool TimeParameter(QStringView text, std::uint8_t &mantissa, std::uint8_t &exponent)
{
    if (text.startsWith(u'.'))
        return false;
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 3)
        return false;
    long long f[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        f[i] = parts[i].toInt(&ok);
        if (!IsDecimal(parts[i]) || !ok)
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
bool ScaledReal(QStringView text, int factor, long long &result)
{
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return false;
    const QStringView whole = text.left(point);
    const QStringView fraction = text.mid(point + 1);
    if (!IsDecimal(whole) || !IsDecimal(fraction))
        return false;
    const long long w = DecimalSaturated(whole);
    if (w > 1000000000LL)
        return false;
    // floor(factor * 0.F): the digits beyond the 15th cannot change it for factors 16 and
    // 128, whose steps have at most 7 decimal places.
    const QStringView f15 = fraction.left(15);
    long long scale = 1;
    for (qsizetype i = 0; i < f15.size(); ++i)
        scale *= 10;
    result = w * factor + DecimalSaturated(f15) * factor / scale;
    return true;
}

// A constant analog term's word; false when it does not fit.
bool ConstantTermBytes(bool minus, const TLexeme &operand, TBytes &bytes)
{
    const long long c = DecimalSaturated(operand.Text);
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!ConstantTerm(minus ? -c : c, low, high))
        return false;
    bytes.insert(bytes.end(), {low, high});
    return true;
}

// An analog variable as a term: 2 × index and the high byte of its sign and class.
void VariableTermBytes(bool minus, const TLexeme &operand, TBytes &bytes)
{
    const bool av = Is(operand, SubAV);
    bytes.push_back(Low(2ull * Index(operand)));
    bytes.push_back(minus ? (av ? TermMinusAV : TermMinusVA) : (av ? TermPlusAV : TermPlusVA));
}

const TReference *FindReference(TVariableClassCode code)
{
    for (const TReference &r : References)
        if (r.Class == code)
            return &r;
    return nullptr;
}

// A discrete variable passed to an algorithm: its low byte and reference byte.
void DiscreteReference(const TLexeme &v, TBytes &bytes)
{
    const unsigned index = Index(v);
    const TVariableClassCode first = LexemeClass(v);
    const TReference *ref = FindReference(ClassCodeForIndex(first, index));
    if (!ref)
        ref = FindReference(first); // ВД from 256: refused before, a reference has no room
    if (!ref)
        return;
    bytes.insert(bytes.end(), {Low(ClassIndexByte(ref->Class, index) + ref->LowBase), ref->High});
}

// The four bytes an output parameter carries after its reference.
void OutputTail(const TLexeme &v, TBytes &bytes)
{
    const unsigned index = Index(v);
    const bool kb = !Is(v, SubDV) && !Is(v, SubKS) && !Is(v, SubTM);
    const std::uint8_t *tail = Is(v, SubDV)   ? TailDV
                               : Is(v, SubKS) ? TailKS
                               : Is(v, SubTM) ? TailTM
                                              : TailKB;
    bytes.push_back(Low(kb ? index + TailKBBase : index));
    bytes.insert(bytes.end(), tail, tail + 3);
}

// The parameter kinds from the analog output on take one lexeme and fail alike: false when
// the value is not of their shape.
bool AnalogOutBytes(const TLexeme &value, TBytes &bytes)
{
    if (value.Code != LxAnalog)
        return false;
    bytes.insert(bytes.end(), {Low(2ull * Index(value)), RefAnalog});
    return true;
}

bool TimerBytes(const TLexeme &value, TBytes &bytes)
{
    if (value.Code != LxTimer)
        return false;
    bytes.insert(bytes.end(), {Low(3ull * Index(value)), RefTM});
    return true;
}

bool Constant128Bytes(const TLexeme &value, TBytes &bytes)
{
    if (value.Code != LxInteger)
        return false;
    bytes.push_back(DecimalLowByte(value.Text) & 0x7F);
    return true;
}

bool Constant7Bytes(const TLexeme &value, TBytes &bytes)
{
    if (value.Code != LxInteger)
        return false;
    bytes.push_back(Low(DecimalLowByte(value.Text) + 1));
    return true;
}

bool TimeConstantBytes(const TLexeme &value, TBytes &bytes)
{
    std::uint8_t mantissa = 0;
    std::uint8_t exponent = 0;
    if (value.Code != LxTime || !TimeParameter(value.Text, mantissa, exponent))
        return false;
    bytes.insert(bytes.end(), {mantissa, exponent});
    return true;
}

bool CoefficientBytes(const TLexeme &value, TBytes &bytes)
{
    long long t = 0;
    if (value.Code != LxReal || !ScaledReal(value.Text, 16, t))
        return false;
    bytes.insert(bytes.end(), {Low(t), Low(t / 256)});
    return true;
}

bool ScaleBytes(const TLexeme &value, TBytes &bytes)
{
    long long t = 0;
    if (value.Code != LxReal || !ScaledReal(value.Text, 128, t))
        return false;
    bytes.push_back(Low(t));
    return true;
}

// The bytes of a ТС text; the offset of a field item that cannot be read, or -1.
qsizetype TextBytes(QStringView text, TBytes &bytes)
{
    auto isOctal = [&](qsizetype i) {
        return i < text.size() && text[i] >= u'0' && text[i] <= u'7';
    };
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
                return i;
            bytes.push_back(TextNumber);
            bytes.push_back(Low(OctalValue(text.mid(i + 1, e - i - 1))));
            i = e - 1;
        } else {
            const QStringView letters = text.mid(i, 2);
            if (VariableClassCode(letters, 0) == ClassNone)
                return i;
            qsizetype e = i + 2;
            unsigned index = 0;
            if (ClassOfWord(letters) == ClassKS) {
                // A section number: exactly three digits.
                if (!isOctal(e) || !isOctal(e + 1) || !isOctal(e + 2))
                    return i;
                e += 3;
                index = static_cast<unsigned>(VariableIndex(text.mid(i, 5)));
            } else {
                while (isOctal(e))
                    ++e;
                if (e == i + 2)
                    return i;
                index = static_cast<unsigned>(OctalValue(text.mid(i + 2, e - i - 2)));
            }
            bytes.insert(bytes.end(),
                         {TextVariable, VariableClassCode(letters, index), Low(index)});
            i = e - 1;
        }
    }
    return -1;
}

using TSimpleEncoder = bool (*)(const TLexeme &value, TBytes &bytes);
// Kinds 6 .. 12 in order.
constexpr TSimpleEncoder kSimpleEncoders[] = {AnalogOutBytes, TimerBytes,        Constant128Bytes,
                                              Constant7Bytes, TimeConstantBytes, CoefficientBytes,
                                              ScaleBytes};
static_assert(std::size(kSimpleEncoders) == AlgParamKindCount - KindAnalogOut + 1);

} // namespace

TSectionCodeGenerator::TSectionCodeGenerator(TZentorSection &section, int sectionNumber,
                                             const TAlgBase *base, TAlgMemoryMap &algMemory,
                                             QStringList &messages)
    : Section(section), SectionNumber(sectionNumber), Base(base), AlgMemory(algMemory),
      Messages(messages)
{
    Bytes.reserve(kInstructionRoom);
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
    if (newRow == LL1RowParamsEnd)
        return Call(statement);
    TLexemeContainer scratch;
    const TLexemeContainer &s = Significant(statement, scratch);
    if (newRow == LL1RowSumEnd)
        return Analog(s);
    switch (appliedRow) {
    case LL1RowSkip:
        return Skip(s);
    case LL1RowTextString:
        return Text(s);
    case LL1RowSwitchDiscrete:
    case LL1RowSwitchTimer:
        return Switch(s);
    case LL1RowTimeConstant:
    case LL1RowTimerOperand:
        return Timer(s);
    case LL1RowOpen:
        Put(Opcode(TInstructionKind::Open));
        return true;
    case LL1RowClose:
        Put(Opcode(TInstructionKind::Close));
        return true;
    case LL1RowOr:
        Put(Opcode(TInstructionKind::Or));
        return true;
    default: // LL1RowBitDiscrete, LL1RowBitTimer, LL1RowBitAnalog
        return Bit(s);
    }
}

bool TSectionCodeGenerator::OnStepEnd(const TLexeme &lookahead)
{
    if (Section.CodeLength > PrpLayout::MaxBlockBody) {
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
    Put(Opcode(TInstructionKind::Skip, 0, MarkOf(s.Get(0))));
    return true;
}

bool TSectionCodeGenerator::Switch(const TLexemeContainer &s)
{
    if (s.Get(0).Code == LxIf) {
        const TLexeme &onOff = s.Get(1);
        const TLexeme &var = s.Get(2);
        const unsigned index = Index(var);
        Put(Opcode(Is(onOff, SubOn) ? TInstructionKind::TestOn : TInstructionKind::TestOff,
                   SwitchOffsetOf(var, index)));
        Put(Low(index));
        return true;
    }
    const std::uint8_t mark = MarkOf(s.Get(0));
    const int k = mark ? 1 : 0;
    const TLexeme &onOff = s.Get(k);
    const TLexeme &var = s.Get(k + 1);
    if (Is(var, SubVD))
        return true; // an input cannot be switched: no code, still a fragment
    const unsigned index = Index(var);
    Put(Opcode(Is(onOff, SubOn) ? TInstructionKind::On : TInstructionKind::Off,
               SwitchOffsetOf(var, index), mark));
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
        const TLexeme &rel = s.Get(2);
        first = Opcode(TInstructionKind::AnalogCompare);
        relation = Is(var, SubAV) ? CompareAV : RelationEqual;
        if (Is(rel, SubGreater))
            relation += RelationGreater;
        else if (Is(rel, SubLess))
            relation += RelationLess;
        termStart = 3;
    } else {
        const std::uint8_t mark = MarkOf(s.Get(0));
        const int k = mark ? 1 : 0;
        var = s.Get(k);
        if (!Is(var, SubAV))
            return true; // only an analog variable can be assigned
        first = Opcode(TInstructionKind::AnalogSum, 0, mark);
        termStart = k + 2;
    }
    const int terms = (s.Count() - termStart) / 2;
    if (comparison && terms > MaxComparisonTerms) {
        Report(s.Get(0), CompilerText::TooManyTerms);
        return false;
    }
    TBytes &bytes = Bytes;
    bytes.clear();
    for (int t = 0; t < terms; ++t) {
        const TLexeme &sign = s.Get(termStart + 2 * t);
        const TLexeme &operand = s.Get(termStart + 2 * t + 1);
        const bool minus = Is(sign, SubMinus);
        if (operand.Code != LxInteger) {
            VariableTermBytes(minus, operand, bytes);
        } else if (!ConstantTermBytes(minus, operand, bytes)) {
            Report(operand, CompilerText::BadConstant);
            return false;
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
    const TLexeme &timer = s.Get(k);
    const TLexeme &rel = s.Get(k + 1);
    const TLexeme &operand = s.Get(k + 2);
    const unsigned index = Index(timer);
    if (operand.Code == LxTime) {
        std::uint8_t f[3] = {};
        if (!TimerConstant(operand.Text, index, f)) {
            Report(s.Get(0), comparison ? CompilerText::WrongTimeInCondition
                                        : CompilerText::WrongTimeInSetting);
            return false;
        }
        if (comparison) {
            Put(Opcode(TInstructionKind::TimerCompare));
            Put(Low(index));
            Put(Is(rel, SubLess) ? RelationLess : RelationGreater);
        } else {
            Put(Opcode(TInstructionKind::TimerSet, 0, mark));
            Put(Low(index));
        }
        Put(f[2]); // seconds, minutes, hours
        Put(f[1]);
        Put(f[0]);
        return true;
    }
    if (comparison) {
        Put(Opcode(TInstructionKind::TimerCompare));
        Put(Low(index));
        Put(CompareTimer + (Is(rel, SubLess) ? RelationLess : RelationGreater));
    } else {
        Put(Opcode(TInstructionKind::TimerCopy, 0, mark));
        Put(Low(index));
    }
    Put(Low(Index(operand)));
    return true;
}

bool TSectionCodeGenerator::Bit(const TLexemeContainer &s)
{
    const TLexeme &var = s.Get(2);
    // The item carries the first three digits of the index.
    const QStringView word = var.Text.left(5);
    const unsigned index = static_cast<unsigned>(VariableIndex(word));
    Put(Opcode(TInstructionKind::Bit));
    Put(VariableClassCode(word, index));
    Put(Low(index));
    return true;
}

bool TSectionCodeGenerator::Text(const TLexemeContainer &s)
{
    const std::uint8_t mark = MarkOf(s.Get(0));
    const int k = mark ? 1 : 0;
    const QStringView word = s.Get(k).Text; // ТС1.0.1
    const TLexeme &textLexeme = s.Get(k + 1);
    std::uint8_t flags = 0;
    if (word.size() >= 7) {
        flags = static_cast<std::uint8_t>((word[2] == u'1' ? 4 : 0) | (word[4] == u'1' ? 2 : 0) |
                                          (word[6] == u'1' ? 1 : 0));
    }
    TBytes &bytes = Bytes;
    bytes.clear();
    if (const qsizetype bad = TextBytes(textLexeme.Text, bytes); bad >= 0) {
        TLexeme at = textLexeme;
        at.Column += static_cast<int>(bad);
        Report(at, CompilerText::TextFieldError);
        return false;
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
    Put(Opcode(TInstructionKind::Text, 0, mark));
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
    const TLexeme &head = raw.Get(first);
    int a = first;
    while (a < raw.Count() && raw.At(a).Code != LxAlgorithm)
        ++a;
    const int n = OctalValue(raw.Get(a).Text.mid(Keyword::Algorithm.size()));
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
    TBytes &bytes = Bytes;
    bytes.clear();
    bytes.push_back(Opcode(TInstructionKind::Call, 0, MarkOf(head)));
    bytes.push_back(Low(2ll * n));
    bytes.push_back(alg->PrpMemory);
    if (alg->OwnMemory != 0) {
        bytes.push_back(AlgAddressLow(address));
        bytes.push_back(AlgAddressHigh(address));
    }
    int k = a + 1;
    for (int i = 1; i <= alg->ParamCount && i <= TAlgInfo::MaxParams; ++i) {
        for (int skipped : {LxLineNumber, LxParamName, LxEquals})
            if (raw.Get(k).Code == skipped)
                ++k;
        const TLexeme &value = raw.Get(k++);
        const int kind = alg->Params[i].Kind;
        if (kind < KindOnOff || kind > AlgParamKindCount) {
            // A kind the generator does not know: the base is at fault, not the text.
            Report(head, CompilerText::UnknownParamKindBegin + QString::number(i) +
                             CompilerText::UnknownParamKindAlgorithm + OctalText(n, 3) +
                             CompilerText::UnknownParamKindType + QString::number(kind));
            return false;
        }
        if (!Param(head, kind, value, raw, k, bytes))
            return false;
    }
    // The call is exactly as long as the base says; bytes the parameters leave are 0.
    const int length = alg->PrpMemory + 3;
    for (int i = 0; i < length; ++i)
        Put(i < static_cast<int>(bytes.size()) ? bytes[static_cast<std::size_t>(i)] : 0);
    return true;
}

bool TSectionCodeGenerator::Param(const TLexeme &head, int kind, const TLexeme &value,
                                  const TLexemeContainer &raw, int &k, TBytes &bytes)
{
    switch (kind) {
    case KindOnOff:
        return OnOffParam(head, value, bytes);
    case KindLogic:
    case KindDiscreteIn:
    case KindDiscreteOut:
        return DiscreteParam(kind, value, bytes);
    case KindAnalogIn:
        return AnalogInParam(value, raw, k, bytes);
    default:
        if (kSimpleEncoders[kind - KindAnalogOut](value, bytes))
            return true;
        Messages.append(CompilerText::BadParamInLine + QString::number(value.Line));
        return false;
    }
}

bool TSectionCodeGenerator::OnOffParam(const TLexeme &head, const TLexeme &value, TBytes &bytes)
{
    if (value.Code != LxOnOff) {
        Report(head, CompilerText::MustBeOnOff);
        return false;
    }
    bytes.insert(bytes.end(), {Is(value, SubOn) ? ParamOn : ParamOff, 0x00});
    return true;
}

bool TSectionCodeGenerator::DiscreteParam(int kind, const TLexeme &value, TBytes &bytes)
{
    if (kind == KindLogic && value.Code == LxOnOff) {
        bytes.insert(bytes.end(), {Is(value, SubOn) ? ParamOn : ParamOff, 0x00});
        return true;
    }
    if (kind != KindLogic && value.Code == LxOnOff) {
        Report(value, CompilerText::BadParamNoPoint);
        return false;
    }
    if (value.Code != LxDiscrete && value.Code != LxTimer) {
        Report(value, CompilerText::BadParamPoint);
        return false;
    }
    if (kind == KindDiscreteOut && Is(value, SubVD)) {
        Report(value, CompilerText::BadOutputParam);
        return false;
    }
    // The reference byte of a ВД has no second code: ВД400 and above would pass ВД000 on.
    if (Is(value, SubVD) && Index(value) > 0377) {
        Report(value, CompilerText::BadParamPoint);
        return false;
    }
    DiscreteReference(value, bytes);
    if (kind == KindDiscreteOut)
        OutputTail(value, bytes);
    return true;
}

bool TSectionCodeGenerator::AnalogInParam(const TLexeme &value, const TLexemeContainer &raw, int &k,
                                          TBytes &bytes)
{
    if (value.Code != LxSign) {
        const TLexeme &after = raw.Get(k);
        Messages.append(PositionTag(SectionNumber, value.Line, after.Column) +
                        CompilerText::SignRequired);
        return false;
    }
    const TLexeme &operand = raw.Get(k++);
    const bool minus = Is(value, SubMinus);
    if (operand.Code == LxInteger) {
        if (ConstantTermBytes(minus, operand, bytes))
            return true;
        Report(operand, CompilerText::BadConstant);
        return false;
    }
    if (operand.Code == LxAnalog) {
        VariableTermBytes(minus, operand, bytes);
        return true;
    }
    Messages.append(CompilerText::BadParamInLine + QString::number(operand.Line));
    return false;
}

void FinishBlock(TZentorSection &section)
{
    const int length = section.CodeLength;
    section.Code[0] = Low(length);
    section.Code[1] = Low(length);
    section.Code[PrpLayout::BlockSumOffset] = BlockChecksumByte(section.Code, length);
    section.Code[length] = 0;
    section.CodeLength = length + 1;
}
