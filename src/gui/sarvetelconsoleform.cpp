// The console itself: its window, the front panel, the mode buttons, the exchanges of its
// handlers and the screen updater's display. Its setup pages and program pages are in
// sarvetelconsoleform_setup.cpp and sarvetelconsoleform_program.cpp.

#include "gui/sarvetelconsoleform.h"
#include "gui/consolepages.h"

#include "core/textutils.h"
#include "gui/grids.h"
#include "gui/guitexts.h"
#include "gui/headerforms.h"
#include "gui/linkworker.h"
#include "gui/userdialogs.h"
#include "link/comport.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"
#include "link/sarvetelerrors.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

using namespace Sarvetel;

namespace {

// The front-panel keys in the order of their codes, six rows of eight.
const char *const kKeyCaptions[PanelKey::Count] = {
    "СБР", "ИСП", "З/У", "<>",  "БЛК", "РБЛ", "ВКЛ", "Откл", "Е",  "T",   "И",   "ИЛИ",
    "(",   "}",   "TC",  "ВСК", "В",   "O",   "Б",   "=",    ">",  "<",   "+",   "-",
    "ВД",  "ВА",  "ДВ",  "АВ",  "КБ",  "КС",  "ИВ",  "TM",   "0",  "1",   "2",   "3",
    "4",   "5",   "6",   "7",   "8",   "9",   ">>>", ">>",   "<<", "<<<", "АЛГ", "."};

} // namespace

TSarvetelConsoleForm::TSarvetelConsoleForm(TUserDialogs &dialogs, TSarvetel &link,
                                           TLinkWorker &worker, const TAlgBase *base,
                                           QWidget *parent)
    : QDialog(parent), Dialogs(dialogs), Link(link), Worker(worker)
{
    setWindowTitle(GuiTexts::ConsoleCaption);
    Compiler.AlgBase = base;
    Compiler.Messages = &Log;
    auto *layout = new QVBoxLayout(this);
    auto *modes = new QHBoxLayout;
    auto addMode = [this, modes](const QString &caption, const std::function<void()> &handler) {
        auto *b = new QPushButton(caption, this);
        b->setMinimumWidth(48);
        modes->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    // Пуск and НП go by their front-panel key while the program runs; every mode is
    // otherwise set from Останов.
    BtnStop = addMode(GuiTexts::ModeStopButton, [this] { BtnStopClick(); });
    BtnStart = addMode(GuiTexts::ModeRunButton, [this] { ModeButton(PanelKey::Run, ModeRun); });
    BtnFailure =
        addMode(GuiTexts::ModeFailButton, [this] { ModeButton(PanelKey::Fault, ModeFault); });
    BtnTest = addMode(GuiTexts::ModeTestButton, [this] { ModeButton(0, ModeTest); });
    BtnCopy = addMode(GuiTexts::ModeCopyButton, [this] { ModeButton(0, ModeCopy); });
    BtnSetup = addMode(GuiTexts::ModeSetupButton, [this] { BtnSetupClick(); });
    BtnProgram = addMode(GuiTexts::ModeProgramButton, [this] { BtnProgramClick(); });
    modes->addStretch(1);
    ResetSarvetelBtn = addMode(GuiTexts::ResetSarvetel, [this] { ResetSarvetelBtnClick(); });
    ResetSarvetelBtn->setMinimumWidth(ResetSarvetelBtn->sizeHint().width() + 8);
    CloseBtn = new QPushButton(GuiTexts::CloseButton, this);
    modes->addWidget(CloseBtn);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    layout->addLayout(modes);

    Panels = new QStackedWidget(this);
    ConsolePanel = TConsolePages::CreateConsolePanel(*this);
    Panels->addWidget(ConsolePanel);
    Panels->addWidget(TConsolePages::CreateSetupPages(*this));
    Panels->addWidget(TConsolePages::CreateProgramPages(*this));
    layout->addWidget(Panels, 1);

    SarvetelConsoleSB = new QStatusBar(this);
    StatusMode = new QLabel(this);
    StatusMode->setMinimumWidth(160);
    StatusErrors = new QLabel(this);
    StatusWait = new QLabel(this);
    SarvetelConsoleSB->addWidget(StatusMode);
    SarvetelConsoleSB->addWidget(StatusErrors);
    StatusMessage = new QLabel(this);
    SarvetelConsoleSB->addWidget(StatusMessage, 1);
    SarvetelConsoleSB->addWidget(StatusWait);
    layout->addWidget(SarvetelConsoleSB);

    TimeGenEditForm = new TTimeGenEditForm(Dialogs, this);
    ImpEditForm = new TImpEditForm(Dialogs, this);
    FormTechKeyEdit = new TFormTechKeyEdit(Dialogs, this);
    connect(&Worker, &TLinkWorker::BusyChanged, this, &TSarvetelConsoleForm::ShowBusy);
}

TSarvetelConsoleForm::~TSarvetelConsoleForm()
{
    // Nothing the updater uses may go before it has ended.
    FormClose();
}

QWidget *TConsolePages::CreateConsolePanel(TSarvetelConsoleForm &f)
{
    auto *panel = new QWidget(&f);
    auto *layout = new QVBoxLayout(panel);
    f.SarvetelMemo = new QPlainTextEdit(panel);
    f.SarvetelMemo->setReadOnly(true);
    f.SarvetelMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(14);
    font.setBold(true);
    f.SarvetelMemo->setFont(font);
    // A front panel display: light characters on a dark field.
    f.SarvetelMemo->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { background: #0b2a12; color: #7CFF8A; border: 6px solid #333; }"));
    const QFontMetrics fm(font);
    f.SarvetelMemo->setFixedSize(fm.horizontalAdvance(QString(ScreenLineLength + 2, u'W')) + 24,
                                 fm.lineSpacing() * ScreenLineCount + 30);
    f.SarvetelMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    f.SarvetelMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(f.SarvetelMemo, 0, Qt::AlignHCenter);
    auto *keys = new QGridLayout;
    for (int i = 0; i < PanelKey::Count; ++i) {
        const std::uint8_t code = static_cast<std::uint8_t>(PanelKey::First + i);
        auto *b = new QPushButton(QString::fromUtf8(kKeyCaptions[i]), panel);
        b->setFixedSize(52, 34);
        b->setFocusPolicy(Qt::NoFocus);
        keys->addWidget(b, i / 8, i % 8);
        QObject::connect(b, &QPushButton::clicked, &f, [&f, code] { f.KeyClick(code); });
        f.KeyButtons.emplace_back(b, code);
        if (code == PanelKey::Start)
            f.VSKBtn = b;
    }
    layout->addLayout(keys);
    return panel;
}

bool TSarvetelConsoleForm::Yes(const QString &question, const QString &caption, bool defaultNo)
{
    return Dialogs.Ask(this, question, caption, TUserDialogs::YesNo, TUserDialogs::Question,
                       defaultNo ? TUserDialogs::AnswerNo : TUserDialogs::AnswerYes) ==
           TUserDialogs::AnswerYes;
}

// ---- Showing, closing, the updater ----------------------------------------------------------

void TSarvetelConsoleForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (Updater)
        return;
    // Nothing of the last session is shown or acted on: until the opening exchange has
    // told the mode, the window shows no mode and starts no exchange of its own (a click
    // in between would take the worker, and the session would never start polling).
    SarvetelMemo->clear();
    StatusMode->clear();
    StatusErrors->clear();
    StatusMessage->clear();
    Panels->setCurrentWidget(ConsolePanel);
    ShownMode = 0xFFFFFFFF;
    KnownMode = 0;
    KnownExchange = 0;
    Seen = TControllerSeen();
    SetModeButtons(false);
    SetCommandControls(false);
    // The opening exchange runs once the window's own event loop does, so a close that
    // comes while it waits finds the window fully shown.
    QMetaObject::invokeMethod(this, &TSarvetelConsoleForm::FormShow, Qt::QueuedConnection);
}

void TSarvetelConsoleForm::FormShow()
{
    if (!isVisible() || Updater)
        return;
    TJobResult r;
    const bool done = Exchange([this, &r] {
        // The status is asked again with the opening's extras: that answer counts.
        static_cast<void>(Link.ReadStatus());
        const TLinkResult open = Link.ReadStatusOnOpen();
        // The pages show what came; a read cut short leaves its part as the page had it.
        if (open.Mode == ModeSetup)
            SetupFromRead(Link.ReadIOSetup().Value);
        else if (open.Mode == ModeProgram)
            static_cast<void>(Link.ReadPRPIntoHeader(Header));
        r = JobResult(open);
    });
    if (!done || !isVisible())
        return;
    Learn(r);
    if (KnownMode == ModeSetup || KnownMode == ModeProgram) {
        SetModeButtons(false);
        if (KnownMode == ModeSetup) {
            FillSetupPages();
        } else {
            Header.DecodeHeader();
            FillProgramPages();
        }
    }
    ArrangePanels(KnownMode);
    Updater = TSarvetelScreenUpdater::Start(Link, this, "ScreenNews");
}

void TSarvetelConsoleForm::ScreenNews()
{
    if (Updater)
        Updater->Deliver([this](const TScreenState &state) { DisplayStep(state); });
}

TKeyQueue *TSarvetelConsoleForm::Keys()
{
    return Updater ? &Updater->Keys : nullptr;
}

void TSarvetelConsoleForm::FormClose()
{
    const std::shared_ptr<TSarvetelScreenUpdater> updater = std::move(Updater);
    Updater.reset();
    if (updater)
        updater->Terminate();
    // The frame in flight ends at once; the exchange job of a handler, if any, ends too.
    if (Link.Port)
        Link.Port->Interrupt();
    Worker.Cancel();
    if (updater)
        updater->WaitEnded();
    if (Link.Port)
        Link.Port->Resume();
}

void TSarvetelConsoleForm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

bool TSarvetelConsoleForm::Exchange(const std::function<void()> &job)
{
    return Worker.Call(job) == TLinkWorker::Done;
}

void TSarvetelConsoleForm::Tell(const QString &message)
{
    StatusMessage->setText(message);
}

bool TSarvetelConsoleForm::Command(const QString &what, const std::function<TLinkResult()> &job,
                                   QString *failure)
{
    TLinkResult last;
    if (!Exchange([&] { last = job(); }))
        return false;
    if (last.Accepted()) {
        Tell(QString());
        return true;
    }
    Tell(what + GuiTexts::ConsoleNotTaken + LinkFailureText(last.Status, last.Protocol));
    if (failure)
        *failure = StatusMessage->text();
    return false;
}

TSarvetelConsoleForm::TJobResult TSarvetelConsoleForm::JobResult(const TLinkResult &last) const
{
    return {Link.Exchanges, last.Mode, last.Status};
}

void TSarvetelConsoleForm::Learn(const TJobResult &result)
{
    if (result.Exchange < KnownExchange)
        return;
    KnownExchange = result.Exchange;
    KnownMode = result.Mode;
}

void TSarvetelConsoleForm::SetupFromRead(const TIOSetupState &read)
{
    MemoryType = read.MemoryType;
    std::copy(std::begin(read.IOSetup), std::end(read.IOSetup), IOSetup);
}

void TSarvetelConsoleForm::SetupIntoLink()
{
    Link.MemoryType = MemoryType;
    std::copy(std::begin(IOSetup), std::end(IOSetup), Link.IOSetup);
}

void TSarvetelConsoleForm::SetCommandControls(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(BtnStop), static_cast<QWidget *>(ResetSarvetelBtn),
                       static_cast<QWidget *>(PCSetup), static_cast<QWidget *>(PCProgram)})
        w->setEnabled(on);
}

void TSarvetelConsoleForm::ShowBusy(bool busy)
{
    StatusWait->setText(busy ? GuiTexts::WaitingForController : QString());
    SetCommandControls(!busy);
    // The other mode buttons are all off while waiting, and then as they were.
    QPushButton *const modes[] = {BtnStart, BtnFailure, BtnTest, BtnCopy, BtnSetup, BtnProgram};
    for (int i = 0; i < 6; ++i) {
        if (busy)
            ModeButtonsBeforeWait[i] = modes[i]->isEnabled();
        modes[i]->setEnabled(!busy && ModeButtonsBeforeWait[i]);
    }
    // A screen shown while waiting may have told a new mode: the buttons follow it.
    if (!busy)
        FollowModeButtons(ShownMode);
}

void TSarvetelConsoleForm::ArrangePanels(std::uint32_t mode)
{
    if (mode == ModeSetup)
        Panels->setCurrentWidget(PCSetup);
    else if (mode == ModeProgram)
        Panels->setCurrentWidget(PCProgram);
    else
        Panels->setCurrentWidget(ConsolePanel);
}

void TSarvetelConsoleForm::SetModeButtons(bool on)
{
    for (QPushButton *b : {BtnStart, BtnFailure, BtnTest, BtnCopy, BtnSetup, BtnProgram})
        b->setEnabled(on);
}

void TSarvetelConsoleForm::DisplayStep(const TScreenState &state)
{
    Seen.Take(state.Seen);
    if (state.Exchange < KnownExchange)
        return; // taken before a command of the console that the console has shown already
    KnownExchange = state.Exchange;
    KnownMode = state.Mode;
    const std::uint32_t mode = state.Mode;
    QStringList lines;
    if (mode == ModeStop) {
        lines << GuiTexts::StoppedLine1 << GuiTexts::StoppedLine2;
    } else if (mode == ModeRun || mode == ModeCopy || mode == ModeTest) {
        for (const QString &line : state.ScreenLines)
            lines << line;
    } else if (mode == ModeFault) {
        for (int k = 0; k < state.FaultCount; ++k) {
            const std::uint16_t word = state.FaultWords[k];
            lines << QStringLiteral("%1:%2")
                         .arg(word & 0xFF, 2, 16, QChar(u'0'))
                         .toUpper()
                         .arg(OctalText(word >> 8, 2));
            lines << SarvetelFaultText(word);
        }
        if (state.FaultCount == 0)
            lines << GuiTexts::NoFaults;
    }
    // One repaint for the whole screen.
    const QString text = lines.join(u'\n');
    if (SarvetelMemo->toPlainText() != text)
        SarvetelMemo->setPlainText(text);
    StatusMode->setText(ModeName(mode));
    StatusErrors->setText(state.ErrorsPresent ? GuiTexts::ErrorsPresent : GuiTexts::NoErrors);
    if (mode != ShownMode)
        ArrangePanels(mode);
    if (!Worker.IsBusy())
        FollowModeButtons(mode);
    ShownMode = mode;
}

void TSarvetelConsoleForm::FollowModeButtons(std::uint32_t mode)
{
    if (mode == ModeStop) {
        SetModeButtons(true);
    } else if (mode == ModeRun) {
        SetModeButtons(false);
        BtnStart->setEnabled(true);
        BtnFailure->setEnabled(true);
    } else if (mode == ModeCopy || mode == ModeTest || mode == ModeFault) {
        SetModeButtons(false);
    }
}

// ---- Keys and modes -------------------------------------------------------------------------

void TSarvetelConsoleForm::KeyClick(std::uint8_t code)
{
    if (TKeyQueue *keys = Keys())
        keys->Push(code);
}

TSarvetelConsoleForm::TJobResult TSarvetelConsoleForm::SetModeJob(std::uint8_t m, bool *done)
{
    TJobResult r;
    const bool ran = Exchange([this, m, &r] { r = JobResult(Link.SetMode(m)); });
    if (ran)
        Learn(r);
    if (done)
        *done = ran;
    return r;
}

void TSarvetelConsoleForm::ModeButton(std::uint8_t keyInRun, std::uint8_t modeFromStop)
{
    if (keyInRun != 0 && KnownMode == ModeRun)
        KeyClick(keyInRun);
    else if (KnownMode == ModeStop)
        SetModeJob(modeFromStop);
}

void TSarvetelConsoleForm::BtnStopClick()
{
    const std::uint32_t mode = KnownMode;
    if (mode == ModeStop)
        return;
    const bool save = SettingsChanged && (mode == ModeSetup || mode == ModeProgram) &&
                      Yes(GuiTexts::SettingsChanged, GuiTexts::Attention);
    SettingsChanged = false;
    TJobResult r;
    if (!Exchange([this, mode, save, &r] {
            // The controller leaves the mode whether or not it took the settings; the
            // status line tells the mode it is in after.
            if (save && mode == ModeSetup) {
                SetupIntoLink();
                static_cast<void>(Link.WriteIOSetup());
            } else if (save) {
                static_cast<void>(Link.WriteHeaderPart0(Header));
            }
            r = JobResult(Link.SetMode(ModeStop));
        }))
        return;
    Learn(r);
    ArrangePanels(KnownMode);
}

void TSarvetelConsoleForm::BtnSetupClick()
{
    TJobResult r;
    if (!Exchange([this, &r] {
            const TLinkResult set = Link.SetMode(ModeSetup);
            if (set.Mode == ModeSetup)
                SetupFromRead(Link.ReadIOSetup().Value);
            r = JobResult(set);
        }))
        return;
    Learn(r);
    if (r.Mode != ModeSetup) {
        Dialogs.Notice(this, GuiTexts::SetupModeFailed, GuiTexts::Attention, TUserDialogs::Warning);
        return;
    }
    SettingsChanged = false;
    ArrangePanels(ModeSetup);
    SetModeButtons(false);
    FillSetupPages();
}

void TSarvetelConsoleForm::BtnProgramClick()
{
    SettingsChanged = false;
    TJobResult r;
    if (!Exchange([this, &r] {
            const TLinkResult set = Link.SetMode(ModeProgram);
            if (set.Mode == ModeProgram)
                static_cast<void>(Link.ReadPRPIntoHeader(Header));
            r = JobResult(set);
        }))
        return;
    Learn(r);
    if (r.Mode != ModeProgram) {
        Dialogs.Notice(this, ModeChangeFailed, GuiTexts::Attention, TUserDialogs::Warning);
        return;
    }
    Header.DecodeHeader();
    ArrangePanels(ModeProgram);
    SetModeButtons(false);
    FillProgramPages();
}

void TSarvetelConsoleForm::ResetSarvetelBtnClick()
{
    if (Dialogs.Ask(this, GuiTexts::ResetSarvetelQuestion, GuiTexts::AttentionPlain,
                    TUserDialogs::OkCancel, TUserDialogs::Warning,
                    TUserDialogs::AnswerCancel) == TUserDialogs::AnswerOk &&
        !Exchange([this] {
            static_cast<void>(Link.ReadHeaderPart(Header));
            static_cast<void>(Link.ResetSystemMemory());
        }))
        return;
    ArrangePanels(KnownMode);
}
