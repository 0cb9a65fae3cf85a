#include "runtime/runprogram.h"

#include "compiler/algbase.h"
#include "compiler/compilertexts.h"
#include "compiler/decompiler.h"
#include "compiler/statementlines.h"
#include "compiler/zentorcompiler.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/variableclass.h"
#include "runtime/runstate.h"
#include "runtime/runtimetexts.h"

#include <algorithm>
#include <set>

namespace R = RuntimeText;

namespace {

using TStep = TRunProgram::TStep;
using TStepKind = TRunProgram::TStepKind;
using TGuard = TRunProgram::TGuard;
using TLeaf = TRunProgram::TLeaf;
using TLeafKind = TRunProgram::TLeafKind;
using TNode = TRunProgram::TNode;

// The engine's class of a coded variable, with its full index; false for a class it does
// not keep (ИВ, a code that names no class).
bool EngineClass(const TCodedVariable &v, TVarRef &ref)
{
    static constexpr std::pair<TVariableClassCode, TVarClass> kClasses[] = {
        {ClassDV, TVarClass::DV}, {ClassKB, TVarClass::KB}, {ClassKS, TVarClass::KS},
        {ClassTM, TVarClass::TM}, {ClassVD, TVarClass::VD}, {ClassVA, TVarClass::VA},
        {ClassAV, TVarClass::AV}};
    const TVariableClassCode first = FirstClassCode(v.Class);
    for (const auto &[code, c] : kClasses)
        if (code == first) {
            ref = {c, v.Index(), TVarPart::Value};
            return true;
        }
    return false;
}

// The same within the class's range: a variable the engine keeps.
bool EngineVariable(const TCodedVariable &v, TVarRef &ref)
{
    return EngineClass(v, ref) && ref.Index < VarClassSize(ref.Class);
}

// The variable as the language writes it, with all its index's digits; a class the engine
// does not keep as the decompiler writes it.
QString CodedText(const TCodedVariable &v)
{
    TVarRef ref;
    if (EngineClass(v, ref))
        return VarText(ref);
    const QString text = ClassVariableText(v.Class, v.Byte, TIndexUse::Item);
    return text.isEmpty() ? R::UnknownClass(v.Class, v.Byte) : text;
}

// The variables of the model an instruction names, each once.
std::vector<TVarRef> InstructionVariables(const TInstruction &x)
{
    std::vector<TVarRef> vars;
    auto add = [&](const TCodedVariable &v, TVarPart part = TVarPart::Value) {
        TVarRef ref;
        if (!EngineVariable(v, ref))
            return;
        ref.Part = part;
        if (std::find(vars.begin(), vars.end(), ref) == vars.end())
            vars.push_back(ref);
    };
    auto timer = [&](int t) { add({ClassTM, static_cast<std::uint8_t>(t)}, TVarPart::Time); };
    auto terms = [&](const std::vector<TAnalogTerm> &ts) {
        for (const TAnalogTerm &t : ts)
            if (t.Kind != TAnalogTerm::Constant)
                add({static_cast<std::uint8_t>(t.Kind == TAnalogTerm::VA ? ClassVA : ClassAV),
                     static_cast<std::uint8_t>(t.Index)});
    };
    switch (x.Kind) {
    case TInstructionKind::TimerSet:
    case TInstructionKind::TimerCopy:
    case TInstructionKind::TimerCompare:
        timer(x.Variable.Byte);
        if (x.OtherTimer)
            timer(x.Timer2);
        break;
    case TInstructionKind::Bit:
        add(x.Variable, TVarPart::Bad);
        break;
    case TInstructionKind::Text:
        for (const TTextItem &item : x.TextItems)
            if (item.Kind == TTextItem::InField)
                add(item.Variable);
        break;
    case TInstructionKind::Call:
        for (const TCallParam &p : x.Params) {
            if (p.Present && p.Kind == KindAnalogIn)
                terms({p.Term});
            else if (p.Present && p.Kind == KindTimer)
                timer(p.Variable.Byte);
            else if (p.Present)
                add(p.Variable);
        }
        break;
    default:
        add(x.Variable);
        terms(x.Terms);
        break;
    }
    return vars;
}

bool IsConditionItem(TInstructionKind k)
{
    return k >= TInstructionKind::TestOff && k <= TInstructionKind::Close;
}

bool IsLeaf(TInstructionKind k)
{
    return k >= TInstructionKind::TestOff && k <= TInstructionKind::TimerCompare;
}

bool OutsideClock(int minutes, int seconds)
{
    return minutes > 59 || seconds > 59;
}

} // namespace

QString TInstructionPlace::Where() const
{
    const QString s = SectionNumberText(Section);
    return Line >= 0 ? R::LinePlace(s, Line) : R::OffsetPlace(s, Offset);
}

// Turns decoded sections into the steps of a TRunProgram and notes what the run must say.
class TProgramBuilder
{
public:
    TProgramBuilder(TRunProgram &program, const TAlgBase *base) : P(program), Base(base) {}

    void Section(const TZentorSection &section, int n, const std::vector<TStatementPlace> *lines)
    {
        const TDecodedBlock block = DecodeBlock(section, Base);
        First = static_cast<int>(P.InstructionPlaces.size());
        X = &block.Instructions;
        for (const TInstruction &x : block.Instructions) {
            TInstructionPlace place;
            place.Section = n;
            place.Offset = x.Offset;
            place.Line = lines ? PlaceOf(*lines, x.Offset).First : -1;
            place.Text = InstructionText(x).value(0);
            place.Variables = InstructionVariables(x);
            P.InstructionPlaces.push_back(place);
        }
        std::vector<int> items;
        bool group = false;
        bool groupValid = false;
        for (int i = 0; i < static_cast<int>(block.Instructions.size()); ++i) {
            const TInstruction &x = block.Instructions[static_cast<std::size_t>(i)];
            if (IsConditionItem(x.Kind)) {
                items.push_back(i);
                continue;
            }
            if (!items.empty()) {
                groupValid = Condition(items);
                items.clear();
                group = true;
            }
            if (x.Mark == 0) {
                Statement(x, First + i, TGuard::Always);
                group = false;
            } else if (!group) {
                NotSimulated(First + i, R::OrphanStatement);
            } else if (groupValid) {
                Statement(x, First + i,
                          x.Mark == Instruction::MarkThen ? TGuard::IfTrue : TGuard::IfFalse);
            }
        }
        if (!items.empty())
            Condition(items);
        const QString where = R::SectionPlace(SectionNumberText(n));
        if (block.End == TDecodedBlock::Truncated)
            Lines.push_back(where + R::BlockTruncated(block.EndOffset));
        else if (block.End == TDecodedBlock::Unknown)
            Lines.push_back(
                where + R::BlockUnknownCode(
                            QStringLiteral("%1").arg(block.EndOpcode, 2, 16, QChar(u'0')).toUpper(),
                            block.EndOffset));
    }

    void Finish()
    {
        QStringList &a = P.AssumptionLines;
        a = {R::AssumeOrder, R::AssumeStart};
        if (UsedAnd)
            a.append(R::AssumeAnd);
        if (UsedAndOr)
            a.append(R::AssumeAndOr);
        if (Sums)
            a.append(R::AssumeSaturation);
        if (Compares)
            a.append(R::AssumeExactCompare);
        if (TimeFields)
            a.append(R::AssumeTimeFields);
        if (OddConstants)
            a.append(R::AssumeOddConstant);
        if (TimerEqual)
            a.append(R::AssumeTimerEqual);

        QStringList &n = P.NotSimulatedLines;
        n.clear();
        if (Timers)
            n.append(R::TimersDoNotRun);
        if (Calls > 0) {
            QStringList names;
            for (int alg : Algorithms)
                names.append(Keyword::Algorithm + OctalText(alg, 3));
            n.append(R::CallsChangeNothing(names.join(QStringLiteral(", ")), Calls));
        }
        if (BadBits)
            n.append(R::BadBitsByUser);
        if (Skips)
            n.append(R::SkipHasNoEffect);
        if (Texts)
            n.append(R::TextsLogged);
        n.append(Lines);
    }

private:
    TRunProgram &P;
    const TAlgBase *Base;
    const std::vector<TInstruction> *X = nullptr;
    int First = 0; // the place of the section's first instruction
    QStringList Lines;
    bool UsedAnd = false, UsedAndOr = false, Sums = false, Compares = false, TimeFields = false,
         OddConstants = false, TimerEqual = false, Timers = false, BadBits = false, Skips = false,
         Texts = false;
    int Calls = 0;
    std::set<int> Algorithms;

    void NotSimulated(int place, const QString &reason)
    {
        Lines.push_back(P.InstructionPlaces[static_cast<std::size_t>(place)].Where() + reason);
    }

    // The engine's variable of an instruction, or the reason it has none.
    bool Variable(const TCodedVariable &v, int place, TVarRef &ref)
    {
        if (EngineVariable(v, ref)) {
            Timers = Timers || ref.Class == TVarClass::TM;
            return true;
        }
        NotSimulated(place, R::VariableOutside(CodedText(v)));
        return false;
    }
    bool Timer(int timer, int place)
    {
        TVarRef ref;
        return Variable({ClassTM, static_cast<std::uint8_t>(timer)}, place, ref);
    }

    // The terms of a sum or comparison.
    std::pair<int, int> Terms(const std::vector<TAnalogTerm> &terms)
    {
        const int first = static_cast<int>(P.Terms.size());
        for (const TAnalogTerm &t : terms) {
            TRunProgram::TTerm term;
            if (t.Kind == TAnalogTerm::Constant) {
                term.Constant = t.Value;
                OddConstants = OddConstants || t.Odd;
            } else {
                term.Slot = TRunState::SlotOf(
                    t.Kind == TAnalogTerm::VA ? TVarClass::VA : TVarClass::AV, t.Index);
                term.Sign = t.Minus ? -1 : 1;
            }
            P.Terms.push_back(term);
        }
        return {first, static_cast<int>(terms.size())};
    }

    void Statement(const TInstruction &x, int place, TGuard guard)
    {
        TStep step;
        step.Guard = guard;
        step.Place = place;
        TVarRef ref;
        switch (x.Kind) {
        case TInstructionKind::Off:
        case TInstructionKind::On:
            if (!Variable(x.Variable, place, ref))
                return;
            step.Kind = TStepKind::SetBit;
            step.A = TRunState::SlotOf(ref.Class, ref.Index);
            step.B = x.Kind == TInstructionKind::On ? 1 : 0;
            break;
        case TInstructionKind::AnalogSum: {
            Sums = true;
            step.Kind = TStepKind::Sum;
            step.A = TRunState::SlotOf(TVarClass::AV, x.Variable.Byte);
            std::tie(step.B, step.C) = Terms(x.Terms);
            break;
        }
        case TInstructionKind::TimerSet:
            if (!Timer(x.Variable.Byte, place))
                return;
            TimeFields = TimeFields || OutsideClock(x.Minutes, x.Seconds);
            step.Kind = TStepKind::SetTime;
            step.A = x.Variable.Byte;
            step.B = PackTime(x.Hours, x.Minutes, x.Seconds);
            break;
        case TInstructionKind::TimerCopy:
            if (!Timer(x.Variable.Byte, place) || !Timer(x.Timer2, place))
                return;
            step.Kind = TStepKind::CopyTime;
            step.A = x.Variable.Byte;
            step.B = x.Timer2;
            break;
        case TInstructionKind::Text:
            Texts = true;
            step.Kind = TStepKind::Text;
            step.B = Text(x);
            break;
        case TInstructionKind::Skip:
            Skips = true;
            break;
        case TInstructionKind::Call:
            Call(x, place);
            break;
        default:
            return;
        }
        P.Steps.push_back(step);
    }

    int Text(const TInstruction &x)
    {
        TRunProgram::TText text;
        const QStringList lines = InstructionText(x, false);
        text.Line = lines.value(0) + u' ' + lines.value(1);
        for (const TTextItem &item : x.TextItems) {
            if (item.Kind != TTextItem::InField)
                continue;
            TRunProgram::TTextField field;
            field.Variable =
                ClassVariableText(item.Variable.Class, item.Variable.Byte, TIndexUse::Field);
            field.InState = EngineVariable(item.Variable, field.Ref);
            Timers = Timers || (field.InState && field.Ref.Class == TVarClass::TM);
            text.Fields.push_back(field);
        }
        P.Texts.push_back(text);
        return static_cast<int>(P.Texts.size()) - 1;
    }

    void Call(const TInstruction &x, int place)
    {
        ++Calls;
        Algorithms.insert(x.Algorithm);
        if (!x.Alg) {
            NotSimulated(place, R::UnknownAlgorithm);
            return;
        }
        for (const TCallParam &p : x.Params) {
            TAlgorithmOutput out;
            if (!p.Present || !EngineClass(p.Variable, out.Ref))
                continue;
            out.InState = out.Ref.Index < VarClassSize(out.Ref.Class);
            Timers = Timers || out.Ref.Class == TVarClass::TM;
            if (p.Kind != KindDiscreteOut && p.Kind != KindAnalogOut && p.Kind != KindTimer)
                continue;
            out.Variable = VarText(out.Ref);
            out.Algorithm = x.Algorithm;
            out.Place = place;
            P.Outputs.push_back(out);
        }
    }

    // A condition: its items in postfix order as one step. False, with the reasons noted,
    // when it cannot be computed: the statements of its group are then not executed.
    bool Condition(const std::vector<int> &items)
    {
        const std::size_t leaves = P.Leaves.size();
        const std::size_t nodes = P.Nodes.size();
        const int first = First + items.front();
        TParse parse{*this, items};
        const bool ok = parse.Or() && parse.Pos == items.size();
        if (!ok) {
            if (!parse.LeafFailed)
                NotSimulated(first, R::MalformedCondition);
            NotSimulated(first, R::UndefinedCondition);
            P.Leaves.resize(leaves);
            P.Nodes.resize(nodes);
            return false;
        }
        UsedAnd = UsedAnd || parse.Ands > 0;
        UsedAndOr = UsedAndOr || (parse.Ands > 0 && parse.Ors > 0);
        TStep step;
        step.Kind = TStepKind::Condition;
        step.Place = first;
        step.A = static_cast<int>(items.size());
        step.B = static_cast<int>(nodes);
        step.C = static_cast<int>(P.Nodes.size() - nodes);
        P.Steps.push_back(step);
        return true;
    }

    // The condition's grammar: an И-sequence of terms joined by ИЛИ; a term is a primary or
    // a condition in parentheses.
    struct TParse
    {
        TProgramBuilder &B;
        const std::vector<int> &Items;
        std::size_t Pos = 0;
        bool LeafFailed = false;
        int Ands = 0;
        int Ors = 0;

        TInstructionKind Peek() const
        {
            return Pos < Items.size() ? B.Item(Items[Pos]).Kind : TInstructionKind::Unknown;
        }
        void Emit(TNode::TOp op, int leaf = 0) { B.P.Nodes.push_back({op, leaf}); }
        bool Or()
        {
            if (!And())
                return false;
            while (Peek() == TInstructionKind::Or) {
                ++Pos;
                if (!And())
                    return false;
                Emit(TNode::Or);
                ++Ors;
            }
            return true;
        }
        bool And()
        {
            if (!Term())
                return false;
            while (IsLeaf(Peek()) || Peek() == TInstructionKind::Open) {
                if (!Term())
                    return false;
                Emit(TNode::And);
                ++Ands;
            }
            return true;
        }
        bool Term()
        {
            const TInstructionKind k = Peek();
            if (k == TInstructionKind::Open) {
                ++Pos;
                if (!Or() || Peek() != TInstructionKind::Close)
                    return false;
                ++Pos;
                return true;
            }
            if (!IsLeaf(k))
                return false;
            const int i = Items[Pos++];
            const int leaf = B.Leaf(B.Item(i), B.First + i);
            if (leaf < 0) {
                LeafFailed = true;
                return false;
            }
            Emit(TNode::Leaf, leaf);
            return true;
        }
    };

    const TInstruction &Item(int i) const { return (*X)[static_cast<std::size_t>(i)]; }

    // One primary of a condition; -1 when it cannot be computed (the reason noted).
    int Leaf(const TInstruction &x, int place)
    {
        TLeaf leaf;
        leaf.Place = place;
        leaf.Relation = x.Relation;
        TVarRef ref;
        switch (x.Kind) {
        case TInstructionKind::TestOn:
        case TInstructionKind::TestOff:
            if (!Variable(x.Variable, place, ref))
                return -1;
            leaf.Kind = x.Kind == TInstructionKind::TestOn ? TLeafKind::On : TLeafKind::Off;
            leaf.Slot = TRunState::SlotOf(ref.Class, ref.Index);
            break;
        case TInstructionKind::Bit:
            if (!Variable(x.Variable, place, ref))
                return -1;
            BadBits = true;
            leaf.Kind = TLeafKind::Bad;
            leaf.Slot = TRunState::SlotOf(ref.Class, ref.Index);
            break;
        case TInstructionKind::AnalogCompare:
            if (x.Variable.Class == ClassNone || x.Relation == TRelation::None) {
                NotSimulated(place, R::UnknownRelation);
                return -1;
            }
            Compares = true;
            leaf.Kind = TLeafKind::Analog;
            leaf.Slot = TRunState::SlotOf(
                x.Variable.Class == ClassVA ? TVarClass::VA : TVarClass::AV, x.Variable.Byte);
            std::tie(leaf.FirstTerm, leaf.TermCount) = Terms(x.Terms);
            break;
        default: // TimerCompare
            if (x.Relation == TRelation::None) {
                NotSimulated(place, R::UnknownRelation);
                return -1;
            }
            if (!Timer(x.Variable.Byte, place) || (x.OtherTimer && !Timer(x.Timer2, place)))
                return -1;
            TimerEqual = TimerEqual || x.Relation == TRelation::Equal;
            leaf.Slot = x.Variable.Byte;
            if (x.OtherTimer) {
                leaf.Kind = TLeafKind::Timer;
                leaf.Value = x.Timer2;
            } else {
                TimeFields = TimeFields || OutsideClock(x.Minutes, x.Seconds);
                leaf.Kind = TLeafKind::Time;
                leaf.Value = PackTime(x.Hours, x.Minutes, x.Seconds);
            }
            break;
        }
        P.Leaves.push_back(leaf);
        return static_cast<int>(P.Leaves.size()) - 1;
    }
};

void TRunProgram::Prepare(const TZentorProgram &program, const TAlgBase *base)
{
    *this = TRunProgram();
    TZentorCompiler compiler;
    QStringList messages;
    compiler.Messages = &messages;
    compiler.AlgBase = base;
    compiler.TakeNames(program.Header.Text);
    Names = compiler.Macros;

    TProgramBuilder builder(*this, base);
    const int limit = std::min(program.SectionLimit(), int(TZentorProgram::SectionCount));
    for (int n = 0; n < limit; ++n) {
        const TZentorSection &section = program.Sections[n];
        if (!section.Present)
            continue;
        // The lines hold when the text compiles to instructions of the same shapes.
        std::vector<TStatementPlace> places;
        TZentorSection copy;
        bool lines = CompileWithPlaces(compiler, section, n, places, copy);
        if (lines) {
            const TDecodedBlock a = DecodeBlock(section, base);
            const TDecodedBlock b = DecodeBlock(copy, base);
            lines =
                a.End == b.End &&
                std::equal(a.Instructions.begin(), a.Instructions.end(), b.Instructions.begin(),
                           b.Instructions.end(), [](const TInstruction &x, const TInstruction &y) {
                               return x.Offset == y.Offset && x.Length == y.Length;
                           });
        }
        builder.Section(section, n, lines ? &places : nullptr);
    }
    builder.Finish();
}

QStringList TRunProgram::WrittenByLines() const
{
    QStringList lines;
    for (const TAlgorithmOutput &out : Outputs) {
        const QString line =
            out.Variable + R::WrittenByBegin + OctalText(out.Algorithm, 3) + R::WrittenByEnd;
        if (!lines.contains(line))
            lines.append(line);
    }
    return lines;
}

bool TRunProgram::ParseVariable(const QString &word, TVarRef &v, QString &error) const
{
    return ::ParseVariable(word, &Names, v, error);
}

QString TRunProgram::SumTarget(const TStep &step) const
{
    return VarText({TVarClass::AV, step.A - TRunState::SlotOf(TVarClass::AV, 0)});
}
