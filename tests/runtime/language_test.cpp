// The scan engine on the statement language's own examples, each result worked out by hand
// from what the language says the statements mean.

#include "runtimetest.h"

#include "runtime/runreport.h"

namespace {

// The value the example's condition gives for the inputs, written out as the language reads
// it: adjacent primaries are И, ИЛИ joins the И-groups, parentheses group.
struct TGroupCase
{
    const char *Inputs; // "ВД001 ВД002" switched on, the others off
    int DV1, DV2, DV3;
};

} // namespace

class LanguageTest : public RuntimeTest
{
protected:
    void Inputs(const char *on)
    {
        for (const char *vd : {"ВД001", "ВД002", "ВД003", "ВД004", "ВД005"})
            Set(vd, 0);
        for (const QString &w : S(on).split(u' ', Qt::SkipEmptyParts))
            Engine->State.Set(V(w.toUtf8().constData()), 1);
    }
};

// Only the statement right after ТОГДА or ИНАЧЕ belongs to the condition; a statement
// without one ends the group.
TEST_F(LanguageTest, ThenElseGroups)
{
    Load(QStringList{S("ЕСЛИ ВКЛ ВД001 ТОГДА ВКЛ ДВ001 ИНАЧЕ ОТКЛ ДВ001 ТОГДА ВКЛ ДВ002"),
                     S("ЕСЛИ ВКЛ ВД002 ТОГДА ОТКЛ ДВ002 ВКЛ ДВ003")});
    const TGroupCase cases[] = {
        {"", 0, 0, 1},
        {"ВД001", 1, 1, 1},
        {"ВД002", 0, 0, 1},
        {"ВД001 ВД002", 1, 0, 1},
    };
    for (const TGroupCase &c : cases) {
        Engine->State.ResetValues();
        Inputs(c.Inputs);
        Scan();
        EXPECT_EQ(Get("ДВ001"), c.DV1) << c.Inputs;
        EXPECT_EQ(Get("ДВ002"), c.DV2) << c.Inputs;
        EXPECT_EQ(Get("ДВ003"), c.DV3) << c.Inputs;
    }
}

// (ВД1 ИЛИ (ВД2 ВД3)) ВД4 ИЛИ ВД5 is ((ВД1 или (ВД2 и ВД3)) и ВД4) или ВД5 for all 32 inputs;
// and the example of the language (ВД1 ИЛИ ВД2) Б ДВ003 with its Б bit.
TEST_F(LanguageTest, NestedParenthesesWithOr)
{
    Load({{0,
           {S("( ЕСЛИ ВКЛ ВД001 ИЛИ ( ЕСЛИ ВКЛ ВД002 ЕСЛИ ВКЛ ВД003 ) ) ЕСЛИ ВКЛ ВД004"),
            S("ИЛИ ЕСЛИ ВКЛ ВД005 ТОГДА ВКЛ ДВ001 ИНАЧЕ ОТКЛ ДВ001")}},
          {1, {S("( ЕСЛИ ВКЛ ВД001 ИЛИ ЕСЛИ ВКЛ ВД002 ) ЕСЛИ Б ДВ003 ТОГДА ВКЛ ДВ004")}}});
    for (int bits = 0; bits < 32; ++bits) {
        const bool a = bits & 1, b = bits & 2, c = bits & 4, d = bits & 8, e = bits & 16;
        const char *names[] = {"ВД001", "ВД002", "ВД003", "ВД004", "ВД005"};
        for (int i = 0; i < 5; ++i)
            Set(names[i], (bits >> i) & 1);
        Set("ДВ004", 0);
        Engine->State.Set({TVarClass::DV, 3, TVarPart::Bad}, (bits >> 2) & 1);
        Scan();
        EXPECT_EQ(Get("ДВ001"), ((a || (b && c)) && d) || e) << bits;
        EXPECT_EQ(Get("ДВ004"), (a || b) && c) << bits;
    }
    EXPECT_TRUE(Run->Assumptions().contains(S("Условия, записанные подряд (И), связываются "
                                              "раньше, чем ИЛИ")));
}

// A comparison with 15 terms (the most a relation byte counts), constants next to the words
// that would read as variables, and a sum beyond 16 bits, which is stored saturated and
// reported once.
TEST_F(LanguageTest, AnalogSumsAndComparisons)
{
    Load(QStringList{
        S("ЕСЛИ АВ001 = +1 +2 +3 +4 +5 +6 +7 +8 +9 +10 +11 +12 +13 +14 +ВА001 ТОГДА ВКЛ ДВ001"),
        S("ЕСЛИ АВ001 > +ВА002 -10 ТОГДА ВКЛ ДВ002 ИНАЧЕ ОТКЛ ДВ002"),
        S("АВ002 = +8191 АВ003 = +8448 АВ004 = -16128 АВ005 = +8191 +8448 -АВ004"),
        S("АВ006 = -16128 -16128 -16128"),
    });
    Set("АВ001", 115);
    Set("ВА001", 10);  // 1 + ... + 14 = 105, + 10 = 115
    Set("ВА002", 105); // 115 > 105 - 10
    Scan();
    EXPECT_EQ(Get("ДВ001"), 1);
    EXPECT_EQ(Get("ДВ002"), 1);
    Set("ДВ001", 0);
    Set("ВА001", 9);
    Set("ВА002", 125); // 115 > 115 is false
    Scan();
    EXPECT_EQ(Get("ДВ001"), 0);
    EXPECT_EQ(Get("ДВ002"), 0);
    EXPECT_EQ(Get("АВ002"), 8191);
    EXPECT_EQ(Get("АВ003"), 8448);
    EXPECT_EQ(Get("АВ004"), -16128);
    EXPECT_EQ(Get("АВ005"), 32767); // 8191 + 8448 + 16128: the largest sum that fits
    EXPECT_EQ(Get("АВ006"), -32768);
    // What an instruction names, for showing the values beside its line.
    EXPECT_EQ(Run->Places()[2].Variables, std::vector<TVarRef>({V("АВ001"), V("ВА002")}));
    EXPECT_EQ(Engine->LogLines(), QStringList{S("цикл 1, секция 000, строка 3: сумма -48384 "
                                                "вне -32768…32767: в АВ006 записано -32768")});
}

// ДВ256 and ВД511 are the second class codes: their tests and switches reach the variables
// from 256, not those from 0.
TEST_F(LanguageTest, IndexesFrom256)
{
    Load(QStringList{S("ЕСЛИ ВКЛ ДВ400 ТОГДА ВКЛ ДВ001 ИНАЧЕ ОТКЛ ДВ001"),
                     S("ЕСЛИ ОТКЛ ВД777 ТОГДА ВКЛ ДВ777 ИНАЧЕ ОТКЛ ДВ777"), S("ВКЛ ДВ401")});
    Scan();
    EXPECT_EQ(Get("ДВ001"), 0);
    EXPECT_EQ(Get("ДВ777"), 1);
    EXPECT_EQ(Get("ДВ401"), 1);
    EXPECT_EQ(Get("ДВ001"), 0);
    Set("ДВ400", 1);
    Set("ВД777", 1);
    Set("ДВ000", 0);
    Scan();
    EXPECT_EQ(Get("ДВ001"), 1);
    EXPECT_EQ(Get("ДВ777"), 0);
    EXPECT_EQ(Get("ДВ000"), 0);
}

// Timers are set and compared by their time, switched and tested by their on-state; their
// time never runs by itself.
TEST_F(LanguageTest, Timers)
{
    Load(QStringList{S("ТМ04 = 00.05.00 ТМ05 = ТМ04 ТМ40 = .24.00.00"),
                     S("ЕСЛИ ТМ05 > 00.04.59 ЕСЛИ ТМ40 > ТМ05 ТОГДА ВКЛ ТМ03"),
                     S("ЕСЛИ ВКЛ ТМ03 ТОГДА ВКЛ ДВ001"),
                     S("ЕСЛИ ТМ01 < 00.00.01 ТОГДА ВКЛ ДВ002")});
    Scan(3);
    EXPECT_EQ(Get("ДВ001"), 1);
    EXPECT_EQ(Get("ДВ002"), 1);
    TVarRef t5 = V("ТМ05");
    t5.Part = TVarPart::Time;
    EXPECT_EQ(Engine->State.Get(t5), PackTime(0, 5, 0));
    EXPECT_TRUE(Run->NotSimulated().contains(
        S("Таймеры не отсчитывают время сами: время таймера меняют только операторы программы, "
          "пользователь и сценарий")));
}

// Sections run in ascending number, each statement at once: section 000 sees what section
// 001 wrote only at the next scan; a lock holds whatever the program writes.
TEST_F(LanguageTest, OrderAndLocks)
{
    Load({{1, {S("ВКЛ ДВ001 ЕСЛИ ВКЛ ДВ001 ТОГДА ВКЛ ДВ002")}},
          {0, {S("ЕСЛИ ВКЛ ДВ001 ТОГДА ВКЛ ДВ003")}}});
    Scan();
    EXPECT_EQ(Get("ДВ002"), 1);
    EXPECT_EQ(Get("ДВ003"), 0);
    Scan();
    EXPECT_EQ(Get("ДВ003"), 1);

    Engine->State.ResetValues();
    Engine->State.Lock(V("ДВ001"), 0);
    Scan(2);
    EXPECT_EQ(Get("ДВ001"), 0);
    EXPECT_EQ(Get("ДВ002"), 0);
    Engine->State.Unlock(V("ДВ001"));
    Scan();
    EXPECT_EQ(Get("ДВ002"), 1);
}

// Coverage by section and line: the ИНАЧЕ branch that never ran is named with its line and
// text; what ran once counts.
TEST_F(LanguageTest, CoverageNamesWhatNeverRan)
{
    Load(QStringList{S("! комментарий"), S("ЕСЛИ ВКЛ ВД001"), S("ТОГДА ВКЛ ДВ001"),
                     S("ИНАЧЕ ОТКЛ ДВ001"), S("ВСК")});
    Set("ВД001", 1);
    Scan();
    EXPECT_EQ(NeverExecutedLines(*Engine), QStringList{S("секция 000, строка 3: Иначе О ДВ001")});
    EXPECT_EQ(Engine->ExecutedCount(), 3);
    Set("ВД001", 0);
    Scan();
    EXPECT_TRUE(NeverExecutedLines(*Engine).isEmpty());
    const std::vector<TSectionCoverage> c = CoverageBySection(*Engine);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].Executed, 4);
    EXPECT_EQ(c[0].Total, 4);
}
