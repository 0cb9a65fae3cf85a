#pragma once
// The objects the main window creates from the lower layers at start-up: the compiler with
// the algorithm base, and the controller link with its port and interface module. A build
// without one of those layers gets an empty part.

#ifdef ZENTOR_HAVE_COMPILER
#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"

struct TCompilerParts
{
    TAlgBase AlgBase;
    TZentorCompiler Compiler;
};
#else
struct TCompilerParts
{
};
#endif

#ifdef ZENTOR_HAVE_LINK
#include "link/comport.h"
#include "link/ksb.h"
#include "link/sarvetel.h"

#ifdef ZENTOR_HAVE_SIM
#include "sim/ptyserver.h"
#include "sim/simulator.h"
#endif

#include <memory>

struct TControllerLink
{
    std::unique_ptr<TCOMPort> Port;
    std::unique_ptr<TPortIO> PortIO;
    std::unique_ptr<TKSB> Ksb;
    std::unique_ptr<TSarvetel> Sarvetel;
#ifdef ZENTOR_HAVE_SIM
    // The built-in simulator, offered as the port "симулятор": a controller behind a
    // pseudo-terminal that the port opens like any serial device.
    std::unique_ptr<TSarvetelSimulator> Simulator;
    std::unique_ptr<TPtyServer> SimulatorLine;
#endif
    ~TControllerLink()
    {
#ifdef ZENTOR_HAVE_SIM
        if (SimulatorLine)
            SimulatorLine->Stop();
#endif
    }
};
#else
struct TControllerLink
{
};
#endif
