#include "link/controllerlink.h"

#include "link/sarveteldefs.h"

using namespace Sarvetel;

TCOMPort &TControllerLink::CreatePort(TLogger *logger)
{
    if (!Port)
        Port = std::make_unique<TCOMPort>(logger);
    return *Port;
}

TSarvetel &TControllerLink::CreateSarvetel(TLogger *logger, int channel, bool inUse)
{
    Sarvetel = std::make_unique<TSarvetel>(Port.get(), logger, channel);
    Sarvetel->KSB = Ksb.get();
    Sarvetel->PortOpen = inUse ? 1 : 0;
    return *Sarvetel;
}

QString PortOpeningLine(const QString &portName)
{
    return PortOpeningLog + portName;
}

QStringList PortOpenedReport(const TCOMPort &port, bool opened)
{
    if (!opened)
        return {PortOpenFailedLog};
    return {PortOpenedLog, PortBaudLog + QString::number(port.BaudRate),
            PortStopBitsLog + StopBitsName(port.StopBits), PortParityLog + ParityName(port.Parity),
            PortByteSizeLog + QString::number(port.ByteSize)};
}
