// The desktop as a person meets it: a first start in an empty program directory, real key
// and mouse events on the real main window, the built-in simulator on a pseudo-terminal,
// and a controller that answers late or not at all while windows are closed in the middle
// of an exchange. Every wait is bounded.

#include "realusefixture.h"
#include "sim/simwatch.h"

namespace {

class RealUseTest : public TRealUseFixture
{
};

QString ModeShown(TSarvetelConsoleForm *c)
{
    return c->StatusMode->text();
}

TEST_F(RealUseTest, FirstStartWalk)
{
    ASSERT_TRUE(QDir(Home()).isEmpty());
    Start();
    EXPECT_TRUE(Form->StartupReport.contains(
        S("Файл конфигурации не обнаружен, параметры приняты по умолчанияю")));
    EXPECT_EQ(Form->geometry(), QRect(164, 102, 569, 443));
    ChooseSimulator();
    OpenDemo();
    QStringList written;
    for (int s = 0; s < 256; ++s)
        if (Form->Document->Program().Sections[s].Present)
            written << QString::number(s);
    ASSERT_FALSE(written.isEmpty());

    // F2: the switch to "Программирование" asked and answered OK, the transfer window.
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
    Key(Qt::Key_F2);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_EQ(WithSim([](TSarvetelSimulator &s) {
                  QStringList held;
                  for (int i = 0; i < 256; ++i)
                      if (s.Program.Sections[i].Present)
                          held << QString::number(i);
                  return held;
              }),
              written);

    // F3 reads it back into the tree.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
    Key(Qt::Key_F3);
    // Read from the controller, the program is in no file yet: marked changed.
    EXPECT_EQ(Form->windowTitle(), S("Редактирование ПРП из Сарветела *"));
    EXPECT_NE(Form->TreeView->FindNode(written.first().toInt()), nullptr);

    // The console shows the mode; keys and mode buttons reach the controller.
    Console([this](TSarvetelConsoleForm *c) {
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Программирование"); }));
        Click(c->BtnStop);
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Останов"); }));
        for (auto &[button, code] : c->KeyButtons)
            if (code == 0x33)
                Click(button);
        EXPECT_TRUE(
            WaitUntil([this] { return WithSim([](auto &s) { return s.LastKey; }) == 0x33; }));
        // A key pressed while the controller is not polled ("Неисправность") waits in the
        // session's queue and dies with it.
        Click(c->BtnFailure);
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Неисправность"); }));
        for (auto &[button, code] : c->KeyButtons)
            if (code == 0x35)
                Click(button);
    });
    Console([this](TSarvetelConsoleForm *c) {
        // Opened again, the console shows nothing of the last session, and a click that
        // comes before it has asked the controller does not keep it from polling.
        EXPECT_EQ(ModeShown(c), QString());
        Click(c->BtnStop);
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Неисправность"); }));
        ASSERT_TRUE(c->Updater);
        const auto updater = c->Updater;
        Click(c->BtnStop);
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Останов"); }));
        const int cycles = updater->Cycles();
        EXPECT_TRUE(WaitUntil([&] { return updater->Cycles() > cycles + 2; }));
        Click(c->BtnStart);
        EXPECT_TRUE(WaitUntil([c] {
            return ModeShown(c) == S("Пуск") &&
                   c->SarvetelMemo->toPlainText().split(u'\n').size() == 10;
        }));
        // The built-in simulator runs the demo written into it.
        EXPECT_TRUE(WaitUntil([this] { return TSimWatch(Sim()).Snapshot().Scans > 2; }));
    });
    EXPECT_NE(WithSim([](auto &s) { return s.LastKey; }), 0x35);
    EXPECT_FALSE(ErrorBoxShown());

    Dialogs.Answers.push_back(TUserDialogs::AnswerNo); // the program read is not saved
    Form->close();
    EXPECT_TRUE(ReadLines(Home() + S("ZentorEditor.ini")).contains(S("Порт=симулятор")));
    EXPECT_TRUE(QFile::exists(Home() + S("log")));
}

TEST_F(RealUseTest, SlowControllerClosingMidExchange)
{
    WriteIniForSimulator();
    Start();
    ASSERT_TRUE(Form->PortInUse);
    WithSim([](TSarvetelSimulator &s) { s.Faults.SlowMs = 1500; });
    THeartbeat beat;
    Console([&](TSarvetelConsoleForm *c) {
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Останов"); }));
        EXPECT_TRUE(WaitUntil([c] { return c->BtnTest->isEnabled(); }));
        // "ТСТ" waits 1.5 s for its reply; meanwhile the window serves events, shows that it
        // waits, and a close ends the exchange at once.
        bool seenWaiting = false;
        QElapsedTimer closing;
        QTimer::singleShot(300, c, [&] {
            seenWaiting = c->StatusWait->text() == S("Обмен с контроллером...") &&
                          !c->BtnTest->isEnabled() && !c->BtnSetup->isEnabled() &&
                          QApplication::overrideCursor() &&
                          QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            closing.start();
            Click(c->CloseBtn);
        });
        const int ticks = beat.Ticks;
        Click(c->BtnTest);
        EXPECT_TRUE(seenWaiting);
        EXPECT_GT(beat.Ticks, ticks + 5);
        EXPECT_LT(closing.elapsed(), 1000);
        EXPECT_FALSE(c->isVisible());
        EXPECT_FALSE(c->Updater);
    });
    EXPECT_FALSE(QApplication::overrideCursor());

    // F2's status request is in flight when the main window closes: no question but the
    // one about the empty program, no error, the configuration is written, nothing is left
    // running.
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    QTimer::singleShot(300, Form.get(), [this] { Form->close(); });
    Key(Qt::Key_F2);
    EXPECT_FALSE(Form->isVisible());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.LastQuestion(),
              S("В программе нет ни одной секции с кодом. Записать её в контроллер?"));
    EXPECT_FALSE(Form->Link->Worker->IsBusy());
    EXPECT_TRUE(QFile::exists(Home() + S("ZentorEditor.ini")));
}

// A controller that answers each reply 1.5 s late. Once the engineer has raised the read
// time-out in "Параметры COM-порт", F3 brings the program back; with the default time-outs
// the read gives up on the block count with the link's message.
// The connection field says what the last exchange that ended learned, whichever window or
// thread made it; "Отмена" is not the transfer window's default, so a reflex Enter goes by.
TEST_F(RealUseTest, ConnectionFieldFollowsEveryExchange)
{
    WriteIniForSimulator();
    Start();
    OpenDemo();
    const auto field = [this] { return Form->StatusLink->text(); };
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *w = static_cast<TWorkWithPRPForm *>(d);
        QTimer::singleShot(0, w, [w] {
            w->Btn->setFocus();
            QTest::keyClick(w->Btn, Qt::Key_Return);
            QTest::keyClick(w, Qt::Key_Enter);
        });
        return w->exec();
    });
    Key(Qt::Key_F2);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    EXPECT_EQ(field(), S("Симулятор Сарветела — Программирование"));

    // The console changes the mode and closes.
    Console([](TSarvetelConsoleForm *c) {
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Программирование"); }));
        Click(c->BtnStop);
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Останов"); }));
        Click(c->BtnStart);
        EXPECT_TRUE(WaitUntil([c] { return ModeShown(c) == S("Пуск"); }));
    });
    EXPECT_EQ(field(), S("Симулятор Сарветела — Пуск"));
    // F4 reads blocks, which tell no mode: the mode known stays.
    Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
    Key(Qt::Key_F4);
    EXPECT_EQ(field(), S("Симулятор Сарветела — Пуск"));
    // The controller falls silent in the middle of F3.
    Form->Link->Port->Timeouts.ReadTotalTimeoutMultiplier = 1; // silence ends soon
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Dialogs.Windows.push_back([this](QDialog *d) {
        auto *w = static_cast<TWorkWithPRPForm *>(d);
        auto *watch = new QTimer(w);
        QObject::connect(watch, &QTimer::timeout, w, [this, w, watch] {
            if (w->PAction->text().startsWith(S("Считывание"))) {
                WithSim([](TSarvetelSimulator &s) { s.Faults.DropEvery = 1; });
                watch->stop();
            }
        });
        watch->start(5);
        return w->exec();
    });
    Key(Qt::Key_F3);
    EXPECT_EQ(field(), S("Симулятор Сарветела — Нет связи"));
    WithSim([](TSarvetelSimulator &s) { s.Faults = TSimFaults(); });
}

// The window closed while F2 waits for the controller's status, and "Отмена" to the question
// about the changed program: the window stays and F2 carries on to its mode question. F4
// waits meanwhile, as F2 and F3 do.
TEST_F(RealUseTest, ClosingCancelledDuringF2sStatusRequestLetsF2GoOn)
{
    WriteIniForSimulator();
    Start();
    OpenDemo();
    TypeText(Form->ProgramREdit, S("! правка\n"));
    ASSERT_TRUE(Form->Document->Changed());
    WithSim([](TSarvetelSimulator &s) { s.Faults.SlowMs = 1500; });
    bool compareOff = false;
    QTimer::singleShot(300, Form.get(), [&] {
        compareOff = !Form->CompareItem->isEnabled() && !Form->ReadItem->isEnabled();
        Form->close();
    });
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel); // "Сохранить изменения в программе?"
    Dialogs.Answers.push_back(TUserDialogs::AnswerCancel); // the switch to programming
    Key(Qt::Key_F2);
    EXPECT_TRUE(compareOff);
    const auto asked = Dialogs.Asked.size(); // the last two: F2's
    ASSERT_GE(asked, 2u);
    EXPECT_EQ(Dialogs.Asked[asked - 2].Text, S("Сохранить изменения в программе?"));
    EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Сарветел находится в режиме Останов")));
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->StatusLink->text(), S("Симулятор Сарветела — Останов"));
    WithSim([](TSarvetelSimulator &s) { s.Faults = TSimFaults(); });
}

TEST_F(RealUseTest, SlowControllerRaisedTimeouts)
{
    WriteIniForSimulator();
    Start();
    OpenDemo();
    const auto sections = [this] {
        QList<int> present;
        for (int s = 0; s < 256; ++s)
            if (Form->Document->Program().Sections[s].Present)
                present << s;
        return present;
    };
    const QList<int> written = sections();
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
    Key(Qt::Key_F2);
    ASSERT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
    WithSim([](TSarvetelSimulator &s) { s.Faults.SlowMs = 1500; });

    const auto setReadConstant = [this](const QString &ms) {
        Dialogs.Windows.push_back([ms](QDialog *d) {
            auto *f = static_cast<TCOMPortSetupForm *>(d);
            f->show();
            f->RTCEdit->setFocus();
            QTest::keyClick(f->RTCEdit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(f->RTCEdit, ms);
            Click(f->OkBtn);
            return f->result();
        });
        Key(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(Form->Link->Port->Timeouts.ReadTotalTimeoutConstant, ms.toUInt());
    };
    // The first read replaces the program opened from its file, the second the one read
    // before, which is not saved.
    const auto readBack = [this](TUserDialogs::TAnswer answer) {
        Dialogs.Answers.push_back(answer);
        Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
        Key(Qt::Key_F3);
        return Form->Document->MessageLines();
    };
    setReadConstant(QStringLiteral("2000"));
    QStringList messages = readBack(TUserDialogs::AnswerYes);
    EXPECT_FALSE(messages.contains(Sarvetel::LengthNotReceived))
        << messages.join(u'\n').toStdString();
    EXPECT_EQ(sections(), written);

    setReadConstant(QStringLiteral("0"));
    QElapsedTimer failing;
    failing.start();
    messages = readBack(TUserDialogs::AnswerNo);
    EXPECT_TRUE(messages.contains(Sarvetel::LengthNotReceived))
        << messages.join(u'\n').toStdString();
    EXPECT_LT(failing.elapsed(), 30000);
    EXPECT_FALSE(ErrorBoxShown());
}

TEST_F(RealUseTest, SilentController)
{
    WriteIniForSimulator();
    Start();
    WithSim([](TSarvetelSimulator &s) { s.Faults.DropEvery = 1; });
    THeartbeat beat;
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes); // the empty program is to be written
    Key(Qt::Key_F2);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Ошибка при обращении к контроллеру!"));
    EXPECT_GT(beat.Ticks, 20); // the window lived on through the 2.4 s of silence
    Key(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Нет связи с Сарветелом!!!"));
    EXPECT_TRUE(Dialogs.WindowTitles.empty());
    EXPECT_TRUE(Form->ConsoleItem->isEnabled());
    // Closing while the next request waits for an answer that never comes.
    const auto asked = Dialogs.Asked.size();
    QElapsedTimer closing;
    QTimer::singleShot(300, Form.get(), [&] {
        closing.start();
        Form->close();
    });
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Key(Qt::Key_F2);
    EXPECT_LT(closing.elapsed(), 1000);
    EXPECT_EQ(Dialogs.Asked.size(), asked + 1); // only the question about the empty program
}

} // namespace
