#pragma once
// The controller link the main window creates at start-up, with its port, interface module
// and the built-in simulator.

#include "gui/linkworker.h"
#include "link/controllerlink.h"
#include "sim/ptyserver.h"
#include "sim/simclock.h"
#include "sim/simulator.h"
#include "sim/simwatch.h"

#include <memory>

// One port object for the life of the program: the link, the exchange worker and every
// window use this one; choosing another port reopens it, never replaces it.
struct TDesktopLink : TControllerLink
{
    // The built-in simulator, offered as the port "симулятор": a controller behind a
    // pseudo-terminal that the port opens like any serial device, running its stored
    // program on its scan clock in "Пуск" (sim/simwatch.h reads and sets its variables).
    std::unique_ptr<TSarvetelSimulator> Simulator;
    std::unique_ptr<TPtyServer> SimulatorLine;
    std::unique_ptr<TSimClock> SimulatorClock;
    // The windows' access to the simulator's run.
    std::unique_ptr<TSimWatch> SimulatorWatch;
    // Runs the desktop's exchanges; goes first, before anything its job may use.
    std::unique_ptr<TLinkWorker> Worker;

    ~TDesktopLink()
    {
        Worker.reset();
        SimulatorClock.reset();
        if (SimulatorLine)
            SimulatorLine->Stop();
    }
};
