// The cross-reference: every use of generated programs stands where it says and every
// variable written in a compiling section is listed once with its use; the header's orders
// and names with their places; the two checks on programs built to trip them; what does not
// compile; the filter.

#include "compiler/crossref.h"

#include "compilertest.h"
#include "programgenerator.h"

#include "compiler/lexer.h"
#include "core/textutils.h"

#include <QMap>

#include <algorithm>

namespace {

using TGen = TProgramGenerator;

// A variable as the compiler reads it: class letters and index.
QString Key(const QString &variable)
{
    return variable.left(2) + QString::number(VariableIndex(variable));
}

QString KindKey(TCrossRefKind kind)
{
    return CrossRefKindText(kind);
}

QString KindKey(TGen::TUseKind kind)
{
    switch (kind) {
    case TGen::UseWritten:
        return CrossRefKindText(TCrossRefKind::Written);
    case TGen::UsePassed:
        return CrossRefKindText(TCrossRefKind::Passed);
    default:
        return CrossRefKindText(TCrossRefKind::Read);
    }
}

// The word that begins at the 1-based column of the line, upper-cased as the lexer reads it.
QString WordAt(const QStringList &lines, int line, int column)
{
    if (line < 0 || line >= lines.size() || column < 1)
        return QString();
    const QString text = ControllerUpper(lines[line]);
    qsizetype e = column - 1;
    while (e < text.size() && (text[e].isLetterOrNumber() || text[e] == u'_'))
        ++e;
    return text.mid(column - 1, e - (column - 1));
}

const QStringList kWideOrder = {
    "/ ЗАКАЗ ПЕРЕМЕННЫХ", "КБ 0 - 7",     "ВД 000 - 777", "ДВ 000 - 777",
    "ВА 000 - 177",       "АВ 000 - 177", "ТМ 00 - 77",
};

class CrossRefTest : public CompilerTest
{
protected:
    CrossRefTest() { Program.Clear(); }

    void Section(int s, const QStringList &lines, const QString &name = QString())
    {
        Program.AddSection(s, name);
        Program.MarkPresent(s);
        Program.Sections[s].Text = lines;
    }
    TCrossReference Build() { return BuildCrossReference(Program, &Base); }

    // The uses of the program (header -1) as "variable or name|kind|detail|check" lines.
    static QStringList Summary(const TCrossReference &x, int section)
    {
        QStringList out;
        for (const TCrossRefUse &u : x.Uses)
            if (u.Section == section)
                out.append(QStringLiteral("%1 %2 %3:%4 %5 %6 %7")
                               .arg(u.Variable, u.Name)
                               .arg(u.Line)
                               .arg(u.Column)
                               .arg(CrossRefKindText(u.Kind), u.Detail, CrossRefCheckColumn(u))
                               .trimmed());
        return out;
    }

    TZentorProgram Program;
};

} // namespace

// Generated programs, some variables written as technological names: every section use
// stands at its line and column, and the uses are exactly the variables written, with the
// generator's kind and, for calls, the parameter's name from the base.
TEST_F(CrossRefTest, GeneratedProgramsListEveryVariableOnceWhereItStands)
{
    TAlgBase demoBase;
    ASSERT_TRUE(demoBase.LoadFromFile(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg")));
    Compiler.AlgBase = &demoBase;
    int listed = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        Program.Clear();
        TGen gen(seed, demoBase);
        std::vector<std::pair<QString, QString>> names;
        QMap<int, QStringList> expected{{0, {}}}; // section 000 of a new program, empty
        for (int k = 0, count = 1 + gen.Pick(6); k < count; ++k) {
            const int s = gen.Pick(64);
            QStringList text;
            QStringList sectionUses;
            for (int p = 0, pieces = 1 + gen.Pick(12); p < pieces; ++p) {
                std::vector<TGen::TUse> uses;
                gen.Uses = &uses;
                gen.Names = &names;
                QStringList more = text + gen.Piece();
                if (gen.Chance(15))
                    more.append(QStringLiteral("! ВКЛ ДВ001 в комментарии ; АВ002"));
                Compiler.Macros.Clear();
                for (const auto &[name, value] : names)
                    Compiler.Macros.Add(name, value);
                Compiler.AlgMemoryUsed = 0;
                if (Compile(more, s).Result != 0)
                    break;
                text = more;
                for (const TGen::TUse &u : uses) {
                    QString detail;
                    if (u.Kind == TGen::UsePassed)
                        detail =
                            QStringLiteral("АЛГ%1, параметр %2 %3")
                                .arg(OctalText(u.Algorithm, 3))
                                .arg(u.Param)
                                .arg(demoBase.Find(u.Algorithm)->Params[u.Param].Name.trimmed());
                    sectionUses.append(Key(u.Variable) + u'|' + KindKey(u.Kind) + u'|' + u.Name +
                                       u'|' + detail);
                }
            }
            if (expected.contains(s))
                continue; // the same number twice: the first stays
            Section(s, text);
            expected[s] = sectionUses;
        }
        Program.Header.Text = kWideOrder;
        Program.Header.Text.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"));
        for (const auto &[name, value] : names)
            Program.Header.Text.append(name + QStringLiteral("   ") + value);

        const TCrossReference x = BuildCrossReference(Program, &demoBase);
        ASSERT_TRUE(x.Failures.isEmpty()) << "seed " << seed;
        QMap<int, QStringList> reported;
        for (const TCrossRefUse &u : x.Uses) {
            if (u.Section < 0) {
                if (!u.Name.isEmpty()) { // the name where it is declared
                    EXPECT_EQ(WordAt(Program.Header.Text, u.Line, u.Column), u.Name);
                }
                continue;
            }
            const QStringList &lines = Program.Sections[u.Section].Text;
            const QString word = WordAt(lines, u.Line, u.Column);
            if (!u.Name.isEmpty())
                EXPECT_EQ(word, u.Name) << "seed " << seed;
            else
                EXPECT_EQ(Key(word), Key(u.Variable)) << "seed " << seed;
            reported[u.Section].append(Key(u.Variable) + u'|' + KindKey(u.Kind) + u'|' + u.Name +
                                       u'|' +
                                       (u.Kind == TCrossRefKind::Passed ? u.Detail : QString()));
        }
        for (const int s : reported.keys())
            EXPECT_TRUE(expected.contains(s)) << "seed " << seed << " section " << s;
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QStringList want = it.value();
            QStringList got = reported.value(it.key());
            std::sort(want.begin(), want.end());
            std::sort(got.begin(), got.end());
            ASSERT_EQ(got, want) << "seed " << seed << " section " << it.key() << "\n"
                                 << Program.Sections[it.key()].Text.join(u'\n').toStdString();
            listed += static_cast<int>(got.size());
        }
    }
    EXPECT_GT(listed, 1500);
}

// The header's orders and names, each at its own line and column (empty lines and a "/"
// that makes the compiler go over a part twice included); nested names and a longer value
// before a variable keep the section columns of the text as written.
TEST_F(CrossRefTest, HeaderDeclarationsAndNamesStandWhereWritten)
{
    Program.Header.Text = {
        "/ ЗАКАЗ ПЕРЕМЕННЫХ",
        "",
        "  дв 000 - 067",
        "КБ 0-3",
        "/",
        "/ ЗАКАЗ ВХОДОВ АЦП",
        "1  020 - 027",
        "/ ЗАКАЗ ИВ",
        "ИВ3 = -АВ12 0,2",
        "ИВ04 +500 0,1",
        "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 2",
        "",
        "3    ДВ400   насос",
        "4 ЖЖ001 пропущена",
        "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ",
        "СТАРОЕ ДВ001",
        "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ",
        "Н1   Н2 ! вложенное",
        "  Н2 ДВ003",
        "ДЛИННОЕ_ИМЯ +100",
    };
    Section(1, {"ВКЛ н1  ВКЛ ДВ004", "АВ001 = ДЛИННОЕ_ИМЯ +ВА002"}, QStringLiteral("Пуск"));
    const TCrossReference x = Build();
    EXPECT_TRUE(x.Failures.isEmpty());
    EXPECT_EQ(Summary(x, -1),
              (QStringList{
                  "ДВ000-067  2:3 описание заказ переменных",
                  "ДВ003 Н1 17:1 описание технологическое название = Н2",
                  "ДВ003 Н2 18:3 описание технологическое название = ДВ003",
                  "ДВ400  12:6 описание технологическая клавиатура 2, клавиша 3 «НАСОС» не "
                  "используется в секциях",
                  "ВА020-027  6:1 описание заказ входов АЦП, модуль 1",
                  "АВ012  8:8 описание источник импульсного выхода ИВ03 не используется в секциях",
                  "КБ0-3  3:1 описание заказ переменных",
                  "ИВ03  8:1 описание импульсный выход: -АВ12 0,2",
                  "ИВ04  9:1 описание импульсный выход: +500 0,1",
                  "ДЛИННОЕ_ИМЯ 19:1 описание технологическое название = +100",
              }));
    EXPECT_EQ(Summary(x, 1), (QStringList{
                                 "ДВ003 Н1 0:5 запись ВКЛ",
                                 "ДВ004  0:13 запись ВКЛ",
                                 "ВА002  1:22 чтение правая часть вне заказа: заказаны входы "
                                 "АЦП модуля 0: 000 - 000",
                                 "АВ001  1:1 запись присваивание",
                                 "ДЛИННОЕ_ИМЯ 1:9 чтение правая часть",
                             }));
    EXPECT_EQ(x.Uses[0].Where, "заголовок");
    const auto s1 = std::find_if(x.Uses.begin(), x.Uses.end(),
                                 [](const TCrossRefUse &u) { return u.Section == 1; });
    ASSERT_NE(s1, x.Uses.end());
    EXPECT_EQ(s1->Where, "секция 001 «Пуск»");
}

// Built to trip both checks, next to uses that must not: the ends of every ordered range,
// spare ordered variables, a name used through its variable only, a key for an impulse
// output, ВА inputs against the ADC order.
TEST_F(CrossRefTest, ChecksFindWhatIsOutsideTheOrderAndWhatNoSectionUses)
{
    Program.Header.Text = {
        "/ ЗАКАЗ ПЕРЕМЕННЫХ",
        "КБ 0 - 3",
        "ВД 000 - 017",
        "ДВ 000 - 077",
        "ВА 000 - 037",
        "АВ 000 - 017",
        "ТМ 00 - 17",
        "/ ЗАКАЗ ВХОДОВ АЦП",
        "0 000 - 007",
        "1 020 - 037",
        "/ ЗАКАЗ ИВ",
        "ИВ00 +АВ001 0,1",
        "ИВ01 -АВ002 0,1",
        "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1",
        "1 ДВ010 ПУСК",
        "2 ДВ011 СТОП",
        "3 ИВ01 ИМП",
        "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ",
        "НАСОС ДВ012",
        "ЛАМПА ДВ013",
        "УСТ +5",
        "ЗАПАС +7",
    };
    Section(0, {"ЕСЛИ ВКЛ ДВ077 ТОГДА ВКЛ ДВ100", "ВКЛ КБ3 ВКЛ КБ4 ВКЛ ТМ17 ВКЛ ТМ20",
                "АВ017 = +ВА007 +ВА010 +ВА037 +ВА040 УСТ +АВ020 +АВ001",
                "ЕСЛИ ВКЛ ВД017 ИЛИ ЕСЛИ ВКЛ ВД20 ТОГДА ВКЛ ДВ1001"});
    Section(1, {"ВКЛ ДВ010 ВКЛ НАСОС ВКЛ ДВ013 ВКЛ КС101 ЕСЛИ Б ДВ0771 ТОГДА ВСК"});
    const TCrossReference x = Build();
    ASSERT_TRUE(x.Failures.isEmpty()) << x.Failures[0].Messages.join(u'|').toStdString();
    QStringList flagged;
    for (const TCrossRefUse &u : x.Uses)
        if (u.Check != TCrossRefCheck::None)
            flagged.append((u.Variable.isEmpty() ? u.Name : u.Variable) + u' ' +
                           CrossRefCheckColumn(u));
    EXPECT_EQ(flagged, (QStringList{
                           "ВД020 вне заказа: заказано ВД 000 - 017",
                           "ДВ011 не используется в секциях",
                           "ДВ100 вне заказа: заказано ДВ 000 - 077",
                           "ДВ1001 вне заказа: заказано ДВ 000 - 077",
                           "ВА010 вне заказа: заказаны входы АЦП модуля 0: 000 - 007",
                           "ВА040 вне заказа: заказано ВА 000 - 037",
                           "АВ002 не используется в секциях",
                           "АВ020 вне заказа: заказано АВ 000 - 017",
                           "ТМ20 вне заказа: заказано ТМ  00 - 17",
                           "КБ4 вне заказа: заказано КБ   0 - 3",
                           "ЗАПАС не используется в секциях",
                       }));
    EXPECT_EQ(x.OutsideOrder, 8);
    EXPECT_EQ(x.Unused, 3);
    EXPECT_TRUE(x.Found());

    // Only what is in order and used: nothing to report.
    Program.Sections[0].Text = {"ВКЛ ДВ077 ВКЛ ДВ010 ВКЛ ДВ011 ВКЛ НАСОС ВКЛ ДВ013",
                                "АВ017 = +АВ002 ЗАПАС УСТ +АВ001"};
    Program.Sections[1].Text = {"ЕСЛИ Б ДВ0771 ТОГДА ВСК"}; // a Б item takes ДВ077
    const TCrossReference clean = Build();
    EXPECT_FALSE(clean.Found()) << Summary(clean, 0).join(u'\n').toStdString();
    EXPECT_FALSE(clean.Failed());
}

// A section or a header that does not compile is listed with the messages the compile list
// would give; the section's uses are left out; the program is not touched.
TEST_F(CrossRefTest, WhatDoesNotCompileIsListedWithItsMessages)
{
    Program.Header.Text = {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ДВ 000 - 077", "ЖЖ 000 - 017",
                           "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "НАСОС ДВ012"};
    Section(0, {"ВКЛ НАСОС"});
    Section(1, {"ВКЛ ДВ001", "ЕСЛИ ВКЛ ДВ002 ТОГДА"}, QStringLiteral("Сломана"));
    Section(2, {"ВКЛ ДВ003 $"});
    Section(3, {"АЛГ177 = ДВ004"});
    for (int s = 0; s < 4; ++s)
        Program.Sections[s].NeedsCompile = 1;
    const TCrossReference x = Build();

    QStringList where;
    for (const TCrossRefFailure &f : x.Failures)
        where.append(f.Where + u':' + f.Messages.join(u'|'));
    EXPECT_EQ(where,
              (QStringList{
                  "заголовок:[Заголовок.2:13]. Неправильная переменная для заказа 'ЖЖ'.",
                  "секция 001 «Сломана»:[001.1:16] Синтаксическая ошибка в строке 1 в "
                  "позиции 16",
                  "секция 002:[002.0:11] Ошибка в строке 0 в позиции 11|Недопустимый символ $",
                  "секция 003:[003.0:1. Данный алгоритм отсутсвует в базе данных.",
              }));
    EXPECT_TRUE(x.Failed());
    for (const TCrossRefUse &u : x.Uses)
        EXPECT_TRUE(u.Section == -1 || u.Section == 0) << u.Where.toStdString();
    EXPECT_EQ(Summary(x, 0), QStringList{"ДВ012 НАСОС 0:5 запись ВКЛ"});
    // The analysis compiled copies only.
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(Program.Sections[s].NeedsCompile, 1);
        EXPECT_EQ(Program.Sections[s].CodeLength, 0);
    }
    EXPECT_EQ(Program.Header.Valid, 0);
    EXPECT_EQ(Program.ImageLength, 0);
}

TEST(CrossRefFilter, MatchesNamesAndTheBeginningsOfVariablesInAnyCase)
{
    TCrossRefUse use;
    use.Variable = QStringLiteral("ДВ012");
    use.Name = QStringLiteral("НАСОС_1");
    TCrossRefUse range;
    range.Variable = QStringLiteral("ДВ000-077");
    const struct
    {
        const char *Filter;
        bool Use;
        bool Range;
    } cases[] = {
        {"", true, true},        {"  ", true, true},     {"дв", true, true},
        {"ДВ01", true, false},   {"дв12", true, false},  {"ДВ0012", true, false},
        {"ДВ013", false, false}, {"нас", true, false},   {"СОС", false, false},
        {"ВД", false, false},    {"ДВ000", false, true}, {"КС", false, false},
    };
    for (const auto &c : cases) {
        const QString filter = QString::fromUtf8(c.Filter);
        EXPECT_EQ(CrossRefMatches(use, filter), c.Use) << c.Filter;
        EXPECT_EQ(CrossRefMatches(range, filter), c.Range) << c.Filter;
    }
}
