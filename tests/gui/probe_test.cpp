// A measurement, not a check: the longest time the main thread processes no event while
// the console is walked against a controller that answers each reply 1.5 s late. Runs only
// with ZENTOR_PROBE=1 and prints the figure.

#include "gui/programparts.h"
#include "gui/sarvetelconsoleform.h"
#include "guitestutil.h"
#include "waituntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

class RealUseProbe : public TGuiTest
{
};

TEST_F(RealUseProbe, ConsoleWalkAgainstASlowController)
{
    if (!qEnvironmentVariableIsSet("ZENTOR_PROBE"))
        GTEST_SKIP() << "a measurement: ZENTOR_PROBE=1";
    WriteIni({QStringLiteral("[Параметры связи]"), QStringLiteral("Автономная работа=нет"),
              QStringLiteral("Порт=симулятор")});
    auto form = MakeForm();
    form->show();
    {
        TSarvetelSimulator &sim = *form->Link->Simulator;
        std::lock_guard<std::mutex> state(sim.Lock);
        sim.Faults.SlowMs = 1500;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    beat.start(5);
    TSarvetelConsoleForm *c = form->SarvetelConsoleForm;
    auto mode = [c] { return c->StatusMode->text(); };
    Dialogs.Windows.push_back([&](QDialog *d) {
        d->show();
        EXPECT_TRUE(WaitUntil([&] { return mode() == QStringLiteral("Останов"); }, 20000));
        c->BtnTest->click();
        EXPECT_TRUE(WaitUntil([&] { return mode() == QStringLiteral("Тестирование"); }, 20000));
        c->KeyClick(0x33);
        c->BtnStopClick();
        EXPECT_TRUE(WaitUntil([&] { return mode() == QStringLiteral("Останов"); }, 20000));
        c->BtnSetupClick();
        c->BtnStopClick();
        EXPECT_TRUE(WaitUntil([&] { return mode() == QStringLiteral("Останов"); }, 20000));
        c->done(0);
        return 0;
    });
    last = clock.elapsed();
    form->ConsoleClick();
    std::fprintf(stderr, "console walk: %lld ms in all, longest time without events: %lld ms\n",
                 static_cast<long long>(clock.elapsed()), static_cast<long long>(longest));
}

} // namespace
