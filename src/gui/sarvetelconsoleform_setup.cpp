// The console's pages in the mode "Настройка": the resets, the memory type, the order of
// the I/O modules, the logical channels and the settings of the physical channels. They
// show and change the console's copy of the I/O setup; "Применить" sends it.

#include "core/textutils.h"
#include "gui/grids.h"
#include "gui/guitexts.h"
#include "gui/sarvetelconsoleform.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"
#include "protocol/iosetup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Sarvetel;
using Grids::MakeGrid;
using Grids::SetCell;

namespace {

namespace Layout = IOSetupLayout;

// The rows of each tab of "Заказ УСО": the group bits of its modules start at FirstByte of
// the setup's groups; a bit may stand for more than one row.
struct TModuleRows
{
    int Rows;
    int FirstByte;
    int RowsPerBit;
    int IndexDigits;
};
const TModuleRows kModules[5] = {
    {64, 0, 1, 3}, {32, 8, 1, 3}, {16, 12, 2, 3}, {8, 13, 1, 3}, {4, 14, 1, 2}};

} // namespace

QWidget *TSarvetelConsoleForm::CreateSetupPages()
{
    PCSetup = new QTabWidget(this);
    PCSetup->addTab(CreateResetPage(PCSetup), GuiTexts::SetupPages[0]);
    PCSetup->addTab(CreateMemoryPage(PCSetup), GuiTexts::SetupPages[1]);
    PCSetup->addTab(CreateModulePage(PCSetup), GuiTexts::SetupPages[2]);
    PCSetup->addTab(CreateChannelPage(PCSetup), GuiTexts::SetupPages[3]);
    PCSetup->addTab(CreatePortPage(PCSetup), GuiTexts::SetupPages[4]);
    return PCSetup;
}

// "Настройка".
QWidget *TSarvetelConsoleForm::CreateResetPage(QWidget *parent)
{
    auto *reset = new QWidget(parent);
    auto *rl = new QVBoxLayout(reset);
    const std::pair<QString, std::pair<QString, TLinkResult (TSarvetel::*)()>> resets[] = {
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
    return reset;
}

// "Память".
QWidget *TSarvetelConsoleForm::CreateMemoryPage(QWidget *parent)
{
    auto *memory = new QWidget(parent);
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
    return memory;
}

// "Заказ УСО".
QWidget *TSarvetelConsoleForm::CreateModulePage(QWidget *parent)
{
    auto *modules = new QWidget(parent);
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
    return modules;
}

// "Каналы связи": the physical channel of each logical channel, or none.
QWidget *TSarvetelConsoleForm::CreateChannelPage(QWidget *parent)
{
    auto *channels = new QWidget(parent);
    auto *cl = new QGridLayout(channels);
    for (int c = 0; c < Layout::LogicalChannels; ++c) {
        cl->addWidget(new QLabel(GuiTexts::LogicalChannels[c], channels), c, 0);
        LogicalChannelCB[c] = new QComboBox(channels);
        for (int p = 0; p < Layout::PortCount; ++p)
            LogicalChannelCB[c]->addItem(QString::number(p));
        LogicalChannelCB[c]->addItem(GuiTexts::ChannelUnused);
        cl->addWidget(LogicalChannelCB[c], c, 1);
        connect(LogicalChannelCB[c], &QComboBox::activated, this,
                [this, c](int entry) { LogicalChannelChange(c, entry); });
    }
    return channels;
}

// "Настройка каналов": speed, parity and stop bits of a physical channel.
QWidget *TSarvetelConsoleForm::CreatePortPage(QWidget *parent)
{
    auto *params = new QWidget(parent);
    auto *pl = new QGridLayout(params);
    ChannelNumCB = new QComboBox(params);
    for (int p = 0; p < Layout::PortCount; ++p)
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
    const std::pair<const QString &, QComboBox *> rows[] = {{GuiTexts::ChannelLabel, ChannelNumCB},
                                                            {GuiTexts::SpeedLabel, SpeedCB},
                                                            {GuiTexts::CheckLabel, CheckCB},
                                                            {GuiTexts::StopLabel, StopCB}};
    int row = 0;
    for (const auto &[label, box] : rows) {
        pl->addWidget(new QLabel(label, params), row, 0);
        pl->addWidget(box, row++, 1);
    }
    pl->addWidget(IrprGroup, 4, 0, 1, 2);
    auto *applyParams = new QPushButton(GuiTexts::ApplyButton, params);
    pl->addWidget(applyParams, 5, 1);
    pl->setRowStretch(6, 1);
    connect(ChannelNumCB, &QComboBox::activated, this, &TSarvetelConsoleForm::ChannelNumChange);
    connect(SpeedCB, &QComboBox::activated, this, [this](int v) { ChannelParamChange(2, v); });
    connect(CheckCB, &QComboBox::activated, this, [this](int v) { ChannelParamChange(4, v); });
    connect(StopCB, &QComboBox::activated, this, [this](int v) { ChannelParamChange(6, v); });
    connect(applyParams, &QPushButton::clicked, this, &TSarvetelConsoleForm::ChannelApplyClick);
    return params;
}

// ---- Setup pages ----------------------------------------------------------------------------

void TSarvetelConsoleForm::ResetQuestion(const QString &question,
                                         TLinkResult (TSarvetel::*command)())
{
    if (Yes(question, GuiTexts::AttentionSpaced, true))
        Exchange([this, command] { static_cast<void>((Link.*command)()); });
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
        const bool on = IOSetup[Layout::GroupsAt + m.FirstByte + bit / 8] >> (bit % 8) & 1;
        SetCell(ModuleGrid, i, 0, QString::number(i));
        SetCell(ModuleGrid, i, 1, on ? GuiTexts::OrderYes : GuiTexts::OrderNo);
        SetCell(ModuleGrid, i, 2, OctalText(8 * i, m.IndexDigits));
        SetCell(ModuleGrid, i, 3, OctalText(8 * i + 7, m.IndexDigits));
    }
    for (int c = 0; c < Layout::LogicalChannels; ++c) {
        const int p = IOSetup[Layout::ChannelsAt + c];
        LogicalChannelCB[c]->setCurrentIndex(p < Layout::PortCount ? p : Layout::NoChannel);
    }
    ChannelNumChange();
    Filling = false;
}

void TSarvetelConsoleForm::MemoryChangeClick()
{
    bool toggled = false;
    if (!Exchange([this, &toggled] {
            toggled = Link.ToggleMemoryType().Accepted();
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
    IOSetup[Layout::GroupsAt + m.FirstByte + bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
    SettingsChanged = true;
    FillSetupPages();
}

void TSarvetelConsoleForm::ModuleResetClick()
{
    if (Exchange([this] { SetupFromRead(Link.ReadIOSetup().Value); }))
        FillSetupPages();
}

void TSarvetelConsoleForm::ModuleAutoClick()
{
    if (Exchange([this] { SetupFromRead(Link.AutoIOSetup().Value); }))
        FillSetupPages();
}

void TSarvetelConsoleForm::ModuleApplyClick()
{
    if (Exchange([this] {
            SetupIntoLink();
            static_cast<void>(Link.WriteIOSetup());
        }))
        SettingsChanged = false;
}

void TSarvetelConsoleForm::LogicalChannelChange(int logical, int entry)
{
    if (Filling || logical < 0 || logical >= Layout::LogicalChannels)
        return;
    const std::uint8_t physical = static_cast<std::uint8_t>(
        entry >= 0 && entry < Layout::PortCount ? entry : Layout::NoChannel);
    if (!Exchange([this, logical, physical] {
            SetupIntoLink();
            static_cast<void>(Link.ReleaseChannel(logical));
            Link.IOSetup[Layout::ChannelsAt + logical] = physical;
            static_cast<void>(Link.WriteIOSetup());
            SetupFromRead(Link.ReadIOSetup().Value);
        }))
        return;
    SettingsChanged = false;
    FillSetupPages();
}

void TSarvetelConsoleForm::ChannelNumChange()
{
    const int c = std::max(0, ChannelNumCB->currentIndex());
    const std::uint8_t b = IOSetup[Layout::PortsAt + c];
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
    std::uint8_t &b = IOSetup[Layout::PortsAt + c];
    b = static_cast<std::uint8_t>((b & ~(3 << shift)) | ((value & 3) << shift));
    SettingsChanged = true;
}

void TSarvetelConsoleForm::ChannelApplyClick()
{
    ModuleApplyClick();
}
