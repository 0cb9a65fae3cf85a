// The scan engine against an evaluator of the source text, written apart from the lexer, the
// compiler, the decoder and the engine: generated programs of what the engine executes
// exactly (switches, sums, timer settings, conditions of every primary with И, ИЛИ and
// parentheses, ТОГДА/ИНАЧЕ groups), run from the same random inputs for many scans, must
// leave every variable they touch alike after every scan.

#include "runtimetest.h"

#include <map>
#include <random>

namespace {

// The variables the programs use: few of each class, so that statements meet; ДВ and ВД
// also from 256 on, timers also above 31.
const int kDV[] = {0, 1, 2, 3, 256, 257, 511};
const int kVD[] = {0, 1, 2, 3, 508, 511};
const int kKB[] = {0, 1, 7};
const int kKS[] = {0, 1, 33};
const int kTM[] = {0, 1, 2, 32, 63};
const int kAnalog[] = {0, 1, 2, 3};

QString Oct(int x, int width)
{
    return QString::number(x, 8).rightJustified(width, u'0');
}
QString SectionText(int n)
{
    return QString::number(n / 32) + Oct(n % 32, 2);
}

class TGenerator
{
public:
    explicit TGenerator(unsigned seed) : Rng(seed) {}

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Rng); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <typename T, std::size_t N> T OneOf(const T (&a)[N]) { return a[Pick(int(N))]; }

    QStringList Section()
    {
        QStringList lines;
        const int pieces = 1 + Pick(8);
        for (int i = 0; i < pieces; ++i)
            lines.append(Chance(45) ? Group() : Statement());
        return lines;
    }

    QString DV() { return S("ДВ") + Oct(OneOf(kDV), 3); }
    QString VD() { return S("ВД") + Oct(OneOf(kVD), 3); }
    QString KB() { return S("КБ") + QString::number(OneOf(kKB)); }
    QString KS() { return S("КС") + SectionText(OneOf(kKS)); }
    QString TM() { return S("ТМ") + Oct(OneOf(kTM), 2); }
    QString Analog() { return (Chance(50) ? S("ВА") : S("АВ")) + Oct(OneOf(kAnalog), 3); }

private:
    std::mt19937 Rng;

    QString OnOff() { return OneOf({S("ВКЛ"), S("В"), S("ОТКЛ"), S("О")}); }
    QString Switched()
    {
        switch (Pick(4)) {
        case 0:
            return DV();
        case 1:
            return KB();
        case 2:
            return KS();
        default:
            return TM();
        }
    }
    // A constant whose word the compiler takes (it would not read back as a variable).
    QString Constant()
    {
        for (;;) {
            const int c = Chance(70) ? Pick(300) : Pick(16384);
            const bool minus = Chance(40);
            const int high = ((minus ? -2 : 2) * c & 0xFFFF) >> 8;
            if (high != 0x40 && high != 0x41 && high != 0x80 && high != 0x81)
                return (minus ? S("-") : S("+")) + QString::number(c);
        }
    }
    QString Terms(int most)
    {
        QStringList t;
        const int n = 1 + Pick(most);
        for (int i = 0; i < n; ++i)
            t.append(Chance(50) ? Constant() : (Chance(50) ? S("+") : S("-")) + Analog());
        return t.join(u' ');
    }
    QString Time(int timer)
    {
        auto two = [](int x) { return QString::number(x).rightJustified(2, u'0'); };
        return (timer > 31 ? S(".") : QString()) + two(Pick(24)) + u'.' + two(Pick(60)) + u'.' +
               two(Pick(60));
    }
    QString TimerOperand(int timer) { return Chance(30) ? TM() : Time(timer); }

    QString Statement()
    {
        switch (Pick(3)) {
        case 0:
            return OnOff() + u' ' + Switched();
        case 1:
            return S("АВ") + Oct(OneOf(kAnalog), 3) + S(" = ") + Terms(5);
        default: {
            const int t = OneOf(kTM);
            return S("ТМ") + Oct(t, 2) + S(" = ") + TimerOperand(t);
        }
        }
    }
    QString Primary()
    {
        switch (Pick(4)) {
        case 0: {
            const QString v = Chance(30) ? VD() : Switched();
            return OnOff() + u' ' + v;
        }
        case 1: {
            const QString v = Chance(25) ? VD() : Chance(30) ? Analog() : Switched();
            return S("Б ") + v;
        }
        case 2:
            return Analog() + u' ' + OneOf({S("="), S("<"), S(">")}) + u' ' + Terms(15);
        default: {
            const int t = OneOf(kTM);
            return S("ТМ") + Oct(t, 2) + (Chance(50) ? S(" < ") : S(" > ")) + TimerOperand(t);
        }
        }
    }
    QString Condition(int depth)
    {
        QStringList parts;
        const int n = 1 + Pick(3);
        for (int i = 0; i < n; ++i) {
            if (i > 0 && Chance(50))
                parts.append(S("ИЛИ"));
            if (depth < 3 && Chance(20))
                parts.append(S("( ") + Condition(depth + 1) + S(" )"));
            else
                parts.append((Chance(70) ? S("ЕСЛИ ") : S("Е ")) + Primary());
        }
        return parts.join(u' ');
    }
    QString Group()
    {
        QString s = Condition(0);
        const int n = 1 + Pick(3);
        for (int i = 0; i < n; ++i)
            s += (i == 0 || Chance(50) ? S(" ТОГДА ") : S(" ИНАЧЕ ")) + Statement();
        return s;
    }
};

// The source text's meaning, read word by word: variables by their words, timers' times in
// seconds, conditions with И before ИЛИ.
class TSourceEvaluator
{
public:
    std::map<QString, int> Bits;    // ДВ, ВД, КБ, КС and timers' on-states
    std::map<QString, int> Values;  // ВА, АВ
    std::map<QString, int> Seconds; // timers' times
    std::map<QString, int> Bad;

    void Run(const QStringList &lines)
    {
        Words = lines.join(u' ').split(u' ', Qt::SkipEmptyParts);
        Pos = 0;
        while (Pos < Words.size()) {
            if (Peek() == S("ЕСЛИ") || Peek() == S("Е") || Peek() == S("("))
                Group();
            else
                Statement(true);
        }
    }

private:
    QStringList Words;
    qsizetype Pos = 0;

    QString Peek() const { return Pos < Words.size() ? Words[Pos] : QString(); }
    QString Next() { return Words.value(Pos++); }

    static bool IsOn(const QString &w) { return w == S("ВКЛ") || w == S("В"); }
    static bool IsOnOff(const QString &w) { return IsOn(w) || w == S("ОТКЛ") || w == S("О"); }
    static bool IsTime(const QString &w) { return w.count(u'.') >= 2; }
    static int TimeSeconds(const QString &w)
    {
        const QStringList f = (w.startsWith(u'.') ? w.mid(1) : w).split(u'.');
        return f[0].toInt() * 3600 + f[1].toInt() * 60 + f[2].toInt();
    }
    int TimerOperand()
    {
        const QString w = Next();
        return IsTime(w) ? TimeSeconds(w) : Seconds[w];
    }
    long long Sum()
    {
        long long sum = 0;
        while (Peek().startsWith(u'+') || Peek().startsWith(u'-')) {
            const QString t = Next();
            const int sign = t[0] == u'-' ? -1 : 1;
            const QString operand = t.mid(1);
            sum += sign * (operand[0].isDigit() ? operand.toLongLong() : Values[operand]);
        }
        return sum;
    }
    static bool Compare(long long a, const QString &relation, long long b)
    {
        return relation == S("=") ? a == b : relation == S("<") ? a < b : a > b;
    }

    void Group()
    {
        const bool c = Or();
        while (Peek() == S("ТОГДА") || Peek() == S("ИНАЧЕ")) {
            const bool then = Next() == S("ТОГДА");
            Statement(then == c);
        }
    }
    void Statement(bool execute)
    {
        const QString first = Next();
        if (IsOnOff(first)) {
            const QString v = Next();
            if (execute)
                Bits[v] = IsOn(first) ? 1 : 0;
            return;
        }
        Next(); // "="
        if (first.startsWith(S("ТМ"))) {
            const int s = TimerOperand();
            if (execute)
                Seconds[first] = s;
            return;
        }
        const long long sum = Sum();
        if (execute)
            Values[first] = static_cast<int>(std::clamp(sum, -32768LL, 32767LL));
    }
    bool Or()
    {
        bool v = And();
        while (Peek() == S("ИЛИ")) {
            Next();
            v = And() || v;
        }
        return v;
    }
    bool And()
    {
        bool v = Term();
        while (Peek() == S("ЕСЛИ") || Peek() == S("Е") || Peek() == S("("))
            v = Term() && v;
        return v;
    }
    bool Term()
    {
        if (Next() == S("(")) {
            const bool v = Or();
            Next(); // ")"
            return v;
        }
        const QString first = Next();
        if (IsOnOff(first))
            return (Bits[Next()] != 0) == IsOn(first);
        if (first == S("Б"))
            return Bad[Next()] != 0;
        const QString relation = Next();
        if (first.startsWith(S("ТМ")))
            return Compare(Seconds[first], relation, TimerOperand());
        return Compare(Values[first], relation, Sum());
    }
};

int SecondsOf(int packed)
{
    return TimeHours(packed) * 3600 + TimeMinutes(packed) * 60 + TimeSeconds(packed);
}

} // namespace

class DifferentialTest : public RuntimeTest
{
protected:
    // Every variable of the pools: its word and whether it is an analog value.
    std::vector<QString> AllWords()
    {
        std::vector<QString> words;
        for (int i : kDV)
            words.push_back(S("ДВ") + Oct(i, 3));
        for (int i : kVD)
            words.push_back(S("ВД") + Oct(i, 3));
        for (int i : kKB)
            words.push_back(S("КБ") + QString::number(i));
        for (int i : kKS)
            words.push_back(S("КС") + SectionText(i));
        for (int i : kTM)
            words.push_back(S("ТМ") + Oct(i, 2));
        for (int i : kAnalog) {
            words.push_back(S("ВА") + Oct(i, 3));
            words.push_back(S("АВ") + Oct(i, 3));
        }
        return words;
    }
    TVarRef Ref(const QString &word)
    {
        TVarRef v;
        QString error;
        EXPECT_TRUE(Run->ParseVariable(word, v, error)) << error.toStdString();
        return v;
    }
};

TEST_F(DifferentialTest, EngineAgainstTheSourceText)
{
    const std::vector<QString> words = AllWords();
    int scans = 0;
    int programs = 0;
    for (unsigned seed = 1; seed <= 250; ++seed) {
        TGenerator gen(seed);
        std::map<int, QStringList> sections;
        const int count = 1 + gen.Pick(3);
        for (int i = 0; i < count; ++i)
            sections[gen.Pick(64)] = gen.Section();
        if (!Build(TSections(sections.begin(), sections.end())))
            continue; // a section longer than a block
        ++programs;
        TSourceEvaluator source;
        for (int scan = 0; scan < 40; ++scan, ++scans) {
            // The same inputs on both sides: inputs, Б bits, now and then a value set by hand.
            for (const QString &w : words) {
                const TVarRef v = Ref(w);
                const bool input = v.Class == TVarClass::VD || v.Class == TVarClass::VA;
                if (input || gen.Chance(5)) {
                    const int x = IsAnalogClass(v.Class) ? gen.Pick(40001) - 20000 : gen.Pick(2);
                    Engine->State.Set(v, x);
                    (IsAnalogClass(v.Class) ? source.Values : source.Bits)[w] = x;
                }
                if (gen.Chance(20)) {
                    const int b = gen.Pick(2);
                    Engine->State.Set({v.Class, v.Index, TVarPart::Bad}, b);
                    source.Bad[w] = b;
                }
                if (v.Class == TVarClass::TM && gen.Chance(5)) {
                    const int h = gen.Pick(30), m = gen.Pick(60), s = gen.Pick(60);
                    Engine->State.Set({v.Class, v.Index, TVarPart::Time}, PackTime(h, m, s));
                    source.Seconds[w] = h * 3600 + m * 60 + s;
                }
            }
            Engine->Scan();
            for (const auto &[n, lines] : sections)
                source.Run(lines);
            for (const QString &w : words) {
                const TVarRef v = Ref(w);
                const int want = IsAnalogClass(v.Class) ? source.Values[w] : source.Bits[w];
                ASSERT_EQ(Engine->State.Get(v), want)
                    << w.toStdString() << ", seed " << seed << ", scan " << scan << "\n"
                    << Program->Sections[sections.begin()->first].Text.join(u'\n').toStdString();
                if (v.Class == TVarClass::TM) {
                    ASSERT_EQ(SecondsOf(Engine->State.Get({v.Class, v.Index, TVarPart::Time})),
                              source.Seconds[w])
                        << w.toStdString() << ", seed " << seed << ", scan " << scan;
                }
            }
        }
        // Nothing of these programs is beyond the engine.
        for (const QString &line : Run->NotSimulated())
            ASSERT_FALSE(line.startsWith(S("секция"))) << line.toStdString();
    }
    EXPECT_GT(programs, 200);
    EXPECT_EQ(scans, programs * 40);
}
