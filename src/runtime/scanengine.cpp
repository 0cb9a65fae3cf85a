#include "runtime/scanengine.h"

#include "runtime/runtimetexts.h"

#include <algorithm>
#include <array>

namespace R = RuntimeText;

namespace {

using TStepKind = TRunProgram::TStepKind;
using TGuard = TRunProgram::TGuard;
using TLeafKind = TRunProgram::TLeafKind;
using TNode = TRunProgram::TNode;

constexpr long long kMin = -32768;
constexpr long long kMax = 32767;

bool Compare(long long a, TRelation r, long long b)
{
    switch (r) {
    case TRelation::Equal:
        return a == b;
    case TRelation::Greater:
        return a > b;
    case TRelation::Less:
        return a < b;
    default:
        return false;
    }
}

} // namespace

TScanEngine::TScanEngine(const TRunProgram &program) : P(program)
{
    Reset();
}

void TScanEngine::Reset()
{
    State = TRunState();
    ScanCount = 0;
    ResetCoverage();
    ClearLog();
}

void TScanEngine::ResetCoverage()
{
    Ran.assign(P.Places().size(), 0);
}

void TScanEngine::ClearLog()
{
    Entries.clear();
    Full = false;
    Saturated.assign(P.Steps.size(), 0);
    Beyond.assign(P.Leaves.size(), 0);
    TextValues.assign(P.Texts.size(), std::vector<int>());
    TextLogged.assign(P.Texts.size(), 0);
}

int TScanEngine::ExecutedCount() const
{
    return static_cast<int>(std::count(Ran.begin(), Ran.end(), 1));
}

void TScanEngine::Scan()
{
    ++ScanCount;
    bool condition = false;
    for (std::size_t i = 0; i < P.Steps.size(); ++i) {
        const TRunProgram::TStep &step = P.Steps[i];
        if ((step.Guard == TGuard::IfTrue && !condition) ||
            (step.Guard == TGuard::IfFalse && condition))
            continue;
        switch (step.Kind) {
        case TStepKind::Condition:
            condition = Evaluate(step);
            std::fill_n(Ran.begin() + step.Place, step.A, 1);
            continue;
        case TStepKind::SetBit:
            State.Write(step.A, step.B);
            break;
        case TStepKind::Sum: {
            const long long sum = Sum(step.B, step.C);
            const int stored = static_cast<int>(std::clamp(sum, kMin, kMax));
            State.Write(step.A, stored);
            if (stored != sum && !Saturated[i]) {
                Saturated[i] = 1;
                AddLog(step.Place, R::Saturated(sum, P.SumTarget(step), stored));
            }
            break;
        }
        case TStepKind::SetTime:
            State.WriteTime(step.A, step.B);
            break;
        case TStepKind::CopyTime:
            State.WriteTime(step.A, State.Time(step.B));
            break;
        case TStepKind::Text:
            Text(step);
            break;
        case TStepKind::None:
            break;
        }
        Ran[static_cast<std::size_t>(step.Place)] = 1;
    }
}

bool TScanEngine::Evaluate(const TRunProgram::TStep &step)
{
    // Every primary takes two bytes or more of a block of at most 512: the stack never
    // holds more than 256 results.
    std::array<bool, 256> stack;
    std::size_t top = 0;
    for (int n = step.B; n < step.B + step.C; ++n) {
        const TNode &node = P.Nodes[static_cast<std::size_t>(n)];
        switch (node.Op) {
        case TNode::Leaf:
            stack[top++] = Leaf(P.Leaves[static_cast<std::size_t>(node.Index)], node.Index);
            break;
        case TNode::And:
            --top;
            stack[top - 1] = stack[top - 1] && stack[top];
            break;
        case TNode::Or:
            --top;
            stack[top - 1] = stack[top - 1] || stack[top];
            break;
        }
    }
    return top > 0 && stack[top - 1];
}

bool TScanEngine::Leaf(const TRunProgram::TLeaf &leaf, int index)
{
    switch (leaf.Kind) {
    case TLeafKind::On:
        return State.Value(leaf.Slot) != 0;
    case TLeafKind::Off:
        return State.Value(leaf.Slot) == 0;
    case TLeafKind::Bad:
        return State.Bad(leaf.Slot);
    case TLeafKind::Analog: {
        const long long sum = Sum(leaf.FirstTerm, leaf.TermCount);
        if ((sum < kMin || sum > kMax) && !Beyond[static_cast<std::size_t>(index)]) {
            Beyond[static_cast<std::size_t>(index)] = 1;
            AddLog(leaf.Place, R::CompareBeyond(sum));
        }
        return Compare(State.Value(leaf.Slot), leaf.Relation, sum);
    }
    case TLeafKind::Time:
        return Compare(State.Time(leaf.Slot), leaf.Relation, leaf.Value);
    case TLeafKind::Timer:
        return Compare(State.Time(leaf.Slot), leaf.Relation, State.Time(leaf.Value));
    }
    return false;
}

long long TScanEngine::Sum(int first, int count) const
{
    long long sum = 0;
    for (int t = first; t < first + count; ++t) {
        const TRunProgram::TTerm &term = P.Terms[static_cast<std::size_t>(t)];
        sum += term.Slot < 0 ? term.Constant : term.Sign * State.Value(term.Slot);
    }
    return sum;
}

void TScanEngine::Text(const TRunProgram::TStep &step)
{
    const std::size_t k = static_cast<std::size_t>(step.B);
    const TRunProgram::TText &text = P.Texts[k];
    // The fields' values as numbers first: the text is written out only when they changed.
    std::vector<int> &last = TextValues[k];
    bool changed = !TextLogged[k];
    std::size_t v = 0;
    for (const TRunProgram::TTextField &field : text.Fields) {
        if (!field.InState)
            continue;
        const int value = State.Get(field.Ref);
        const int time = field.Ref.Class == TVarClass::TM ? State.Time(field.Ref.Index) : 0;
        for (int x : {value, time}) {
            if (v == last.size()) {
                last.push_back(x);
                changed = true;
            } else if (last[v] != x) {
                last[v] = x;
                changed = true;
            }
            ++v;
        }
    }
    if (!changed)
        return;
    TextLogged[k] = 1;
    QStringList values;
    for (const TRunProgram::TTextField &field : text.Fields) {
        QString value = R::FieldNotSimulated;
        if (field.InState && field.Ref.Class == TVarClass::TM) {
            const TVarRef time{TVarClass::TM, field.Ref.Index, TVarPart::Time};
            value = ValueText(time, State.Get(time)) + QStringLiteral(" (") +
                    (State.Get(field.Ref) ? R::FieldOn : R::FieldOff) + u')';
        } else if (field.InState) {
            value = ValueText(field.Ref, State.Get(field.Ref));
        }
        values.append(field.Variable + QStringLiteral(" = ") + value);
    }
    AddLog(step.Place,
           values.isEmpty() ? text.Line : text.Line + QStringLiteral(": ") + values.join(u", "));
}

void TScanEngine::AddLog(int place, const QString &text)
{
    if (Entries.size() >= static_cast<std::size_t>(LogLimit)) {
        Full = true;
        return;
    }
    Entries.push_back({ScanCount, place, text});
}

QStringList TScanEngine::LogLines() const
{
    QStringList lines;
    for (const TRunLogEntry &e : Entries)
        lines.append(R::LogScan(e.Scan) + QStringLiteral(", ") +
                     P.Places()[static_cast<std::size_t>(e.Place)].Where() + QStringLiteral(": ") +
                     e.Text);
    if (Full)
        lines.append(R::LogFull(LogLimit));
    return lines;
}
