// The cross-reference window with the example program: opened by its key, filtered by
// typing, narrowed by its checks, renewed by a compile and a load, and leading by a double
// click to the place in a section or the header.

#include "../utf8text.h"
#include "gui/crossrefform.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/zentoreditor.h"
#include "guitestutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

class CrossRefWindowTest : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;

    void SetUp() override
    {
        TGuiTest::SetUp();
        CopyExampleBase();
        Form = MakeForm();
        Form->resize(1000, 700);
        Form->show();
        ActivateMain();
        OpenExample(*Form);
    }

    void Open(const QString &path)
    {
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({path, 1});
        TFileCommands::Open(*Form);
    }

    TCrossRefForm *Window() const { return Form->CrossRefForm; }

    void ActivateMain()
    {
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get(), 5000));
    }

    // Typed as a person types: key events carrying the characters (QTest's own typing
    // carries Latin-1 only).
    static void Type(QWidget *w, const QString &text)
    {
        for (QChar c : text) {
            const int key = c.isDigit() ? Qt::Key_0 + c.digitValue()
                            : c == u' ' ? Qt::Key_Space
                                        : Qt::Key_A;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }

    // The texts of the rows in view: column c of each.
    QStringList Shown(int c = 0) const
    {
        QStringList out;
        QTreeWidget *view = Window()->UsesView;
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            if (!view->topLevelItem(i)->isHidden())
                out.append(view->topLevelItem(i)->text(c));
        return out;
    }

    QTreeWidgetItem *FirstShown(const QString &variable) const
    {
        QTreeWidget *view = Window()->UsesView;
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = view->topLevelItem(i);
            if (!item->isHidden() && item->text(0) == variable)
                return item;
        }
        return nullptr;
    }

    void DoubleClick(QTreeWidgetItem *item)
    {
        QTreeWidget *view = Window()->UsesView;
        view->scrollToItem(item);
        const QPoint at = view->visualItemRect(item).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    // The word under the editor's caret.
    QString WordAtCaret() const
    {
        const QString line = Form->ProgramREdit->text(Form->ProgramREdit->CaretLine());
        const int from = Form->ProgramREdit->CaretColumn() - 1;
        int to = from;
        while (to < line.size() && (line[to].isLetterOrNumber() || line[to] == u'_'))
            ++to;
        return line.mid(from, to - from);
    }
};

} // namespace

TEST_F(CrossRefWindowTest, OpensByItsKeyFiltersAndLeadsToThePlace)
{
    EXPECT_EQ(Form->CrossRefItem->text(), S("&Перекрёстные ссылки"));
    EXPECT_EQ(Form->CrossRefItem->shortcut(), QKeySequence(S("Ctrl+Shift+X")));
    Form->ProgramREdit->setFocus();
    QTest::keyClick(Form->ProgramREdit, Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(Window(), nullptr);
    ASSERT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), S("Перекрёстные ссылки"));
    const int all = Window()->UsesView->topLevelItemCount();
    EXPECT_GT(all, 300);
    EXPECT_TRUE(Window()->SummaryLabel->text().startsWith(S("Использований: %1,").arg(all)));
    EXPECT_EQ(Window()->OutsideOrderCheck->text(), S("Вне &заказа (0)"));

    // Typed into the filter, in lower case: the names that begin so, and only they.
    Type(Window()->FilterEdit, S("кл_н"));
    const QStringList names = Shown(1);
    EXPECT_EQ(names.size(), 6) << names.join(u' ').toStdString(); // 3 names, declared and used
    for (const QString &n : names)
        EXPECT_TRUE(n.startsWith(S("КЛ_Н"))) << n.toStdString();
    EXPECT_TRUE(Window()->SummaryLabel->text().endsWith(S("Показано: 6.")));

    // A double click on a section use: that section in the editor, the caret on the name.
    QTreeWidgetItem *use = nullptr;
    for (int i = 0; i < Window()->UsesView->topLevelItemCount() && !use; ++i) {
        QTreeWidgetItem *item = Window()->UsesView->topLevelItem(i);
        if (!item->isHidden() && item->text(2).startsWith(S("секция 103")))
            use = item;
    }
    ASSERT_NE(use, nullptr);
    DoubleClick(use);
    EXPECT_EQ(Form->CurrentNode->Code, 35); // section 103
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), use->text(3).toInt());
    EXPECT_EQ(Form->ProgramREdit->CaretColumn(), use->text(4).toInt());
    EXPECT_EQ(WordAtCaret(), S("КЛ_Н2"));

    // Enter on a header row: the header at the name's declaration.
    QTreeWidgetItem *declared = FirstShown(S("ДВ033"));
    ASSERT_NE(declared, nullptr);
    EXPECT_EQ(declared->text(2), S("заголовок"));
    Window()->UsesView->setCurrentItem(declared);
    QTest::keyClick(Window()->UsesView, Qt::Key_Return);
    EXPECT_EQ(Form->CurrentNode->Code, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(WordAtCaret(), declared->text(1));
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), declared->text(3).toInt());
    Window()->close();
}

// A use beyond the order typed into a section appears after F9 and is all the check shows;
// a program that does not compile, loaded later, shows its messages and leads to them; the
// window closed in between is renewed when it is opened again.
TEST_F(CrossRefWindowTest, FollowsCompileAndLoad)
{
    Form->CrossRefItem->trigger();
    ASSERT_TRUE(Window()->isVisible());
    const int before = Window()->UsesView->topLevelItemCount();

    Form->TreeView->SelectNode(0);
    Form->ApplySelectionChange();
    Form->ProgramREdit->setFocus();
    Form->ProgramREdit->setCursorPosition(0, 0);
    Type(Form->ProgramREdit, S("вкл дв101 "));
    ActivateMain();
    QTest::keyClick(Form->ProgramREdit, Qt::Key_F9);
    EXPECT_EQ(Window()->UsesView->topLevelItemCount(), before + 1);
    EXPECT_EQ(Window()->OutsideOrderCheck->text(), S("Вне &заказа (1)"));
    QTest::mouseClick(Window()->OutsideOrderCheck, Qt::LeftButton);
    ASSERT_TRUE(Window()->OutsideOrderCheck->isChecked());
    EXPECT_EQ(Shown(), QStringList{S("ДВ101")});
    EXPECT_EQ(Shown(7), QStringList{S("вне заказа: заказано ДВ 000 - 077")});
    DoubleClick(FirstShown(S("ДВ101")));
    EXPECT_EQ(Form->CurrentNode->Code, 0);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 0);
    EXPECT_EQ(Form->ProgramREdit->CaretColumn(), 5);
    QTest::mouseClick(Window()->OutsideOrderCheck, Qt::LeftButton);
    EXPECT_EQ(Shown().size(), before + 1);

    // Closed, the program changed under it: opened again it shows the program as it is.
    Window()->close();
    const QString broken = File(S("сломана.zen"));
    QString error;
    ASSERT_TRUE(WriteTextFile(broken, {S("/ СЕКЦИЯ 000 !"), S("ВКЛ ДВ1"), S("ЕСЛИ")}, error));
    Open(broken);
    EXPECT_EQ(Window()->UsesView->topLevelItemCount(), before + 1); // not renewed while closed
    Form->CrossRefItem->trigger();
    QTreeWidget *view = Window()->UsesView;
    ASSERT_EQ(view->topLevelItemCount(), 1);
    QTreeWidgetItem *failed = view->topLevelItem(0);
    EXPECT_EQ(failed->text(2), S("секция 000"));
    EXPECT_EQ(failed->text(5), S("ошибка компиляции"));
    ASSERT_EQ(failed->childCount(), 1);
    EXPECT_EQ(failed->child(0)->text(6),
              S("[000.1:1] Синтаксическая ошибка в строке 1 в позиции 1"));
    EXPECT_EQ(Window()->SummaryLabel->text(),
              S("Использований: 0, переменных: 0, названий: 0. Не откомпилировано: 1."));
    EXPECT_TRUE(Window()->OpenRow(failed->child(0)));
    EXPECT_EQ(Form->CurrentNode->Code, 0);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 1);
    Window()->close();
}
