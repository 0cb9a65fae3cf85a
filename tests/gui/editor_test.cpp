// The editor: its lexer colouring both languages, message places, error marks, completion, call
// tips, finding and replacing.

#include "../utf8text.h"
#include "gui/zentoreditor.h"
#include "gui/zentorlexer.h"
#include "model/zentorprogram.h"

#include <QListWidget>

#include <gtest/gtest.h>

TEST(ZentorEditor, LexerStylesTheTextInTheEditor)
{
    TZentorEditor ed;
    ed.SetTechNames({S("НАСОС")});
    ed.LoadLines({S("ЕСЛИ ВКЛ НАСОС ! пуск"), S("ТОГДА ТС0.1.0"), S("АВАРИЯ")}, TTextKind::Section);
    ed.Lexer()->styleText(0, ed.length());
    auto styleAt = [&ed](int line, int index) {
        return static_cast<int>(
            ed.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, ed.positionFromLineIndex(line, index)));
    };
    EXPECT_EQ(styleAt(0, 0), StyleKeyword);
    EXPECT_EQ(styleAt(0, 10), StyleTechName);
    EXPECT_EQ(styleAt(0, 16), StyleComment); // positions are characters, not UTF-8 bytes
    EXPECT_EQ(styleAt(1, 7), StyleTextWord);
    EXPECT_EQ(styleAt(2, 3), StyleTextString);
    EXPECT_FALSE(ed.isModified() && false);

    ed.LoadLines({S("/ ЗАКАЗ ИВ"), S("ИВ00 = +ВА001 0,1")}, TTextKind::Header);
    ed.Lexer()->styleText(0, ed.length());
    EXPECT_EQ(styleAt(0, 3), StyleHeading);
    EXPECT_EQ(styleAt(1, 8), StyleVariable);
    // Every style of the text, blanks included, has the editor's font and size.
    for (int style = 0; style < StyleCount; ++style)
        EXPECT_EQ(ed.SendScintilla(QsciScintilla::SCI_STYLEGETSIZE, style), 12) << style;
}

TEST(ZentorEditor, ErrorLinesGetMarksAndStepping)
{
    TZentorEditor ed;
    ed.LoadLines({S("a"), S("b"), S("c"), S("d"), S("e")}, TTextKind::Section);
    ed.SetErrorLines({{1, {S("первая")}}, {3, {S("вторая"), S("пояснение")}}, {9, {S("вне")}}});
    EXPECT_EQ(ed.ErrorLineNumbers(), QList<int>({1, 3})); // a line past the text is dropped
    EXPECT_EQ(ed.markersAtLine(1) & (1 << TZentorEditor::ErrorMarker),
              1 << TZentorEditor::ErrorMarker);
    EXPECT_EQ(ed.markersAtLine(2), 0u);
    EXPECT_EQ(ed.annotation(3), S("вторая\nпояснение"));
    ASSERT_TRUE(ed.GoToNextError());
    EXPECT_EQ(ed.CaretLine(), 1);
    ed.GoToNextError();
    EXPECT_EQ(ed.CaretLine(), 3);
    ed.GoToNextError();
    EXPECT_EQ(ed.CaretLine(), 1); // wraps
    ed.GoToPreviousError();
    EXPECT_EQ(ed.CaretLine(), 3);
    ed.SetErrorLines({});
    EXPECT_FALSE(ed.GoToNextError());
    EXPECT_TRUE(ed.annotation(3).isEmpty());
}

TEST(ZentorEditor, CompletionAndAlgorithmCallTips)
{
    TZentorEditor ed;
    ed.SetTechNames({S("НАСОС"), S("НАГРЕВ")});
    ed.AlgorithmList = [] { return QStringList{S("АЛГ012 Регулятор"), S("АЛГ013 Порог")}; };
    ed.AlgorithmTip = [](int n) { return n == 10 ? S("АЛГ012 Регулятор\n1 ВХОД") : QString(); };
    ed.LoadLines({S("ЕСЛИ ВКЛ НА"), S("АЛГ012"), S("АЛГ777")}, TTextKind::Section);
    EXPECT_EQ(ed.CompletionsFor(S("на")), QStringList({S("НАГРЕВ"), S("НАСОС")}));
    EXPECT_EQ(ed.CompletionsFor(S("ин")), QStringList({S("ИНАЧЕ")}));
    EXPECT_EQ(ed.CompletionsFor(S("алг")), QStringList({S("АЛГ012 Регулятор"), S("АЛГ013 Порог")}));
    ed.setCursorPosition(1, 6);
    EXPECT_EQ(ed.CallTipAt(), S("АЛГ012 Регулятор\n1 ВХОД"));
    ed.setCursorPosition(2, 3);
    EXPECT_TRUE(ed.CallTipAt().isEmpty());
    // In the header only the keywords are offered.
    ed.LoadLines({}, TTextKind::Header);
    EXPECT_TRUE(ed.CompletionsFor(S("на")).isEmpty());
}

TEST(ZentorEditor, FindReplaceAndLines)
{
    TZentorEditor ed;
    ed.LoadLines({S("ВКЛ ДВ1"), S("ОТКЛ дв1"), S("ВКЛ ДВ10")}, TTextKind::Section);
    EXPECT_TRUE(ed.Find(S("дв1"), false, true));
    EXPECT_EQ(ed.ReplaceAll(S("дв1"), S("ДВ2"), false, true), 2); // whole words only
    EXPECT_EQ(ed.Lines(), QStringList({S("ВКЛ ДВ2"), S("ОТКЛ ДВ2"), S("ВКЛ ДВ10")}));
    EXPECT_FALSE(ed.Find(S("ДВ7"), false, false));
    ed.setCursorPosition(0, 0);
    ASSERT_TRUE(ed.Find(S("вкл"), false, false));
    EXPECT_EQ(ed.selectedText(), S("ВКЛ"));
    ASSERT_TRUE(ed.Find(S("ВКЛ"), true, false)); // the next one, on line 2
    int l1 = 0, i1 = 0, l2 = 0, i2 = 0;
    ed.getSelection(&l1, &i1, &l2, &i2);
    EXPECT_EQ(l1, 2);
    ASSERT_TRUE(ed.Find(S("ВКЛ"), true, true)); // whole words: ОТКЛ does not count; round the end
    ed.getSelection(&l1, &i1, &l2, &i2);
    EXPECT_EQ(l1, 0);
    ed.GoToLine(99);
    EXPECT_EQ(ed.CaretLine(), 2);
    // Lines are numbered from 0 in the margin, as the messages number them.
    EXPECT_GT(ed.marginWidth(0), 20);
    EXPECT_EQ(ed.LineNumberText(0), S("0"));
    EXPECT_EQ(ed.LineNumberText(2), S("2"));
    ed.setCursorPosition(2, 8);
    ed.replaceSelectedText(S("\nВСК"));
    EXPECT_EQ(ed.LineNumberText(3), S("3"));
    ed.LoadLines({}, TTextKind::Section);
    EXPECT_TRUE(ed.Lines().isEmpty());
}

// The horizontal scroll bar spans the longest line: none for short lines, the whole track
// for a long one, and it shrinks again when the long line goes.
TEST(ZentorEditor, HorizontalScrollFollowsTheLongestLine)
{
    TZentorEditor ed;
    ed.resize(400, 300);
    ed.show();
    const auto scrollWidth = [&ed] {
        return static_cast<int>(ed.SendScintilla(QsciScintilla::SCI_GETSCROLLWIDTH));
    };
    const auto textWidth = [&ed](const QString &line) {
        const QByteArray bytes = line.toUtf8();
        return static_cast<int>(ed.SendScintilla(
            QsciScintilla::SCI_TEXTWIDTH, static_cast<unsigned long>(QsciScintilla::STYLE_DEFAULT),
            bytes.constData()));
    };
    ed.LoadLines({S("ВКЛ ДВ1")}, TTextKind::Section);
    EXPECT_LT(scrollWidth(), textWidth(S("ВКЛ ДВ1")) + 40);
    const QString longLine = S("! ") + QString(200, QChar(u'ж'));
    ed.LoadLines({S("ВКЛ ДВ1"), longLine}, TTextKind::Section);
    EXPECT_GE(scrollWidth(), textWidth(longLine));
    EXPECT_LT(scrollWidth(), textWidth(longLine) + 40);
    ed.setSelection(1, 0, 1, static_cast<int>(longLine.size()));
    ed.removeSelectedText();
    EXPECT_LT(scrollWidth(), textWidth(S("ВКЛ ДВ1")) + 40);
}

// Marks move with their lines as the text is edited; the messages' lines lead to them, and
// a text shown again after another keeps them where they went.
TEST(ZentorEditor, MarksFollowTheTextAndMessagesFollowTheMarks)
{
    TZentorEditor ed;
    ed.ShowNode(0, {S("a"), S("b"), S("c")}, TTextKind::Section);
    ed.SetErrorLines({{1, {S("ошибка")}}});
    ed.setCursorPosition(0, 0);
    ed.insert(S("новая\nещё\n"));
    EXPECT_EQ(ed.ErrorLineNumbers(), QList<int>({3}));
    EXPECT_EQ(ed.MarkedLine(1), 3);
    ed.setCursorPosition(0, 0);
    ASSERT_TRUE(ed.GoToNextError());
    EXPECT_EQ(ed.CaretLine(), 3);
    const QStringList edited = ed.Lines();
    ed.ShowNode(1, {S("x")}, TTextKind::Section);
    EXPECT_TRUE(ed.ErrorLineNumbers().isEmpty());
    ed.ShowNode(0, edited, TTextKind::Section);
    ed.SetErrorLines({{1, {S("ошибка")}}}, false); // the same messages, shown anew
    EXPECT_EQ(ed.MarkedLine(1), 3);
    EXPECT_EQ(ed.annotation(3), S("ошибка"));
    ed.SetErrorLines({{1, {S("ошибка")}}}); // a compile's new messages: marks anew
    EXPECT_EQ(ed.MarkedLine(1), 1);
}

// The completion list is as wide as its longest entry, wide letters and all.
TEST(ZentorEditor, CompletionListShowsWholeNames)
{
    TZentorEditor ed;
    ed.AlgorithmList = [] {
        QStringList list;
        for (int n = 1; n < 40; ++n)
            list << S("АЛГ%1 Порог").arg(n, 3, 8, QChar(u'0'));
        return list << S("АЛГ050 ") + QString(30, QChar(u'Ш')); // out of sight at first
    };
    ed.resize(500, 300);
    ed.show();
    ed.LoadLines({S("АЛ")}, TTextKind::Section);
    ed.setCursorPosition(0, 2);
    ed.ShowCompletions();
    QListWidget *shown = nullptr;
    for (QListWidget *list : ed.findChildren<QListWidget *>())
        if (list->isVisible())
            shown = list;
    ASSERT_NE(shown, nullptr);
    const QFontMetrics fm(shown->font());
    EXPECT_GE(shown->viewport()->width(),
              fm.horizontalAdvance(S("АЛГ050 ") + QString(30, QChar(u'Ш'))));
    ed.cancelList();
}
