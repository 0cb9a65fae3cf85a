#include "compiler/instructiondecoder.h"

#include "compiler/algbase.h"
#include "compiler/algmemory.h"
#include "model/zentorprogram.h"
#include "prp/variableclass.h"

#include <algorithm>

namespace {

using namespace Instruction;

static_assert(std::size(SwitchClasses) == TestVariants);

TCodedVariable Coded(TVariableClassCode code, int byte)
{
    return {static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(byte & 0xFF)};
}

// A discrete reference of a parameter (kinds 2, 3, 4): class 0 for a reference byte the
// kind does not accept. ТМ and КБ carry their index plus a base in the low byte.
TCodedVariable Reference(std::uint8_t lo, std::uint8_t hi, bool inputs)
{
    for (const TReference &r : References) {
        if (r.High != hi)
            continue;
        if (r.Class == ClassVD && !inputs)
            return TCodedVariable();
        return Coded(r.Class, lo - static_cast<int>(r.LowBase));
    }
    return TCodedVariable();
}

class TBlockDecoder
{
public:
    TBlockDecoder(const std::uint8_t *code, int codeLength, const TAlgBase *base)
        : Code(code), Limit(std::max(codeLength, 0) - 1), Base(base)
    {
    }

    TDecodedBlock Run()
    {
        TDecodedBlock block;
        int pos = BlockHeaderLength;
        while (pos < Limit) {
            const std::uint8_t op = Code[pos];
            if (op == 0)
                break;
            const TOpcodeInfo info = Opcodes[op];
            if (info.Kind == TInstructionKind::Unknown) {
                block.End = TDecodedBlock::Unknown;
                block.EndOffset = pos;
                block.EndOpcode = op;
                return block;
            }
            const int length = Measure(pos, ShapeOfKind(info.Kind));
            if (length < 0) {
                block.End = TDecodedBlock::Truncated;
                block.EndOffset = pos;
                return block;
            }
            TInstruction x;
            x.Offset = pos;
            x.Length = length;
            x.Opcode = op;
            x.Kind = info.Kind;
            x.Mark = info.Mark;
            Pos = pos;
            Decode(x, info.Offset);
            block.Instructions.push_back(std::move(x));
            pos += length;
        }
        return block;
    }

private:
    const std::uint8_t *Code;
    // Instructions end before the block's last byte, its terminator.
    const int Limit;
    const TAlgBase *Base;
    int Pos = 0;

    std::uint8_t At(int i) const { return Code[Pos + i]; }

    // The instruction's length, or -1 when it does not lie wholly inside the block.
    int Measure(int pos, const TInstructionShape &shape) const
    {
        if (pos + shape.HeadLength > Limit)
            return -1;
        const int b2 = shape.HeadLength > 2 ? Code[pos + 2] : 0;
        int length = shape.HeadLength;
        switch (shape.Rule) {
        case TLengthRule::Fixed:
            break;
        case TLengthRule::SumTerms:
            length = 3 + 2 * b2;
            break;
        case TLengthRule::CompareTerms:
            length = 3 + 2 * (b2 & 0x0F);
            break;
        case TLengthRule::TimerOperand:
            length = b2 >= CompareTimer ? 4 : 6;
            break;
        case TLengthRule::TextBytes:
            length = 4 + b2 + 1;
            break;
        case TLengthRule::CallLength:
            length = 3 + b2;
            break;
        }
        return pos + length > Limit ? -1 : length;
    }

    void Terms(TInstruction &x, int first, int count) const
    {
        x.Terms.reserve(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k)
            x.Terms.push_back(DecodeTerm(At(first + 2 * k), At(first + 2 * k + 1)));
    }

    void Decode(TInstruction &x, int offset)
    {
        switch (x.Kind) {
        case TInstructionKind::Off:
        case TInstructionKind::On:
        case TInstructionKind::TestOff:
        case TInstructionKind::TestOn:
            x.Variable = Coded(SwitchClasses[offset / 2], At(1));
            break;
        case TInstructionKind::AnalogSum:
            x.Variable = Coded(ClassAV, At(1) / 2);
            Terms(x, 3, At(2));
            break;
        case TInstructionKind::TimerSet:
            x.Variable = Coded(ClassTM, At(1));
            x.Seconds = At(2);
            x.Minutes = At(3);
            x.Hours = At(4);
            break;
        case TInstructionKind::TimerCopy:
            x.Variable = Coded(ClassTM, At(1));
            x.OtherTimer = true;
            x.Timer2 = At(2);
            break;
        case TInstructionKind::Text:
            x.TextFlags = At(1);
            TextItems(x, Pos + 4, Pos + x.Length);
            break;
        case TInstructionKind::Call:
            Call(x);
            break;
        case TInstructionKind::Bit:
            x.Variable = {At(1), At(2)};
            break;
        case TInstructionKind::AnalogCompare:
            AnalogCompare(x);
            break;
        case TInstructionKind::TimerCompare:
            TimerCompare(x);
            break;
        default: // ВСК, ИЛИ and the parentheses carry nothing more
            break;
        }
    }

    void AnalogCompare(TInstruction &x) const
    {
        const int r = At(2);
        const int high = r >> 4;
        TVariableClassCode cls = ClassNone;
        if (high == 0x0 || high == 0x2 || high == 0x4)
            cls = ClassVA;
        else if (high == 0x8 || high == 0xA || high == 0xC)
            cls = ClassAV;
        x.Variable = Coded(cls, At(1) / 2);
        if (high == 0x0 || high == 0x8)
            x.Relation = TRelation::Equal;
        else if (high == 0x2 || high == 0xA)
            x.Relation = TRelation::Greater;
        else if (high == 0x4 || high == 0xC)
            x.Relation = TRelation::Less;
        Terms(x, 3, r & 0x0F);
    }

    void TimerCompare(TInstruction &x) const
    {
        const int r = At(2);
        x.Variable = Coded(ClassTM, At(1));
        const int relation = r & ~CompareTimer;
        if (relation == RelationEqual)
            x.Relation = TRelation::Equal;
        else if (relation == RelationGreater)
            x.Relation = TRelation::Greater;
        else if (relation == RelationLess)
            x.Relation = TRelation::Less;
        x.OtherTimer = r >= CompareTimer;
        if (x.OtherTimer) {
            x.Timer2 = At(3);
        } else {
            x.Seconds = At(3);
            x.Minutes = At(4);
            x.Hours = At(5);
        }
    }

    // The items of a ТС text, bytes [begin, end) of the code. A variable or format whose
    // bytes the text does not hold ends it.
    void TextItems(TInstruction &x, int begin, int end) const
    {
        bool field = false;
        int i = begin;
        while (i < end) {
            const std::uint8_t c = Code[i];
            TTextItem item;
            item.Byte = c;
            if (c == TextField) {
                item.Kind = TTextItem::Field;
                field = !field;
                ++i;
            } else if (c == TextStar) {
                item.Kind = TTextItem::Star;
                ++i;
            } else if (field && c == TextVariable) {
                if (i + 2 >= end)
                    break;
                item.Kind = TTextItem::InField;
                item.Variable = {Code[i + 1], Code[i + 2]};
                i += 3;
            } else if (field && c == TextNumber) {
                if (i + 1 >= end)
                    break;
                item.Kind = TTextItem::Format;
                item.Byte = Code[i + 1];
                i += 2;
            } else {
                item.Kind = field ? TTextItem::Skipped : TTextItem::Character;
                ++i;
            }
            x.TextItems.push_back(item);
        }
    }

    // A call: its length byte P says where the next instruction starts; the parameters are
    // read by their kinds from the algorithm base, inside the call only.
    void Call(TInstruction &x) const
    {
        x.Algorithm = At(1) / 2;
        x.Bytes.assign(Code + Pos, Code + Pos + x.Length);
        x.Alg = Base ? Base->Find(x.Algorithm) : nullptr;
        if (!x.Alg)
            return;
        int q = 3;
        if (x.Alg->OwnMemory != 0) {
            q = 5;
            if (x.Length >= 5) {
                x.HasAddress = true;
                x.Address = AlgAddress(At(3), At(4));
            }
        }
        const int count = std::min<int>(x.Alg->ParamCount, TAlgInfo::MaxParams);
        for (int p = 1; p <= count; ++p)
            x.Params.push_back(Param(x, x.Alg->Params[p].Kind, q));
    }

    // One parameter at offset q of the call (q moves past its bytes).
    TCallParam Param(const TInstruction &x, std::uint8_t kind, int &q) const
    {
        TCallParam p;
        p.Kind = kind;
        const int size = AlgParamKindInfo(kind).CallBytes;
        if (size == 0)
            return p; // a kind without bytes: the next parameter reads the same ones
        if (q + size > x.Length) {
            q = x.Length;
            return p;
        }
        p.Present = true;
        p.Lo = At(q);
        p.Hi = size > 1 ? At(q + 1) : 0;
        q += size;
        switch (kind) {
        case KindOnOff:
            p.IsOnOff = true;
            p.On = p.Lo == ParamOn;
            break;
        case KindLogic:
            if (p.Hi == 0x00) {
                p.IsOnOff = true;
                p.On = p.Lo == ParamOn;
            } else {
                p.Variable = Reference(p.Lo, p.Hi, true);
            }
            break;
        case KindDiscreteIn:
            p.Variable = Reference(p.Lo, p.Hi, true);
            break;
        case KindDiscreteOut:
            p.Variable = Reference(p.Lo, p.Hi, false);
            break;
        case KindAnalogIn:
            p.Term = DecodeTerm(p.Lo, p.Hi);
            break;
        case KindAnalogOut:
            p.Variable = Coded(ClassAV, p.Lo / 2);
            break;
        case KindTimer:
            p.Variable = Coded(ClassTM, p.Lo / 3);
            break;
        default: // constants, times and coefficients keep their bytes
            break;
        }
        return p;
    }
};

} // namespace

int TCodedVariable::Index() const
{
    return ClassIndex(Class, Byte);
}

TAnalogTerm DecodeTerm(std::uint8_t low, std::uint8_t high)
{
    TAnalogTerm t;
    t.Low = low;
    t.High = high;
    switch (high) {
    case TermPlusVA:
    case TermMinusVA:
        t.Kind = TAnalogTerm::VA;
        break;
    case TermPlusAV:
    case TermMinusAV:
        t.Kind = TAnalogTerm::AV;
        break;
    default: {
        const int w = low | (high << 8);
        t.Value = (w < 32768 ? w : w - 65536) / 2; // truncated toward zero
        t.Minus = w >= 32768;
        t.Odd = (w & 1) != 0;
        return t;
    }
    }
    t.Minus = high == TermMinusVA || high == TermMinusAV;
    t.Index = low / 2;
    return t;
}

TDecodedBlock DecodeBlock(const std::uint8_t *code, int codeLength, const TAlgBase *base)
{
    return TBlockDecoder(code, codeLength, base).Run();
}

TDecodedBlock DecodeBlock(const TZentorSection &section, const TAlgBase *base)
{
    constexpr int size = static_cast<int>(sizeof(section.Code));
    return DecodeBlock(section.Code, std::clamp(section.CodeLength, 0, size), base);
}
