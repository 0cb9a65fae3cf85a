// The instruction decoder: every instruction of the compiler's blocks for generated sections
// is written back from its decoded fields alone (an encoder of this test's own, from the
// instruction shapes and the byte layout) and gives the block's bytes again.

#include "compilertest.h"
#include "programgenerator.h"

#include "compiler/algbase.h"
#include "compiler/algmemory.h"
#include "compiler/instructiondecoder.h"
#include "prp/variableclass.h"

namespace {

using namespace Instruction;

std::uint8_t Low(int v)
{
    return static_cast<std::uint8_t>(v & 0xFF);
}

// The class offset of a switch or test by its variable's class code.
std::uint8_t OffsetOf(std::uint8_t cls)
{
    switch (cls) {
    case ClassDV:
        return SwitchDV;
    case ClassDVHigh:
        return SwitchDVHigh;
    case ClassKB:
        return SwitchKB;
    case ClassKS:
        return SwitchKS;
    case ClassTM:
        return SwitchTM;
    case ClassVD:
        return SwitchVD;
    default:
        return SwitchVDHigh;
    }
}

void Term(const TAnalogTerm &t, TByteList &b)
{
    if (t.Kind == TAnalogTerm::Constant) {
        const int word = (2 * t.Value) & 0xFFFF;
        b.insert(b.end(), {word & 0xFF, word >> 8});
        return;
    }
    const bool av = t.Kind == TAnalogTerm::AV;
    b.insert(b.end(), {2 * t.Index, t.Minus ? (av ? TermMinusAV : TermMinusVA)
                                            : (av ? TermPlusAV : TermPlusVA)});
}

void Reference(const TCodedVariable &v, TByteList &b)
{
    switch (v.Class) {
    case ClassDV:
        b.insert(b.end(), {v.Byte, RefDV});
        break;
    case ClassDVHigh:
        b.insert(b.end(), {v.Byte, RefDVHigh});
        break;
    case ClassVD:
        b.insert(b.end(), {v.Byte, RefVD});
        break;
    case ClassKS:
        b.insert(b.end(), {v.Byte, RefKS});
        break;
    case ClassTM:
        b.insert(b.end(), {Low(v.Byte + RefTMBase), RefTM});
        break;
    default:
        b.insert(b.end(), {Low(v.Byte + RefKBBase), RefKB});
        break;
    }
}

void Param(const TCallParam &p, TByteList &b)
{
    switch (p.Kind) {
    case KindOnOff:
    case KindLogic:
    case KindDiscreteIn:
        if (p.IsOnOff)
            b.insert(b.end(), {p.On ? ParamOn : ParamOff, 0});
        else
            Reference(p.Variable, b);
        break;
    case KindDiscreteOut: {
        Reference(p.Variable, b);
        const std::uint8_t *tail = TailKB;
        int index = p.Variable.Byte + static_cast<int>(TailKBBase);
        if (FirstClassCode(p.Variable.Class) == ClassDV) {
            tail = TailDV;
            index = p.Variable.Byte;
        } else if (p.Variable.Class == ClassKS) {
            tail = TailKS;
            index = p.Variable.Byte;
        } else if (p.Variable.Class == ClassTM) {
            tail = TailTM;
            index = p.Variable.Byte;
        }
        b.push_back(Low(index));
        b.insert(b.end(), tail, tail + 3);
        break;
    }
    case KindAnalogIn:
        Term(p.Term, b);
        break;
    case KindAnalogOut:
        b.insert(b.end(), {Low(2 * p.Variable.Byte), RefAnalog});
        break;
    case KindTimer:
        b.insert(b.end(), {Low(3 * p.Variable.Byte), RefTM});
        break;
    default: // constants, times, coefficients: their bytes are their value
        b.push_back(p.Lo);
        if (AlgParamKindInfo(p.Kind).CallBytes > 1)
            b.push_back(p.Hi);
        break;
    }
}

std::uint8_t RelationBits(TRelation r)
{
    return r == TRelation::Greater ? RelationGreater
           : r == TRelation::Less  ? RelationLess
                                   : RelationEqual;
}

TByteList Encode(const TInstruction &x)
{
    const bool variant = x.Kind == TInstructionKind::Off || x.Kind == TInstructionKind::On ||
                         x.Kind == TInstructionKind::TestOff || x.Kind == TInstructionKind::TestOn;
    TByteList b{Opcode(x.Kind, variant ? OffsetOf(x.Variable.Class) : 0, x.Mark)};
    switch (x.Kind) {
    case TInstructionKind::Off:
    case TInstructionKind::On:
    case TInstructionKind::TestOff:
    case TInstructionKind::TestOn:
        b.push_back(x.Variable.Byte);
        break;
    case TInstructionKind::AnalogSum:
    case TInstructionKind::AnalogCompare: {
        const bool compare = x.Kind == TInstructionKind::AnalogCompare;
        b.push_back(Low(2 * x.Variable.Byte));
        b.push_back(
            Low((compare ? (x.Variable.Class == ClassAV ? CompareAV : 0) + RelationBits(x.Relation)
                         : 0) +
                static_cast<int>(x.Terms.size())));
        for (const TAnalogTerm &t : x.Terms)
            Term(t, b);
        break;
    }
    case TInstructionKind::TimerSet:
        b.insert(b.end(), {x.Variable.Byte, x.Seconds, x.Minutes, x.Hours});
        break;
    case TInstructionKind::TimerCopy:
        b.insert(b.end(), {x.Variable.Byte, x.Timer2});
        break;
    case TInstructionKind::TimerCompare:
        b.insert(b.end(),
                 {x.Variable.Byte, (x.OtherTimer ? CompareTimer : 0) + RelationBits(x.Relation)});
        if (x.OtherTimer)
            b.push_back(x.Timer2);
        else
            b.insert(b.end(), {x.Seconds, x.Minutes, x.Hours});
        break;
    case TInstructionKind::Text: {
        TByteList text;
        for (const TTextItem &item : x.TextItems) {
            switch (item.Kind) {
            case TTextItem::Star:
                text.push_back(TextStar);
                break;
            case TTextItem::Field:
                text.push_back(TextField);
                break;
            case TTextItem::InField:
                text.insert(text.end(), {TextVariable, item.Variable.Class, item.Variable.Byte});
                break;
            case TTextItem::Format:
                text.insert(text.end(), {TextNumber, item.Byte});
                break;
            default:
                text.push_back(item.Byte);
                break;
            }
        }
        const int n = static_cast<int>(text.size());
        b.insert(b.end(), {x.TextFlags, n - 1, n - 1});
        b.insert(b.end(), text.begin(), text.end());
        break;
    }
    case TInstructionKind::Call: {
        b.insert(b.end(), {Low(2 * x.Algorithm), x.Alg->PrpMemory});
        if (x.HasAddress)
            b.insert(b.end(), {AlgAddressLow(x.Address), AlgAddressHigh(x.Address)});
        for (const TCallParam &p : x.Params)
            Param(p, b);
        b.resize(static_cast<std::size_t>(x.Alg->PrpMemory) + 3, 0);
        break;
    }
    case TInstructionKind::Bit:
        b.insert(b.end(), {x.Variable.Class, x.Variable.Byte});
        break;
    default: // ВСК, ИЛИ, parentheses
        break;
    }
    return b;
}

} // namespace

class DecoderTest : public CompilerTest
{
};

TEST_F(DecoderTest, EveryInstructionWritesBackToItsBytes)
{
    TAlgBase demoBase;
    ASSERT_TRUE(demoBase.LoadFromFile(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg")));
    int instructions = 0;
    std::vector<int> kinds(static_cast<std::size_t>(TInstructionKind::Close) + 1, 0);
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const TAlgBase &base = seed % 2 ? Base : demoBase;
        Compiler.AlgBase = &base;
        TProgramGenerator gen(seed, base);
        QStringList text;
        for (int k = 0, wanted = 1 + gen.Pick(20); k < wanted; ++k) {
            QStringList more = text;
            more.append(gen.Piece());
            Compiler.AlgMemoryUsed = static_cast<int>(seed) * 5;
            if (Compile(more).Result != 0)
                break;
            text = more;
        }
        Compiler.AlgMemoryUsed = static_cast<int>(seed) * 5;
        const TSectionResult r = Compile(text);
        ASSERT_EQ(r.Result, 0);
        const TDecodedBlock block = DecodeBlock(Section, &base);
        ASSERT_EQ(block.End, TDecodedBlock::Complete);
        TByteList again;
        for (const TInstruction &x : block.Instructions) {
            const TByteList bytes = Encode(x);
            EXPECT_EQ(static_cast<int>(bytes.size()), x.Length);
            again.insert(again.end(), bytes.begin(), bytes.end());
            ++kinds[static_cast<std::size_t>(x.Kind)];
        }
        ASSERT_EQ(again, r.Instructions) << "seed " << seed << "\n"
                                         << text.join(u'\n').toStdString();
        instructions += static_cast<int>(block.Instructions.size());
    }
    Compiler.AlgBase = &Base;
    EXPECT_GT(instructions, 4000);
    for (std::size_t k = 1; k < kinds.size(); ++k)
        EXPECT_GT(kinds[k], 0) << "kind " << k;
}
