// The controller commands of the main window against the built-in simulator over a real
// pseudo-terminal: the port dialog, F2 in every starting mode with the transfer window,
// F3 with decompilation and the tree rebuilt, F4 comparing the program with the controller.

#include "../utf8text.h"
#include "gui/algeditform.h"
#include "gui/compareform.h"
#include "gui/comportsetupform.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/programparts.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/screenupdater.h"
#include "gui/workwithprpform.h"
#include "gui/zentoreditor.h"
#include "guitestutil.h"
#include "link/comport.h"
#include "link/sarveteldefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");

class ControllerTest : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;

    void SetUp() override
    {
        TGuiTest::SetUp();
        ASSERT_TRUE(QFile::copy(kExamples + QStringLiteral("BaseAlgs.alg"),
                                Home() + QStringLiteral("BaseAlgs.alg")));
        WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
        Form = MakeForm();
        ASSERT_TRUE(Form->PortInUse);
        Sim().Faults = TSimFaults();
    }

    TSarvetelSimulator &Sim() { return *Form->Link->Simulator; }

    void OpenDemo()
    {
        QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen")));
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({File(S("demo.zen")), 1});
        TFileCommands::Open(*Form);
        Form->CompileAllItem->trigger();
    }

    // The transfer window runs modally; the script lets it run and records what it showed.
    QStringList TransferShown;
    void RunTransferWindow(std::function<void(TWorkWithPRPForm *)> during = {})
    {
        Dialogs.Windows.push_back([this, during](QDialog *d) {
            auto *w = static_cast<TWorkWithPRPForm *>(d);
            if (during)
                QTimer::singleShot(0, w, [w, during] { during(w); });
            // Bounded: a job that never closes its window fails the test instead of hanging.
            QTimer::singleShot(20000, w, [w] { w->done(QDialog::Rejected + 7); });
            const int r = w->exec();
            TransferShown = w->Shown;
            EXPECT_NE(r, QDialog::Rejected + 7) << "the transfer window was not closed";
            return r;
        });
    }

    QStringList ErrorList() const
    {
        QStringList lines;
        for (int i = 0; i < Form->ErrorsListBox->count(); ++i)
            lines.append(Form->ErrorsListBox->item(i)->text());
        return lines;
    }

    // A new last line typed into the editor.
    void TypeLine(const QString &line)
    {
        QTest::keyClick(Form->ProgramREdit, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(Form->ProgramREdit, Qt::Key_Return);
        TypeText(Form->ProgramREdit, line);
    }

    QStringList PresentSections(const TZentorProgram &p) const
    {
        QStringList s;
        for (int i = 0; i < 256; ++i)
            if (p.Sections[i].Present)
                s.append(QString::number(i));
        return s;
    }
};

TEST_F(ControllerTest, PortDialogChoosesTheSimulatorAndOfflineWork)
{
    // Offline first, through the dialog: the three commands go off.
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        EXPECT_EQ(f->windowTitle(), S("Настройка связи с контроллером"));
        EXPECT_EQ(f->COMCB->itemText(0), S("Не выбран"));
        EXPECT_EQ(f->COMCB->itemText(1), S("Симулятор Сарветела"));
        EXPECT_EQ(f->COMCB->currentIndex(), 1);
        EXPECT_FALSE(f->UseCOMPortChB->isChecked());
        EXPECT_TRUE(f->COMInfoMemo->toPlainText().contains(S("Скорость:4800")));
        EXPECT_EQ(f->RIEdit->text(), S("100"));
        f->UseCOMPortChB->setChecked(true);
        f->UseCOMPortChBClick();
        EXPECT_FALSE(f->COMCB->isEnabled());
        EXPECT_TRUE(f->OkBtn->isEnabled());
        EXPECT_EQ(f->COMInfoMemo->toPlainText(), S("СОМ-порт не выбран"));
        f->OkBtnClick();
        return f->result();
    });
    Form->PortSettingsClick();
    EXPECT_FALSE(Form->PortInUse);
    EXPECT_FALSE(Form->WriteItem->isEnabled());
    EXPECT_FALSE(Form->CompareItem->isEnabled());
    EXPECT_FALSE(Form->ConsoleItem->isEnabled());
    EXPECT_FALSE(Form->AlgoritmHelpForm->LoadButton->isEnabled());

    // Back online on the simulator, with a time-out changed and a bad one refused.
    Dialogs.Windows.push_back([this](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        EXPECT_TRUE(f->UseCOMPortChB->isChecked());
        f->UseCOMPortChB->setChecked(false);
        f->COMCB->setCurrentIndex(0);
        f->UseCOMPortChBClick();
        EXPECT_FALSE(f->OkBtn->isEnabled()); // "Не выбран": nothing open
        f->COMCB->setCurrentIndex(1);
        f->COMCBChange(1);
        EXPECT_TRUE(f->OkBtn->isEnabled());
        EXPECT_TRUE(f->ParamBtn->isEnabled());
        f->RTCEdit->setText(S("25"));
        f->RIEdit->setText(S("abc"));
        f->OkBtnClick();
        EXPECT_TRUE(Dialogs.LastQuestion().contains(S("ReadIntervalTimeOut")));
        EXPECT_EQ(Form->Link->Port->Timeouts.ReadTotalTimeoutConstant, 0u); // nothing stored
        f->RIEdit->setText(S("150"));
        f->OkBtnClick();
        return f->result();
    });
    Form->PortSettingsClick();
    EXPECT_TRUE(Form->PortInUse);
    EXPECT_TRUE(Form->WriteItem->isEnabled());
    EXPECT_TRUE(Form->ReadItem->isEnabled());
    EXPECT_TRUE(Form->CompareItem->isEnabled());
    EXPECT_TRUE(Form->AlgoritmHelpForm->LoadButton->isEnabled());
    EXPECT_EQ(Form->Link->Port->Timeouts.ReadIntervalTimeout, 150u);
    EXPECT_EQ(Form->Link->Port->Timeouts.ReadTotalTimeoutConstant, 25u);
    // The link answers over the reopened line.
    static_cast<void>(Form->Link->Sarvetel->ReadStatus());
    EXPECT_EQ(Form->Link->Sarvetel->LinkStatus, Sarvetel::LinkAccepted);
    ASSERT_TRUE(Form->WriteConfiguration());
    EXPECT_TRUE(ReadLines(Home() + S("ZentorEditor.ini")).contains(S("Порт=симулятор")));
}

TEST_F(ControllerTest, ThePortDialogDoesNotWaitForTheLineOnTheMainThread)
{
    // Another thread holds the line until the main thread has served an event: a dialog that
    // took the port's lock on the main thread would wait for the holder, which would wait in
    // vain until its limit.
    TCOMPort &port = *Form->Link->Port;
    std::mutex m;
    std::condition_variable changed;
    bool holding = false, release = false, servedWhileHeld = false;
    std::thread holder([&] {
        std::lock_guard<std::recursive_mutex> line(port.Lock);
        std::unique_lock<std::mutex> guard(m);
        holding = true;
        changed.notify_all();
        servedWhileHeld = changed.wait_for(guard, std::chrono::seconds(5), [&] { return release; });
    });
    {
        std::unique_lock<std::mutex> guard(m);
        changed.wait(guard, [&] { return holding; });
    }
    Dialogs.Windows.push_back([&](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        QTimer::singleShot(0, f, [&] {
            std::lock_guard<std::mutex> guard(m);
            release = true;
            changed.notify_all();
        });
        f->COMCBChange(1); // the simulator, opened again
        EXPECT_TRUE(f->OkBtn->isEnabled());
        return int(QDialog::Accepted);
    });
    Form->PortSettingsClick();
    holder.join();
    EXPECT_TRUE(servedWhileHeld);
    EXPECT_TRUE(Form->PortInUse);
}

TEST_F(ControllerTest, APortThatCannotBeOpenedIsNamedInTheMemo)
{
    // The list is made when the dialog opens; a configured device stays in it while absent.
    Form->PortSettings.Port = S("/dev/нет-такого-порта");
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        const int last = f->COMCB->count() - 1;
        f->COMCB->setCurrentIndex(last);
        f->COMCBChange(last);
        EXPECT_EQ(f->COMInfoMemo->toPlainText(),
                  S("Не удалось открыть /dev/нет-такого-порта\nСОМ-порт не обнаружен"));
        EXPECT_FALSE(f->OkBtn->isEnabled());
        EXPECT_FALSE(f->ParamBtn->isEnabled());
        f->COMCB->setCurrentIndex(0);
        f->COMCBChange(0);
        EXPECT_EQ(f->COMInfoMemo->toPlainText(), S("СОМ-порт не выбран"));
        return int(QDialog::Accepted); // "ОК": no port from now on
    });
    Form->PortSettingsClick();
    EXPECT_FALSE(Form->PortInUse);
    EXPECT_FALSE(Form->ConsoleItem->isEnabled());
}

TEST_F(ControllerTest, LineSettingsDialogChangesThePort)
{
    Dialogs.Windows.push_back([this](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        Dialogs.Windows.push_front([](QDialog *l) {
            auto *line = static_cast<TLineSettingsForm *>(l);
            EXPECT_EQ(line->BaudCB->currentText(), S("4800"));
            line->BaudCB->setCurrentText(S("9600"));
            line->ParityCB->setCurrentIndex(2);
            return int(QDialog::Accepted);
        });
        f->ParamBtnClick();
        EXPECT_TRUE(f->COMInfoMemo->toPlainText().contains(S("Скорость:9600")));
        EXPECT_TRUE(f->COMInfoMemo->toPlainText().contains(S("Чётность:чет")));
        Dialogs.Windows.push_front([](QDialog *l) {
            static_cast<TLineSettingsForm *>(l)->BaudCB->setCurrentText(S("быстро"));
            return int(QDialog::Accepted);
        });
        f->ParamBtnClick();
        EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Скорость должна быть")));
        f->OkBtnClick();
        return f->result();
    });
    Form->PortSettingsClick();
    EXPECT_EQ(Form->Link->Port->BaudRate, 9600u);
    EXPECT_EQ(Form->Link->Port->Parity, 2);
}

TEST_F(ControllerTest, WriteThenReadGivesTheSameSections)
{
    OpenDemo();
    const TZentorProgram &p = Form->Document->Program();
    const QStringList written = PresentSections(p);
    ASSERT_FALSE(written.isEmpty());
    QByteArray codes[256];
    for (int i = 0; i < 256; ++i)
        if (p.Sections[i].Present)
            codes[i] = QByteArray(reinterpret_cast<const char *>(p.Sections[i].Code),
                                  p.Sections[i].CodeLength);
    // The simulator starts in "Останов": the question, then the switch.
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    RunTransferWindow();
    Form->WriteToControllerClick();
    ASSERT_GE(Dialogs.Asked.size(), 2u);
    EXPECT_EQ(Dialogs.Asked[Dialogs.Asked.size() - 2].Text,
              S("Сарветел находится в режиме Останов. Для продолжения работы Сарветел будет "
                "переведён в режим ПРОГРАММИРОВАНИЕ. Продолжить работу?"));
    EXPECT_EQ(Dialogs.Asked[Dialogs.Asked.size() - 2].Caption, S("Внимание!!!"));
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_TRUE(TransferShown.contains(S("Запись ПрП")));
    EXPECT_TRUE(TransferShown.contains(S("Запись заголовка ПрП")));
    EXPECT_TRUE(TransferShown.contains(S("Запись секции 000")));
    // The bar and its line both count bytes.
    const QProgressBar *bar = Form->WorkWithPRPForm->PB;
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(Form->WorkWithPRPForm->PBytes->text(),
              S("Передано %1 из %1 байт").arg(bar->maximum()));
    // The compile's lines first (nothing needed compiling), then the write's.
    EXPECT_EQ(ErrorList().value(0), S("Компиляция..."));
    EXPECT_EQ(ErrorList().indexOf(S("Запись программы в Сарветел")),
              ErrorList().indexOf(S("Компиляция завершена успешно. Размер ПрП ") +
                                  QString::number(p.ImageLength) + S(" байт.")) +
                  1);
    EXPECT_EQ(Sim().Mode, 0x08);
    EXPECT_EQ(PresentSections(Sim().Program), written);

    // Read it back: question, decompiled sections, the tree rebuilt, no file name.
    const int asked = static_cast<int>(Dialogs.Asked.size());
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    RunTransferWindow();
    Form->ReadFromControllerClick();
    EXPECT_EQ(Dialogs.Asked[asked].Text,
              S("При загрузке программы из контроллера, текущая программа будет недоступна. "
                "Продолжить?"));
    EXPECT_EQ(Dialogs.Asked[asked].Default, TUserDialogs::AnswerNo);
    // The program read lives in no file yet: marked as changed.
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ПРП из Сарветела *"));
    EXPECT_TRUE(Form->Document->FileName().isEmpty());
    EXPECT_TRUE(TransferShown.contains(S("Чтение ПрП")));
    EXPECT_EQ(ErrorList().value(0), S("Чтение ПрП из Сарветела"));
    EXPECT_EQ(PresentSections(p), written);
    for (int i = 0; i < 256; ++i) {
        if (!p.Sections[i].Present)
            continue;
        EXPECT_FALSE(p.Sections[i].Text.isEmpty()) << i;
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(p.Sections[i].Code),
                             p.Sections[i].CodeLength),
                  codes[i])
            << i;
    }
    EXPECT_NE(Form->TreeView->FindNode(0), nullptr);
    EXPECT_EQ(Form->TreeView->SelectedNode()->Info.Code, TTreeItemInfo::HeaderCode);
}

TEST_F(ControllerTest, WriteAnsweredCancelWritesNothing)
{
    OpenDemo();
    Sim().Mode = 0x02; // "Пуск"
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel);
    Form->WriteToControllerClick();
    EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Сарветел находится в режиме Пуск.")));
    EXPECT_EQ(Sim().Mode, 0x02);
    EXPECT_TRUE(PresentSections(Sim().Program).isEmpty());
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
}

TEST_F(ControllerTest, WriteInProgrammingModeAsksNothing)
{
    OpenDemo();
    Sim().Mode = 0x08;
    RunTransferWindow();
    Form->WriteToControllerClick();
    ASSERT_EQ(Dialogs.Asked.size(), 2u); // the open question, then "Запись ПрП завершена"
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_FALSE(PresentSections(Sim().Program).isEmpty());
}

TEST_F(ControllerTest, RefusedModeChangeWritesNothing)
{
    OpenDemo();
    Sim().Faults.RefuseMode = true;
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    Form->WriteToControllerClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Не удалось перейти в режим ПРОГРАММИРОВАНИЕ"));
    EXPECT_EQ(Dialogs.Asked.back().Buttons, TUserDialogs::OkCancel);
    EXPECT_EQ(ErrorList().last(), S("Попытка записи не удалась"));
    EXPECT_TRUE(PresentSections(Sim().Program).isEmpty());
}

TEST_F(ControllerTest, NoAnswerToTheStatusWritesNothing)
{
    OpenDemo();
    Form->Link->Port->Close();
    Form->WriteToControllerClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Ошибка при обращении к контроллеру!"));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание!"));
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
}

TEST_F(ControllerTest, RejectedSectionRetriedThenStopped)
{
    OpenDemo();
    Sim().Mode = 0x08;
    Sim().Faults.RejectSections = true;
    Sim().Faults.RejectSection = 0;
    // Retry once (still rejected), then stop.
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel);
    RunTransferWindow();
    Form->WriteToControllerClick();
    int retries = 0;
    for (const auto &a : Dialogs.Asked)
        if (a.Text == S("Ошибка при записи секции. Повторить?"))
            ++retries;
    EXPECT_EQ(retries, 2);
    EXPECT_EQ(Dialogs.LastQuestion(),
              S("Запись ПрП не завершена\nСекция 000 не принята контроллером. Запись прервана."));
    EXPECT_EQ(Dialogs.Asked.back().Icon, TUserDialogs::Warning);
    EXPECT_TRUE(PresentSections(Sim().Program).isEmpty());
}

TEST_F(ControllerTest, CancelBetweenSectionsEndsTheWrite)
{
    OpenDemo();
    Sim().Mode = 0x08;
    Sim().Faults.SlowMs = 50;
    // "Отмена" as soon as the second section is under way.
    RunTransferWindow([](TWorkWithPRPForm *w) {
        auto *poll = new QTimer(w);
        QObject::connect(poll, &QTimer::timeout, w, [w, poll] {
            if (w->PAction->text().startsWith(S("Запись секции ")) &&
                w->PAction->text() != S("Запись секции 000")) {
                w->Btn->click();
                poll->stop();
            }
        });
        poll->start(5);
    });
    Form->WriteToControllerClick();
    EXPECT_EQ(Dialogs.LastQuestion(),
              S("Запись ПрП не завершена\nЗапись ПрП прервана по запросу."));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание!"));
    EXPECT_FALSE(Form->WorkWithPRPForm->Btn->isEnabled());
    const int written = static_cast<int>(PresentSections(Sim().Program).size());
    EXPECT_GE(written, 1); // section 000, and at most the one in progress
    EXPECT_LE(written, 2);
    EXPECT_LT(written, static_cast<int>(PresentSections(Form->Document->Program()).size()));
}

QByteArray CodeOf(const TZentorSection &s)
{
    return QByteArray(reinterpret_cast<const char *>(s.Code), s.CodeLength);
}

TEST_F(ControllerTest, WriteCompilesWhatChangedAndSendsNothingWhenTheCompileFails)
{
    // Opened and never compiled: F2 compiles first and writes the program's sections.
    QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen")));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Dialogs.Files.push_back({File(S("demo.zen")), 1});
    TFileCommands::Open(*Form);
    Sim().Mode = 0x08;
    RunTransferWindow();
    Form->WriteToControllerClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_EQ(ErrorList().value(0), S("Компиляция..."));
    EXPECT_TRUE(ErrorList().contains(S("Запись программы в Сарветел")));
    const TZentorProgram &p = Form->Document->Program();
    EXPECT_EQ(PresentSections(Sim().Program), PresentSections(p));
    EXPECT_EQ(Sim().Program.Header.OrderVD, p.Header.OrderVD);
    EXPECT_NE(p.Header.OrderVD, 1); // not the default header

    // An edit without a compile: the new code goes, not the old.
    const QByteArray before = CodeOf(p.Sections[0]);
    Form->TreeView->SelectNode(0);
    Form->ApplySelectionChange();
    TypeLine(S("ЕСЛИ ВКЛ КБ5 ТОГДА ВКЛ КБ6"));
    RunTransferWindow();
    Form->WriteToControllerClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_NE(CodeOf(p.Sections[0]), before);
    EXPECT_EQ(CodeOf(Sim().Program.Sections[0]), CodeOf(p.Sections[0]));

    // A compile that fails asks nothing of the controller.
    const QByteArray sent = CodeOf(Sim().Program.Sections[0]);
    const auto windows = Dialogs.WindowTitles.size();
    TypeLine(S("ЭТО НЕ ОПЕРАТОР"));
    const std::uint64_t exchanges = Form->Link->Sarvetel->Exchanges;
    Form->WriteToControllerClick();
    EXPECT_EQ(ErrorList().last(), S("Обнаружены ошибки"));
    EXPECT_EQ(Dialogs.WindowTitles.size(), windows);
    EXPECT_EQ(Form->Link->Sarvetel->Exchanges, exchanges);
    EXPECT_EQ(CodeOf(Sim().Program.Sections[0]), sent);
}

TEST_F(ControllerTest, AnUntouchedImageIsWrittenAsItStands)
{
    OpenDemo();
    Dialogs.Files.push_back({File(S("demo.prp")), 2});
    TFileCommands::Export(*Form);
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Dialogs.Files.push_back({File(S("demo.prp")), 1});
    TFileCommands::Open(*Form);
    ASSERT_EQ(ErrorList().last(), S("Ок")) << ErrorList().join(u'\n').toStdString();
    const QByteArray image(reinterpret_cast<const char *>(Form->Document->Program().Image),
                           Form->Document->Program().ImageLength);
    Sim().Mode = 0x08;
    RunTransferWindow();
    Form->WriteToControllerClick();
    EXPECT_EQ(ErrorList().value(0), S("Компиляция..."));
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(Form->Document->Program().Image),
                         Form->Document->Program().ImageLength),
              image);
    EXPECT_FALSE(Form->Document->Changed());
    Sim().Program.AssembleImage();
    EXPECT_EQ(
        QByteArray(reinterpret_cast<const char *>(Sim().Program.Image), Sim().Program.ImageLength),
        image);
}

TEST_F(ControllerTest, ExportCompilesAHeaderChangedSinceTheLastCompile)
{
    OpenDemo();
    Form->TreeView->SelectNode(TTreeItemInfo::HeaderCode);
    Form->ApplySelectionChange();
    QString text = Form->ProgramREdit->text();
    text.replace(S("КБ   0 - 7"), S("КБ   0 - 3"));
    Form->ProgramREdit->setText(text);
    Dialogs.Files.push_back({File(S("new.prp")), 2});
    TFileCommands::Export(*Form);
    ASSERT_EQ(ErrorList().last(), S("Ок")) << ErrorList().join(u'\n').toStdString();
    QFile f(File(S("new.prp")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GT(bytes.size(), 8);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[3]), 3); // the КБ order as the text now says
}

TEST_F(ControllerTest, AReadThatDidNotCompleteLeavesTheOpenProgram)
{
    OpenDemo();
    const QByteArray code = CodeOf(Form->Document->Program().Sections[0]);
    const QStringList text = Form->Document->Program().Sections[0].Text;
    // Nothing stored in the controller answers: the block count never comes.
    Form->Link->Port->Close();
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    RunTransferWindow();
    Form->ReadFromControllerClick();
    EXPECT_EQ(CodeOf(Form->Document->Program().Sections[0]), code);
    EXPECT_EQ(Form->Document->Program().Sections[0].Text, text);
    EXPECT_FALSE(Form->Document->FileName().isEmpty());
    EXPECT_EQ(ErrorList().last(),
              S("ПрП из контроллера не прочитана целиком: открытая программа не изменена"));
}

// "Считывать ПрП дважды" beside F3: a byte the line changed in one of the two reads keeps the
// read out; two reads that agree replace the program.
TEST_F(ControllerTest, ReadTwiceTakesOnlyTwoReadsThatAgree)
{
    OpenDemo();
    Sim().Program.CopyContentOf(Form->Document->Program());
    Sim().Reassemble();
    const QByteArray code = CodeOf(Form->Document->Program().Sections[0]);
    Form->Document->Program().Sections[0].Code[5] ^=
        0x01; // the open program differs from the controller's
    Sim().Faults.FlipBlock = 0;
    ASSERT_TRUE(Form->ReadTwiceItem->isCheckable());
    Form->ReadTwiceItem->setChecked(true);
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    RunTransferWindow();
    Form->ReadFromControllerClick();
    EXPECT_TRUE(TransferShown.contains(S("Повторное считывание 0-го блока из 36")))
        << TransferShown.join('\n').toStdString();
    EXPECT_TRUE(ErrorList().join('\n').contains(S("ПрП считан дважды, и считанное различается")));
    EXPECT_EQ(ErrorList().last(),
              S("ПрП из контроллера не прочитана целиком: открытая программа не изменена"));
    EXPECT_NE(CodeOf(Form->Document->Program().Sections[0]), code);

    // The line gives the same bytes twice now.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    RunTransferWindow();
    Form->ReadFromControllerClick();
    EXPECT_EQ(CodeOf(Form->Document->Program().Sections[0]), code);
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ПРП из Сарветела *"));
}

TEST_F(ControllerTest, ReadAnsweredNoKeepsTheProgram)
{
    OpenDemo();
    const QString name = Form->Document->FileName();
    Form->ReadFromControllerClick(); // default answer: No
    EXPECT_EQ(Form->Document->FileName(), name);
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
    // A changed program: the save question instead, whose default Отмена reads nothing.
    Form->TreeView->SelectNode(0);
    Form->ApplySelectionChange();
    QTest::keyClicks(Form->ProgramREdit, "x ");
    Form->ReadFromControllerClick();
    EXPECT_EQ(Dialogs.LastQuestion(), S("Сохранить изменения в программе?"));
    EXPECT_EQ(Form->Document->FileName(), name);
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
}

// The comparison's rows that are not "совпадает": title | result | what differs.
QStringList DifferingRows(const TCompareForm &form)
{
    QStringList rows;
    for (int i = 0; i < form.RowsView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = form.RowsView->topLevelItem(i);
        if (item->text(1) != S("совпадает"))
            rows << item->text(0) + S(" | ") + item->text(1) + S(" | ") + item->text(2);
    }
    return rows;
}

TEST_F(ControllerTest, CompareAfterWriteMatchesAndNamesWhatTheConsoleChanged)
{
    OpenDemo();
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    RunTransferWindow();
    Form->WriteToControllerClick();
    ASSERT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));

    // F4 where F3 is: the read in the transfer window, then the result in its own.
    EXPECT_EQ(Form->CompareItem->text(), S("С&равнить с контроллером"));
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get(), 5000));
    RunTransferWindow();
    Form->ProgramREdit->setFocus();
    QTest::keyClick(Form->ProgramREdit, Qt::Key_F4);
    ASSERT_NE(Form->CompareForm, nullptr);
    TCompareForm &window = *Form->CompareForm;
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(TransferShown.contains(S("Чтение ПрП")));
    EXPECT_EQ(window.windowTitle(), S("Сравнение с контроллером"));
    EXPECT_EQ(window.RowsView->topLevelItemCount(),
              5 + PresentSections(Form->Document->Program()).size());
    EXPECT_EQ(DifferingRows(window), QStringList());
    EXPECT_EQ(window.SummaryLabel->text(), S("ПрП в контроллере совпадает с программой"));
    EXPECT_EQ(ErrorList().value(0), S("Компиляция..."));
    EXPECT_TRUE(ErrorList().contains(S("Сравнение ПрП с контроллером")));

    // Through the console: the ТМ order one step up, section 001 changed, 002 deleted and
    // 012, which the program has not, written.
    TSarvetelConsoleForm *console = Form->SarvetelConsoleForm;
    console->show();
    ASSERT_TRUE(WaitUntil([console] { return !console->StatusMode->text().isEmpty(); }));
    console->BtnProgramClick();
    console->SGCustomize->setCurrentCell(5, 0);
    console->OrderStep(1);
    console->OrderWriteClick();
    console->CBBlock->setCurrentIndex(0);
    const auto section = [console](int s, const std::function<QString(QString)> &edit) {
        console->CBSec->setCurrentIndex(s);
        console->RefreshInfoClick();
        console->SectionReadClick();
        console->MemoWork->setPlainText(edit(console->MemoWork->toPlainText()));
        console->SectionCompileClick();
        console->SectionWriteClick();
    };
    section(1, [](QString t) { return t.replace(S("01 Если В ВД017"), S("01 Если В ВД016")); });
    section(10, [](const QString &) { return S("ВКЛ ДВ060"); });
    console->CBSec->setCurrentIndex(2);
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    console->SectionDeleteClick();
    auto updater = console->Updater;
    console->done(0);
    if (updater) {
        ASSERT_TRUE(WaitUntil([updater] { return updater->Ended(); }));
    }

    const QByteArray before(reinterpret_cast<const char *>(Form->Document->Program().Image),
                            Form->Document->Program().ImageLength);
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get(), 5000));
    Form->ProgramREdit->setFocus();
    RunTransferWindow();
    QTest::keyClick(Form->ProgramREdit, Qt::Key_F4);
    EXPECT_EQ(DifferingRows(window),
              QStringList({S("Заказ переменных | отличается | ТМ"),
                           S("Секция 001 «Аварийный останов» | отличается | различаются байты: 2"),
                           S("Секция 002 «Давление» | только в программе | 41 байт"),
                           S("Секция 012 | только в контроллере | 8 байт")}));
    EXPECT_EQ(window.SummaryLabel->text(), S("Найдено различий: 4"));
    EXPECT_EQ(ErrorList().last(), S("Найдено различий: 4"));
    // Neither side changed.
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(Form->Document->Program().Image),
                         Form->Document->Program().ImageLength),
              before);
    EXPECT_TRUE(Sim().Program.Sections[10].Present);

    // A double click on section 001: the program's text and the controller's block side by
    // side, the changed condition marked on both.
    QTreeWidgetItem *row = window.RowsView->topLevelItem(6);
    ASSERT_TRUE(row->text(0).startsWith(S("Секция 001")));
    window.RowsView->scrollToItem(row);
    const QPoint at = window.RowsView->visualItemRect(row).center();
    QTest::mouseClick(window.RowsView->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.RowsView->viewport(), Qt::LeftButton, {}, at);
    TCompareTextsForm &texts = *window.TextsForm;
    ASSERT_TRUE(texts.isVisible());
    EXPECT_EQ(texts.windowTitle(), S("Секция 001 «Аварийный останов»: программа и контроллер"));
    EXPECT_EQ(texts.ProgramView->topLevelItem(1)->text(1),
              Form->Document->Program().Sections[1].Text[1]);
    EXPECT_EQ(TCompareTextsForm::MarkedRows(texts.ProgramView), QList<int>{1});
    EXPECT_EQ(TCompareTextsForm::MarkedRows(texts.ControllerView), QList<int>{1});
    EXPECT_EQ(texts.ControllerView->topLevelItem(1)->text(1), S("01 Если В ВД016"));
}

TEST_F(ControllerTest, CompareShowsNoResultForABrokenProgramASilentControllerOrACancel)
{
    OpenDemo();
    // A program that does not compile: the compile list, and the controller is not asked.
    const QStringList text = Form->Document->Program().Sections[0].Text;
    Form->Document->Program().CommitSectionText(0, {S("ВКЛ ВКЛ")});
    Form->CompareItem->trigger();
    EXPECT_EQ(ErrorList().last(), S("Обнаружены ошибки"));
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
    EXPECT_EQ(Form->CompareForm, nullptr);

    // A controller that does not answer: the link's message, and no result window.
    Form->Document->Program().CommitSectionText(0, text);
    Sim().Faults.DropEvery = 1;
    RunTransferWindow();
    Form->CompareItem->trigger();
    EXPECT_EQ(Form->CompareForm, nullptr);
    const QStringList end = {S("Длина ПрП не получена от контроллера. Чтение прервано."),
                             S("Контроллер не ответил"), S("Сравнение не выполнено")};
    EXPECT_EQ(ErrorList().mid(ErrorList().size() - 3), end);
    EXPECT_EQ(Dialogs.LastQuestion(), end.join(u'\n'));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание!"));

    // A slow one, and "Отмена" while its blocks come: nothing shown, nothing asked.
    Sim().Faults.DropEvery = 0;
    Sim().Faults.SlowMs = 30;
    const size_t asked = Dialogs.Asked.size();
    RunTransferWindow([](TWorkWithPRPForm *w) {
        auto *poll = new QTimer(w);
        QObject::connect(poll, &QTimer::timeout, w, [w, poll] {
            if (w->PAction->text().startsWith(S("Считывание "))) {
                w->Btn->click();
                poll->stop();
            }
        });
        poll->start(5);
    });
    Form->CompareItem->trigger();
    EXPECT_EQ(Form->CompareForm, nullptr);
    EXPECT_EQ(ErrorList().mid(ErrorList().size() - 2),
              QStringList({S("Чтение ПрП прервано по запросу."), S("Сравнение не выполнено")}));
    EXPECT_EQ(Dialogs.Asked.size(), asked);
}

} // namespace
