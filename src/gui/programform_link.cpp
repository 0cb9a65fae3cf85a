// The controller link's part of the start-up and of the close: port I/O for the interface
// module, the ports present, the configured port (a serial device or the built-in
// simulator), the link object, and the settings written back.

#include "gui/algeditform.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/programparts.h"
#include "link/sarveteldefs.h"

#include <QAction>

namespace {

const QString kGettingPortAccess = QStringLiteral("Получение доступа к портам ввода/вывода...");
const QString kPortAccessGranted = QStringLiteral("Доступ к портам ввода/вывода получен");
const QString kPortAccessRefused =
    QStringLiteral("Нет доступа к портам ввода/вывода (нужны права root или CAP_SYS_RAWIO)");
const QString kKsbImpossible = QStringLiteral("Работа с КСБ невозможна.");
const QString kSimulatorFailed = QStringLiteral("  Симулятор не запущен: ");

// Port I/O granted, but no card answers: every read gives all ones, writes go nowhere.
class TNoCardPortIO : public TPortIO
{
public:
    std::uint8_t InByte(std::uint16_t) override { return 0xFF; }
    std::uint16_t InWord(std::uint16_t) override { return 0xFFFF; }
    void OutByte(std::uint16_t, std::uint8_t) override {}
};

} // namespace

void TProgramForm::KsbAccessStep()
{
    if (!KsbAllowed)
        return;
    if (!Link)
        Link = std::make_unique<TControllerLink>();
    Report(kGettingPortAccess);
    if (!DirectPortIO) {
        Report(kPortAccessGranted);
        Link->PortIO = std::make_unique<TNoCardPortIO>();
        return;
    }
    auto io = std::make_unique<TDirectPortIO>();
    if (!io->Access()) {
        Report(kPortAccessRefused);
        Report(kKsbImpossible);
        KsbAllowed = false;
        return;
    }
    Report(kPortAccessGranted);
    Link->PortIO = std::move(io);
}

void TProgramForm::CreateKsb()
{
    KsbCreated = false;
    if (!KsbAllowed || !Link || !Link->PortIO)
        return;
    Link->Ksb = std::make_unique<TKSB>(Link->PortIO.get());
    KsbCreated = true;
}

void TProgramForm::ProbePorts()
{
    if (!Link)
        Link = std::make_unique<TControllerLink>();
    Report(GuiTexts::ProbingPorts);
    AvailablePorts = QStringList{GuiTexts::NotChosen};
    for (const TPortInfo &port : TCOMPort::Discover()) {
        AvailablePorts.append(port.Name);
        Report(GuiTexts::PortFound + port.Name);
    }
    AvailablePorts.append(GuiTexts::Simulator);
    Link->Port = std::make_unique<TCOMPort>(Logger.get());
}

bool TProgramForm::OpenConfiguredPort()
{
    TCOMPort &port = *Link->Port;
    const TPortSettings &s = PortSettings;
    port.BaudRate = s.BaudRate;
    port.StopBits = s.StopBits;
    port.Parity = s.Parity;
    port.ByteSize = s.ByteSize;
    port.Timeouts.ReadIntervalTimeout = s.IntervalTimeout;
    port.Timeouts.ReadTotalTimeoutMultiplier = s.MultiplierTimeout;
    port.Timeouts.ReadTotalTimeoutConstant = s.ConstantTimeout;
    int result = -1;
    if (s.Port == GuiTexts::Simulator) {
        Link->Simulator = std::make_unique<TSarvetelSimulator>();
        LoadSimulatorAlgorithms();
        TSarvetelSimulator *sim = Link->Simulator.get();
        Link->SimulatorLine =
            std::make_unique<TPtyServer>([sim](const std::uint8_t *frame, int length) {
                return sim->HandleRequest(frame, length);
            });
        QString error;
        if (!Link->SimulatorLine->Open(QString(), error)) {
            Report(kSimulatorFailed + error);
            Link->SimulatorLine.reset();
            return false;
        }
        Link->SimulatorLine->Start();
        result = port.OpenDevice(Link->SimulatorLine->SlavePath());
    } else if (ComPortNumber(s.Port) > 0) {
        result = port.Open(ComPortNumber(s.Port));
    } else if (s.Port.startsWith(u'/')) {
        result = port.OpenDevice(s.Port);
    }
    if (result != 0) {
        port.Close();
        return false;
    }
    Report(GuiTexts::PortOpened);
    Report(GuiTexts::PortBaud + QString::number(port.BaudRate));
    Report(GuiTexts::PortStopBits + Sarvetel::StopBitsName(port.StopBits));
    Report(GuiTexts::PortParity + Sarvetel::ParityName(port.Parity));
    Report(GuiTexts::PortByteSize + QString::number(port.ByteSize));
    return true;
}

void TProgramForm::LoadSimulatorAlgorithms()
{
    if (Link && Link->Simulator && Compiler)
        Link->Simulator->LoadAlgorithms(Compiler->AlgBase);
}

void TProgramForm::CreateLink()
{
    if (!Link)
        Link = std::make_unique<TControllerLink>();
    if (!Link->Port)
        Link->Port = std::make_unique<TCOMPort>(Logger.get());
    Link->Sarvetel =
        std::make_unique<TSarvetel>(Link->Port.get(), Logger.get(), PortSettings.KsbChannel);
    Link->Sarvetel->KSB = Link->Ksb.get();
    Link->Sarvetel->PortOpen = PortInUse ? 1 : 0;
}

void TProgramForm::TakePortSettings()
{
    if (!Link || !Link->Port)
        return;
    const TCOMPort &port = *Link->Port;
    TPortSettings &s = PortSettings;
    s.BaudRate = port.BaudRate;
    s.StopBits = port.StopBits;
    s.Parity = port.Parity;
    s.ByteSize = port.ByteSize;
    s.IntervalTimeout = port.Timeouts.ReadIntervalTimeout;
    s.MultiplierTimeout = port.Timeouts.ReadTotalTimeoutMultiplier;
    s.ConstantTimeout = port.Timeouts.ReadTotalTimeoutConstant;
    // What is in use, in the form the file keeps; a port that could not be opened stays
    // as configured, so that it is tried again next time.
    if (port.IsOpen()) {
        if (Link->SimulatorLine && port.DevicePath == Link->SimulatorLine->SlavePath())
            s.Port = GuiTexts::Simulator;
        else
            s.Port = TCOMPort::PortNameFor(port.DevicePath);
    }
    if (Link->Sarvetel && KsbCreated)
        s.KsbChannel = Link->Sarvetel->Channel;
}

TAlgReader TProgramForm::ControllerAlgReader()
{
    if (!PortInUse || !Link || !Link->Sarvetel)
        return {};
    TSarvetel *link = Link->Sarvetel.get();
    return [link](int number, TAlgReport &report) {
        link->ReadAlgorithm(number);
        if (link->LinkStatus != Sarvetel::LinkAccepted)
            return false;
        const TAlgDescription &d = link->Algorithm;
        report.Present = d.Present != 0;
        report.RecordSize = d.RecordSize;
        report.OwnMemory = d.Modifier;
        report.Kinds.clear();
        report.Names.clear();
        for (int p = 0; p < d.ParamCount && p < Sarvetel::MaxAlgParams; ++p) {
            report.Kinds.append(d.ParamTypes[p]);
            report.Names.append(d.ParamNames[p].trimmed());
        }
        return true;
    };
}

void TProgramForm::WriteToControllerClick() {}

void TProgramForm::ReadFromControllerClick() {}

void TProgramForm::PortSettingsClick() {}

void TProgramForm::ConsoleClick() {}
