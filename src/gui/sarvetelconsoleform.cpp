#include "gui/sarvetelconsoleform.h"

#include "compiler/decompiler.h"
#include "core/textutils.h"
#include "gui/guitexts.h"
#include "gui/headerforms.h"
#include "gui/linkworker.h"
#include "gui/userdialogs.h"
#include "link/comport.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"
#include "link/sarvetelerrors.h"
#include "prp/headerentries.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include <memory>

using namespace Sarvetel;

namespace {

// The 48 front-panel keys in the order of their codes 0x10 ... 0x3F, six rows of eight.
const char *const kKeyCaptions[48] = {
    "СБР", "ИСП", "З/У", "<>",  "БЛК", "РБЛ", "ВКЛ", "Откл", "Е",  "T",   "И",   "ИЛИ",
    "(",   "}",   "TC",  "ВСК", "В",   "O",   "Б",   "=",    ">",  "<",   "+",   "-",
    "ВД",  "ВА",  "ДВ",  "АВ",  "КБ",  "КС",  "ИВ",  "TM",   "0",  "1",   "2",   "3",
    "4",   "5",   "6",   "7",   "8",   "9",   ">>>", ">>",   "<<", "<<<", "АЛГ", "."};
constexpr std::uint8_t kFirstKey = 0x10;
constexpr std::uint8_t kKeyRun = 0x05;
constexpr std::uint8_t kKeyFailure = 0x08;
constexpr int kChannelParamBase = 23;
constexpr int kChannelBase = 15;

struct TModuleRows
{
    int Rows;
    int FirstByte;
    int RowsPerBit;
    int IndexDigits;
};
const TModuleRows kModules[5] = {
    {64, 0, 1, 3}, {32, 8, 1, 3}, {16, 12, 2, 3}, {8, 13, 1, 3}, {4, 14, 1, 2}};

QTableWidget *MakeGrid(QWidget *parent, const QStringList &columns)
{
    auto *grid = new QTableWidget(parent);
    grid->setColumnCount(static_cast<int>(columns.size()));
    grid->setHorizontalHeaderLabels(columns);
    grid->verticalHeader()->setVisible(false);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void SetCell(QTableWidget *grid, int row, int column, const QString &text)
{
    auto *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

QString IntervalText(std::uint8_t low, std::uint8_t high)
{
    if (low == 0 && high == 0)
        return GuiTexts::NotDefined;
    if (high == 0x40)
        return QStringLiteral("ВА") + QString::number((low >> 1) % 128);
    if (high == 0x41)
        return QStringLiteral("АВ") + QString::number((low >> 1) % 128);
    return QString::number((low + 256 * high) >> 1);
}

QString ImpulseSourceCell(std::uint8_t low, std::uint8_t high)
{
    switch (high) {
    case 0x40:
    case 0x41:
    case 0x80:
    case 0x81:
        return QString(high < 0x80 ? u'+' : u'-') +
               (high & 1 ? QStringLiteral("АВ") : QStringLiteral("ВА")) + OctalText(low >> 1, 3);
    default:
        break;
    }
    const int w = low + 256 * high;
    return w <= 2000 ? u'+' + QString::number(w / 2) : u'-' + QString::number((65536 - w) / 2);
}

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
    auto addMode = [this, modes](const QString &caption, void (TSarvetelConsoleForm::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setMinimumWidth(48);
        modes->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    BtnStop = addMode(GuiTexts::ModeStopButton, &TSarvetelConsoleForm::BtnStopClick);
    BtnStart = addMode(GuiTexts::ModeRunButton, &TSarvetelConsoleForm::BtnStartClick);
    BtnFailure = addMode(GuiTexts::ModeFailButton, &TSarvetelConsoleForm::BtnFailureClick);
    BtnTest = addMode(GuiTexts::ModeTestButton, &TSarvetelConsoleForm::BtnTestClick);
    BtnCopy = addMode(GuiTexts::ModeCopyButton, &TSarvetelConsoleForm::BtnCopyClick);
    BtnSetup = addMode(GuiTexts::ModeSetupButton, &TSarvetelConsoleForm::BtnSetupClick);
    BtnProgram = addMode(GuiTexts::ModeProgramButton, &TSarvetelConsoleForm::BtnProgramClick);
    modes->addStretch(1);
    ResetSarvetelBtn =
        addMode(GuiTexts::ResetSarvetel, &TSarvetelConsoleForm::ResetSarvetelBtnClick);
    ResetSarvetelBtn->setMinimumWidth(ResetSarvetelBtn->sizeHint().width() + 8);
    CloseBtn = new QPushButton(GuiTexts::CloseButton, this);
    modes->addWidget(CloseBtn);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    layout->addLayout(modes);

    Panels = new QStackedWidget(this);
    ConsolePanel = CreateConsolePanel();
    Panels->addWidget(ConsolePanel);
    Panels->addWidget(CreateSetupPages());
    Panels->addWidget(CreateProgramPages());
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

QWidget *TSarvetelConsoleForm::CreateConsolePanel()
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    SarvetelMemo = new QPlainTextEdit(panel);
    SarvetelMemo->setReadOnly(true);
    SarvetelMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(14);
    font.setBold(true);
    SarvetelMemo->setFont(font);
    // A front panel display: light characters on a dark field.
    SarvetelMemo->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { background: #0b2a12; color: #7CFF8A; border: 6px solid #333; }"));
    const QFontMetrics fm(font);
    SarvetelMemo->setFixedSize(fm.horizontalAdvance(QString(ScreenLineLength + 2, u'W')) + 24,
                               fm.lineSpacing() * ScreenLineCount + 30);
    SarvetelMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SarvetelMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(SarvetelMemo, 0, Qt::AlignHCenter);
    auto *keys = new QGridLayout;
    for (int i = 0; i < 48; ++i) {
        const std::uint8_t code = static_cast<std::uint8_t>(kFirstKey + i);
        auto *b = new QPushButton(QString::fromUtf8(kKeyCaptions[i]), panel);
        b->setFixedSize(52, 34);
        b->setFocusPolicy(Qt::NoFocus);
        keys->addWidget(b, i / 8, i % 8);
        connect(b, &QPushButton::clicked, this, [this, code] { KeyClick(code); });
        KeyButtons.emplace_back(b, code);
        if (code == 0x1F)
            VSKBtn = b;
    }
    layout->addLayout(keys);
    return panel;
}

QWidget *TSarvetelConsoleForm::CreateSetupPages()
{
    PCSetup = new QTabWidget(this);
    // "Настройка".
    auto *reset = new QWidget(PCSetup);
    auto *rl = new QVBoxLayout(reset);
    const std::pair<QString, std::pair<QString, void (TSarvetel::*)()>> resets[] = {
        {GuiTexts::ResetVariablesButton,
         {GuiTexts::ResetVariablesQuestion, &TSarvetel::ResetVariables}},
        {GuiTexts::ResetLocksButton,
         {GuiTexts::ResetLocksQuestion, &TSarvetel::ResetVariableLocks}},
        {GuiTexts::ResetCoefficientsButton,
         {GuiTexts::ResetCoefficientsQuestion, &TSarvetel::ResetCoefficients}},
        {GuiTexts::ResetSystemMemoryButton,
         {GuiTexts::ResetSystemMemoryQuestion, &TSarvetel::ResetSystemMemory}}};
    for (const auto &r : resets) {
        auto *b = new QPushButton(r.first, reset);
        rl->addWidget(b);
        const auto q = r.second;
        connect(b, &QPushButton::clicked, this, [this, q] { ResetQuestion(q.first, q.second); });
    }
    rl->addStretch(1);
    PCSetup->addTab(reset, GuiTexts::SetupPages[0]);
    // "Память".
    auto *memory = new QWidget(PCSetup);
    auto *ml = new QGridLayout(memory);
    SysMemEdit = new QLineEdit(memory);
    SysMemEdit->setReadOnly(true);
    PRPEdit = new QLineEdit(memory);
    PRPEdit->setReadOnly(true);
    MemoryChangeBtn = new QPushButton(GuiTexts::ChangeButton, memory);
    ml->addWidget(new QLabel(GuiTexts::SysMemLabel, memory), 0, 0);
    ml->addWidget(SysMemEdit, 0, 1);
    ml->addWidget(new QLabel(GuiTexts::PrpMemLabel, memory), 1, 0);
    ml->addWidget(PRPEdit, 1, 1);
    ml->addWidget(MemoryChangeBtn, 2, 1);
    ml->setRowStretch(3, 1);
    connect(MemoryChangeBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::MemoryChangeClick);
    PCSetup->addTab(memory, GuiTexts::SetupPages[1]);
    // "Заказ УСО".
    auto *modules = new QWidget(PCSetup);
    auto *mol = new QVBoxLayout(modules);
    ModuleTabs = new QTabBar(modules);
    for (const QString &t : GuiTexts::ModuleTabs)
        ModuleTabs->addTab(t);
    ModuleGrid = MakeGrid(modules, GuiTexts::ModuleColumns);
    mol->addWidget(ModuleTabs);
    mol->addWidget(ModuleGrid, 1);
    auto *mb = new QHBoxLayout;
    auto *resetBtn = new QPushButton(GuiTexts::ResetButton, modules);
    auto *autoBtn = new QPushButton(GuiTexts::AutoOrderButton, modules);
    auto *applyBtn = new QPushButton(GuiTexts::ApplyButton, modules);
    mb->addWidget(resetBtn);
    mb->addWidget(autoBtn);
    mb->addWidget(applyBtn);
    mol->addLayout(mb);
    connect(ModuleTabs, &QTabBar::currentChanged, this, [this] { FillSetupPages(); });
    connect(ModuleGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { ModuleGridDblClick(row); });
    connect(resetBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::ModuleResetClick);
    connect(autoBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::ModuleAutoClick);
    connect(applyBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::ModuleApplyClick);
    PCSetup->addTab(modules, GuiTexts::SetupPages[2]);
    // "Каналы связи".
    auto *channels = new QWidget(PCSetup);
    auto *cl = new QGridLayout(channels);
    for (int c = 0; c < 8; ++c) {
        cl->addWidget(new QLabel(GuiTexts::LogicalChannels[c], channels), c, 0);
        LogicalChannelCB[c] = new QComboBox(channels);
        for (int p = 0; p <= 6; ++p)
            LogicalChannelCB[c]->addItem(QString::number(p));
        LogicalChannelCB[c]->addItem(GuiTexts::ChannelUnused);
        cl->addWidget(LogicalChannelCB[c], c, 1);
        connect(LogicalChannelCB[c], &QComboBox::activated, this,
                [this, c](int entry) { LogicalChannelChange(c, entry); });
    }
    PCSetup->addTab(channels, GuiTexts::SetupPages[3]);
    // "Настройка каналов".
    auto *params = new QWidget(PCSetup);
    auto *pl = new QGridLayout(params);
    ChannelNumCB = new QComboBox(params);
    for (int p = 0; p <= 6; ++p)
        ChannelNumCB->addItem(QString::number(p));
    SpeedCB = new QComboBox(params);
    SpeedCB->addItems(GuiTexts::ChannelSpeeds);
    CheckCB = new QComboBox(params);
    CheckCB->addItems(GuiTexts::ChannelChecks);
    StopCB = new QComboBox(params);
    StopCB->addItems(GuiTexts::ChannelStops);
    IrprGroup = new QGroupBox(GuiTexts::IrprGroup, params);
    auto *il = new QVBoxLayout(IrprGroup);
    IrprCB = new QComboBox(IrprGroup);
    IrprCB->addItems(GuiTexts::IrprChoices);
    il->addWidget(IrprCB);
    pl->addWidget(new QLabel(GuiTexts::ChannelLabel, params), 0, 0);
    pl->addWidget(ChannelNumCB, 0, 1);
    pl->addWidget(new QLabel(GuiTexts::SpeedLabel, params), 1, 0);
    pl->addWidget(SpeedCB, 1, 1);
    pl->addWidget(new QLabel(GuiTexts::CheckLabel, params), 2, 0);
    pl->addWidget(CheckCB, 2, 1);
    pl->addWidget(new QLabel(GuiTexts::StopLabel, params), 3, 0);
    pl->addWidget(StopCB, 3, 1);
    pl->addWidget(IrprGroup, 4, 0, 1, 2);
    auto *applyParams = new QPushButton(GuiTexts::ApplyButton, params);
    pl->addWidget(applyParams, 5, 1);
    pl->setRowStretch(6, 1);
    connect(ChannelNumCB, &QComboBox::activated, this, &TSarvetelConsoleForm::ChannelNumChange);
    connect(SpeedCB, &QComboBox::activated, this, [this](int v) { ChannelParamChange(2, v); });
    connect(CheckCB, &QComboBox::activated, this, [this](int v) { ChannelParamChange(4, v); });
    connect(StopCB, &QComboBox::activated, this, [this](int v) { ChannelParamChange(6, v); });
    connect(applyParams, &QPushButton::clicked, this, &TSarvetelConsoleForm::ChannelApplyClick);
    PCSetup->addTab(params, GuiTexts::SetupPages[4]);
    return PCSetup;
}

QWidget *TSarvetelConsoleForm::CreateProgramPages()
{
    PCProgram = new QTabWidget(this);
    // "Заказ".
    auto *order = new QWidget(PCProgram);
    auto *ol = new QVBoxLayout(order);
    OrderTabs = new QTabBar(order);
    for (const QString &t : GuiTexts::OrderTabs)
        OrderTabs->addTab(t);
    SGCustomize = MakeGrid(order, GuiTexts::VarColumns);
    SGCustomize->installEventFilter(this);
    ol->addWidget(OrderTabs);
    ol->addWidget(SGCustomize, 1);
    auto *ob = new QHBoxLayout;
    IncBtnOrder = new QPushButton(QStringLiteral(">>"), order);
    DecBtnOrder = new QPushButton(QStringLiteral("<<"), order);
    ChangeBtnOrder = new QPushButton(GuiTexts::ChangeButton, order);
    auto *writeBtn = new QPushButton(GuiTexts::WriteButton, order);
    auto *resetBtn = new QPushButton(GuiTexts::ResetPrpButton, order);
    for (QPushButton *b : {IncBtnOrder, DecBtnOrder, ChangeBtnOrder, writeBtn, resetBtn})
        ob->addWidget(b);
    ol->addLayout(ob);
    connect(OrderTabs, &QTabBar::currentChanged, this, [this] { FillOrderGrid(); });
    connect(IncBtnOrder, &QPushButton::clicked, this, [this] { OrderStep(1); });
    connect(DecBtnOrder, &QPushButton::clicked, this, [this] { OrderStep(-1); });
    connect(ChangeBtnOrder, &QPushButton::clicked, this, &TSarvetelConsoleForm::OrderChangeClick);
    connect(SGCustomize, &QTableWidget::cellDoubleClicked, this, [this] { OrderChangeClick(); });
    connect(writeBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::OrderWriteClick);
    connect(resetBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::OrderResetClick);
    PCProgram->addTab(order, GuiTexts::ProgramPages[0]);
    // "Программа".
    auto *program = new QWidget(PCProgram);
    auto *pl = new QGridLayout(program);
    CBBlock = new QComboBox(program);
    CBSec = new QComboBox(program);
    MemoInfo = new QPlainTextEdit(program);
    MemoInfo->setReadOnly(true);
    MemoInfo->setMaximumHeight(48);
    MemoWork = new QPlainTextEdit(program);
    connect(MemoWork, &QPlainTextEdit::textChanged, this, [this] { SectionReady = false; });
    MemoWork->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    MemoWork->setLineWrapMode(QPlainTextEdit::NoWrap);
    ListBoxLog = new QListWidget(program);
    ListBoxLog->setMaximumHeight(110);
    auto *pb = new QHBoxLayout;
    auto *readBtn = new QPushButton(GuiTexts::ReadButton, program);
    auto *compileBtn = new QPushButton(GuiTexts::CompileButton, program);
    auto *writeSecBtn = new QPushButton(GuiTexts::WriteSectionButton, program);
    auto *deleteBtn = new QPushButton(GuiTexts::DeleteButton, program);
    for (QPushButton *b : {readBtn, compileBtn, writeSecBtn, deleteBtn})
        pb->addWidget(b);
    pl->addWidget(new QLabel(GuiTexts::BlockLabel, program), 0, 0);
    pl->addWidget(CBBlock, 0, 1);
    pl->addWidget(new QLabel(GuiTexts::SectionLabel, program), 0, 2);
    pl->addWidget(CBSec, 0, 3);
    pl->addWidget(MemoInfo, 1, 0, 1, 4);
    pl->addWidget(MemoWork, 2, 0, 1, 4);
    pl->addLayout(pb, 3, 0, 1, 4);
    pl->addWidget(ListBoxLog, 4, 0, 1, 4);
    pl->setRowStretch(2, 1);
    connect(CBBlock, &QComboBox::activated, this, &TSarvetelConsoleForm::CBBlockChange);
    connect(CBSec, &QComboBox::activated, this, &TSarvetelConsoleForm::CBSecChange);
    connect(readBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::SectionReadClick);
    connect(compileBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::SectionCompileClick);
    connect(writeSecBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::SectionWriteClick);
    connect(deleteBtn, &QPushButton::clicked, this, &TSarvetelConsoleForm::SectionDeleteClick);
    connect(ListBoxLog, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { LogDblClick(ListBoxLog->row(item)); });
    ProgramPopup = new QMenu(this);
    ProgramPopup->addAction(GuiTexts::PopupDeleteProgram, this,
                            &TSarvetelConsoleForm::DeleteProgramClick);
    ProgramPopup->addAction(GuiTexts::PopupDeleteBlock, this,
                            &TSarvetelConsoleForm::DeleteGroupClick);
    ProgramPopup->addAction(GuiTexts::PopupRefresh, this, &TSarvetelConsoleForm::RefreshInfoClick);
    ProgramPopup->addAction(GuiTexts::PopupDeleteSection, this,
                            &TSarvetelConsoleForm::SectionDeleteClick);
    ProgramPopup->addAction(GuiTexts::PopupEditSection, this,
                            &TSarvetelConsoleForm::SectionReadClick);
    for (QWidget *w : {static_cast<QWidget *>(CBBlock), static_cast<QWidget *>(CBSec),
                       static_cast<QWidget *>(MemoInfo)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &p) { ProgramPopup->popup(w->mapToGlobal(p)); });
    }
    PCProgram->addTab(program, GuiTexts::ProgramPages[1]);
    // "Технологическая клавиатура".
    auto *keyboards = new QTabWidget(PCProgram);
    for (int k = 0; k < 4; ++k) {
        auto *page = new QWidget(keyboards);
        auto *kl = new QGridLayout(page);
        for (int b = 0; b < 16; ++b) {
            const int key = 16 * k + b;
            TechKeyButtons[key] = new QPushButton(page);
            TechKeyButtons[key]->setMinimumWidth(140);
            kl->addWidget(TechKeyButtons[key], b / 4, b % 4);
            connect(TechKeyButtons[key], &QPushButton::clicked, this,
                    [this, key] { TechKeyClick(key); });
        }
        keyboards->addTab(page, GuiTexts::TechKeyboardPrefix + QString::number(k + 1));
    }
    PCProgram->addTab(keyboards, GuiTexts::ProgramPages[2]);
    return PCProgram;
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
        Link.ReadStatus();
        Link.ReadStatusOnOpen();
        if (Link.Mode == ModeSetup) {
            Link.ReadIOSetup();
            SetupFromLink();
        } else if (Link.Mode == ModeProgram) {
            Link.ReadPRPIntoHeader(Header);
        }
        r = JobResult();
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
    StartUpdater();
}

void TSarvetelConsoleForm::StartUpdater()
{
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

bool TSarvetelConsoleForm::Command(const QString &what, const std::function<void()> &job)
{
    std::uint8_t status = LinkNoReply;
    int protocol = ResultOk;
    if (!Exchange([&] {
            job();
            status = Link.LinkStatus;
            protocol = Link.ProtocolResult;
        }))
        return false;
    if (status == LinkAccepted) {
        Tell(QString());
        return true;
    }
    Tell(what + GuiTexts::ConsoleNotTaken + LinkFailureText(status, protocol));
    return false;
}

TSarvetelConsoleForm::TJobResult TSarvetelConsoleForm::JobResult() const
{
    return {Link.Exchanges, Link.Mode, Link.LinkStatus};
}

void TSarvetelConsoleForm::Learn(const TJobResult &result)
{
    if (result.Exchange < KnownExchange)
        return;
    KnownExchange = result.Exchange;
    KnownMode = result.Mode;
}

void TSarvetelConsoleForm::SetupFromLink()
{
    MemoryType = Link.MemoryType;
    std::copy(std::begin(Link.IOSetup), std::end(Link.IOSetup), IOSetup);
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
    const bool ran = Exchange([this, m, &r] {
        Link.SetMode(m);
        r = JobResult();
    });
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

void TSarvetelConsoleForm::BtnStartClick()
{
    ModeButton(kKeyRun, ModeRun);
}

void TSarvetelConsoleForm::BtnFailureClick()
{
    ModeButton(kKeyFailure, ModeFault);
}

void TSarvetelConsoleForm::BtnTestClick()
{
    ModeButton(0, ModeTest);
}

void TSarvetelConsoleForm::BtnCopyClick()
{
    ModeButton(0, ModeCopy);
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
            if (save && mode == ModeSetup) {
                SetupIntoLink();
                Link.WriteIOSetup();
            } else if (save) {
                Link.WriteHeaderPart0(Header);
            }
            Link.SetMode(ModeStop);
            r = JobResult();
        }))
        return;
    Learn(r);
    ArrangePanels(KnownMode);
}

void TSarvetelConsoleForm::BtnSetupClick()
{
    TJobResult r;
    if (!Exchange([this, &r] {
            Link.SetMode(ModeSetup);
            if (Link.Mode == ModeSetup) {
                Link.ReadIOSetup();
                SetupFromLink();
            }
            r = JobResult();
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
            Link.SetMode(ModeProgram);
            if (Link.Mode == ModeProgram)
                Link.ReadPRPIntoHeader(Header);
            r = JobResult();
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
            Link.ReadHeaderPart(Header);
            Link.ResetSystemMemory();
        }))
        return;
    ArrangePanels(KnownMode);
}

// ---- Setup pages ----------------------------------------------------------------------------

void TSarvetelConsoleForm::ResetQuestion(const QString &question, void (TSarvetel::*command)())
{
    if (Yes(question, GuiTexts::AttentionSpaced, true))
        Exchange([this, command] { (Link.*command)(); });
}

void TSarvetelConsoleForm::FillSetupPages()
{
    Filling = true;
    SysMemEdit->setText(MemoryType & 2 ? GuiTexts::SysMemNotDuplicated
                                       : GuiTexts::SysMemDuplicated);
    PRPEdit->setText(MemoryType & 1 ? GuiTexts::PrpInRom : GuiTexts::PrpInRam);
    const TModuleRows &m = kModules[std::max(0, ModuleTabs->currentIndex())];
    ModuleGrid->setRowCount(m.Rows);
    for (int i = 0; i < m.Rows; ++i) {
        const int bit = i / m.RowsPerBit;
        const bool on = IOSetup[m.FirstByte + bit / 8] >> (bit % 8) & 1;
        SetCell(ModuleGrid, i, 0, QString::number(i));
        SetCell(ModuleGrid, i, 1, on ? GuiTexts::OrderYes : GuiTexts::OrderNo);
        SetCell(ModuleGrid, i, 2, OctalText(8 * i, m.IndexDigits));
        SetCell(ModuleGrid, i, 3, OctalText(8 * i + 7, m.IndexDigits));
    }
    for (int c = 0; c < 8; ++c) {
        const int p = IOSetup[kChannelBase + c];
        LogicalChannelCB[c]->setCurrentIndex(p <= 6 ? p : 7);
    }
    ChannelNumChange();
    Filling = false;
}

void TSarvetelConsoleForm::MemoryChangeClick()
{
    bool toggled = false;
    if (!Exchange([this, &toggled] {
            Link.ToggleMemoryType();
            toggled = Link.LinkStatus == LinkAccepted;
            if (toggled)
                Link.MemoryType ^= 1;
            MemoryType = Link.MemoryType;
        }))
        return;
    if (toggled)
        FillSetupPages();
}

void TSarvetelConsoleForm::ModuleGridDblClick(int row)
{
    const TModuleRows &m = kModules[std::max(0, ModuleTabs->currentIndex())];
    if (row < 0 || row >= m.Rows)
        return;
    const int bit = row / m.RowsPerBit;
    IOSetup[m.FirstByte + bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
    SettingsChanged = true;
    FillSetupPages();
}

void TSarvetelConsoleForm::ModuleResetClick()
{
    if (Exchange([this] {
            Link.ReadIOSetup();
            SetupFromLink();
        }))
        FillSetupPages();
}

void TSarvetelConsoleForm::ModuleAutoClick()
{
    if (Exchange([this] {
            Link.AutoIOSetup();
            SetupFromLink();
        }))
        FillSetupPages();
}

void TSarvetelConsoleForm::ModuleApplyClick()
{
    if (Exchange([this] {
            SetupIntoLink();
            Link.WriteIOSetup();
        }))
        SettingsChanged = false;
}

void TSarvetelConsoleForm::LogicalChannelChange(int logical, int entry)
{
    if (Filling || logical < 0 || logical > 7)
        return;
    const std::uint8_t physical = entry >= 0 && entry <= 6 ? static_cast<std::uint8_t>(entry) : 7;
    if (!Exchange([this, logical, physical] {
            SetupIntoLink();
            Link.ReleaseChannel(logical);
            Link.IOSetup[kChannelBase + logical] = physical;
            Link.WriteIOSetup();
            Link.ReadIOSetup();
            SetupFromLink();
        }))
        return;
    SettingsChanged = false;
    FillSetupPages();
}

void TSarvetelConsoleForm::ChannelNumChange()
{
    const int c = std::max(0, ChannelNumCB->currentIndex());
    const std::uint8_t b = IOSetup[kChannelParamBase + c];
    const bool serial = c <= 4;
    SpeedCB->setCurrentIndex(b >> 2 & 3);
    CheckCB->setCurrentIndex(b >> 4 & 3);
    StopCB->setCurrentIndex(b >> 6 & 3);
    SpeedCB->setEnabled(serial);
    CheckCB->setEnabled(serial);
    StopCB->setEnabled(serial);
    IrprGroup->setEnabled(!serial);
}

void TSarvetelConsoleForm::ChannelParamChange(int shift, int value)
{
    const int c = std::max(0, ChannelNumCB->currentIndex());
    std::uint8_t &b = IOSetup[kChannelParamBase + c];
    b = static_cast<std::uint8_t>((b & ~(3 << shift)) | ((value & 3) << shift));
    SettingsChanged = true;
}

void TSarvetelConsoleForm::ChannelApplyClick()
{
    ModuleApplyClick();
}

// ---- Program pages: the order ---------------------------------------------------------------

void TSarvetelConsoleForm::FillProgramPages()
{
    FillOrderGrid();
    Filling = true;
    CBBlock->clear();
    for (int g = 0; g <= std::min<int>(Header.OrderKB, 7); ++g)
        CBBlock->addItem(QString::number(g, 16).toUpper());
    CBBlock->setCurrentIndex(0);
    Filling = false;
    CBBlockChange();
    FillTechKeys();
}

void TSarvetelConsoleForm::FillOrderGrid()
{
    const int tab = std::max(0, OrderTabs->currentIndex());
    const int row = SGCustomize->currentRow();
    const QStringList *columns[] = {&GuiTexts::VarColumns, &GuiTexts::AdcColumns,
                                    &GuiTexts::TimerColumns, &GuiTexts::ImpColumns};
    SGCustomize->setHorizontalHeaderLabels(*columns[tab]);
    IncBtnOrder->setEnabled(tab <= 1);
    DecBtnOrder->setEnabled(tab <= 1);
    ChangeBtnOrder->setEnabled(tab >= 2);
    const TPRPHeader &h = Header;
    if (tab == 0) {
        SGCustomize->setRowCount(6);
        const std::pair<const char *, QString> rows[] = {
            {"КБ", QString::number(h.OrderKB)},      {"ВД", OctalText(8 * h.OrderVD + 7, 3)},
            {"ДВ", OctalText(8 * h.OrderDV + 7, 3)}, {"ВА", OctalText(8 * h.OrderVA + 7, 3)},
            {"АВ", OctalText(8 * h.OrderAV + 7, 3)}, {"ТМ", OctalText(8 * h.OrderTM + 7, 2)}};
        const QString mins[] = {QStringLiteral("0"),   QStringLiteral("000"), QStringLiteral("000"),
                                QStringLiteral("000"), QStringLiteral("000"), QStringLiteral("0")};
        for (int i = 0; i < 6; ++i) {
            SetCell(SGCustomize, i, 0, QString::fromUtf8(rows[i].first));
            SetCell(SGCustomize, i, 1, mins[i]);
            SetCell(SGCustomize, i, 2, rows[i].second);
        }
    } else if (tab == 1) {
        SGCustomize->setRowCount(8);
        for (int j = 0; j < 8; ++j) {
            SetCell(SGCustomize, j, 0, QString::number(j));
            const bool ordered = j <= h.OrderVA / 2;
            SetCell(SGCustomize, j, 1, ordered ? OctalText(16 * j, 3) : GuiTexts::NotOrdered);
            SetCell(SGCustomize, j, 2,
                    ordered ? OctalText(16 * j + h.AdcOrder[j], 3) : GuiTexts::NotOrdered);
        }
    } else if (tab == 2) {
        SGCustomize->setRowCount(8);
        for (int k = 0; k < 8; ++k) {
            SetCell(SGCustomize, k, 0, QString::number(k));
            SetCell(SGCustomize, k, 1, IntervalText(h.TimeGen[k][0], h.TimeGen[k][1]));
            SetCell(SGCustomize, k, 2, IntervalText(h.TimeGen[k][2], h.TimeGen[k][3]));
        }
    } else {
        SGCustomize->setRowCount(32);
        for (int i = 0; i < 32; ++i) {
            SetCell(SGCustomize, i, 0, QStringLiteral("ИВ") + OctalText(i, 2));
            const bool unused = h.ImpSource[i][1] == 0x20;
            SetCell(SGCustomize, i, 1,
                    unused ? QString() : ImpulseSourceCell(h.ImpSource[i][0], h.ImpSource[i][1]));
            SetCell(SGCustomize, i, 2,
                    unused ? QString()
                           : QStringLiteral(" 0,") + QString::number(1 << h.ImpulseTickCode(i)));
        }
    }
    SGCustomize->setCurrentCell(std::clamp(row, 0, SGCustomize->rowCount() - 1), 0);
}

void TSarvetelConsoleForm::OrderStep(int delta)
{
    const int tab = std::max(0, OrderTabs->currentIndex());
    const int row = SGCustomize->currentRow();
    std::uint8_t *value = nullptr;
    int maximum = 0;
    if (tab == 0 && row >= 0 && row < 6) {
        std::uint8_t *orders[] = {&Header.OrderKB, &Header.OrderVD, &Header.OrderDV,
                                  &Header.OrderVA, &Header.OrderAV, &Header.OrderTM};
        const int maxima[] = {7, 63, 63, 15, 15, 7};
        value = orders[row];
        maximum = maxima[row];
    } else if (tab == 1 && row >= 0 && row < 8) {
        value = &Header.AdcOrder[row];
        maximum = 15;
    }
    if (!value)
        return;
    *value = static_cast<std::uint8_t>(std::clamp(*value + delta, 0, maximum));
    SettingsChanged = true;
    FillOrderGrid();
}

void TSarvetelConsoleForm::OrderChangeClick()
{
    const int tab = std::max(0, OrderTabs->currentIndex());
    const int row = SGCustomize->currentRow();
    if (row < 0)
        return;
    if (tab == 2 && row < 8) {
        TimeGenEditForm->Header = &Header;
        TimeGenEditForm->Number = row;
        TimeGenEditForm->FormShow();
        if (Dialogs.Exec(TimeGenEditForm) != QDialog::Accepted)
            return;
    } else if (tab == 3 && row < 32) {
        ImpEditForm->Header = &Header;
        ImpEditForm->Number = row;
        ImpEditForm->FormShow();
        if (Dialogs.Exec(ImpEditForm) != QDialog::Accepted)
            return;
    } else {
        return;
    }
    SettingsChanged = true;
    FillOrderGrid();
}

void TSarvetelConsoleForm::OrderWriteClick()
{
    if (Command(GuiTexts::ConsoleHeaderWrite, [this] { Link.WriteHeaderPart0(Header); }))
        SettingsChanged = false;
}

void TSarvetelConsoleForm::OrderResetClick()
{
    if (!Yes(GuiTexts::ResetPrpQuestion, GuiTexts::Attention, true))
        return;
    // Read into a copy: the orders shown are what the controller answered, and a read
    // without an answer leaves the page as it was.
    TPRPHeader read = Header;
    if (!Command(GuiTexts::ConsoleHeaderRead, [this, &read] { Link.ReadHeader(read); }))
        return;
    Header = read;
    FillProgramPages();
    SettingsChanged = false;
}

bool TSarvetelConsoleForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == SGCustomize && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Plus) {
            OrderStep(1);
            return true;
        }
        if (key->key() == Qt::Key_Minus) {
            OrderStep(-1);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OrderChangeClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Program pages: sections ----------------------------------------------------------------

void TSarvetelConsoleForm::CBBlockChange()
{
    const int g = std::max(0, CBBlock->currentIndex());
    Filling = true;
    CBSec->clear();
    for (int s = 0; s < 32; ++s)
        CBSec->addItem(SectionNumberText(32 * g + s));
    CBSec->setCurrentIndex(-1);
    Filling = false;
    MemoInfo->clear();
}

void TSarvetelConsoleForm::CBSecChange()
{
    if (Filling || CBSec->currentIndex() < 0)
        return;
    RefreshInfoClick();
}

void TSarvetelConsoleForm::RefreshInfoClick()
{
    const int index = CBSec->currentIndex();
    if (index < 0)
        return;
    const int s = 32 * std::max(0, CBBlock->currentIndex()) + index;
    std::uint32_t size = 0;
    if (Exchange([this, s, &size] { size = Link.ReadSectionInfo(s); }))
        MemoInfo->setPlainText(GuiTexts::SectionSize + QString::number(size));
}

void TSarvetelConsoleForm::ShowLog()
{
    ListBoxLog->clear();
    ListBoxLog->addItems(Log);
}

void TSarvetelConsoleForm::AddLog(const QString &line)
{
    Log.append(line);
    ShowLog();
}

void TSarvetelConsoleForm::SectionReadClick()
{
    const int index = CBSec->currentIndex();
    if (index < 0)
        return;
    const int s = 32 * std::max(0, CBBlock->currentIndex()) + index;
    Log.clear();
    AddLog(GuiTexts::ReadingSection + SectionNumberText(s));
    // Read aside: a read without an answer keeps the section and its text as they were.
    auto read = std::make_unique<TZentorSection>();
    if (!Command(GuiTexts::ReadingSection + SectionNumberText(s),
                 [this, s, &read] { Link.ReadSection(s, *read); }))
        return;
    CurrentSection = s;
    Section = *read;
    // The link hands the block over without its terminating zero (byte L of a block of
    // L + 1 bytes); the decoder needs the whole block, so it is put back.
    if (Section.CodeLength > 0 && Section.CodeLength == Section.Code[0] &&
        Section.CodeLength < static_cast<int>(sizeof Section.Code)) {
        Section.Code[Section.CodeLength] = 0;
        ++Section.CodeLength;
    }
    Section.Present = Section.CodeLength > 0 ? 1 : 0;
    DecompileSection(Compiler, Section, CurrentSection);
    MemoWork->setPlainText(Section.Text.join(u'\n'));
    SectionReady = true; // the code is the controller's own
    ShowLog();
}

void TSarvetelConsoleForm::SectionCompileClick()
{
    if (CurrentSection < 0)
        return;
    AddLog(GuiTexts::CompilingSection + SectionNumberText(CurrentSection));
    Section.Text = MemoWork->toPlainText().split(u'\n');
    Section.Present = 1;
    Section.NeedsCompile = 1;
    // The program's names and memory: the section compiles here as it does in the program.
    if (OpenProgram)
        Compiler.TakeNames(OpenProgram->Header.Text);
    Compiler.AlgMemoryUsed = ProgramCompiler ? ProgramCompiler->AlgMemoryUsed : 0;
    SectionReady = Compiler.CompileSection(Section, CurrentSection) == 0;
    if (SectionReady)
        Log.append(GuiTexts::Success);
    Section.Code[2] = static_cast<std::uint8_t>(CurrentSection);
    Section.Code[3] = static_cast<std::uint8_t>(CurrentSection);
    ShowLog();
}

void TSarvetelConsoleForm::SectionWriteClick()
{
    if (CurrentSection < 0)
        return;
    const QString what = GuiTexts::WritingSectionLog + SectionNumberText(CurrentSection);
    AddLog(what);
    if (!SectionReady) {
        Tell(GuiTexts::SectionNotCompiled);
        return;
    }
    Command(what, [this] { Link.WriteSection(Section); });
}

void TSarvetelConsoleForm::SectionDeleteClick()
{
    const int index = CBSec->currentIndex();
    if (index < 0)
        return;
    const int s = 32 * std::max(0, CBBlock->currentIndex()) + index;
    if (!Yes(SectionNumberText(s) + GuiTexts::SectionDeleteQuestion, GuiTexts::Attention, true))
        return;
    if (Command(GuiTexts::DeletingSection + SectionNumberText(s),
                [this, s] { Link.DeleteSection(s); }))
        RefreshInfoClick();
}

void TSarvetelConsoleForm::DeleteGroupClick()
{
    const int g = std::max(0, CBBlock->currentIndex());
    if (!Yes(GuiTexts::DeleteBlockQuestion.arg(g), GuiTexts::Attention, true))
        return;
    if (Exchange([this, g] {
            for (int s = 32 * g; s < 32 * g + 32; ++s)
                Link.DeleteSection(s);
        }))
        RefreshInfoClick();
}

void TSarvetelConsoleForm::DeleteProgramClick()
{
    if (!Yes(GuiTexts::DeleteProgramQuestion, GuiTexts::Attention, true))
        return;
    const int groups = CBBlock->count();
    if (Exchange([this, groups] {
            for (int s = 0; s < 32 * groups; ++s)
                Link.DeleteSection(s);
        }))
        RefreshInfoClick();
}

void TSarvetelConsoleForm::LogDblClick(int row)
{
    if (row <= 0 || row >= Log.size())
        return;
    const QString &line = Log[row];
    if (!line.startsWith(u'['))
        return;
    const int dot = line.indexOf(u'.');
    const int colon = line.indexOf(u':', dot + 1);
    if (dot < 0 || colon < 0)
        return;
    bool ok = false;
    const int textLine = line.mid(dot + 1, colon - dot - 1).toInt(&ok);
    if (!ok || textLine < 0 || textLine >= MemoWork->document()->blockCount())
        return;
    QTextCursor cursor(MemoWork->document()->findBlockByNumber(textLine));
    MemoWork->setTextCursor(cursor);
    MemoWork->setFocus();
}

// ---- Program pages: technological keys ------------------------------------------------------

QString TSarvetelConsoleForm::TechKeyCaption(int key) const
{
    const TTechKey &k = Header.TechKeys[key];
    const QString variable = HeaderKeyVariableText(k);
    if (variable.isEmpty())
        return GuiTexts::TechKeyClasses[0];
    return variable + QStringLiteral(": ") + k.Name.trimmed();
}

void TSarvetelConsoleForm::FillTechKeys()
{
    for (int key = 0; key < TPRPHeader::KeyCount; ++key)
        TechKeyButtons[key]->setText(TechKeyCaption(key));
}

void TSarvetelConsoleForm::TechKeyClick(int key)
{
    if (key < 0 || key >= TPRPHeader::KeyCount)
        return;
    FormTechKeyEdit->Header = &Header;
    FormTechKeyEdit->Number = key;
    FormTechKeyEdit->FormShow();
    if (Dialogs.Exec(FormTechKeyEdit) != QDialog::Accepted)
        return;
    Command(GuiTexts::TechKeyWrite + QString::number(key), [this, key] {
        Link.ClearTechKey(key);
        if (Link.LinkStatus == LinkAccepted && Header.TechKeys[key].Class != 0)
            Link.WriteTechKey(Header, key);
    });
    FillTechKeys();
}
