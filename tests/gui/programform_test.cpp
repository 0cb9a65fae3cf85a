// The main window with a real model: file commands with scripted answers, the tree and its
// labels, the commit of the editor's text, sections and groups, the error list.

#include "../utf8text.h"
#include "core/textutils.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/helpform.h"
#include "gui/programsearch.h"
#include "gui/programstructure.h"
#include "gui/smallforms.h"
#include "gui/zentoreditor.h"
#include "guitestutil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

// A dialog answer that picks item `index` of a combo box and types a name.
std::function<int(QDialog *)> PickSection(int index, const QString &name)
{
    return [index, name](QDialog *d) {
        auto *f = static_cast<TAddSectionForm *>(d);
        f->SectionNumCB->setCurrentIndex(index);
        f->NameEdit->setText(name);
        return int(QDialog::Accepted);
    };
}

class ProgramFormTest : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;

    void SetUp() override
    {
        TGuiTest::SetUp();
        Form = MakeForm();
    }

    // A small program source file: header, sections 000 and 101 (group 1).
    QString WriteProgram(const QString &name)
    {
        const QString path = File(name);
        QString error;
        EXPECT_TRUE(WriteTextFile(path,
                                  {S("/ ЗАКАЗ ПЕРЕМЕННЫХ"), S("ДВ 000 - 077"), QString(),
                                   S("/ СЕКЦИЯ 000 !Пуск"), S("ЕСЛИ ВКЛ ВД1 ТОГДА ВКЛ ДВ1"),
                                   QString(), S("/ СЕКЦИЯ 101 !Насосы"), S("ВКЛ ДВ2")},
                                  error))
            << error.toStdString();
        return path;
    }

    void Open(const QString &path)
    {
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({path, 1});
        TFileCommands::Open(*Form);
    }

    QStringList TreeLabels() const
    {
        QStringList labels;
        QTreeWidgetItemIterator it(Form->TreeView);
        while (*it) {
            labels.append((*it)->text(0));
            ++it;
        }
        return labels;
    }

    void Select(int code)
    {
        Form->TreeView->SelectNode(code);
        Form->ApplySelectionChange();
    }

    void Type(const QString &text)
    {
        Form->ProgramREdit->setFocus();
        Form->ProgramREdit->replaceSelectedText(text);
    }

    QStringList ErrorList() const
    {
        QStringList lines;
        for (int i = 0; i < Form->ErrorsListBox->count(); ++i)
            lines.append(Form->ErrorsListBox->item(i)->text());
        return lines;
    }
};

} // namespace

TEST_F(ProgramFormTest, MenusCarryTheirCaptionsAndKeys)
{
    EXPECT_EQ(Form->windowTitle(), S("Зентор"));
    const QList<QAction *> menus = Form->menuBar()->actions();
    QStringList titles;
    for (QAction *m : menus)
        titles.append(m->text());
    EXPECT_EQ(titles, QStringList({S("&Файл"), S("&Правка"), S("П&рограмма"), S("Н&астройка"),
                                   S("П&омощь")}));
    struct
    {
        QAction *Item;
        const char *Text;
        QKeySequence Key;
    } const items[] = {
        {Form->NewItem, "&Создать", QKeySequence(S("Ctrl+N"))},
        {Form->SaveAsItem, "Сохранить &как...", QKeySequence(S("Ctrl+Shift+S"))},
        {Form->ExportItem, "&Экспорт файлов", QKeySequence(S("Ctrl+E"))},
        {Form->AddSectionItem, "Добавить с&екцию", QKeySequence()},
        {Form->RenameSectionItem, "Пере&именовать секцию", QKeySequence(S("Ctrl+Shift+R"))},
        {Form->RenumberItem, "Пере&нумерация фрагментов", QKeySequence(S("Ctrl+R"))},
        {Form->CompareItem, "С&равнить с контроллером", QKeySequence(S("F4"))},
        {Form->CompileItem, "&Компиляция", QKeySequence(S("F9"))},
        {Form->CompileAllItem, "Компилировать &всё", QKeySequence(S("Ctrl+F9"))},
        {Form->ConsoleItem, "Консоль &Сарветела", QKeySequence(S("Ctrl+Shift+L"))},
        {Form->ContentsItem, "&Содержание", QKeySequence(S("F1"))},
    };
    for (const auto &i : items) {
        EXPECT_EQ(i.Item->text(), S(i.Text));
        EXPECT_EQ(i.Item->shortcut(), i.Key) << i.Text;
    }
    // No two actions share a key, so none of them is dead.
    QSet<QString> keys;
    for (QAction *a : Form->findChildren<QAction *>())
        if (!a->shortcut().isEmpty()) {
            EXPECT_FALSE(keys.contains(a->shortcut().toString()))
                << a->shortcut().toString().toStdString();
            keys.insert(a->shortcut().toString());
        }
    // Without a port in use the controller commands are off; the options stay hidden.
    EXPECT_FALSE(Form->ReadItem->isEnabled());
    EXPECT_FALSE(Form->WriteItem->isEnabled());
    EXPECT_FALSE(Form->CompareItem->isEnabled());
    EXPECT_FALSE(Form->ConsoleItem->isEnabled());
    EXPECT_FALSE(Form->CompilerOptionsItem->isVisible());
    EXPECT_FALSE(Form->VariablesItem->isVisible());
}

TEST_F(ProgramFormTest, StartsWithTheEmptyProgram)
{
    EXPECT_EQ(TreeLabels(), QStringList({S("Заголовок программы"), S("Блок 0 (0)"), S("000:")}));
    EXPECT_EQ(Form->TreeView->SelectedNode()->Info.Code, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(Form->StatusPanel1->text(), S("Заголовок программы"));
    EXPECT_TRUE(Form->Document->FileName().isEmpty());
}

TEST_F(ProgramFormTest, OpenBuildsTheTreeAndRemembersTheFile)
{
    const QString path = WriteProgram(S("насосы.zen"));
    Open(path);
    EXPECT_EQ(Dialogs.Asked.at(0).Text,
              S("После открытия файла, текущая программа будет недоступна. Продолжить?"));
    EXPECT_EQ(Dialogs.Asked.at(0).Default, TUserDialogs::AnswerNo);
    EXPECT_EQ(Dialogs.FileDialogs.at(0).Filter, GuiTexts::OpenFilter);
    EXPECT_EQ(TreeLabels(), QStringList({S("Заголовок программы"), S("Блок 0 (0)"), S("000:Пуск"),
                                         S("Блок 1 (0)"), S("101:Насосы")}));
    EXPECT_EQ(ErrorList(), QStringList({S("Загрузка из файла ") + path, S("Ок")}));
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ") + path);
    EXPECT_EQ(Form->Document->FileName(), path);
    EXPECT_EQ(Form->OpenDialog.InitialDir, QFileInfo(path).absolutePath());
    // The empty line the writer puts before a section line is no line of the header.
    EXPECT_EQ(Form->ProgramREdit->Lines(),
              QStringList({S("/ ЗАКАЗ ПЕРЕМЕННЫХ"), S("ДВ 000 - 077")}));
    EXPECT_TRUE(Form->RecentItems[1]->isVisible());
    EXPECT_EQ(Form->RecentItems[1]->text(), S("&1. ") + path);
    EXPECT_TRUE(Form->RecentSeparator->isVisible());

    // Answering No asks nothing more and changes nothing.
    Dialogs.FileDialogs.clear();
    TFileCommands::Open(*Form);
    EXPECT_TRUE(Dialogs.FileDialogs.empty());
    EXPECT_EQ(Form->Document->FileName(), path);
}

TEST_F(ProgramFormTest, EditsAreCommittedWhenTheSelectionMoves)
{
    Open(WriteProgram(S("p.zen")));
    Select(0);
    EXPECT_EQ(Form->StatusPanel1->text(), S("Редактирование секции 000:Пуск"));
    Form->Document->Program().Sections[0].NeedsCompile = 0;
    Form->ProgramREdit->setCursorPosition(0, 26);
    Type(S("\nВКЛ ДВ3\n"));
    EXPECT_TRUE(Form->EditorChanged);
    Form->show();
    QApplication::processEvents(); // the editor reports the caret when it repaints
    EXPECT_EQ(Form->StatusPanel0->text(), S("2:1"));
    Select(33);
    EXPECT_EQ(Form->Document->Program().Sections[0].Text,
              QStringList({S("ЕСЛИ ВКЛ ВД1 ТОГДА ВКЛ ДВ1"), S("ВКЛ ДВ3"), QString()}));
    EXPECT_EQ(Form->Document->Program().Sections[0].NeedsCompile, 1);
    EXPECT_EQ(Form->Document->Program().Sections[0].Modified, 1);
    EXPECT_EQ(Form->ProgramREdit->Lines(), QStringList({S("ВКЛ ДВ2")}));

    // A group keeps the text and the node before it.
    Form->TreeView->SelectNode(512);
    Form->ApplySelectionChange();
    EXPECT_EQ(Form->CurrentNode->Code, 33);
    // The header's lines go back to the header.
    Select(TTreeItemInfo::HeaderCode);
    Form->ProgramREdit->setCursorPosition(0, 0);
    Type(S("! начало\n"));
    Select(0);
    EXPECT_EQ(Form->Document->Program().Header.Text.first(), S("! начало"));
    // The caret comes back where the text was left.
    Select(TTreeItemInfo::HeaderCode);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 1);
}

TEST_F(ProgramFormTest, SaveWritesTheCurrentFileAndSaveAsAsksForOne)
{
    const QString path = WriteProgram(S("p.zen"));
    Open(path);
    Select(33);
    Type(S("ВКЛ ДВ4 "));
    TFileCommands::Save(*Form);
    EXPECT_TRUE(ReadLines(path).contains(S("ВКЛ ДВ4 ВКЛ ДВ2"))); // the editor's text committed

    // New leaves no name: Save becomes Save as, with the .zen filter and no name offered.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    TFileCommands::New(*Form);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Вы уверены, что хотите создать новую программу?"));
    Dialogs.Files.push_back({File(S("новая")), 1});
    TFileCommands::Save(*Form);
    EXPECT_EQ(Dialogs.FileDialogs.back().Filter, S("Программа в формате zen|*.zen"));
    EXPECT_TRUE(Dialogs.FileDialogs.back().FileName.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(File(S("новая.zen"))));
    EXPECT_EQ(Form->Document->FileName(), File(S("новая.zen")));
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ") + File(S("новая.zen")));
    EXPECT_EQ(Form->RecentFiles.Entries[1], File(S("новая.zen")));
}

TEST_F(ProgramFormTest, SaveAsExtensionRulesAndTheOverwriteQuestion)
{
    Dialogs.Files.push_back({File(S("prog.txt")), 1});
    TFileCommands::SaveAs(*Form);
    EXPECT_TRUE(QFileInfo::exists(File(S("prog.txt.zen"))));
    Dialogs.Files.push_back({File(S("prog.ZEN")), 1});
    TFileCommands::SaveAs(*Form);
    EXPECT_TRUE(QFileInfo::exists(File(S("prog.ZEN"))));

    // The file is there: No shows the dialog again, Cancel stops without writing.
    const QDateTime before = QFileInfo(File(S("prog.txt.zen"))).lastModified();
    Dialogs.Files.push_back({File(S("prog.txt")), 1});
    Dialogs.Files.push_back({File(S("prog.txt")), 1});
    Dialogs.Answers.push_back(TUserDialogs::AnswerNo);
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel);
    const size_t asked = Dialogs.Asked.size();
    TFileCommands::SaveAs(*Form);
    ASSERT_EQ(Dialogs.Asked.size(), asked + 2);
    EXPECT_EQ(Dialogs.Asked.back().Text, S("Указанный файл существут. Переписать?"));
    EXPECT_EQ(Dialogs.Asked.back().Buttons, TUserDialogs::YesNoCancel);
    EXPECT_EQ(Form->Document->FileName(), File(S("prog.ZEN")));
    EXPECT_EQ(QFileInfo(File(S("prog.txt.zen"))).lastModified(), before);
}

TEST_F(ProgramFormTest, ExportChoosesTheFormByTheFilter)
{
    Open(WriteProgram(S("p.zen")));
    Dialogs.Files.push_back({File(S("копия")), 1});
    TFileCommands::Export(*Form);
    EXPECT_EQ(Dialogs.FileDialogs.back().Filter, GuiTexts::ExportFilter);
    EXPECT_EQ(ErrorList().first(), S("Экспорт в файл ") + File(S("копия.000")) + S(" ..."));
    Dialogs.Files.push_back({File(S("image")), 2});
    TFileCommands::Export(*Form);
    EXPECT_EQ(ErrorList().first(), S("Экспорт в файл ") + File(S("image.prp")) + S(" ..."));
    // A known extension wins over the filter: a program source file, and the current file
    // stays the one that was opened.
    Dialogs.Files.push_back({File(S("image.zen")), 2});
    TFileCommands::Export(*Form);
    EXPECT_EQ(ErrorList(),
              QStringList({S("Экспорт в файл ") + File(S("image.zen")) + S(" ..."), S("Ок")}));
    EXPECT_TRUE(ReadLines(File(S("image.zen"))).contains(S("/ СЕКЦИЯ 101 !Насосы")));
    EXPECT_EQ(Form->Document->FileName(), File(S("p.zen")));
    EXPECT_EQ(Form->ExportDialog.InitialDir, Temp.path());
}

TEST_F(ProgramFormTest, RecentFilesMoveToTheTopAndVanish)
{
    const QString a = WriteProgram(S("a.zen"));
    const QString b = WriteProgram(S("b.zen"));
    Open(a);
    Open(b);
    Open(a);
    EXPECT_EQ(Form->RecentFiles.Count, 2);
    EXPECT_EQ(Form->RecentItems[1]->text(), S("&1. ") + a);
    EXPECT_EQ(Form->RecentItems[2]->text(), S("&2. ") + b);
    EXPECT_FALSE(Form->RecentItems[3]->isVisible());

    // Item 2 asks first, then loads.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    TFileCommands::OpenRecent(*Form, 2);
    EXPECT_EQ(Form->Document->FileName(), b);
    EXPECT_EQ(Form->RecentItems[1]->text(), S("&1. ") + b);

    QFile::remove(a);
    const QString c = WriteProgram(S("c.zen"));
    Open(c);
    EXPECT_EQ(Form->RecentFiles.Count, 2);
    EXPECT_EQ(Form->RecentItems[2]->text(), S("&2. ") + b);
}

TEST_F(ProgramFormTest, AddRenameAndDeleteSections)
{
    Open(WriteProgram(S("p.zen")));
    // On the header: the cursor must be on a section or a group.
    Select(TTreeItemInfo::HeaderCode);
    TProgramStructure::AddSection(*Form);
    EXPECT_EQ(Dialogs.LastQuestion(),
              S("Курсор в окне структуры программы должен находиться на секции или блоке"));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание!!!"));

    // On section 101: its group's free sections, ascending; the third is 103.
    Select(33);
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TAddSectionForm *>(d);
        EXPECT_EQ(f->SectionNumCB->itemText(0), S("Секция 100"));
        EXPECT_EQ(f->SectionNumCB->itemText(1), S("Секция 102"));
        EXPECT_EQ(f->SectionNumCB->count(), 31);
        return PickSection(1, S("Вентиляция"))(d);
    });
    TProgramStructure::AddSection(*Form);
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("Добавить секцию"));
    EXPECT_EQ(TreeLabels().mid(3),
              QStringList({S("Блок 1 (0)"), S("101:Насосы"), S("102:Вентиляция")}));
    EXPECT_EQ(Form->CurrentNode->Code, 34);
    EXPECT_EQ(Form->Document->Program().Sections[34].Present, 1);
    // Before a higher number.
    Dialogs.Windows.push_back(PickSection(0, S("Первая")));
    TProgramStructure::AddSection(*Form);
    EXPECT_EQ(TreeLabels().mid(3, 2), QStringList({S("Блок 1 (0)"), S("100:Первая")}));

    Dialogs.Windows.push_back([](QDialog *d) {
        static_cast<TEditNameForm *>(d)->NameEdit->setText(S("Вытяжка"));
        return int(QDialog::Accepted);
    });
    Select(34);
    TProgramStructure::RenameSection(*Form);
    EXPECT_EQ(Form->Document->Program().Sections[34].Name, S("Вытяжка"));
    EXPECT_TRUE(TreeLabels().contains(S("102:Вытяжка")));
    EXPECT_EQ(Form->StatusPanel1->text(), S("Редактирование секции 102:Вытяжка"));

    // Delete: Cancel (the default) keeps it, OK removes it.
    TProgramStructure::DeleteSection(*Form);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Вы уверены, что хотите удалить секцию??"));
    EXPECT_EQ(Dialogs.Asked.back().Default, TUserDialogs::AnswerCancel);
    EXPECT_EQ(Form->Document->Program().Sections[34].Present, 1);
    Type(S("ВКЛ ДВ7"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    TProgramStructure::DeleteSection(*Form);
    EXPECT_EQ(Form->Document->Program().Sections[34].Present, 0);
    EXPECT_TRUE(Form->Document->Program().Sections[34].Text.isEmpty()); // the edit went with it
    EXPECT_FALSE(TreeLabels().contains(S("102:Вытяжка")));
    EXPECT_NE(Form->CurrentNode->Code, 34);
}

TEST_F(ProgramFormTest, AFullGroupHasNoFreeSection)
{
    for (int n = 1; n < 32; ++n)
        Form->Document->Program().AddSection(n, QString());
    Form->RebuildTree();
    Select(5);
    TProgramStructure::AddSection(*Form);
    EXPECT_EQ(Dialogs.LastQuestion(), S("В данном блоке нет свободных секций!!!"));
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
}

TEST_F(ProgramFormTest, AddAndDeleteGroups)
{
    Open(WriteProgram(S("p.zen")));
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TAddBlockForm *>(d);
        EXPECT_EQ(f->BlockNumCB->itemText(0), S("Блок 2"));
        f->BlockNumCB->setCurrentIndex(1); // Блок 3
        return int(QDialog::Accepted);
    });
    TProgramStructure::AddGroup(*Form);
    EXPECT_EQ(Form->Document->Program().GroupPresent[3], 1);
    EXPECT_EQ(Form->Document->Program().HighestGroup, 3);
    EXPECT_EQ(TreeLabels().last(), S("Блок 3"));
    EXPECT_EQ(Form->TreeView->SelectedNode()->Info.Code, 1024);
    // Its first section is 300, number 96, which the loops over sections then reach.
    Dialogs.Windows.push_back(PickSection(0, S("Третья")));
    TProgramStructure::AddSection(*Form);
    EXPECT_EQ(Form->Document->Program().Sections[96].Present, 1);
    EXPECT_EQ(TreeLabels().last(), S("300:Третья"));

    // A group placed between others.
    Dialogs.Windows.push_back([](QDialog *d) {
        static_cast<TAddBlockForm *>(d)->BlockNumCB->setCurrentIndex(0); // Блок 2
        return int(QDialog::Accepted);
    });
    TProgramStructure::AddGroup(*Form);
    EXPECT_EQ(TreeLabels().mid(5, 2), QStringList({S("Блок 2"), S("Блок 3")}));

    // Delete group 1 with its section, whose text the editor shows: nothing of it stays
    // to be typed into.
    Select(33);
    Select(512);
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    TProgramStructure::DeleteGroup(*Form);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Вы уверены, что хотите удалить блок??"));
    EXPECT_EQ(Form->Document->Program().GroupPresent[1], 0);
    EXPECT_EQ(Form->Document->Program().Sections[33].Present, 0);
    EXPECT_EQ(Form->TreeView->FindNode(33), nullptr);
    TypeText(Form->ProgramREdit, S("ВКЛ"));
    EXPECT_TRUE(Form->ProgramREdit->Lines().isEmpty());
    EXPECT_TRUE(Form->ProgramREdit->isReadOnly());

    // Every group present: said so, nothing created.
    for (int g = 0; g < 8; ++g)
        Form->Document->Program().AddGroup(g);
    Form->RebuildTree();
    const int windows = static_cast<int>(Dialogs.WindowTitles.size());
    TProgramStructure::AddGroup(*Form);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Все блоки программы уже существуют"));
    EXPECT_EQ(static_cast<int>(Dialogs.WindowTitles.size()), windows);
}

TEST_F(ProgramFormTest, GoToSection)
{
    Open(WriteProgram(S("p.zen")));
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TSelectSectionForm *>(d);
        EXPECT_TRUE(f->BlockRadios[0]->isChecked());
        EXPECT_TRUE(f->BlockRadios[1]->isEnabled());
        EXPECT_FALSE(f->BlockRadios[2]->isEnabled());
        EXPECT_EQ(f->BlockRadios[7]->text(), S("Блок &7"));
        f->BlockRadios[1]->setChecked(true);
        EXPECT_EQ(f->SectionsCB->currentText(), S("Секция 101:Насосы"));
        return int(QDialog::Accepted);
    });
    TProgramStructure::GoToSection(*Form);
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("Выбор секции"));
    EXPECT_EQ(Form->TreeView->SelectedNode()->Info.Code, 33);
}

TEST_F(ProgramFormTest, RenumberFragments)
{
    Select(0);
    QStringList lines{S("5 ЕСЛИ ВКЛ ВД1"), S("  ТОГДА ВКЛ ДВ1"), QString(), S("7 ВКЛ ДВ2"), S("3")};
    for (int i = 0; i < 62; ++i)
        lines.append(S("1 ВСК"));
    Type(lines.join(u'\n'));
    TProgramStructure::Renumber(*Form);
    const QStringList out = Form->ProgramREdit->Lines();
    EXPECT_EQ(out[0], S("00 ЕСЛИ ВКЛ ВД1"));
    EXPECT_EQ(out[1], S("  ТОГДА ВКЛ ДВ1"));
    EXPECT_EQ(out[3], S("01 ВКЛ ДВ2"));
    EXPECT_EQ(out[4], S("023")); // no blank: the whole line follows the number
    EXPECT_EQ(out[5], S("03 ВСК"));
    EXPECT_EQ(out[66], S("00 ВСК")); // the 65th numbered line
    EXPECT_TRUE(Form->EditorChanged);
    // On the header nothing happens.
    Select(TTreeItemInfo::HeaderCode);
    Type(S("5 x"));
    TProgramStructure::Renumber(*Form);
    EXPECT_EQ(Form->ProgramREdit->Lines().first(), S("5 x"));
}

TEST_F(ProgramFormTest, ErrorListLeadsToTheSectionLineAndTheHeaderLine)
{
    Open(WriteProgram(S("p.zen")));
    Form->Document->Program().Sections[33].Text = {S("a"), S("b"), S("c"), S("d")};
    Form->Document->Program().Header.Text = {S("a"), S("b"), S("c")};
    Form->Document->ClearMessages();
    for (const QString &line :
         {S("Компиляция..."), S("[101.2:3] Синтаксическая ошибка в строке 2 в позиции 3"),
          S("[Заголовок.1:5]. Ожидалось '-'"), S("[Заголовок.2]. Ошибка")})
        Form->Document->AddMessage(line);
    ASSERT_EQ(Form->ErrorsListBox->count(), 4);

    // The heading line does nothing.
    Form->ErrorsListBox->setCurrentRow(0);
    TProgramStructure::GoToMessage(*Form);
    EXPECT_EQ(Form->TreeView->SelectedNode()->Info.Code, TTreeItemInfo::HeaderCode);

    Form->ErrorsListBox->setCurrentRow(1);
    TProgramStructure::GoToMessage(*Form);
    EXPECT_EQ(Form->PendingLine, 2);
    Form->ApplySelectionChange();
    EXPECT_EQ(Form->CurrentNode->Code, 33);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 2);
    EXPECT_EQ(Form->PendingLine, -1);
    EXPECT_EQ(Form->ProgramREdit->ErrorLineNumbers(), QList<int>({2}));
    // Two lines typed above it: the mark moves with its line, and the message leads there.
    Form->ProgramREdit->setCursorPosition(0, 0);
    TypeText(Form->ProgramREdit, S("ВКЛ ДВ3\nВКЛ ДВ4\n"));
    EXPECT_EQ(Form->ProgramREdit->ErrorLineNumbers(), QList<int>({4}));
    Form->ProgramREdit->setCursorPosition(0, 0);
    TProgramStructure::GoToMessage(*Form);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 4);

    // Enter in the list does the same; the header tag selects the header.
    Form->ErrorsListBox->setCurrentRow(2);
    QTest::keyClick(Form->ErrorsListBox, Qt::Key_Return);
    Form->ApplySelectionChange();
    EXPECT_EQ(Form->CurrentNode->Code, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 1);
    EXPECT_EQ(Form->ProgramREdit->ErrorLineNumbers(), QList<int>({1, 2}));
    // Already selected: straight to the line.
    Form->ErrorsListBox->setCurrentRow(3);
    TProgramStructure::GoToMessage(*Form);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 2);
    // Past the header's last error line F8 goes on to the section that failed, to its
    // mark where the typing took it.
    Form->NextErrorItem->trigger();
    EXPECT_NE(Form->CurrentNode->Code, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 4);
    EXPECT_EQ(Form->ProgramREdit->ErrorLineNumbers(), QList<int>({4}));
    Form->PreviousErrorItem->trigger();
    EXPECT_EQ(Form->CurrentNode->Code, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 2);
}

TEST_F(ProgramFormTest, TreeKeys)
{
    Select(0);
    Form->TreeView->setFocus();
    QTest::keyClick(Form->TreeView, Qt::Key_Insert);
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("Добавить секцию"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel);
    QTest::keyClick(Form->TreeView, Qt::Key_Delete);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Вы уверены, что хотите удалить секцию??"));
}

TEST_F(ProgramFormTest, HelpAndAbout)
{
    // Without the help file: said so.
    Form->ContentsItem->trigger();
    EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Не найден файл справки ")));
    // Beside the executable, as the build and the installation put it.
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTOR_SOURCE_DIR "/docs/help/ZentorEditor.html"),
                            ExeDir() + S("ZentorEditor.html")));
    const size_t asked = Dialogs.Asked.size();
    Form->ContentsItem->trigger();
    EXPECT_EQ(Dialogs.Asked.size(), asked);
    auto *help = Form->findChild<THelpForm *>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser->toPlainText().contains(S("Язык секций")));
    help->close();

    Form->AboutItem->trigger();
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("О программе"));
    EXPECT_TRUE(QRegularExpression(S("^Версия: \\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(Form->AboutForm->VersionLabel->text())
                    .hasMatch());
    EXPECT_TRUE(Form->AboutForm->LicenceLabel->text().contains(S("GNU GPL версии 3 или любой")));
}

TEST_F(ProgramFormTest, GoToLineAndFind)
{
    Select(0);
    Type(S("ВКЛ ДВ1\nОТКЛ ДВ2\nВСК\nвкл дв3"));
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TGoToLineForm *>(d);
        EXPECT_EQ(f->LineSpin->maximum(), 3);
        f->LineSpin->setValue(2);
        return int(QDialog::Accepted);
    });
    TProgramStructure::GoToLine(*Form);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 2);
    TProgramSearch::ShowFindInText(*Form);
    ASSERT_NE(Form->FindForm, nullptr);
    Form->FindForm->FindEdit->setText(S("ВКЛ"));
    EXPECT_TRUE(Form->FindForm->FindNext()); // from the caret on: line 3, any case
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 3);
    Form->FindForm->ReplaceEdit->setText(S("ОТКЛ"));
    EXPECT_EQ(Form->FindForm->ReplaceAll(), 2);
    Form->FindForm->WordBox->setChecked(true);
    Form->FindForm->FindEdit->setText(S("ВКЛ"));
    EXPECT_FALSE(Form->FindForm->FindNext());
    EXPECT_EQ(Form->FindForm->StatusLabel->text(), S("Текст не найден: ВКЛ"));
    Form->FindForm->close();
}
