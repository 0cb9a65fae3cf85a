// The editor's everyday habits, driven with real keys on the real main window: undo that
// survives going to another section, the Edit menu, go to line, search and replace across
// the program, the connection field with the simulator, the port dialog's list and its
// "Отмена", failed sections in the tree, the small dialogs and the help's key table.

#include "core/textutils.h"
#include "gui/helpform.h"
#include "gui/placement.h"
#include "gui/programstructure.h"
#include "gui/smallforms.h"
#include "realusefixture.h"
#include "sim/ptyserver.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QScrollBar>
#include <QSpinBox>

namespace {

class EditorHabitsTest : public TRealUseFixture
{
protected:
    // A key with the focus on w, delivered through the window so that menu keys act.
    void KeyIn(QWidget *w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Form->activateWindow();
        EXPECT_TRUE(WaitUntil([this] { return QApplication::activeWindow() == Form.get(); }, 2000));
        w->setFocus();
        QTest::keyClick(Form->windowHandle(), key, modifiers);
    }
    void Show(int node)
    {
        Form->TreeView->SelectNode(node);
        Form->ApplySelectionChange();
    }
    QList<int> PresentSections() const
    {
        QList<int> present;
        for (int n = 0; n < TZentorProgram::SectionCount; ++n)
            if (Form->Document->Program().Sections[n].Present)
                present.append(n);
        return present;
    }
    void OpenDemoQuietly()
    {
        QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen")));
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({File(S("demo.zen")), 1});
        Key(Qt::Key_O, Qt::ControlModifier);
    }
    QString Text() const { return Form->ProgramREdit->text(); }
};

TEST_F(EditorHabitsTest, UndoSurvivesSectionSwitch)
{
    Start();
    OpenDemoQuietly();
    const QList<int> sections = PresentSections();
    ASSERT_GE(sections.size(), 2);
    const int a = sections[0], b = sections[1];
    Show(a);
    const QString aBefore = Text();
    KeyIn(Form->ProgramREdit, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(Form->ProgramREdit, S("qq"));
    const QString aTyped = Text();
    Show(b);
    const QString bBefore = Text();
    QTest::keyClicks(Form->ProgramREdit, S("w"));
    Show(a);
    EXPECT_EQ(Text(), aTyped);
    // The two letters were typed as one step; back and forth with every redo key.
    KeyIn(Form->ProgramREdit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), aBefore);
    KeyIn(Form->ProgramREdit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Text(), aTyped);
    KeyIn(Form->ProgramREdit, Qt::Key_Z, Qt::ControlModifier);
    KeyIn(Form->ProgramREdit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Text(), aTyped);
    // The menu item, with the focus in the tree, acts on the editor too.
    Form->TreeView->setFocus();
    Form->UndoItem->trigger();
    EXPECT_EQ(Text(), aBefore);
    Show(b);
    KeyIn(Form->ProgramREdit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), bBefore);
    // Nothing before the text was loaded: no undo past it.
    KeyIn(Form->ProgramREdit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), bBefore);
    // The model got the undone texts.
    Show(a);
    EXPECT_EQ(Form->Document->Program().Sections[b].Text.join(u'\n'), bBefore);
}

TEST_F(EditorHabitsTest, EditMenuAndCopyInMessageList)
{
    Start();
    QMenu *edit = Form->menuBar()->actions()[1]->menu();
    QStringList first;
    for (QAction *a : edit->actions().mid(0, 8))
        if (!a->isSeparator())
            first.append(a->text().remove(u'&').section(u'\t', 0, 0));
    EXPECT_EQ(first, (QStringList{S("Отменить"), S("Повторить"), S("Вырезать"), S("Копировать"),
                                  S("Вставить"), S("Выделить всё")}));
    const struct
    {
        QAction *Item;
        QKeySequence Key;
    } keys[] = {{Form->UndoItem, QKeySequence(S("Ctrl+Z"))},
                {Form->RedoItem, QKeySequence(S("Ctrl+Y"))},
                {Form->CutItem, QKeySequence(S("Ctrl+X"))},
                {Form->PasteItem, QKeySequence(S("Ctrl+V"))},
                {Form->SelectAllItem, QKeySequence(S("Ctrl+A"))}};
    for (const auto &k : keys)
        EXPECT_EQ(k.Item->shortcut(), k.Key) << k.Item->text().toStdString();
    EXPECT_TRUE(Form->CopyItem->text().endsWith(S("\tCtrl+C")));

    OpenDemoQuietly();
    Show(PresentSections()[0]);
    // Select all and cut from the menu, paste back with the keys.
    const QString text = Text();
    Form->SelectAllItem->trigger();
    Form->CutItem->trigger();
    EXPECT_TRUE(Text().isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), text);
    KeyIn(Form->ProgramREdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), text);

    // Two lines of the message list copied by Ctrl+C there and by the menu item; the port
    // dialog stays shut.
    ASSERT_GE(Form->ErrorsListBox->count(), 2);
    Form->ErrorsListBox->item(0)->setSelected(true);
    Form->ErrorsListBox->item(1)->setSelected(true);
    const QString two =
        Form->ErrorsListBox->item(0)->text() + u'\n' + Form->ErrorsListBox->item(1)->text();
    QApplication::clipboard()->clear();
    KeyIn(Form->ErrorsListBox, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), two);
    QApplication::clipboard()->clear();
    Form->CopyItem->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), two);
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
    // Outside the editor and the list Ctrl+C is still the port dialog.
    KeyIn(Form->TreeView, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(Dialogs.WindowTitles.size(), 1u);
    EXPECT_EQ(Dialogs.WindowTitles[0], S("Настройка связи с контроллером"));
}

TEST_F(EditorHabitsTest, GoToLineTypesOverTheField)
{
    Start();
    OpenDemoQuietly();
    Show(TTreeItemInfo::HeaderCode);
    Form->ProgramREdit->GoToLine(5);
    Dialogs.Windows.push_back([](QDialog *d) {
        d->show();
        auto *spin = d->findChild<QSpinBox *>();
        spin->setFocus();
        QTest::keyClicks(spin, S("6"));
        QTest::keyClick(spin, Qt::Key_Return);
        return d->result();
    });
    KeyIn(Form->ProgramREdit, Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 6);
}

TEST_F(EditorHabitsTest, SearchAndReplaceAcrossTheProgram)
{
    Start();
    OpenDemoQuietly();
    Show(TTreeItemInfo::HeaderCode);
    KeyIn(Form->ProgramREdit, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(Form->FindForm->isVisible());
    EXPECT_TRUE(Form->FindForm->FindInProgramButton->isDefault());
    const QString word = S("н1_пуск"); // the case folds unless asked
    Form->FindForm->FindEdit->setText(word);
    Form->FindForm->WordBox->setChecked(true);
    QTest::keyClick(Form->FindForm->FindEdit, Qt::Key_Return);
    ASSERT_TRUE(Form->SearchResultsForm && Form->SearchResultsForm->isVisible());
    QListWidget *hits = Form->SearchResultsForm->HitsList;
    ASSERT_GE(hits->count(), 2);
    EXPECT_TRUE(hits->item(0)->text().startsWith(S("[Заголовок.")));
    int inSection = -1;
    for (int i = 0; i < hits->count(); ++i) {
        EXPECT_TRUE(hits->item(i)->text().contains(S("Н1_ПУСК"))) << i;
        if (inSection < 0 && hits->item(i)->text().at(1).isDigit())
            inSection = i;
    }
    ASSERT_GE(inSection, 0);
    // "[NNN.L:C] text": the hit opens its section, the caret on the word.
    const QString hit = hits->item(inSection)->text();
    const int section = hit.mid(1, 3).toInt(nullptr, 8);
    const int line = hit.section(u'.', 1).section(u':', 0, 0).toInt();
    const int column = hit.section(u':', 1).section(u']', 0, 0).toInt();
    hits->setCurrentRow(inSection);
    hits->setFocus();
    QTest::keyClick(hits, Qt::Key_Return);
    EXPECT_EQ(Form->CurrentNode->Code, section);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), line);
    EXPECT_EQ(Form->ProgramREdit->text(line).mid(column - 1, word.size()), S("Н1_ПУСК"));
    // The results stand beside or below the main window, not over the editor's text.
    const QRect editor(Form->ProgramREdit->mapToGlobal(QPoint(0, 0)), Form->ProgramREdit->size());
    const QRect covered = Form->SearchResultsForm->frameGeometry() & editor;
    EXPECT_LT(covered.width() * covered.height(), editor.width() * editor.height() / 3);
    // A whole word only: a longer name is not a hit.
    Form->FindForm->FindEdit->setText(S("Н1_ПУС"));
    Form->FindForm->FindInProgramButton->click();
    EXPECT_EQ(hits->count(), 0);

    // Replace: asked once, the count reported, each section's change undone on its own.
    const int count = [&] {
        Form->FindForm->FindEdit->setText(word);
        Form->FindForm->FindInProgramButton->click();
        return hits->count();
    }();
    const QStringList before = Form->Document->Program().Sections[section].Text;
    const QStringList headerBefore = Form->Document->Program().Header.Text;
    Form->FindForm->ReplaceEdit->setText(S("Н1_СТАРТ"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    const auto asked = Dialogs.Asked.size();
    Form->FindForm->ReplaceInProgramButton->click();
    ASSERT_EQ(Dialogs.Asked.size(), asked + 2); // the question and the count
    EXPECT_EQ(Dialogs.Asked[asked + 1].Text, S("Заменено мест: %1").arg(count));
    EXPECT_EQ(hits->count(), 0); // the results are those of the text as it now reads
    EXPECT_NE(Form->Document->Program().Sections[section].Text, before);
    EXPECT_FALSE(
        Form->Document->Program().Sections[section].Text.join(u'\n').contains(S("Н1_ПУСК")));
    EXPECT_TRUE(Form->Document->Changed());
    Show(section);
    KeyIn(Form->ProgramREdit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Form->ProgramREdit->Lines(), before);
    Show(TTreeItemInfo::HeaderCode);
    EXPECT_EQ(Form->Document->Program().Sections[section].Text, before);
    EXPECT_NE(Form->Document->Program().Header.Text, headerBefore); // its own change stays
    // A section deleted leaves no hit behind.
    Form->FindForm->FindEdit->setText(word);
    Form->FindForm->FindInProgramButton->click();
    ASSERT_GT(hits->count(), 0);
    Show(section);
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    TProgramStructure::DeleteSection(*Form);
    for (int i = 0; i < hits->count(); ++i)
        EXPECT_FALSE(hits->item(i)->text().startsWith(u'[' + SectionNumberText(section)));
}

TEST_F(EditorHabitsTest, ConnectionFieldFollowsTheSimulator)
{
    Start();
    EXPECT_EQ(Form->StatusLink->text(), S("Порт не выбран"));
    for (QAction *a : {Form->WriteItem, Form->ReadItem, Form->ConsoleItem}) {
        EXPECT_FALSE(a->isEnabled());
        EXPECT_EQ(a->toolTip(), S("Порт не выбран: Настройка → Параметры COM-порт"));
    }
    ChooseSimulator();
    EXPECT_EQ(Form->StatusLink->text(), S("Симулятор Сарветела"));
    EXPECT_NE(Form->WriteItem->toolTip(), S("Порт не выбран: Настройка → Параметры COM-порт"));
    // F2 of a program without a section to send asks first, "Нет" by default: nothing is
    // asked of the controller.
    const int requests = WithSim([](TSarvetelSimulator &s) { return s.RequestCount; });
    Key(Qt::Key_F2);
    EXPECT_EQ(Dialogs.LastQuestion(),
              S("В программе нет ни одной секции с кодом. Записать её в контроллер?"));
    EXPECT_EQ(Dialogs.Asked.back().Default, TUserDialogs::AnswerNo);
    EXPECT_EQ(WithSim([](TSarvetelSimulator &s) { return s.RequestCount; }), requests);
    EXPECT_EQ(Form->StatusLink->text(), S("Симулятор Сарветела"));
    // F2 reads the mode; the switch to programming is declined.
    WithSim([](TSarvetelSimulator &s) { s.Mode = Sarvetel::ModeRun; });
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes); // the empty program is to be written
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel);
    Key(Qt::Key_F2);
    EXPECT_EQ(Form->StatusLink->text(), S("Симулятор Сарветела — Пуск"));
    Form->Link->SimulatorLine->Stop();
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Key(Qt::Key_F2);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Ошибка при обращении к контроллеру!"));
    EXPECT_EQ(Form->StatusLink->text(), S("Симулятор Сарветела — Нет связи"));
}

TEST_F(EditorHabitsTest, PortDialogSeesNewDevicesAndCancelRestores)
{
    WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
    QTemporaryDir dev;
    const QString absent = dev.filePath(S("ttyUSB7"));
    Start();
    Form->DeviceDir = dev.path();
    ASSERT_TRUE(Form->PortInUse);
    // An adapter plugged in after the start, and a configured one that is away right now.
    TPtyServer adapter([](const std::uint8_t *, int) { return TSimReply(); });
    const QString plugged = dev.filePath(S("ttyUSB0"));
    QString error;
    ASSERT_TRUE(adapter.Open(plugged, error)) << error.toStdString();
    Form->PortSettings.Port = absent;
    const int baud = Form->Link->Port->BaudRate;
    QStringList listed;
    Dialogs.Windows.push_back([&](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        f->show();
        for (int i = 0; i < f->COMCB->count(); ++i)
            listed.append(f->COMCB->itemText(i));
        // The adapter chosen, its speed changed, then "Отмена".
        f->COMCB->setCurrentIndex(static_cast<int>(listed.indexOf(plugged)));
        f->COMCBChange(f->COMCB->currentIndex());
        Form->Link->Port->BaudRate = 9600;
        Click(f->CancelBtn);
        return f->result();
    });
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(listed.contains(plugged)) << listed.join(u',').toStdString();
    EXPECT_TRUE(listed.contains(absent));
    EXPECT_TRUE(Form->PortInUse);
    EXPECT_EQ(Form->Link->Port->DevicePath, Form->Link->SimulatorLine->SlavePath());
    EXPECT_EQ(Form->Link->Port->BaudRate, baud);
    EXPECT_EQ(Form->PortSettings.Port, absent);
    EXPECT_EQ(Form->StatusLink->text(), S("Симулятор Сарветела"));
}

// A device path typed into the port list (a pseudo-terminal here) is opened with Enter; a
// path that is no device says why and is not taken.
TEST_F(EditorHabitsTest, PortDialogTakesATypedDevicePath)
{
    Start();
    TSarvetelSimulator controller;
    auto line = std::make_unique<TPtyServer>([&controller](const std::uint8_t *frame, int length) {
        std::lock_guard<std::mutex> state(controller.Lock);
        return controller.HandleRequest(frame, length);
    });
    QTemporaryDir dev;
    QString error;
    ASSERT_TRUE(line->Open(dev.filePath(S("ttyUSB9")), error)) << error.toStdString();
    line->Start();
    const QString path = dev.filePath(S("ttyUSB9"));
    const auto typeInto = [](TCOMPortSetupForm *f, const QString &device) {
        f->show();
        if (f->UseCOMPortChB->isChecked())
            Click(f->UseCOMPortChB);
        QLineEdit *edit = f->COMCB->lineEdit();
        ASSERT_NE(edit, nullptr); // the list takes typing
        edit->setFocus();
        edit->selectAll();
        TypeText(edit, device);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    QString refusal;
    bool okOff = false;
    Dialogs.Windows.push_back([&](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        typeInto(f, S("/нет/такого/устройства"));
        refusal = f->COMInfoMemo->toPlainText();
        okOff = !f->OkBtn->isEnabled();
        typeInto(f, path);
        if (f->isVisible())
            Click(f->OkBtn);
        return f->result();
    });
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(refusal.startsWith(S("Не удалось открыть /нет/такого/устройства")))
        << refusal.toStdString();
    EXPECT_TRUE(okOff);
    ASSERT_TRUE(Form->PortInUse);
    EXPECT_EQ(Form->Link->Port->DevicePath, path);
    EXPECT_EQ(Form->PortSettings.Port, path); // kept for the next start
    Key(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("Консоль Сарветела")); // the controller answered
    // The device goes away: the field names it and says the controller does not answer.
    line.reset();                                              // its device is gone with it
    Form->Link->Port->Timeouts.ReadTotalTimeoutMultiplier = 1; // silence ends soon
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);        // the empty program is to be written
    Key(Qt::Key_F2);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Ошибка при обращении к контроллеру!"));
    EXPECT_EQ(Form->StatusLink->text(), path + S(" — Нет связи"));
}

TEST_F(EditorHabitsTest, FailedSectionsMarkedAndF8StepsBetweenThem)
{
    Start();
    OpenDemoQuietly();
    const QList<int> sections = PresentSections();
    ASSERT_GE(sections.size(), 3);
    const int bad1 = sections[0], bad2 = sections[2];
    for (int n : {bad1, bad2}) {
        Show(n);
        KeyIn(Form->ProgramREdit, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(Form->ProgramREdit, Qt::Key_Return);
        QTest::keyClicks(Form->ProgramREdit, S("@@ qq ;;"));
    }
    KeyIn(Form->ProgramREdit, Qt::Key_F9, Qt::ControlModifier);
    for (int n : sections) {
        const bool bad = n == bad1 || n == bad2;
        EXPECT_EQ(!Form->TreeView->FindNode(n)->icon(0).isNull(), bad) << n;
    }
    Show(sections[1]);
    KeyIn(Form->ProgramREdit, Qt::Key_F8);
    EXPECT_EQ(Form->CurrentNode->Code, bad2);
    EXPECT_FALSE(Form->ProgramREdit->ErrorLineNumbers().isEmpty());
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), Form->ProgramREdit->ErrorLineNumbers().first());
    KeyIn(Form->ProgramREdit, Qt::Key_F8);
    EXPECT_EQ(Form->CurrentNode->Code, bad1); // round to the first
    KeyIn(Form->ProgramREdit, Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(Form->CurrentNode->Code, bad2);
}

TEST_F(EditorHabitsTest, SmallDialogsAndRussianQtTexts)
{
    Start();
    OpenDemoQuietly();
    QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Save |
                         QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Open)->text().remove(u'&'), S("Открыть"));
    EXPECT_EQ(box.button(QDialogButtonBox::Save)->text().remove(u'&'), S("Сохранить"));
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), S("Отмена"));
    Key(Qt::Key_E, Qt::ControlModifier);
    ASSERT_FALSE(Dialogs.FileDialogs.empty());
    EXPECT_EQ(Dialogs.FileDialogs.back().Caption, S("Экспорт"));
    // "Добавить секцию": the name is typed at once.
    Show(PresentSections()[0]);
    Dialogs.Windows.push_back([](QDialog *d) {
        d->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        auto *f = static_cast<TAddSectionForm *>(d);
        EXPECT_TRUE(WaitUntil([f] { return QApplication::focusWidget() == f->NameEdit; }, 2000));
        // The caption whole, beside the title bar's buttons.
        EXPECT_GE(f->width(), f->fontMetrics().horizontalAdvance(f->windowTitle()) + 100);
        return int(QDialog::Rejected);
    });
    Form->AddSectionItem->trigger();
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("Добавить секцию"));

    // No window narrower than its caption: a dialog, and a message box.
    TGoToLineForm goTo(Form.get());
    goTo.show();
    EXPECT_GE(goTo.width(), CaptionWidth(goTo.windowTitle()));
    goTo.hide();
    int boxWidth = 0;
    QTimer::singleShot(0, [&boxWidth] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal) {
            boxWidth = modal->width();
            modal->close();
        }
    });
    TQtUserDialogs real;
    real.Notice(Form.get(), S("Да"), S("Внимание! Длинный заголовок окна сообщения"),
                TUserDialogs::Information);
    EXPECT_GE(boxWidth, CaptionWidth(S("Внимание! Длинный заголовок окна сообщения")));
    // The tree scrolls sideways rather than cut a long section name.
    const int section = PresentSections()[0];
    Form->Document->Program().RenameSection(section, QString(60, QChar(u'Ш')));
    Form->RelabelTree();
    const QString label = Form->TreeView->FindNode(section)->text(0);
    EXPECT_GE(Form->TreeView->header()->sectionSize(0),
              Form->TreeView->fontMetrics().horizontalAdvance(label));
    EXPECT_GT(Form->TreeView->horizontalScrollBar()->maximum(), 0);
}

TEST_F(EditorHabitsTest, HelpListsEveryKey)
{
    Start();
    QFile help(QStringLiteral(ZENTOR_SOURCE_DIR "/docs/help/ZentorEditor.html"));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(help.readAll());
    for (QAction *a : Form->findChildren<QAction *>()) {
        if (!a->isVisible())
            continue;
        for (const QKeySequence &k : a->shortcuts())
            EXPECT_TRUE(text.contains(k.toString(QKeySequence::PortableText)))
                << k.toString().toStdString();
    }
}

} // namespace
