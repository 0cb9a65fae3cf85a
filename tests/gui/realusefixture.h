#pragma once
// The main window as a person meets it, shared by the widget tests that drive it with real
// key and mouse events: a first start in an empty program directory, the built-in
// simulator on a pseudo-terminal, bounded waits.

#include "../utf8text.h"
#include "gui/comportsetupform.h"
#include "gui/guitexts.h"
#include "gui/linkworker.h"
#include "gui/programparts.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/workwithprpform.h"
#include "gui/zentoreditor.h"
#include "guitestutil.h"
#include "link/sarveteldefs.h"
#include "waituntil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

inline const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");

// Counts the main thread's timer ticks and the longest gap between two: a main thread that
// waits on the line stops ticking. ZENTOR_PROBE=1 prints the longest gap.
class THeartbeat
{
public:
    THeartbeat()
    {
        Clock.start();
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            const qint64 now = Clock.elapsed();
            Longest = std::max(Longest, now - Last);
            Last = now;
            ++Ticks;
        });
        Timer.start(10);
    }
    ~THeartbeat()
    {
        if (qEnvironmentVariableIsSet("ZENTOR_PROBE"))
            std::fprintf(stderr, "longest time without events: %lld ms\n",
                         static_cast<long long>(Longest));
    }
    int Ticks = 0;
    qint64 Longest = 0;

private:
    QTimer Timer;
    QElapsedTimer Clock;
    qint64 Last = 0;
};

class TRealUseFixture : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;

    void SetUp() override
    {
        TGuiTest::SetUp();
        // Beside the executable, as installed: the program directory stays empty.
        ASSERT_TRUE(QFile::copy(kExamples + QStringLiteral("BaseAlgs.alg"),
                                ExeDir() + QStringLiteral("BaseAlgs.alg")));
    }

    void Start()
    {
        Form = MakeForm();
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }

    void TearDown() override { Form.reset(); }

    // A key as the window system delivers it, so menu shortcuts act.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // The main window is active again after a dialog, as it is for a person. The
        // activation is a window-system event of its own: a key sent before it has been
        // taken finds no active window, and the menu's shortcuts do not act.
        Form->activateWindow();
        EXPECT_TRUE(WaitUntil([this] { return QApplication::activeWindow() == Form.get(); }, 2000));
        // Ctrl+C is the port dialog outside the editor, copy inside it.
        if (key == Qt::Key_C)
            Form->TreeView->setFocus();
        else
            Form->ProgramREdit->setFocus();
        QTest::keyClick(Form->windowHandle(), key, modifiers);
    }

    static void Click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

    TSarvetelSimulator &Sim() { return *Form->Link->Simulator; }
    template <typename F> auto WithSim(F f)
    {
        std::lock_guard<std::mutex> state(Sim().Lock);
        return f(Sim());
    }

    bool ErrorBoxShown() const
    {
        for (const auto &a : Dialogs.Asked)
            if (a.Caption == S("Ошибка!!!"))
                return true;
        return false;
    }

    // "Параметры COM-порт" (Ctrl+C): offline work off, the simulator chosen from the list.
    void ChooseSimulator()
    {
        Dialogs.Windows.push_back([](QDialog *d) {
            auto *f = static_cast<TCOMPortSetupForm *>(d);
            f->show();
            if (f->UseCOMPortChB->isChecked())
                Click(f->UseCOMPortChB);
            f->COMCB->setFocus();
            QTest::keyClick(f->COMCB, Qt::Key_Down); // "Симулятор Сарветела"
            EXPECT_TRUE(f->COMInfoMemo->toPlainText().contains(S("Скорость:")))
                << f->COMInfoMemo->toPlainText().toStdString();
            Click(f->OkBtn);
            return f->result();
        });
        Key(Qt::Key_C, Qt::ControlModifier);
        ASSERT_TRUE(Form->PortInUse);
    }

    void OpenDemo()
    {
        QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen")));
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({File(S("demo.zen")), 1});
        Key(Qt::Key_O, Qt::ControlModifier);
        Key(Qt::Key_F9, Qt::ControlModifier);
    }

    // The console as Ctrl+Shift+L shows it; during runs with the console on screen.
    void Console(std::function<void(TSarvetelConsoleForm *)> during)
    {
        Dialogs.Windows.push_back([during](QDialog *d) {
            auto *c = static_cast<TSarvetelConsoleForm *>(d);
            c->show();
            during(c);
            if (c->isVisible())
                Click(c->CloseBtn);
            return c->result();
        });
        Key(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    }

    void WriteIniForSimulator()
    {
        WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
    }
};
