// Re-layout of section texts: the fragment line of every generator row in both modes,
// normalised lexemes, comments, parameter lines, the fixes that keep source text, and the
// round trip through the old layout over generated sections.

#include "compiler/relayout.h"

#include "compilertest.h"
#include "programgenerator.h"

class RelayoutTest : public CompilerTest
{
protected:
    RelayoutTest()
    {
        Base.LoadFromLines({"/ Алгоритм 012 ! Пример", "память 0 5", "1   5  ВХОД", "2   8  КОЭФ",
                            "/ Алгоритм 020 ! Память", "память 4 7", "1   5  ВХОД"});
    }

    QStringList Lay(const QStringList &text, int mode = RelayoutCurrent, bool expectOk = true)
    {
        Messages.clear();
        QStringList out{"garbage"};
        EXPECT_EQ(RelayoutSection(Compiler, 0, text, out, mode), expectOk);
        return out;
    }
    QStringList Lay(const QString &line, int mode = RelayoutCurrent)
    {
        return Lay(QStringList{line}, mode);
    }
};

TEST_F(RelayoutTest, ExamplesOfBothModes)
{
    EXPECT_EQ(Lay(QStringList{"ВКЛ ДВ12", "ТМ1=1.2.3"}),
              QStringList({"00 ВКЛ ДВ12 ", "01 тм01=1.2.3"}));
    EXPECT_EQ(Lay("АЛГ012 = +ВА1 = 7"),
              QStringList({"00 АЛГ012 ", "  1 ВХОД = +ВА001", "  2 КОЭФ = 7"}));
    EXPECT_EQ(Lay("АЛГ012 = +ВА1 = 7", RelayoutOld),
              QStringList({"00 АЛГ012 ", "1 =+ВА001", "2 =7"}));
    EXPECT_EQ(Lay(QStringList{"ВСК", "! середина", "ВСК"}),
              QStringList({"00 ВСК", " ! СЕРЕДИНА", "01 ВСК"}));
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(RelayoutTest, FragmentLinesOfEveryRow)
{
    EXPECT_EQ(Lay("Е В ВД1 Т ВСК И ВСК"),
              QStringList({"00 ЕСЛИ В ВД1 ", "01 ТОГДА ВСК", "02 ИНАЧЕ ВСК"}));
    EXPECT_EQ(Lay("е вкл дв001 т откл кс101 и в тм3"),
              QStringList({"00 ЕСЛИ ВКЛ ДВ001 ", "01 ТОГДА ОТКЛ КС101 ", "02 ИНАЧЕ В тм03 "}));
    EXPECT_EQ(Lay("ЕСЛИ ТМ1 > 00.00.10 ТОГДА ТМ02 = ТМ3 ИНАЧЕ ТМ41=.1.2.3"),
              QStringList({"00 ЕСЛИ тм01>00.00.10", "01 ТОГДА тм02=тм03", "02 ИНАЧЕ тм41=.1.2.3"}));
    EXPECT_EQ(Lay("( ЕСЛИ Б КС101 ИЛИ ЕСЛИ Б ВА2 ) ЕСЛИ Б ТМ5 ТОГДА ВСК"),
              QStringList({"00 (", "01 ЕСЛИ Б КС101 ", "02 ИЛИ", "03 ЕСЛИ Б ВА002 ", "04 )",
                           "05 ЕСЛИ Б тм05 ", "06 ТОГДА ВСК"}));
    EXPECT_EQ(Lay("ЕСЛИ АВ1 > +ВА2 -010 ТОГДА АВ3 = -5 +АВ4"),
              QStringList({"00 ЕСЛИ АВ001 > + ВА002 - 10 ", "01 ТОГДА АВ003 = - 5 + АВ004 "}));
    // The text string: on its own line in the current layout, on the ТС line in the old one.
    EXPECT_EQ(Lay("ЕСЛИ В ДВ1 ТОГДА ТС1.0.1 'АВАРИЯ #ДВ012#'"),
              QStringList({"00 ЕСЛИ В ДВ1 ", "01 ТОГДА ТС1.0.1 ", "АВАРИЯ #ДВ012#"}));
    EXPECT_EQ(Lay(QStringList{"ТС0.0.1", "\"'КАВЫЧКИ'\""}),
              QStringList({"00 ТС0.0.1 ", "''КАВЫЧКИ''"}));
    EXPECT_EQ(Lay("ТС1.0.1 'АВАРИЯ #ДВ012#'", RelayoutOld),
              QStringList({"00 ТС1.0.1 АВАРИЯ #ДВ012#"}));
    EXPECT_EQ(Lay("ТС1.0.1 '  ДВА ПРОБЕЛА'", RelayoutOld),
              QStringList({"00 ТС1.0.1 '  ДВА ПРОБЕЛА'"}));
    EXPECT_EQ(Lay("ТС1.0.1 '  ДВА ПРОБЕЛА'"), QStringList({"00 ТС1.0.1 ", "  ДВА ПРОБЕЛА"}));
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(RelayoutTest, ParameterLines)
{
    EXPECT_EQ(
        Lay(QStringList{"ЕСЛИ В ДВ1 ТОГДА АЛГ12", "  1 ВХОД = -АВ3", "  2  КОЭФ=008"}),
        QStringList({"00 ЕСЛИ В ДВ1 ", "01 ТОГДА АЛГ12 ", "  1 ВХОД = -АВ003", "  2 КОЭФ = 8"}));
    // Names come from the base; values beyond its parameters and unknown algorithms get none.
    EXPECT_EQ(Lay("АЛГ020 = +1 = ВКЛ = ТМ1 = .5 = 1.2.3 = ДВ1"),
              QStringList({"00 АЛГ020 ", "  1 ВХОД = +1", "  2  = ВКЛ", "  3  = тм01", "  4  = 0.5",
                           "  5  = 1.2.3", "  6  = ДВ1"}));
    EXPECT_EQ(Lay("АЛГ177 = 1", RelayoutCurrent), QStringList({"00 АЛГ177 ", "  1  = 1"}));
    EXPECT_EQ(Lay("АЛГ024", RelayoutOld), QStringList({"00 АЛГ024 "}));
    EXPECT_EQ(Lay(QStringList{"АЛГ012", "   1  ВХОД=+ВА1", "   2  КОЭФ=7"}, RelayoutOld),
              QStringList({"00 АЛГ012 ", "1 =+ВА001", "2 =7"}));
}

TEST_F(RelayoutTest, NormalisedLexemesAndMacros)
{
    Compiler.Macros.Add(QStringLiteral("НАСОС"), QStringLiteral("ДВ012"));
    Compiler.Macros.Add(QStringLiteral("ДАВЛ"), QStringLiteral("ВА1"));
    EXPECT_EQ(Lay(QStringList{"ВКЛ НАСОС", "АВ7 = +ДАВЛ +0000 -0 +0100", "ТМ100 = ТМ0"}),
              QStringList({"00 ВКЛ ДВ012 ", "01 АВ007 = + ВА001 + 0 - 0 + 100 ", "02 тм100=тм00"}));
    EXPECT_EQ(Lay("АЛГ012 = .5 = 12,5"),
              QStringList({"00 АЛГ012 ", "  1 ВХОД = 0.5", "  2 КОЭФ = 12.5"}));
}

TEST_F(RelayoutTest, CommentsAndLeadingNumbers)
{
    // Comments before the first statement are kept; column-1 numbers are dropped.
    EXPECT_EQ(Lay(QStringList{"! заголовок секции", "05", "; ещё", "07 ВСК ! после", "10 ВСК"}),
              QStringList({" ! ЗАГОЛОВОК СЕКЦИИ", " ; ЕЩЁ", "00 ВСК", " ! ПОСЛЕ", "01 ВСК"}));
    EXPECT_EQ(Lay(QStringList{"! только комментарий"}), QStringList({" ! ТОЛЬКО КОММЕНТАРИЙ"}));
    EXPECT_EQ(Lay(QStringList{}), QStringList());
    EXPECT_EQ(Lay(QStringList{"", "   "}), QStringList());
}

TEST_F(RelayoutTest, SyntaxErrorKeepsTheRestOfTheSource)
{
    EXPECT_EQ(Lay(QStringList{"ВКЛ ДВ1", "ЕСЛИ АВ1 > 5 ТОГДА ВСК", "ВСК"}),
              QStringList({"00 ВКЛ ДВ1 ", "ЕСЛИ АВ1 > 5 ТОГДА ВСК", "ВСК"}));
    EXPECT_EQ(Messages, QStringList{"Синтаксическая ошибка в строке 1 в позиции 12"});
    // The unfinished statement began on an earlier line: from there on.
    EXPECT_EQ(Lay(QStringList{"ВСК", "ЕСЛИ", "ВКЛ", ")", "ВСК"}),
              QStringList({"00 ВСК", "ЕСЛИ", "ВКЛ", ")", "ВСК"}));
    // A line that gave a fragment and holds the start of the unfinished one comes back whole,
    // once.
    EXPECT_EQ(Lay(QStringList{"ВСК", "! к", "ЕСЛИ В ДВ1 ТОГДА", "ВКЛ )"}),
              QStringList({"00 ВСК", " ! К", "ЕСЛИ В ДВ1 ТОГДА", "ВКЛ )"}));
    // Text after a lexeme that can begin nothing at statement level.
    EXPECT_EQ(Lay(QStringList{"ВСК", "ТОГДА ВСК"}), QStringList({"00 ВСК", "ТОГДА ВСК"}));
    EXPECT_EQ(Messages, QStringList{"Синтаксическая ошибка в строке 1 в позиции 1"});
    // An incomplete statement at the end of the text.
    EXPECT_EQ(Lay(QStringList{"ВСК", "АВ1 = +5 +"}), QStringList({"00 ВСК", "АВ1 = +5 +"}));
    // A condition without its statement: nothing of the source is left behind the end.
    EXPECT_EQ(Lay(QStringList{"00 ЕСЛИ В ДВ017", "! конец"}),
              QStringList({"00 ЕСЛИ В ДВ017 ", " ! КОНЕЦ"}));
    EXPECT_EQ(Messages, QStringList{"Синтаксическая ошибка в строке 1 в позиции 1"});
}

TEST_F(RelayoutTest, LexerFailureAndTooManyFragmentsKeepTheSource)
{
    const QStringList bad = {"ВСК", "ВКЛ ДВ8", "ВСК"};
    EXPECT_EQ(Lay(bad, RelayoutCurrent, false), bad);
    EXPECT_EQ(Messages,
              QStringList({"[000.1:5] Ошибка в строке 1 в позиции 5", "Недопустимое слово ДВ8"}));
    QStringList many;
    for (int i = 0; i < 64; ++i)
        many.append(QStringLiteral("ВСК"));
    QStringList out = Lay(many);
    EXPECT_EQ(out.size(), 64);
    EXPECT_EQ(out.last(), "77 ВСК");
    many.append(QStringLiteral("ВКЛ ДВ1"));
    EXPECT_EQ(Lay(many, RelayoutOld, false), many);
    EXPECT_EQ(Messages, QStringList{"[000.64:5]. Слишком много фрагментов, 65 фрагментов"});
    // The compiler says the same of the same text.
    EXPECT_EQ(Compile(many).Messages, Messages);
}

// The current layout compiles to the same block as the source; so does the old layout read
// back (lower-cased, as the old-format file holds it) into the current one.
TEST_F(RelayoutTest, GeneratedSectionsKeepTheirCode)
{
    TAlgBase demoBase;
    ASSERT_TRUE(demoBase.LoadFromFile(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg")));
    Compiler.Macros.Add(QStringLiteral("НАСОС_1"), QStringLiteral("ДВ012"));
    int checked = 0;
    for (unsigned seed = 1000; seed < 1400; ++seed) {
        Compiler.AlgBase = &demoBase;
        TProgramGenerator gen(seed, demoBase);
        QStringList text = {QStringLiteral("! секция %1").arg(seed)};
        TSectionResult first;
        const int wanted = 1 + gen.Pick(25);
        for (int k = 0; k < wanted; ++k) {
            QStringList more = text;
            more.append(gen.Piece());
            if (gen.Chance(20))
                more.append(QStringLiteral("; комментарий ВКЛ НАСОС_1"));
            if (gen.Chance(10))
                more.append(QStringLiteral("ВКЛ НАСОС_1"));
            Compiler.AlgMemoryUsed = 0;
            const TSectionResult r = Compile(more, 5);
            if (r.Result != 0)
                break;
            text = more;
            first = r;
        }
        if (first.Block.empty())
            continue;
        Compiler.AlgMemoryUsed = 0;
        first = Compile(text, 5);

        QStringList current;
        Messages.clear();
        ASSERT_TRUE(RelayoutSection(Compiler, 5, text, current, RelayoutCurrent));
        ASSERT_TRUE(Messages.isEmpty()) << Messages.join(u'\n').toStdString();
        Compiler.AlgMemoryUsed = 0;
        const TSectionResult again = Compile(current, 5);
        ASSERT_EQ(again.Block, first.Block) << text.join(u'\n').toStdString() << "\n--\n"
                                            << current.join(u'\n').toStdString() << "\n"
                                            << again.Messages.join(u'\n').toStdString();

        QStringList old;
        ASSERT_TRUE(RelayoutSection(Compiler, 5, text, old, RelayoutOld));
        for (QString &line : old)
            line = line.toLower();
        QStringList back;
        ASSERT_TRUE(RelayoutSection(Compiler, 5, old, back, RelayoutCurrent));
        ASSERT_TRUE(Messages.isEmpty()) << Messages.join(u'\n').toStdString();
        Compiler.AlgMemoryUsed = 0;
        const TSectionResult third = Compile(back, 5);
        ASSERT_EQ(third.Block, first.Block) << text.join(u'\n').toStdString() << "\n--\n"
                                            << old.join(u'\n').toStdString() << "\n--\n"
                                            << back.join(u'\n').toStdString() << "\n"
                                            << third.Messages.join(u'\n').toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 350);
}
