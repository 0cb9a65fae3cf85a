// A section's two sides in the comparison with a controller, and the compile before a
// transfer that leaves an unchanged header as it stands.

#include "compilertest.h"

#include "../utf8text.h"
#include "compiler/sectioncompare.h"
#include "core/progress.h"
#include "model/comparetexts.h"
#include "model/prpcomparison.h"

#include <memory>

namespace {

class SectionCompareTest : public CompilerTest
{
protected:
    // A program of one section 001 compiled from text under a header with a name.
    std::unique_ptr<TZentorProgram> Compiled(const QStringList &text)
    {
        auto p = std::make_unique<TZentorProgram>();
        p->Messages = &Messages;
        p->Header.Text = {S("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"), S("НАСОС ДВ012")};
        p->AddSection(1, S("Насос"));
        p->CommitSectionText(1, text);
        Messages.clear();
        EXPECT_TRUE(Compiler.CompileProgram(*p, NoProgress()))
            << Messages.join(u'\n').toStdString();
        return p;
    }

    // The view of section 001 with the controller holding what `controller` compiles to.
    TSideBySide View(const TZentorProgram &program, const TZentorProgram &controller)
    {
        TPrpComparison r = ComparePrp(program, controller);
        AddSectionViews(r, program, controller, &Base);
        for (const TCompareRow &row : r.Rows)
            if (row.IsSection && row.Section == 1)
                return row.View;
        ADD_FAILURE() << "no row for section 001";
        return {};
    }
};

const QStringList kText = {
    S("! пуск насоса"), S("ВКЛ НАСОС"),          S("ЕСЛИ В ДВ001"), S("ТОГДА ОТКЛ ДВ002"),
    S("АЛГ020"),        S("   1 ВХОД = +ВА003"), S("ВСК"),
};

} // namespace

TEST_F(SectionCompareTest, MarksTheStatementsWhoseInstructionsDiffer)
{
    const auto program = Compiled(kText);
    QStringList changed = kText;
    changed[3] = S("ТОГДА ОТКЛ ДВ003");   // one instruction changed
    changed[5] = S("   1 ВХОД = +ВА004"); // the call's parameter
    changed.insert(6, S("ВКЛ ДВ005"));    // one instruction more
    const auto controller = Compiled(changed);
    const TSideBySide v = View(*program, *controller);

    EXPECT_EQ(v.ProgramLines, kText);
    EXPECT_EQ(v.ProgramMarked, (QList<int>{3, 4, 5}));
    // The controller's block decompiled with the program's base, one line per fragment.
    ASSERT_EQ(v.ControllerLines.size(), 7) << v.ControllerLines.join(u'|').toStdString();
    EXPECT_EQ(v.ControllerMarked, (QList<int>{2, 3, 4, 5}));
    EXPECT_EQ(v.ControllerLines[2], S("02 Тогда О ДВ003"));
    EXPECT_EQ(v.ControllerLines[5], S("04 В ДВ005"));
    EXPECT_TRUE(v.Notes.isEmpty()) << v.Notes.join(u'\n').toStdString();
}

TEST_F(SectionCompareTest, WhatTheLinesCannotShowIsSaid)
{
    const auto program = Compiled(kText);

    // Only the block's checksum byte differs: no line is marked.
    const auto checksum = Compiled(kText);
    checksum->Sections[1].Code[4] ^= 1;
    TSideBySide v = View(*program, *checksum);
    EXPECT_TRUE(v.ProgramMarked.isEmpty());
    EXPECT_TRUE(v.ControllerMarked.isEmpty());
    EXPECT_EQ(v.Notes, QStringList{CompareText::FrameOnly});

    // The call's own memory moved: the same text, other bytes.
    const auto memory = Compiled(kText);
    TZentorSection &call = memory->Sections[1];
    int at = 5;
    while (at < call.CodeLength && call.Code[at] != 0x20) // АЛГ020: opcode, 2 × 020, length
        at += 2;
    ASSERT_EQ(call.Code[at + 1], 0x20);
    call.Code[at + 3] += 4; // the own memory's address
    v = View(*program, *memory);
    EXPECT_EQ(v.ProgramMarked, (QList<int>{4, 5}));
    EXPECT_EQ(v.Notes, QStringList{CompareText::HiddenBytes});

    // A text edited since its compile no longer gives the block: both sides decompiled.
    program->Sections[1].Text[1] = S("ВКЛ ДВ013");
    const auto other = Compiled({S("ВКЛ ДВ007")});
    v = View(*program, *other);
    EXPECT_EQ(v.ProgramLines.value(0), S("00 В ДВ012"));
    EXPECT_EQ(v.Notes.value(0), CompareText::ProgramLinesUnmatched);
}

TEST_F(SectionCompareTest, TransferCompileKeepsAnUnchangedHeaderAndTakesItsNames)
{
    // A header from an image: a key whose name begins with a blank, which its text does not
    // give back.
    auto p = std::make_unique<TZentorProgram>();
    p->Messages = &Messages;
    p->Header.TechKeys[0] = {1, 10, S(" ПУСК   ")};
    p->Header.Decompile(Messages);
    p->Header.Text << S("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ") << S("НАСОС ДВ012");
    ASSERT_EQ(p->Header.Compile(Messages, Compiler.Macros), 0);
    p->Header.TechKeys[0].Name = S(" ПУСК   "); // as the image had it
    p->AddSection(1, QString());
    p->CommitSectionText(1, {S("ВКЛ НАСОС")});

    // Another program's header compiled since: its names are not this program's.
    TPRPHeader other;
    other.Text = {S("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"), S("ДРУГОЕ ДВ001")};
    other.Compile(Messages, Compiler.Macros);

    Messages.clear();
    EXPECT_TRUE(Compiler.CompileProgram(*p, NoProgress(), false))
        << Messages.join(u'\n').toStdString();
    EXPECT_EQ(p->Header.TechKeys[0].Name, S(" ПУСК   "));
    EXPECT_EQ(p->Sections[1].Code[6], 10); // ВКЛ ДВ012

    // A changed header text is compiled.
    p->Header.Text.append(S("ТОРМОЗ ДВ013"));
    EXPECT_TRUE(Compiler.CompileProgram(*p, NoProgress(), false));
    EXPECT_EQ(p->Header.TechKeys[0].Name, S("ПУСК    "));
}
