// Colouring of the two languages of a program's text, line by line.

#include "../utf8text.h"
#include "compiler/compilertexts.h"
#include "compiler/lexer.h"
#include "compiler/syntaxstyler.h"
#include "prp/macrostable.h"

#include <gtest/gtest.h>

#include <map>

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
    // The names the header compiler takes, and none when it stops before the names part.
    const QStringList names = {S("/ Технологические названия"), S("насос ДВ012 ! основной"),
                               S("ОДНО"), S("; ДВ1 ДВ2")};
    EXPECT_EQ(TechNamesOfHeader(QStringList{S("/ ЗАКАЗ ТМГ"), S("1 10 20")} + names),
              QSet<QString>({S("НАСОС")}));
    EXPECT_TRUE(TechNamesOfHeader(QStringList{S("/ ЗАКАЗ ТМГ"), S("НЕ ИМЯ 1")} + names).isEmpty());
}

// Every lexeme the compiler reads has the colour of its kind, and the colouring marks the
// place where the compiler stops: the two never disagree about a character.
TEST(SyntaxStyler, ColoursWhatTheCompilerReads)
{
    const std::map<int, int> styleOfCode = {
        {LxSign, StyleOperator},       {LxOpen, StyleOperator},
        {LxClose, StyleOperator},      {LxEquals, StyleOperator},
        {LxRelation, StyleOperator},   {LxInteger, StyleNumber},
        {LxReal, StyleNumber},         {LxTime, StyleTime},
        {LxIf, StyleKeyword},          {LxThenElse, StyleKeyword},
        {LxOr, StyleKeyword},          {LxOnOff, StyleKeyword},
        {LxSkip, StyleKeyword},        {LxBit, StyleKeyword},
        {LxTextWord, StyleTextWord},   {LxTextString, StyleTextString},
        {LxAlgorithm, StyleAlgorithm}, {LxDiscrete, StyleVariable},
        {LxTimer, StyleVariable},      {LxAnalog, StyleVariable},
        {LxColumnOne, StyleFragment},  {LxLineNumber, StyleParameter},
        {LxParamName, StyleParameter}, {LxComment, StyleComment}};
    TMacrosTable macros;
    macros.Add(S("НАСОС"), S("ДВ012"));
    const QSet<QString> names{S("НАСОС")};
    const char *lines[] = {
        "е вкл вд001 т о дв002",        // lower case and one-letter keywords
        "ЕСЛИ ВКЛ ДВµ1",                // µ is a letter to Unicode, not to the controller
        "ВКЛ ДВ001 ёж",                 // Ё is outside А…Я
        "ВКЛ KБ1",                      // a Latin K that looks Cyrillic
        "ЕСЛИ ВКЛ ВА001 ИЛИ ОТКЛ ИВ01", // ИВ is no variable of a section
        "ВКЛ ДВ001 Ґ",                  // a Windows-1251 letter outside А…Я
        "ВКЛ ﬁ ДВ1",                    // a letter without a Windows-1251 capital
        "ВКЛ Αλ",                       // Greek look-alikes
        "ТОГДА ТС1.0.1 'ТЕКСТ ! НЕ КОММЕНТАРИЙ'",
        "ТС0.1.0 #ДВ001.#",
        "АВ1 = +ВА2 -12,5 ; комментарий",
        "ТМ15 = .1.30",
        "ТМ15 = 1.30.",
        "АВ2 = 12, 5",
        "ВКЛ ДВ1 # ДВ2",
        "ВКЛ насос\tИЛИ Б Насос",
        "   1  ВХОД=+ДАВЛ",
        "   2 =.5 ",
        "05 ЕСЛИ ВКЛ КБ0 !",
        "АЛГ012 ДВ8 ДВ1",
        "ЕСЛИ ТМ3<00.01.30 ТОГДА КС101 = 5",
        "\t! только комментарий",
    };
    for (const char *raw : lines) {
        const QString line = S(raw);
        TLexemeContainer lexemes;
        QStringList messages;
        TIndexMaxima maxima;
        const bool ok = ScanSection({line}, 0, macros, lexemes, messages, maxima);
        const QVector<int> styles = StylesOfLine(StyleSectionLine(line, false, names, nullptr),
                                                 static_cast<int>(line.size()));
        for (int i = 0; i < lexemes.Count(); ++i) {
            const TLexeme &lx = lexemes.At(i);
            const int expected = lx.Name.isEmpty() ? styleOfCode.at(lx.Code) : StyleTechName;
            EXPECT_EQ(styles[lx.SourceColumn - 1], expected) << raw << " at " << lx.SourceColumn;
        }
        if (ok) {
            EXPECT_FALSE(styles.contains(StyleBadChar)) << raw;
            continue;
        }
        // "[000.0:P] ...": where the compiler stops, and why.
        const int column = messages[0].section(u':', 1).section(u']', 0, 0).toInt();
        const int expected =
            messages[1].startsWith(CompilerText::BadWord) ? StyleDefault : StyleBadChar;
        EXPECT_EQ(styles[column - 1], expected) << raw << " at " << column;
    }
}
