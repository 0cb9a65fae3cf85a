// The controller link's part of the start-up and of the close: port I/O for the interface
// module, the ports present, the configured port (a serial device or the built-in
// simulator), the link object, and the settings written back.

#include "compiler/decompiler.h"
#include "core/textutils.h"
#include "gui/algeditform.h"
#include "gui/comportsetupform.h"
#include "gui/guitexts.h"
#include "gui/linkworker.h"
#include "gui/portsnapshot.h"
#include "gui/programform.h"
#include "gui/programparts.h"
#include "gui/progressform.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/sarvetelvarsform.h"
#include "gui/trendform.h"
#include "gui/watchmodel.h"
#include "gui/workwithprpform.h"
#include "gui/zentoreditor.h"
#include "link/algbaseread.h"
#include "link/modeswitch.h"
#include "link/prptransfer.h"
#include "link/sarveteldefs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <memory>

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
        Link = std::make_unique<TDesktopLink>();
    Report(kGettingPortAccess);
    if (MakePortIO) {
        std::unique_ptr<TPortIO> io = MakePortIO();
        if (!io) {
            Report(kPortAccessRefused);
            Report(kKsbImpossible);
            KsbAllowed = false;
            return;
        }
        Report(kPortAccessGranted);
        Link->PortIO = std::move(io);
        return;
    }
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
        Link = std::make_unique<TDesktopLink>();
    Report(GuiTexts::ProbingPorts);
    // "Не выбран", the built-in simulator, then the ports found.
    AvailablePorts = QStringList{GuiTexts::NotChosen, GuiTexts::SimulatorEntry};
    for (const TPortInfo &port : TCOMPort::Discover(DeviceDir)) {
        AvailablePorts.append(port.Name);
        Report(GuiTexts::PortFound + port.Name);
    }
    CreatePort();
}

void TProgramForm::RediscoverPorts()
{
    AvailablePorts = QStringList{GuiTexts::NotChosen, GuiTexts::SimulatorEntry};
    for (const TPortInfo &port : TCOMPort::Discover(DeviceDir))
        AvailablePorts.append(port.Name);
    // The configured device and the open one stay choosable while absent: the adapter may
    // be plugged in again before it is chosen.
    for (const QString &kept : {PortSettings.Port, OpenPortEntry()})
        if (!kept.isEmpty() && kept != GuiTexts::Simulator && !AvailablePorts.contains(kept))
            AvailablePorts.append(kept);
}

void TProgramForm::CreatePort()
{
    // Created once; every later holder (the link, the worker, the windows) keeps this one.
    if (Link->Port)
        return;
    Link->CreatePort(Logger.get());
    Link->Worker = std::make_unique<TLinkWorker>(*Link->Port);
    connect(Link->Worker.get(), &TLinkWorker::BusyChanged, this, &TProgramForm::ShowBusy);
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
    const int result = TPortSnapshot::OpenEntry(
        *this, s.Port == GuiTexts::Simulator ? GuiTexts::SimulatorEntry : s.Port);
    if (result != 0) {
        if (result == PortErrorNoAccess)
            Report(TCOMPort::NoAccessText(port.DevicePath.isEmpty() ? s.Port : port.DevicePath));
        port.Close();
        return false;
    }
    return true;
}

bool TProgramForm::StartSimulator()
{
    if (Link->SimulatorLine)
        return true; // one simulator for the whole run; the port reopens its line
    Link->Simulator = std::make_unique<TSarvetelSimulator>();
    LoadSimulatorAlgorithms();
    TSarvetelSimulator *sim = Link->Simulator.get();
    Link->SimulatorLine =
        std::make_unique<TPtyServer>([sim](const std::uint8_t *frame, int length) {
            std::lock_guard<std::mutex> state(sim->Lock);
            return sim->HandleRequest(frame, length);
        });
    QString error;
    if (!Link->SimulatorLine->Open(QString(), error)) {
        Report(kSimulatorFailed + error);
        if (Logger)
            Logger->AddLine(kSimulatorFailed + error);
        Link->SimulatorLine.reset();
        Link->Simulator.reset();
        return false;
    }
    Link->SimulatorLine->Start();
    Link->SimulatorClock = std::make_unique<TSimClock>(*sim);
    Link->SimulatorClock->Start();
    Link->SimulatorWatch = std::make_unique<TSimWatch>(*sim);
    return true;
}

QString TProgramForm::DeviceForEntry(const QString &name)
{
    if (name == GuiTexts::SimulatorEntry)
        return StartSimulator() ? Link->SimulatorLine->SlavePath() : QString();
    if (ComPortNumber(name) > 0)
        return QStringLiteral("/dev/ttyS%1").arg(ComPortNumber(name) - 1);
    return name.startsWith(u'/') ? name : QString();
}

QString TProgramForm::OpenPortEntry() const
{
    if (!Link || !Link->Port || !Link->Port->IsOpen())
        return QString();
    const TCOMPort &port = *Link->Port;
    if (Link->SimulatorLine && port.DevicePath == Link->SimulatorLine->SlavePath())
        return GuiTexts::SimulatorEntry;
    return TCOMPort::PortNameFor(port.DevicePath);
}

void TProgramForm::LoadSimulatorAlgorithms()
{
    if (Link && Link->Simulator) {
        std::lock_guard<std::mutex> state(Link->Simulator->Lock);
        Link->Simulator->LoadAlgorithms(Document->AlgBase());
    }
}

void TProgramForm::CreateLink()
{
    if (!Link)
        Link = std::make_unique<TDesktopLink>();
    CreatePort();
    Link->CreateSarvetel(Logger.get(), PortSettings.KsbChannel, PortInUse);
    Link->Worker->Observe(Link->Sarvetel.get());
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
    TLinkWorker *worker = Link->Worker.get();
    return [link, worker](int number, TAlgReport &report) {
        TLinkRead<TAlgDescription> read;
        if (worker->Call([&] { read = link->ReadAlgorithm(number); }) != TLinkWorker::Done ||
            !read.Accepted())
            return false;
        const TAlgDescription &d = read.Value;
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

TBaseReader TProgramForm::ControllerBaseReader()
{
    if (!PortInUse || !Link || !Link->Sarvetel)
        return {};
    TSarvetel *link = Link->Sarvetel.get();
    TLinkWorker *worker = Link->Worker.get();
    TBaseReader reader;
    // The worker is also cancelled when the main window closes during the read; only the
    // read window's own "Отмена" is a failure the user is told of.
    auto userCancelled = std::make_shared<bool>(false);
    reader.Read = [link, worker, userCancelled](TAlgBase &fresh, TProgress &progress,
                                                QString &failure) {
        *userCancelled = false;
        TAlgBaseReadResult result;
        const TLinkWorker::TOutcome outcome =
            worker->Call([&] { result = ReadFromController(fresh, *link, progress); });
        if (outcome == TLinkWorker::Done && result.Ok)
            return true;
        if (outcome == TLinkWorker::Done || *userCancelled)
            failure = Sarvetel::AlgNoAnswer(OctalText(std::max(result.NoAnswer, 1), 3));
        return false;
    };
    reader.Cancel = [worker, userCancelled] {
        *userCancelled = true;
        worker->Cancel();
    };
    return reader;
}

// ---- Controller commands ------------------------------------------------------------------

TTransferResult TProgramForm::WriteProgramToController(QString &stopMessage)
{
    Document->AddMessage(Sarvetel::WriteProgramHeading);
    return WorkWithPRPForm->Transfer<TPRPWriteThread>(*Link->Sarvetel, Document->Program(),
                                                      &stopMessage);
}

TTransferResult TProgramForm::ReadControllerPrp(TZentorProgram &into)
{
    const bool twice = ReadTwiceItem && ReadTwiceItem->isChecked();
    return WorkWithPRPForm->Transfer<TPRPReadThread>(
        *Link->Sarvetel, into, nullptr, [twice](TPRPReadThread &job) { job.ReadTwice = twice; });
}

bool TProgramForm::ReadProgramFromController()
{
    // The read goes into a program of its own: only a whole image with both checksums
    // holding takes the open program's place.
    auto read = std::make_unique<TZentorProgram>();
    read->Messages = Document->MessageSink();
    if (ReadControllerPrp(*read) != TTransferResult::Done)
        return false;
    if (!read->SplitImage()) {
        Document->MessageSink()->append(GuiTexts::ImageNotSplit);
        return false;
    }
    Document->TakeFromController(*read);
    return true;
}

void TProgramForm::WriteToControllerClick()
{
    if (!PortInUse || !Link || !Link->Sarvetel)
        return;
    Commit();
    Document->ClearMessages();
    // Nothing is asked of the controller before the program is ready to send. A program
    // without a section to send would leave the controller with none: that is asked first.
    if (!CompileForTransfer())
        return;
    if (SectionsToWrite(Document->Program()) == 0 &&
        Dialogs.Ask(this, GuiTexts::EmptyProgramQuestion, GuiTexts::Attention, TUserDialogs::YesNo,
                    TUserDialogs::Warning, TUserDialogs::AnswerNo) != TUserDialogs::AnswerYes)
        return;
    const qsizetype kept = Document->MessageLines().size();
    Document->AddMessage(GuiTexts::WritingPrp);
    TModeSwitchHooks hooks;
    hooks.RunOnPort = [this](const std::function<void()> &step) {
        return Link->Worker->Call(step) == TLinkWorker::Done;
    };
    hooks.Ask = [this](const QString &question) {
        return Dialogs.Ask(this, question, GuiTexts::Attention3, TUserDialogs::OkCancel,
                           TUserDialogs::Warning, TUserDialogs::AnswerOk) == TUserDialogs::AnswerOk;
    };
    switch (SwitchToProgramming(*Link->Sarvetel, hooks)) {
    case TModeSwitchOutcome::InProgramming:
        break;
    case TModeSwitchOutcome::NoAnswer:
        Dialogs.Notice(this, Sarvetel::NoAnswer, GuiTexts::Attention, TUserDialogs::Warning);
        return;
    case TModeSwitchOutcome::NotSwitched:
        Dialogs.Ask(this, Sarvetel::ModeChangeFailed, GuiTexts::Attention3, TUserDialogs::OkCancel,
                    TUserDialogs::Information, TUserDialogs::AnswerOk);
        Document->AddMessage(Sarvetel::WriteAttemptFailed);
        return;
    default: // declined, or the port work did not end
        return;
    }
    // The compile's lines stay in the list; the write's own lines follow them.
    Document->TruncateMessages(kept);
    QString stopMessage;
    const TTransferResult result = WriteProgramToController(stopMessage);
    Document->MessagesWritten();
    if (result == TTransferResult::Done)
        Dialogs.Notice(this, Sarvetel::WriteDone, GuiTexts::Attention, TUserDialogs::Information);
    else
        Dialogs.Notice(this, Sarvetel::WriteNotDone + u'\n' + stopMessage, GuiTexts::Attention,
                       TUserDialogs::Warning);
}

void TProgramForm::ReadFromControllerClick()
{
    if (!PortInUse || !Link || !Link->Sarvetel)
        return;
    if (!MayReplaceProgram(GuiTexts::ReadQuestion))
        return;
    Document->ClearMessages();
    Document->AddMessage(GuiTexts::ReadingPrp);
    if (!ReadProgramFromController()) {
        // The open program stays as it was; the list says why.
        Document->AddMessage(GuiTexts::ReadNotTaken);
        return;
    }
    // The program read lives in no file until it is saved.
    SetCaption(GuiTexts::ReadCaptionTitle);
}

void TProgramForm::PortSettingsClick()
{
    if (!Link || !Link->Port || Link->Worker->IsBusy())
        return;
    TCOMPortSetupForm &form = *COMPortSetupForm;
    // The ports present now: an adapter plugged in after the start is offered too.
    RediscoverPorts();
    const TPortSnapshot before = TPortSnapshot::Take(*this);
    form.Prepare(AvailablePorts, OpenPortEntry(), !PortInUse, KsbCreated);
    const bool accepted = Dialogs.Exec(&form) == QDialog::Accepted;
    if (!accepted)
        before.Restore(*this);
    LinkSeen = TControllerSeen(); // nothing is known yet of what the port now leads to
    PortInUse = accepted ? !form.UseCOMPortChB->isChecked() && Link->Port->IsOpen()
                         : before.InUse && Link->Port->IsOpen();
    if (Link->Sarvetel)
        Link->Sarvetel->PortOpen = Link->Port->IsOpen() ? 1 : 0;
    // The port chosen is what the close handler writes; "Не выбран" is stored as none.
    const QString entry = OpenPortEntry();
    if (accepted && !entry.isEmpty())
        PortSettings.Port = entry == GuiTexts::SimulatorEntry ? GuiTexts::Simulator : entry;
    else if (accepted && form.COMCB->currentIndex() == 0 && !form.UseCOMPortChB->isChecked())
        PortSettings.Port.clear();
    UpdateControllerItems();
    // The parameter reference reads from the controller only while a port is in use.
    if (AlgoritmHelpForm) {
        AlgoritmHelpForm->Reader = ControllerAlgReader();
        AlgoritmHelpForm->LoadButton->setEnabled(static_cast<bool>(AlgoritmHelpForm->Reader));
    }
}

void TProgramForm::ConsoleClick()
{
    if (!PortInUse || !Link || !Link->Sarvetel || !SarvetelConsoleForm)
        return;
    TSarvetel &link = *Link->Sarvetel;
    bool answered = false;
    if (Link->Worker->Call([&] { answered = link.ReadStatus().Accepted(); }) != TLinkWorker::Done)
        return;
    if (!answered) {
        Dialogs.Notice(this, GuiTexts::NoLink, GuiTexts::ErrorCaption, TUserDialogs::Warning);
        return;
    }
    Dialogs.Exec(SarvetelConsoleForm);
    // A scripted window may return without closing: the updater stops either way.
    SarvetelConsoleForm->FormClose();
    // What the console's polling learned last (its own commands came through the worker).
    TakeLinkNews(SarvetelConsoleForm->Seen);
}

bool TProgramForm::SimulatorInUse() const
{
    return PortInUse && Link && Link->SimulatorWatch && OpenPortEntry() == GuiTexts::SimulatorEntry;
}

void TProgramForm::VariablesClick()
{
    if (!SarvetelVarsForm || !SimulatorInUse())
        return;
    // Not modal: the values stay in view while the program is edited and the console used.
    SarvetelVarsForm->Watch = Link->SimulatorWatch.get();
    SarvetelVarsForm->show();
    SarvetelVarsForm->raise();
    SarvetelVarsForm->activateWindow();
}

void TProgramForm::RefreshValueNotes()
{
    const int section = CurrentNode->IsSection() ? CurrentNode->Code : -1;
    if (section != ValueNotesSection) {
        // The notes of another text go before the text shown gets its own.
        ProgramREdit->SetValueNotes({});
        ValueNotesSection = section;
    }
    QMap<int, QString> notes;
    if (section >= 0 && ValuesInTextItem->isChecked() && SimulatorInUse()) {
        const TSimSnapshot snap = Link->SimulatorWatch->Snapshot();
        const auto program =
            snap.Status == TSimRunStatus::Ready ? WatchedProgram(snap.Generation) : nullptr;
        if (program)
            for (const auto &[line, text] : LineValueTexts(*program, section, snap.State))
                notes.insert(line, text);
    }
    ProgramREdit->SetValueNotes(notes);
}

std::shared_ptr<const TRunProgram> TProgramForm::WatchedProgram(std::uint64_t generation)
{
    // Made again when the controller's program is written anew or another file is open:
    // between those the run is of the program as it was written.
    if (!Watched.Program || Watched.Generation != generation ||
        Watched.File != Document->FileName() || Watched.Source != &Document->Program()) {
        auto run = std::make_shared<TRunProgram>();
        run->Prepare(Document->Program(), &Document->AlgBase());
        Watched = {std::move(run), generation, Document->FileName(), &Document->Program()};
    }
    return Watched.Program;
}

void TProgramForm::ShowTrend(const std::vector<TVarRef> &vars)
{
    if (!TrendForm || !SimulatorInUse())
        return;
    TrendForm->Watch = Link->SimulatorWatch.get();
    std::vector<TVarRef> chosen = vars;
    if (chosen.empty() && TrendForm->Variables().empty() && SarvetelVarsForm) {
        TWatchCatalogue names(WatchedProgram(Link->SimulatorWatch->Snapshot().Generation));
        for (const QString &word : SarvetelVarsForm->WatchList()) {
            TVarRef v;
            QString error;
            if (names.Parse(word, v, error))
                chosen.push_back(v);
        }
    }
    if (!chosen.empty())
        TrendForm->Follow(chosen);
    TrendForm->show();
    TrendForm->raise();
    TrendForm->activateWindow();
}

void TProgramForm::CreateControllerForms()
{
    WorkWithPRPForm = new TWorkWithPRPForm(Dialogs, this);
    connect(WorkWithPRPForm, &TWorkWithPRPForm::JobEnded, this, &TProgramForm::TakeLinkNews);
    SarvetelVarsForm = new TSarvetelVarsForm(this);
    SarvetelVarsForm->ProgramFile = [this] { return Document->FileName(); };
    SarvetelVarsForm->OpenProgram = [this](std::uint64_t generation) {
        return WatchedProgram(generation);
    };
    TrendForm = new TTrendForm(Dialogs, this);
    connect(SarvetelVarsForm, &TSarvetelVarsForm::TrendRequested, this, &TProgramForm::ShowTrend);
    if (Link && Link->Sarvetel)
        SarvetelConsoleForm = new TSarvetelConsoleForm(Dialogs, *Link->Sarvetel, *Link->Worker,
                                                       &Document->AlgBase(), this);
    if (SarvetelConsoleForm) {
        SarvetelConsoleForm->OpenProgram = &Document->Program();
        SarvetelConsoleForm->ProgramCompiler = &Document->Compiler();
    }
    TCOMPort *port = Link ? Link->Port.get() : nullptr;
    if (port) {
        COMPortSetupForm = new TCOMPortSetupForm(
            Dialogs, *port, *Link->Worker, Link->Sarvetel.get(), Link->Ksb.get(), Logger.get(),
            [this](const QString &entry) { return DeviceForEntry(entry); }, this);
    }
}

void TProgramForm::ShowBusy(bool busy)
{
    // Nothing that would start another exchange while one runs.
    const bool controller = PortInUse && !busy;
    for (QAction *a : {WriteItem, ReadItem, CompareItem, ConsoleItem})
        a->setEnabled(controller);
    PortSettingsItem->setEnabled(!busy);
    StatusWait->setText(busy ? GuiTexts::WaitingForController : QString());
    // What the job learned comes with its end, whichever window ran it.
    if (!busy && Link && Link->Worker)
        TakeLinkNews(Link->Worker->Seen());
}

void TProgramForm::TakeLinkNews(const TControllerSeen &news)
{
    LinkSeen.Take(news);
    UpdateLinkField();
}

QString ConnectionFieldText(const QString &entry, const TControllerSeen &seen)
{
    if (seen.Exchange == 0)
        return entry;
    if (!seen.Answered)
        return entry + QStringLiteral(" — ") + GuiTexts::LinkLost;
    if (seen.ModeKnown)
        return entry + QStringLiteral(" — ") + Sarvetel::ModeName(seen.Mode);
    return entry;
}

void TProgramForm::UpdateLinkField()
{
    QString entry = PortInUse ? OpenPortEntry() : QString();
    // A device that went away under the open port (unplugged, its simulator ended) is still
    // the port chosen; what is known of it is that it does not answer.
    if (entry.isEmpty() && PortInUse && Link && Link->Port && Link->Port->DeviceGone &&
        !Link->Port->DevicePath.isEmpty()) {
        entry = Link->SimulatorLine && Link->Port->DevicePath == Link->SimulatorLine->SlavePath()
                    ? GuiTexts::SimulatorEntry
                    : TCOMPort::PortNameFor(Link->Port->DevicePath);
        LinkSeen.Answered = false;
        LinkSeen.ModeKnown = false;
        LinkSeen.Exchange = std::max<std::uint64_t>(LinkSeen.Exchange, 1);
    }
    if (entry.isEmpty()) {
        StatusLink->setText(GuiTexts::NoPortChosen);
        LinkSeen = TControllerSeen();
        return;
    }
    StatusLink->setText(ConnectionFieldText(entry, LinkSeen));
}

void TProgramForm::StopExchanges()
{
    if (SarvetelConsoleForm && SarvetelConsoleForm->isVisible())
        SarvetelConsoleForm->done(QDialog::Rejected);
    if (Link && Link->Worker)
        Link->Worker->Cancel();
}

void TProgramForm::ReleaseControllerForms()
{
    delete SarvetelConsoleForm;
    SarvetelConsoleForm = nullptr;
    // The watching windows read the simulator, which goes with the link.
    ValuesTimer.stop();
    delete TrendForm;
    TrendForm = nullptr;
    delete SarvetelVarsForm;
    SarvetelVarsForm = nullptr;
}
