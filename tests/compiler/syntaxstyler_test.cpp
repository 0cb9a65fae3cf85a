// Colouring of the two languages of a program's text, line by line.

#include "../utf8text.h"
#include "compiler/syntaxstyler.h"

#include <gtest/gtest.h>

namespace {

// The style of each character of the line as a string of style letters, one per character:
// d default, c comment, k keyword, v variable, n number, t time, w ТС word, s ТС text,
// a algorithm, h heading, o operator, f fragment, p parameter, m technological name, x bad.
std::string Letters(const QVector<TStyleRun> &runs, int length)
{
    static const char letters[] = "dckvntwsahofpmx";
    std::string out;
    for (int s : StylesOfLine(runs, length))
        out += letters[s];
    return out;
}

std::string Section(const char *line, const QSet<QString> &names = {}, bool textLine = false,
                    bool *ends = nullptr)
{
    const QString l = S(line);
    return Letters(StyleSectionLine(l, textLine, names, ends), static_cast<int>(l.size()));
}

std::string Header(const char *line)
{
    const QString l = S(line);
    return Letters(StyleHeaderLine(l), static_cast<int>(l.size()));
}

} // namespace

TEST(SyntaxStyler, SectionStatementsKeywordsAndTheirOneLetterForms)
{
    EXPECT_EQ(Section("ЕСЛИ ВКЛ ВД001 ТОГДА ОТКЛ ДВ17"), "kkkkdkkkdvvvvvdkkkkkdkkkkdvvvv");
    EXPECT_EQ(Section("е вкл вд001 т о дв002"), "kdkkkdvvvvvdkdkdvvvvv");
    // ДВ8 is no variable (8 is no octal digit): a plain word.
    EXPECT_EQ(Section("ИЛИ ДВ8 Б КС101"), "kkkdddddkdvvvvv");
    EXPECT_EQ(Section("АВ1 = +ВА2 -12,5 (ТМ3<00.01.30)"), "vvvdodovvvdonnnndovvvotttttttto");
}

TEST(SyntaxStyler, NumbersCommentsAlgorithmsAndParameterLines)
{
    EXPECT_EQ(Section("05 ЕСЛИ ВКЛ КБ0 ! пуск"), "ffdkkkkdkkkdvvvdcccccc");
    EXPECT_EQ(Section("АЛГ012 ; регулятор"), "aaaaaadccccccccccc");
    EXPECT_EQ(Section("   1  ВХОД=+ДАВЛ", {S("ДАВЛ")}), "dddpppppppoommmm");
    EXPECT_EQ(Section("   2 =.5"), "dddpdonn"); // ".5" is a real constant
    EXPECT_EQ(Section("ТМ15 = .1.30.00"), "vvvvdodtttttttt");
    EXPECT_EQ(Section("ВКЛ ДВ1 # ДВ2"), "kkkdvvvdxdvvv");
}

TEST(SyntaxStyler, TextStatementOnItsLineOrTheNext)
{
    bool ends = false;
    EXPECT_EQ(Section("ТОГДА ТС0.1.0 'АВАРИЯ'", {}, false, &ends), "kkkkkdwwwwwwwdssssssss");
    EXPECT_FALSE(ends);
    EXPECT_EQ(Section("ТОГДА ТС1.0.1", {}, false, &ends), "kkkkkdwwwwwww");
    EXPECT_TRUE(ends);
    EXPECT_EQ(Section("ЕСЛИ ВКЛ", {}, true, &ends), "ssssssss"); // the text of the line before
    EXPECT_FALSE(ends);
}

TEST(SyntaxStyler, HeaderLanguage)
{
    EXPECT_EQ(Header("/ ЗАКАЗ ПЕРЕМЕННЫХ"), "hhhhhhhhhhhhhhhhhh");
    EXPECT_EQ(Header("ВД 000 - 077 ! входы"), "vvdnnndodnnndccccccc");
    EXPECT_EQ(Header("НАСОС  ДВ012"), "mmmmmddvvvvv");
    EXPECT_EQ(Header("ИВ00 = +ВА001 0,1"), "vvvvdodvvvvvvdnnn");
    EXPECT_EQ(TechNamesOfHeader({S("/ ЗАКАЗ ТМГ"), S("НЕ ИМЯ 1"), S("/ Технологические названия"),
                                 S("насос ДВ012 ! основной"), S("ОДНО"), S("; ДВ1 ДВ2")}),
              QSet<QString>({S("НАСОС")}));
}
