// The console against the simulator over a real pseudo-terminal, with its screen updater
// polling: the screen, the keys, the mode buttons, the setup pages, the program pages'
// section cycle and the technological keys. Every wait is bounded.

#include "../utf8text.h"
#include "core/textutils.h"
#include "gui/comportsetupform.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/headerforms.h"
#include "gui/programparts.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/sarvetelvarsform.h"
#include "gui/workwithprpform.h"
#include "guitestutil.h"
#include "link/sarveteldefs.h"
#include "sim/ptyserver.h"
#include "waituntil.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <QTreeWidget>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");

QByteArray CodeOf(const TZentorSection &s)
{
    return QByteArray(reinterpret_cast<const char *>(s.Code), s.CodeLength);
}

class ConsoleTest : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;
    TSarvetelConsoleForm *Console = nullptr;

    void SetUp() override
    {
        TGuiTest::SetUp();
        ASSERT_TRUE(QFile::copy(kExamples + QStringLiteral("BaseAlgs.alg"),
                                Home() + QStringLiteral("BaseAlgs.alg")));
        WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
        Form = MakeForm();
        ASSERT_TRUE(Form->PortInUse);
        Console = Form->SarvetelConsoleForm;
        ASSERT_NE(Console, nullptr);
    }

    void TearDown() override
    {
        if (Console && Console->isVisible())
            Console->done(0);
        Form.reset(); // waits for an updater still finishing
    }

    TSarvetelSimulator &Sim() { return *Form->Link->Simulator; }
    QStringList Screen() const { return Console->SarvetelMemo->toPlainText().split(u'\n'); }
    QString Status() const { return Console->StatusMode->text(); }

    // Opens the console as the window would be shown and waits for the first display.
    void Open()
    {
        Console->show();
        ASSERT_TRUE(WaitUntil([this] { return !Status().isEmpty(); }));
    }
    // Stops the polling and waits until the updater has ended (the simulator can then be
    // read without a frame in flight).
    void Close()
    {
        auto u = Console->Updater;
        Console->done(0);
        if (u) {
            ASSERT_TRUE(WaitUntil([u] { return u->Ended(); }));
        }
    }

    void WriteDemo()
    {
        QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen")));
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({File(S("demo.zen")), 1});
        TFileCommands::Open(*Form);
        Form->CompileAllItem->trigger();
        Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
        Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
        Form->WriteToControllerClick();
        ASSERT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    }
};

TEST_F(ConsoleTest, WithoutAnAnswerTheConsoleDoesNotOpen)
{
    Form->Link->Port->Close();
    Form->ConsoleClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Нет связи с Сарветелом!!!"));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Ошибка!!!"));
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
}

TEST_F(ConsoleTest, RunModeShowsTheControllersScreenAndKeysReachIt)
{
    Sim().Mode = 0x02;
    Dialogs.Windows.push_back([this](QDialog *d) {
        d->show();
        EXPECT_TRUE(WaitUntil([this] { return Screen().size() == 10; }));
        EXPECT_EQ(Screen().value(0), Sim().ScreenLine(0));
        EXPECT_EQ(Screen().value(1).size(), 16);
        EXPECT_EQ(Status(), S("Пуск"));
        EXPECT_EQ(Console->Panels->currentWidget(), Console->ConsolePanel);
        EXPECT_TRUE(Console->BtnStart->isEnabled());
        EXPECT_TRUE(Console->BtnFailure->isEnabled());
        EXPECT_FALSE(Console->BtnTest->isEnabled());
        EXPECT_FALSE(Console->BtnProgram->isEnabled());
        // "ВСК" sends its own code, 0x1F; the screen's key line shows it.
        Console->VSKBtn->click();
        EXPECT_TRUE(WaitUntil([this] { return Screen().value(2).contains(S("1F")); }))
            << Screen().value(2).toStdString();
        for (auto &[button, code] : Console->KeyButtons)
            if (code == 0x37 || code == 0x35)
                button->click();
        EXPECT_TRUE(WaitUntil([this] {
            return Screen().value(3).contains(S("75")) || Screen().value(3).contains(S("57"));
        })) << Screen().value(3).toStdString();
        // In "Пуск" the "Пуск" button is a key, not a mode change.
        Console->BtnStart->click();
        EXPECT_TRUE(WaitUntil([this] { return Screen().value(2).contains(S("05")); }));
        EXPECT_EQ(Status(), S("Пуск"));
        Close();
        return int(QDialog::Accepted);
    });
    Form->ConsoleClick();
    EXPECT_EQ(Dialogs.WindowTitles.back(), S("Консоль Сарветела"));
    EXPECT_EQ(Sim().LastKey, 0x05);
}

TEST_F(ConsoleTest, ModeButtonsFollowTheMode)
{
    Open();
    EXPECT_EQ(Status(), S("Останов"));
    EXPECT_TRUE(WaitUntil([this] {
        return Screen() == QStringList{S("Сарветел в"), S("режиме останов")};
    }));
    for (QPushButton *b : {Console->BtnStart, Console->BtnFailure, Console->BtnTest,
                           Console->BtnCopy, Console->BtnSetup, Console->BtnProgram})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    Console->BtnTest->click();
    EXPECT_TRUE(WaitUntil([this] { return Status() == S("Тестирование"); }));
    EXPECT_FALSE(Console->BtnStart->isEnabled());
    EXPECT_TRUE(WaitUntil([this] { return Screen().size() == 10; }));
    Console->BtnStopClick();
    EXPECT_TRUE(WaitUntil([this] { return Status() == S("Останов"); }));
    Console->BtnCopy->click();
    EXPECT_TRUE(WaitUntil([this] { return Status() == S("Копирование"); }));
    Console->BtnStopClick();
    EXPECT_TRUE(WaitUntil([this] { return Console->BtnStart->isEnabled(); }));
    Console->BtnStart->click();
    EXPECT_TRUE(WaitUntil([this] { return Status() == S("Пуск"); }));
    // "НП" in "Пуск" is the fault key: the controller reports its fault list.
    Console->BtnFailure->click();
    EXPECT_TRUE(WaitUntil([this] { return Status() == S("Неисправность"); }));
    EXPECT_TRUE(WaitUntil([this] { return Screen().value(0) == S("10:10"); }))
        << Console->SarvetelMemo->toPlainText().toStdString();
    EXPECT_FALSE(Screen().value(1).isEmpty());
    for (QPushButton *b : {Console->BtnStart, Console->BtnFailure, Console->BtnTest,
                           Console->BtnCopy, Console->BtnSetup, Console->BtnProgram})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    Console->BtnStopClick();
    EXPECT_TRUE(WaitUntil([this] { return Status() == S("Останов"); }));
    EXPECT_EQ(Console->StatusErrors->text(), S("Нет ошибок"));
    Close();
}

TEST_F(ConsoleTest, KeysPressedInSetupAreSentAfterReturningToAPolledMode)
{
    Open();
    Console->BtnSetupClick();
    EXPECT_EQ(Console->Panels->currentWidget(), Console->PCSetup);
    EXPECT_FALSE(Console->BtnStart->isEnabled());
    const auto updater = Console->Updater;
    ASSERT_TRUE(updater);
    // A cycle that began before the switch still polls the screen; wait for it to end.
    int cycles = updater->Cycles();
    EXPECT_TRUE(WaitUntil([&] { return updater->Cycles() > cycles + 1; }));
    Console->KeyClick(0x33);
    cycles = updater->Cycles();
    EXPECT_TRUE(WaitUntil([&] { return updater->Cycles() > cycles + 2; }));
    EXPECT_EQ(Console->Keys()->Count(), 1); // still queued in "Настройка"
    Console->BtnStopClick();
    EXPECT_TRUE(WaitUntil([this] { return Console->Keys()->Count() == 0; }));
    EXPECT_EQ(Console->Panels->currentWidget(), Console->ConsolePanel);
    // The queue empties when the updater takes the key, before its frame is answered.
    EXPECT_TRUE(WaitUntil([this] {
        std::lock_guard<std::mutex> state(Sim().Lock);
        return Sim().LastKey == 0x33;
    }));
    Close();
}

TEST_F(ConsoleTest, SetupPagesChangeTheControllersSetup)
{
    Open();
    Console->BtnSetupClick();
    // The pages work on the console's copy of the setup; commands send it.
    std::uint8_t *const setup = Console->IOSetup;
    // "Память".
    EXPECT_EQ(Console->SysMemEdit->text(), S("Дублирована"));
    EXPECT_EQ(Console->PRPEdit->text(), S("ОЗУ"));
    Console->MemoryChangeClick();
    EXPECT_EQ(Console->PRPEdit->text(), S("ППЗУ"));
    // "Заказ УСО": row 3 of "ДЦП" is bit 3 of byte 0; twice restores it, the flag stays.
    EXPECT_EQ(Console->ModuleGrid->rowCount(), 64);
    EXPECT_EQ(Console->ModuleGrid->item(3, 1)->text(), S("Есть"));
    EXPECT_EQ(Console->ModuleGrid->item(3, 3)->text(), S("037"));
    Console->ModuleGridDblClick(3);
    EXPECT_EQ(Console->ModuleGrid->item(3, 1)->text(), S("Нет"));
    EXPECT_EQ(setup[0], 0xF7);
    Console->ModuleGridDblClick(3);
    EXPECT_EQ(setup[0], 0xFF);
    EXPECT_TRUE(Console->SettingsChanged);
    Console->ModuleTabs->setCurrentIndex(2); // "АЦП": two rows per bit
    EXPECT_EQ(Console->ModuleGrid->rowCount(), 16);
    Console->ModuleGridDblClick(5); // bit 2 of byte 12
    EXPECT_EQ(setup[12], 0x07);
    Console->ModuleApplyClick();
    EXPECT_FALSE(Console->SettingsChanged);
    // "Настройка каналов": the stop bits change alone.
    Console->ChannelNumCB->setCurrentIndex(2);
    Console->ChannelNumChange();
    const std::uint8_t before = setup[25];
    Console->ChannelParamChange(6, 1);
    EXPECT_EQ(setup[25] & 0x3F, before & 0x3F);
    EXPECT_EQ(setup[25] >> 6, 1);
    Console->ChannelNumCB->setCurrentIndex(5);
    Console->ChannelNumChange();
    EXPECT_FALSE(Console->SpeedCB->isEnabled());
    EXPECT_TRUE(Console->IrprGroup->isEnabled());
    // "Каналы связи": logical channel 4 onto physical channel 3.
    Console->LogicalChannelChange(4, 3);
    EXPECT_EQ(setup[15 + 4], 3);
    EXPECT_EQ(Console->LogicalChannelCB[4]->currentIndex(), 3);
    // "Сброс переменных" asks first; No (the default) sends nothing.
    Console->ResetQuestion(S("Вы хотите сбросить значения переменных?"),
                           &TSarvetel::ResetVariables);
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание !!!"));
    EXPECT_EQ(Dialogs.Asked.back().Default, TUserDialogs::AnswerNo);
    // Leaving with a change asks to save it; Yes writes the setup.
    Console->ChannelNumCB->setCurrentIndex(2);
    Console->ChannelNumChange();
    Console->ChannelParamChange(6, 3);
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Console->BtnStopClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Настройки были изменены. Сохранить?"));
    Close();
    EXPECT_EQ(Sim().IOSetup[12], 0x07);
    EXPECT_EQ(Sim().IOSetup[25] >> 6, 3);
    EXPECT_EQ(Sim().IOSetup[15 + 4], 3);
}

TEST_F(ConsoleTest, ProgramPagesReadCompileWriteAndDeleteASection)
{
    WriteDemo();
    Open();
    Console->BtnProgramClick();
    EXPECT_EQ(Console->Panels->currentWidget(), Console->PCProgram);
    EXPECT_EQ(Console->CBBlock->count(), Console->Header.OrderKB + 1);
    EXPECT_EQ(Console->CBSec->count(), 32);
    EXPECT_EQ(Console->CBSec->itemText(9), S("011"));
    // Every caption of the order grid is whole, on each tab.
    for (int tab = 0; tab < 4; ++tab) {
        Console->OrderTabs->setCurrentIndex(tab);
        Console->FillOrderGrid();
        const QHeaderView *h = Console->SGCustomize->horizontalHeader();
        for (int c = 0; c < 3; ++c)
            EXPECT_GE(h->sectionSize(c), h->fontMetrics().horizontalAdvance(
                                             Console->SGCustomize->horizontalHeaderItem(c)->text()))
                << tab << ' ' << c;
    }
    // "Записать" before any section was read does nothing.
    Console->SectionWriteClick();
    EXPECT_TRUE(Console->Log.isEmpty());

    const TZentorSection &original = Form->Document->Program().Sections[0];
    ASSERT_TRUE(original.Present);
    Console->CBSec->setCurrentIndex(0);
    Console->RefreshInfoClick();
    EXPECT_TRUE(Console->MemoInfo->toPlainText().startsWith(S("Размер секции ")));
    Console->SectionReadClick();
    EXPECT_EQ(Console->Log.value(0), S("Чтение секции 000"));
    EXPECT_FALSE(Console->MemoWork->toPlainText().isEmpty());
    Console->SectionCompileClick();
    EXPECT_TRUE(Console->Log.contains(S("Компиляция секции 000")));
    EXPECT_EQ(Console->Log.last(), S("Успешно.")) << Console->Log.join(u'\n').toStdString();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(Console->Section.Code),
                         Console->Section.CodeLength),
              QByteArray(reinterpret_cast<const char *>(original.Code), original.CodeLength));
    // "Записать" ends its lines with the result, as every command of the page does.
    Console->SectionWriteClick();
    EXPECT_EQ(Console->Log.mid(Console->Log.size() - 2),
              QStringList({S("Запись секции 000"), S("Успешно.")}));
    EXPECT_EQ(Console->ListBoxLog->count(), Console->Log.size());

    // A wrong line: the log names it, and a double click puts the caret there.
    QStringList text = Console->MemoWork->toPlainText().split(u'\n');
    text.insert(1, S("ЭТО НЕ ОПЕРАТОР"));
    Console->MemoWork->setPlainText(text.join(u'\n'));
    Console->SectionCompileClick();
    int row = -1;
    for (int i = 1; i < Console->Log.size(); ++i)
        if (Console->Log[i].startsWith(S("[000.1:")))
            row = i;
    ASSERT_GE(row, 1) << Console->Log.join(u'\n').toStdString();
    Console->MemoWork->moveCursor(QTextCursor::End);
    Console->LogDblClick(row);
    EXPECT_EQ(Console->MemoWork->textCursor().blockNumber(), 1);

    // "Удалить" asks; Yes deletes the section in the controller.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Console->SectionDeleteClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("000 будет удалена. Продлжить?"));
    EXPECT_EQ(Console->MemoInfo->toPlainText(), S("Размер секции 0"));
    Close();
    EXPECT_FALSE(Sim().Program.Sections[0].Present);
}

TEST_F(ConsoleTest, SectionPageSaysWhatFailedAndSendsOnlyCompiledCode)
{
    WriteDemo();
    Open();
    QTest::mouseClick(Console->BtnProgram, Qt::LeftButton);
    ASSERT_EQ(Console->Panels->currentWidget(), Console->PCProgram);
    Console->CBSec->setCurrentIndex(0);
    Console->SectionReadClick();
    const QString read = Console->MemoWork->toPlainText();
    ASSERT_FALSE(read.isEmpty());

    // The program's own text, with its technological names, compiles here as in the program.
    Console->MemoWork->setPlainText(Form->Document->Program().Sections[0].Text.join(u'\n'));
    Console->SectionCompileClick();
    EXPECT_EQ(Console->Log.last(), S("Успешно.")) << Console->Log.join(u'\n').toStdString();
    EXPECT_EQ(CodeOf(Console->Section), CodeOf(Form->Document->Program().Sections[0]));
    EXPECT_GE(Console->Compiler.AlgMemoryUsed, Form->Document->Compiler().AlgMemoryUsed);

    // A failed compile: "Записать" refuses, nothing is sent.
    TypeText(Console->MemoWork, S("\nЭТО НЕ ОПЕРАТОР"));
    Console->SectionCompileClick();
    Console->SectionWriteClick();
    EXPECT_EQ(Console->StatusMessage->text(),
              S("Секция не откомпилирована после изменения текста: запись не выполнена"));
    EXPECT_EQ(Console->Log.last(), Console->StatusMessage->text());
    Close();
    EXPECT_EQ(CodeOf(Sim().Program.Sections[0]), CodeOf(Form->Document->Program().Sections[0]));

    // A read without an answer says so and keeps the text; so do a write and a delete.
    Open();
    QTest::mouseClick(Console->BtnProgram, Qt::LeftButton);
    Console->CBSec->setCurrentIndex(0);
    Console->MemoWork->setPlainText(read);
    Form->Link->Port->Timeouts.ReadTotalTimeoutMultiplier = 1; // silence ends soon
    Sim().Faults.DropEvery = 1;
    Console->SectionReadClick();
    EXPECT_EQ(Console->MemoWork->toPlainText(), read);
    EXPECT_EQ(Console->StatusMessage->text(), S("Чтение секции 000: Контроллер не ответил"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Console->SectionDeleteClick();
    EXPECT_EQ(Console->StatusMessage->text(), S("Удаление секции 000: Контроллер не ответил"));
    Console->OrderWriteClick();
    EXPECT_EQ(Console->StatusMessage->text(), S("Запись заказа: Контроллер не ответил"));
    Sim().Faults.DropEvery = 0;
}

TEST_F(ConsoleTest, ResetShowsTheOrdersTheControllerHolds)
{
    WriteDemo();
    Open();
    QTest::mouseClick(Console->BtnProgram, Qt::LeftButton);
    ASSERT_EQ(Console->Panels->currentWidget(), Console->PCProgram);
    const int kb = Console->Header.OrderKB;
    // КБ raised by one and written: the controller holds it now.
    Console->SGCustomize->setCurrentCell(0, 0);
    QTest::keyClick(Console->SGCustomize, Qt::Key_Minus);
    Console->OrderWriteClick();
    EXPECT_FALSE(Console->SettingsChanged);
    QTest::keyClick(Console->SGCustomize, Qt::Key_Plus);
    QTest::keyClick(Console->SGCustomize, Qt::Key_Plus);
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Console->OrderResetClick();
    EXPECT_EQ(Console->Header.OrderKB, kb - 1);
    EXPECT_EQ(Console->SGCustomize->item(0, 2)->text(), QString::number(kb - 1));
    EXPECT_FALSE(Console->SettingsChanged);
}

TEST_F(ConsoleTest, ImpulseOutputKeyIsNamedAsTheHeadersKeyLines)
{
    WriteDemo();
    Open();
    QTest::mouseClick(Console->BtnProgram, Qt::LeftButton);
    ASSERT_EQ(Console->Panels->currentWidget(), Console->PCProgram);
    QStringList captions;
    for (QPushButton *b : Console->TechKeyButtons)
        captions.append(b->text());
    EXPECT_TRUE(captions.contains(S("ИВ000: ЧАСТОТА"))) << captions.join(u'|').toStdString();
}

TEST_F(ConsoleTest, PopupMenuActsAndTheResetsAskFirst)
{
    WriteDemo();
    Open();
    Console->BtnProgramClick();
    ASSERT_EQ(Console->Panels->currentWidget(), Console->PCProgram);
    int present = 1;
    while (present < 32 && !Form->Document->Program().Sections[present].Present)
        ++present;
    ASSERT_LT(present, 32);
    Console->CBSec->setCurrentIndex(present);
    const auto actions = Console->ProgramPopup->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[2]->text(), S("Обновить информацию"));
    actions[2]->trigger();
    EXPECT_NE(Console->MemoInfo->toPlainText(), S("Размер секции 0"));
    // "Редактировать секцию" reads the section.
    actions[4]->trigger();
    EXPECT_EQ(Console->Log.value(0), S("Чтение секции ") + SectionNumberText(present));
    EXPECT_EQ(Console->CurrentSection, present);
    // "Удалить блок" asks first; No keeps everything.
    actions[1]->trigger();
    EXPECT_EQ(Dialogs.Asked.back().Text, S("Все секции блока 0 будут удалены. Продолжить?"));
    EXPECT_NE(Console->MemoInfo->toPlainText(), S("Размер секции 0"));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    actions[1]->trigger();
    EXPECT_EQ(Console->MemoInfo->toPlainText(), S("Размер секции 0"));
    // "Сброс Сарветела": Cancel is the default and sends nothing.
    Console->ResetSarvetelBtnClick();
    EXPECT_EQ(Dialogs.Asked.back().Text, S("Вы уверены, что хотите сбросить память контроллера?"));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание"));
    EXPECT_EQ(Dialogs.Asked.back().Default, TUserDialogs::AnswerCancel);
    Close();
    for (int s = 0; s < 32; ++s)
        EXPECT_FALSE(Sim().Program.Sections[s].Present) << s;
    bool otherGroup = false;
    for (int s = 32; s < 256; ++s)
        otherGroup = otherGroup || Sim().Program.Sections[s].Present;
    EXPECT_TRUE(otherGroup);
}

TEST_F(ConsoleTest, ProgramPagesOrderGridAndTechnologicalKeys)
{
    Open();
    Console->BtnProgramClick();
    ASSERT_EQ(Console->Panels->currentWidget(), Console->PCProgram);
    // "Переменные": ">>" on ТМ raises its order up to 7 and no further.
    EXPECT_EQ(Console->SGCustomize->rowCount(), 6);
    Console->SGCustomize->setCurrentCell(5, 0);
    for (int i = 0; i < 9; ++i)
        Console->OrderStep(1);
    EXPECT_EQ(Console->Header.OrderTM, 7);
    EXPECT_EQ(Console->SGCustomize->item(5, 2)->text(), S("77"));
    EXPECT_TRUE(Console->SettingsChanged);
    // "Таймеры": "Изменить" opens the timer-generator editor for the row.
    Console->OrderTabs->setCurrentIndex(2);
    EXPECT_FALSE(Console->IncBtnOrder->isEnabled());
    EXPECT_TRUE(Console->ChangeBtnOrder->isEnabled());
    Console->SGCustomize->setCurrentCell(1, 0);
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TTimeGenEditForm *>(d);
        f->Edit1->setText(S("15"));
        f->Edit2->setText(S("АВ012"));
        f->OkBtnClick();
        return f->result();
    });
    Console->OrderChangeClick();
    EXPECT_EQ(Console->SGCustomize->item(1, 1)->text(), S("15"));
    EXPECT_EQ(Console->SGCustomize->item(1, 2)->text(), S("АВ012"));
    Console->OrderWriteClick();
    EXPECT_FALSE(Console->SettingsChanged);
    // "Импульсные выходы": a source on an analog variable, a negative constant, and an
    // output not in use (no source, no tick).
    ASSERT_EQ(Console->Header.SetImpulseSource(1, S("-АВ012")), 0);
    ASSERT_EQ(Console->Header.SetImpulseSource(2, S("-5")), 0);
    Console->Header.ImpSource[3][1] = HeaderWord::SourceUnused;
    Console->OrderTabs->setCurrentIndex(3);
    const std::pair<int, const char16_t *> sources[] = {{1, u"-АВ012"}, {2, u"-5"}, {3, u""}};
    for (const auto &[row, text] : sources)
        EXPECT_EQ(Console->SGCustomize->item(row, 1)->text(), QString::fromUtf16(text)) << row;
    EXPECT_EQ(Console->SGCustomize->item(2, 2)->text(), S(" 0,1"));
    EXPECT_TRUE(Console->SGCustomize->item(3, 2)->text().isEmpty());

    // A technological key edited and sent.
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TFormTechKeyEdit *>(d);
        f->CBVar->setCurrentIndex(1);
        f->CBVarChange();
        f->CBVarNum->setCurrentText(S("012"));
        f->Edit->setText(S("насос"));
        f->Button1Click();
        return f->result();
    });
    Console->TechKeyClick(17);
    EXPECT_EQ(Console->TechKeyButtons[17]->text(), S("ДВ012: НАСОС"));
    EXPECT_EQ(Console->TechKeyButtons[16]->text(), S("нет"));
    Close();
    EXPECT_EQ(Sim().Program.Header.TechKeys[17].Class, 1);
    EXPECT_EQ(Sim().Program.Header.TechKeys[17].Index, 10);
    EXPECT_EQ(Sim().Program.Header.TimeGen[1][0], 30);
}

TEST_F(ConsoleTest, ShowingAgainWhileTheUpdaterFinishesIsSafe)
{
    Sim().Mode = 0x02;
    for (int i = 0; i < 3; ++i) {
        Console->show();
        EXPECT_TRUE(WaitUntil([this] { return Screen().size() == 10; }));
        Console->done(0);
        Console->SarvetelMemo->clear();
    }
    Open();
    EXPECT_TRUE(WaitUntil([this] { return Screen().size() == 10; }));
    Close();
}

// With the built-in simulator the variables window watches its run beside the main window
// (not modal; the watch list above the tree of classes). With a controller on a line of its
// own the window goes and its item is hidden: that line carries no values.
TEST_F(ConsoleTest, VariablesWindowOnlyOverTheBuiltInSimulator)
{
    ASSERT_TRUE(Form->VariablesItem->isVisible());
    Form->VariablesItem->trigger();
    TSarvetelVarsForm *f = Form->SarvetelVarsForm;
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isModal());
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
    EXPECT_EQ(f->windowTitle(), S("Контроль переменных Сарветела"));
    EXPECT_EQ(f->TreeView1->topLevelItem(0)->text(0), S("Список наблюдения"));
    const QTreeWidgetItem *root = f->TreeView1->topLevelItem(1);
    EXPECT_EQ(root->text(0), S("Все переменные"));
    EXPECT_EQ(root->childCount(), 7);
    EXPECT_EQ(root->child(6)->text(0), S("ТМ"));

    TSarvetelSimulator controller;
    TPtyServer line([&controller](const std::uint8_t *frame, int length) {
        std::lock_guard<std::mutex> state(controller.Lock);
        return controller.HandleRequest(frame, length);
    });
    QTemporaryDir dev;
    const QString path = dev.filePath(S("ttyUSB9"));
    QString error;
    ASSERT_TRUE(line.Open(path, error)) << error.toStdString();
    line.Start();
    Dialogs.Windows.push_back([&](QDialog *d) {
        auto *p = static_cast<TCOMPortSetupForm *>(d);
        p->show();
        QLineEdit *edit = p->COMCB->lineEdit();
        edit->setFocus();
        edit->selectAll();
        TypeText(edit, path);
        QTest::keyClick(edit, Qt::Key_Return);
        if (p->isVisible())
            QTest::mouseClick(p->OkBtn, Qt::LeftButton);
        return p->result();
    });
    Form->PortSettingsClick();
    ASSERT_EQ(Form->Link->Port->DevicePath, path);
    EXPECT_FALSE(Form->VariablesItem->isVisible());
    EXPECT_FALSE(f->isVisible());
    line.Stop();
}

} // namespace
