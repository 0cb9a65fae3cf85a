#include "compiler/lexer.h"
#include "prp/macrostable.h"

#include "qtprint.h"

#include <gtest/gtest.h>

namespace {

struct TScan
{
    bool Ok = false;
    TLexemeContainer Lexemes;
    QStringList Messages;
    TIndexMaxima Maxima;
};

TScan Scan(const QStringList &lines, const TMacrosTable &macros = TMacrosTable(), int section = 0)
{
    TScan s;
    s.Ok = ScanSection(lines, section, macros, s.Lexemes, s.Messages, s.Maxima);
    return s;
}

// "code:text@line:column" of every lexeme, for compact comparisons.
QStringList Shapes(const TScan &s)
{
    QStringList out;
    for (int i = 0; i < s.Lexemes.Count(); ++i) {
        const TLexeme &lx = s.Lexemes.At(i);
        out.append(
            QStringLiteral("%1:%2@%3:%4").arg(lx.Code).arg(lx.Text).arg(lx.Line).arg(lx.Column));
    }
    return out;
}

QStringList Error(const QStringList &lines, const TMacrosTable &macros = TMacrosTable(),
                  int section = 0)
{
    const TScan s = Scan(lines, macros, section);
    EXPECT_FALSE(s.Ok);
    return s.Messages;
}

} // namespace

TEST(Lexer, KeywordsAbbreviationsAndLowerCase)
{
    const TScan s = Scan({QStringLiteral("е вкл вд001 т вкл дв002 и о кб1 или б ВСК")});
    ASSERT_TRUE(s.Ok);
    EXPECT_EQ(Shapes(s), (QStringList{"9:ЕСЛИ@0:1", "12:ВКЛ@0:3", "16:ВД001@0:7", "10:ТОГДА@0:13",
                                      "12:ВКЛ@0:15", "16:ДВ002@0:19", "10:ИНАЧЕ@0:25", "12:О@0:27",
                                      "16:КБ1@0:29", "11:ИЛИ@0:33", "20:Б@0:37", "13:ВСК@0:39"}));
    EXPECT_EQ(s.Lexemes.At(1).SubCode, SubOn);
    EXPECT_EQ(s.Lexemes.At(7).SubCode, SubOff);
    EXPECT_EQ(s.Lexemes.At(3).SubCode, SubThen);
    EXPECT_EQ(s.Lexemes.At(6).SubCode, SubElse);
    EXPECT_EQ(s.Lexemes.At(2).SubCode, SubVD);
    EXPECT_EQ(s.Lexemes.At(5).SubCode, SubDV);
    EXPECT_EQ(s.Lexemes.At(8).SubCode, SubKB);
}

TEST(Lexer, SignsBracketsAndRelations)
{
    const TScan s = Scan({QStringLiteral("(+-=<>)\t+")});
    ASSERT_TRUE(s.Ok);
    EXPECT_EQ(Shapes(s), (QStringList{"2:(@0:1", "1:+@0:2", "1:-@0:3", "4:=@0:4", "5:<@0:5",
                                      "5:>@0:6", "3:)@0:7", "1:+@0:9"}));
    EXPECT_EQ(s.Lexemes.At(1).SubCode, SubPlus);
    EXPECT_EQ(s.Lexemes.At(2).SubCode, SubMinus);
    EXPECT_EQ(s.Lexemes.At(4).SubCode, SubLess);
    EXPECT_EQ(s.Lexemes.At(5).SubCode, SubGreater);
}

TEST(Lexer, NumberShapes)
{
    const TScan s = Scan({QStringLiteral("ВСК 12,5 .5 1.30.00 .1.30.00 7.25 12,5.3 0.0.1 .1..")});
    ASSERT_TRUE(s.Ok) << s.Messages.join('|').toStdString();
    EXPECT_EQ(Shapes(s), (QStringList{"13:ВСК@0:1", "7:12.5@0:5", "7:0.5@0:10", "8:1.30.00@0:13",
                                      "8:.1.30.00@0:21", "7:7.25@0:30", "7:12,5.3@0:35",
                                      "8:0.0.1@0:42", "8:.1..@0:48"}));
}

TEST(Lexer, IntegersByPlace)
{
    // Column 1: fragment number; first on an indented line: parameter number (and name up
    // to the "=" when one follows later); otherwise an integer constant.
    const TScan s = Scan({
        QStringLiteral("03 АЛГ012 5"),
        QStringLiteral("   1  ВХОД = +ВА001"),
        QStringLiteral("   2=7"),
        QStringLiteral("  7 ВСК"),
        QStringLiteral("10"),
    });
    ASSERT_TRUE(s.Ok);
    EXPECT_EQ(Shapes(s),
              (QStringList{"100:03@0:1", "15:АЛГ012@0:4", "6:5@0:11", "101:1@1:4", "102:ВХОД @1:7",
                           "4:=@1:12", "1:+@1:14", "18:ВА001@1:15", "101:2@2:4", "4:=@2:5",
                           "6:7@2:6", "101:7@3:3", "13:ВСК@3:5", "100:10@4:1"}));
}

TEST(Lexer, TextStatement)
{
    const TScan s = Scan({
        QStringLiteral("ТС1.0.1  \"Авария #ДВ012#\"  "),
        QStringLiteral("т тс0.1.0"),
        QStringLiteral("'пуск ! не комментарий'"),
        QStringLiteral("ТС1.1.1"),
    });
    ASSERT_TRUE(s.Ok);
    // The text keeps what follows its closing quote; one leading and one trailing quote go.
    EXPECT_EQ(Shapes(s),
              (QStringList{"14:ТС1.0.1@0:1", "19:АВАРИЯ #ДВ012#\"  @0:10", "10:ТОГДА@1:1",
                           "14:ТС0.1.0@1:3", "19:ПУСК ! НЕ КОММЕНТАРИЙ@2:10", "14:ТС1.1.1@3:1"}));
    // ТС1 not followed by the three digits is an ordinary word.
    EXPECT_EQ(Error({QStringLiteral("ТС1.2.1 А")}),
              (QStringList{"[000.0:1] Ошибка в строке 0 в позиции 1", "Недопустимое слово ТС1"}));
}

TEST(Lexer, CommentsAndVariables)
{
    const TScan s = Scan({
        QStringLiteral("ВКЛ ДВ1 ; пояснение"),
        QStringLiteral("  !"),
        QStringLiteral("!x"),
        QStringLiteral("АЛГ АЛГ7 КС101 КС7771 ТМ77 АВ177 ВА0"),
    });
    ASSERT_TRUE(s.Ok);
    EXPECT_EQ(Shapes(s),
              (QStringList{"12:ВКЛ@0:1", "16:ДВ1@0:5", "103:; ПОЯСНЕНИЕ@0:9", "103:!X@2:1",
                           "15:АЛГ@3:1", "15:АЛГ7@3:5", "16:КС101@3:10", "16:КС7771@3:16",
                           "17:ТМ77@3:23", "18:АВ177@3:28", "18:ВА0@3:34"}));
    EXPECT_EQ(s.Lexemes.At(6).SubCode, SubKS);
    EXPECT_EQ(s.Lexemes.At(9).SubCode, SubAV);
    EXPECT_EQ(s.Lexemes.At(10).SubCode, SubVA);
}

TEST(Lexer, Maxima)
{
    TMacrosTable m;
    m.Add("НАСОС", "ДВ012");
    const TScan s = Scan({QStringLiteral("ВКЛ НАСОС ВКЛ ДВ5 ВД777 ТМ77 АВ1 ВА20 КБ7 КС737")}, m);
    ASSERT_TRUE(s.Ok);
    EXPECT_EQ(s.Lexemes.At(1).Text.toString(), "ДВ012");
    EXPECT_EQ(s.Lexemes.At(1).Column, 5);
    EXPECT_EQ(s.Maxima.DV, 10);
    EXPECT_EQ(s.Maxima.VD, 511);
    EXPECT_EQ(s.Maxima.TM, 63);
    EXPECT_EQ(s.Maxima.AV, 1);
    EXPECT_EQ(s.Maxima.VA, 16);
}

TEST(Lexer, MacroReplacement)
{
    TMacrosTable m;
    m.Add("ПУСК", "ВКЛ  МОТОР");
    m.Add("МОТОР", "ДВ7");
    m.Add("СЛОЖНО", "ДВ1 ВКЛ ДВ2");
    const TScan s = Scan({QStringLiteral("ПУСК СЛОЖНО")}, m);
    ASSERT_TRUE(s.Ok);
    // Columns are those of the line as scanned, after each replacement.
    EXPECT_EQ(Shapes(s), (QStringList{"12:ВКЛ@0:1", "16:ДВ7@0:6", "16:ДВ1@0:10", "12:ВКЛ@0:14",
                                      "16:ДВ2@0:18"}));
}

TEST(Lexer, EndlessMacroIsBounded)
{
    TMacrosTable m;
    m.Add("ЦИКЛ", "ЦИКЛ");
    m.Add("ДВА", "ДВ1 ДВА");
    EXPECT_EQ(Error({QStringLiteral("ВКЛ ЦИКЛ")}, m),
              (QStringList{"[000.0:5] Ошибка в строке 0 в позиции 5", "Недопустимое слово ЦИКЛ"}));
    // 64 replacements are allowed on a line, the 65th name is refused.
    const QStringList messages = Error({QStringLiteral("ДВА")}, m);
    EXPECT_EQ(messages, (QStringList{"[000.0:257] Ошибка в строке 0 в позиции 257",
                                     "Недопустимое слово ДВА"}));
    // The bound is per line.
    TMacrosTable n;
    n.Add("Х", "ВСК");
    QStringList lines;
    for (int i = 0; i < 3; ++i)
        lines.append(QString("Х ").repeated(64));
    const TScan s = Scan(lines, n);
    EXPECT_TRUE(s.Ok);
    EXPECT_EQ(s.Lexemes.Count(), 192);
}

TEST(Lexer, Errors)
{
    auto second = [](const QString &line) { return Error({line}).value(1); };
    EXPECT_EQ(second("ВКЛ ДВ8"), "Недопустимое слово ДВ8");
    EXPECT_EQ(second("ВКЛ КС12"), "Недопустимое слово КС12"); // a section number has 3 digits
    EXPECT_EQ(second("ВКЛ ИВ1"), "Недопустимое слово ИВ1");
    EXPECT_EQ(second("ВКЛ ДВ1 # 2"), "Недопустимый символ #");
    EXPECT_EQ(second("ВКЛ ё"), "Недопустимый символ Ё");
    EXPECT_EQ(second("ТМ1 = 1."), "После точки должно быть число либо точка лишняя");
    EXPECT_EQ(second("ТМ1 = ."), " После точки должно быть число либо точка лишняя");
    EXPECT_EQ(second("ТМ1 = .А"), "После точки должно быть число либо точка лишняя");
    EXPECT_EQ(second("ТМ1 = 1.А"), "После точки должно быть число либо точка лишняя");
    EXPECT_EQ(second("ТМ1 = 1.2."), "После точки должно быть число либо точка лишняя");
    EXPECT_EQ(second("ТМ1 = 1,"), "После запятой должно быть число либо запятая лишняя");
    EXPECT_EQ(second("ТМ1 = 1,5."), "После точки должно быть число либо точка лишняя");
    EXPECT_EQ(second("ТМ1 = .1.30"), "Ошибка при описании константы времени");

    // The first line names the lexeme's own place, in the section's three-digit number.
    EXPECT_EQ(Error({"ВСК", "  ВКЛ ДВ1 ТМ1 = .1.30"}, TMacrosTable(), 33).value(0),
              "[101.1:17] Ошибка в строке 1 в позиции 17");
    // Scanning stops at the first error.
    EXPECT_EQ(Error({"ДВ8 ДВ9"}).size(), 2);
}

TEST(Lexer, TextTakesTheNextLineWhenItsOwnLineEnds)
{
    const TScan s = Scan(
        {QStringLiteral("00 ТС1.0.1   "), QStringLiteral("\"ВКЛ ДВ8 #\""), QStringLiteral("ВСК")});
    ASSERT_TRUE(s.Ok);
    EXPECT_EQ(Shapes(s),
              (QStringList{"100:00@0:1", "14:ТС1.0.1@0:4", "19:ВКЛ ДВ8 #@1:14", "13:ВСК@2:1"}));
    // With no next line there is no text: the walk will report it.
    const TScan last = Scan({QStringLiteral("ТС1.0.1")});
    ASSERT_TRUE(last.Ok);
    EXPECT_EQ(last.Lexemes.Count(), 1);
}

TEST(Lexer, UpperCaseKeepsCharactersWithoutAWindows1251Capital)
{
    EXPECT_EQ(ControllerUpper("вкл µ ё abc"), "ВКЛ µ Ё ABC");
}

TEST(LexemeContainer, ReadingPastTheEndGivesAnEndLexemeAtTheLastPlace)
{
    TLexemeContainer c;
    TLexeme end = c.Get(0);
    EXPECT_EQ(end.Code, LxEnd);
    EXPECT_TRUE(end.Text.isEmpty());
    TLexeme a;
    a.Code = LxSkip;
    a.Text = c.Keep(QStringLiteral("ВС") + u'К'); // kept by the container, not by a
    a.Line = 3;
    a.Column = 7;
    c.Add(a);
    end = c.Get(1);
    EXPECT_EQ(end.Code, LxEnd);
    EXPECT_EQ(end.Line, 3);
    EXPECT_EQ(end.Column, 7);
    EXPECT_EQ(c.Get(-1).Code, LxEnd);
    EXPECT_EQ(c.Get(0).Text.toString(), "ВСК");
}
