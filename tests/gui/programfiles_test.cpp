// The main window's files as a user meets them: a changed program is marked and never lost
// without a question, the current file is the one that was really loaded, damaged images
// and other program forms are refused where they would do harm. Real key events on the real
// window, starting from an empty program directory.

#include "../model/testblocks.h"
#include "../utf8text.h"
#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"
#include "core/textfile.h"
#include "files/programfiles.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/zentoreditor.h"
#include "guitestutil.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

#include <random>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");
const QString kSaveQuestion = S("Сохранить изменения в программе?");
const QKeySequence kNew(Qt::CTRL | Qt::Key_N);
const QKeySequence kOpen(Qt::CTRL | Qt::Key_O);
const QKeySequence kSave(Qt::CTRL | Qt::Key_S);
const QKeySequence kSaveAs(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
const QKeySequence kCompile(Qt::Key_F9);
const QKeySequence kCompileAll(Qt::CTRL | Qt::Key_F9);

class ProgramFilesTest : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;

    void SetUp() override
    {
        TGuiTest::SetUp();
        ASSERT_TRUE(
            QFile::copy(kExamples + QStringLiteral("BaseAlgs.alg"), Home() + S("BaseAlgs.alg")));
        Form = MakeForm();
        Form->show();
    }

    QString WriteProgram(const QString &name, const QString &line = S("ВКЛ ДВ1"))
    {
        const QString path = File(name);
        QString error;
        EXPECT_TRUE(WriteTextFile(path, {S("/ СЕКЦИЯ 000 !Пуск"), line}, error));
        return path;
    }

    // Menu keys reach the window as a user presses them. A progress window that came and
    // went leaves no window active on this platform; a window manager would give the main
    // window its activation back.
    void Press(const QKeySequence &keys)
    {
        QApplication::setActiveWindow(Form.get());
        QTest::keySequence(Form.get(), keys);
    }
    void Open(const QString &path)
    {
        Dialogs.Files.push_back({path, 1});
        Press(kOpen);
    }
    // Typed key by key (plain letters: the test library types no others).
    void TypeIntoSection(int n, const char *text)
    {
        Form->TreeView->SelectNode(n);
        Form->ApplySelectionChange();
        Form->ProgramREdit->setFocus();
        QTest::keyClicks(Form->ProgramREdit, text);
    }
    QStringList TreeLabels() const
    {
        QStringList labels;
        for (QTreeWidgetItemIterator it(Form->TreeView); *it; ++it)
            labels.append((*it)->text(0));
        return labels;
    }
    QStringList ErrorList() const
    {
        QStringList lines;
        for (int i = 0; i < Form->ErrorsListBox->count(); ++i)
            lines.append(Form->ErrorsListBox->item(i)->text());
        return lines;
    }
    bool Changed() const { return Form->windowTitle().endsWith(u'*'); }
};

} // namespace

TEST_F(ProgramFilesTest, AChangedProgramIsNeverReplacedWithoutTheSaveQuestion)
{
    const QString a = WriteProgram(S("a.zen"));
    const QString b = WriteProgram(S("b.zen"), S("ВКЛ ДВ2"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Open(b);
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Open(a);
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ") + a);

    // Nothing changed: New asks its usual question (No by default).
    Press(kNew);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Вы уверены, что хотите создать новую программу?"));
    EXPECT_EQ(Form->Document->FileName(), a);

    struct TCase
    {
        const char *What;
        std::function<void()> Command;
    };
    const TCase commands[] = {
        {"New", [&] { Press(kNew); }},
        {"Open", [&] { Press(kOpen); }},
        {"recent file", [&] { Form->RecentItems[2]->trigger(); }},
        {"close", [&] { Form->close(); }},
    };
    TypeIntoSection(0, "x ");
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ") + a + u'*');
    for (const TCase &c : commands) {
        const size_t asked = Dialogs.Asked.size();
        c.Command(); // the question's default is Отмена: nothing happens
        ASSERT_EQ(Dialogs.Asked.size(), asked + 1) << c.What;
        const TScriptedDialogs::TAsked &q = Dialogs.Asked.back();
        EXPECT_EQ(q.Text, kSaveQuestion) << c.What;
        EXPECT_EQ(q.Caption, S("Внимание!"));
        EXPECT_EQ(q.Buttons, TUserDialogs::YesNoCancel);
        EXPECT_EQ(q.Default, TUserDialogs::AnswerCancel);
        EXPECT_TRUE(Form->isVisible()) << c.What;
        EXPECT_EQ(Form->Document->FileName(), a) << c.What;
        EXPECT_EQ(Form->ProgramREdit->Lines().first(), S("x ВКЛ ДВ1")) << c.What;
    }
    EXPECT_TRUE(Dialogs.FileDialogs.size() == 2); // the two opens at the start

    // Да saves first, then the command goes on.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Form->RecentItems[2]->trigger();
    EXPECT_TRUE(ReadLines(a).contains(S("x ВКЛ ДВ1")));
    EXPECT_EQ(Form->Document->FileName(), b);
    EXPECT_FALSE(Changed());

    // Нет drops the change and goes on without the usual question.
    TypeIntoSection(0, "x ");
    Dialogs.Answers.push_back(TUserDialogs::AnswerNo);
    const size_t asked = Dialogs.Asked.size();
    Press(kNew);
    EXPECT_EQ(Dialogs.Asked.size(), asked + 1);
    EXPECT_TRUE(Form->Document->FileName().isEmpty());
    EXPECT_EQ(Form->windowTitle(), S("Зентор")); // the caption names no file
    EXPECT_EQ(ReadLines(b).last(), S("ВКЛ ДВ2"));

    // A new program with a change: Да opens Save as; cancelling it stops the close.
    TypeIntoSection(0, "x");
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Form->close();
    EXPECT_EQ(Dialogs.FileDialogs.back().Filter, GuiTexts::SaveFilter);
    EXPECT_TRUE(Form->isVisible());
    Dialogs.Answers.push_back(TUserDialogs::AnswerNo);
    Form->close();
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(ProgramFilesTest, WhatChangesTheProgramMarksTheCaption)
{
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Open(WriteProgram(S("p.zen")));
    struct TCase
    {
        const char *What;
        std::function<void()> Edit;
    };
    const TCase edits[] = {
        {"add section",
         [&] {
             Form->TreeView->SelectNode(0);
             Dialogs.Windows.push_back([](QDialog *) { return int(QDialog::Accepted); });
             Form->AddSectionItem->trigger();
         }},
        {"rename section",
         [&] {
             Form->TreeView->SelectNode(0);
             Dialogs.Windows.push_back([](QDialog *) { return int(QDialog::Accepted); });
             Form->RenameSectionItem->trigger();
         }},
        {"delete section",
         [&] {
             Form->TreeView->SelectNode(0);
             Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
             Form->DeleteSectionItem->trigger();
         }},
        {"add group",
         [&] {
             Dialogs.Windows.push_back([](QDialog *) { return int(QDialog::Accepted); });
             Form->AddBlockItem->trigger();
         }},
        {"delete group",
         [&] {
             Form->TreeView->SelectNode(256);
             Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
             Form->DeleteBlockItem->trigger();
         }},
        {"header text", [&] { TypeIntoSection(TTreeItemInfo::HeaderCode, "! note"); }},
    };
    for (const TCase &c : edits) {
        // Back to the file as it is: "Нет" to the save question, or "Да" to the usual one.
        Dialogs.Answers.push_back(Changed() ? TUserDialogs::AnswerNo : TUserDialogs::AnswerYes);
        Form->RecentItems[1]->trigger();
        ASSERT_FALSE(Changed()) << c.What;
        c.Edit();
        EXPECT_TRUE(Changed()) << c.What;
    }
    // Saving takes the mark away; compiling a program source file does not set it.
    Press(kSave);
    EXPECT_FALSE(Changed());
    Press(kCompile);
    EXPECT_FALSE(Changed());
}

TEST_F(ProgramFilesTest, TheFileGivenAtStartAndAFailedOpen)
{
    // Given at start (the command line): the current file, saved without a dialog.
    const QString path = WriteProgram(S("start.zen"));
    TFileCommands::OpenGiven(*Form, path);
    EXPECT_EQ(Form->Document->FileName(), path);
    TypeIntoSection(0, "x ");
    Press(kSave);
    EXPECT_TRUE(Dialogs.FileDialogs.empty());
    EXPECT_TRUE(ReadLines(path).contains(S("x ВКЛ ДВ1")));

    // A program source file that cannot be read leaves no current file to save over.
    QDir().mkpath(File(S("папка.zen")));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Open(File(S("папка.zen")));
    EXPECT_EQ(ErrorList().last(), S("Ошибка при чтении файла"));
    EXPECT_EQ(Form->RecentFiles.Count, 1); // a file not read is no recent file
    EXPECT_EQ(Form->windowTitle(), S("Зентор"));
    Press(kSave);
    EXPECT_EQ(Dialogs.FileDialogs.back().Filter, GuiTexts::SaveFilter);
}

TEST_F(ProgramFilesTest, SaveAsKeepsToTheProgramSourceForm)
{
    const QStringList refused{S("new1.prp"), S("new1.PRG"), S("new1.hdr"), S("new1.101")};
    for (const QString &name : refused)
        Dialogs.Files.push_back({File(name), 1});
    Dialogs.Files.push_back({File(S("new1.ZEN")), 1});
    Press(kSaveAs);
    ASSERT_EQ(Dialogs.FileDialogs.size(), size_t(refused.size() + 1));
    ASSERT_EQ(Dialogs.Asked.size(), size_t(refused.size()));
    for (const auto &q : Dialogs.Asked)
        EXPECT_EQ(q.Text, S("Программа сохраняется в формате .zen; для других форм — «Экспорт»"));
    EXPECT_EQ(QDir(Temp.path()).entryList(QDir::Files), QStringList{S("new1.ZEN")});
    EXPECT_EQ(Form->Document->FileName(), File(S("new1.ZEN")));
}

TEST_F(ProgramFilesTest, ReopenedSectionsAreNotCalledEmpty)
{
    const QString path = WriteProgram(S("p.zen"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Open(path);
    Press(kCompile);
    EXPECT_TRUE(TreeLabels().contains(S("000:Пуск (000/8)")));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Open(path);
    EXPECT_EQ(TreeLabels(),
              QStringList({S("Заголовок программы"), S("Блок 0 (0)"), S("000:Пуск")}));
}
