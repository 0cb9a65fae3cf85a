#pragma once
// The objects that reach a controller, as the desktop and zentorc both hold them: the serial
// port, the interface module with its port I/O, and the link that frames the exchanges; and
// what opening the port tells the user and the log.

#include "link/comport.h"
#include "link/ksb.h"
#include "link/sarvetel.h"

#include <QString>
#include <QStringList>

#include <memory>

class TLogger;

// Destroyed link first, port last: the link and the module use the port and the port I/O.
struct TControllerLink
{
    std::unique_ptr<TCOMPort> Port;
    std::unique_ptr<TPortIO> PortIO;
    std::unique_ptr<TKSB> Ksb;
    std::unique_ptr<TSarvetel> Sarvetel;

    // The port, created on the first call; every later holder keeps this one.
    TCOMPort &CreatePort(TLogger *logger);
    // A new link over the port (CreatePort first), through the module when there is one;
    // inUse tells whether the port is open for the controller.
    TSarvetel &CreateSarvetel(TLogger *logger, int channel, bool inUse);
};

// "Открытие порта " and the port's name: the line before the port is opened.
QString PortOpeningLine(const QString &portName);
// What follows it: "  Порт открыт. Текущие настройки:" and the port's speed, stop bits,
// parity and byte size when it opened; "  Ошибка при открытии порта. ..." when it did not.
QStringList PortOpenedReport(const TCOMPort &port, bool opened);
