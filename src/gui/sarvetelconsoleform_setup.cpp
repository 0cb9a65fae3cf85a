// The console's pages in the mode "Настройка": the resets, the memory type, the order of
// the I/O modules, the logical channels and the settings of the physical channels. They
// show and change the console's copy of the I/O setup; "Применить" sends it.

#include "core/textutils.h"
#include "gui/consolepages.h"
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

QWidget *TConsolePages::CreateSetupPages(TSarvetelConsoleForm &f)
{
    f.PCSetup = new QTabWidget(&f);
    f.PCSetup->addTab(CreateResetPage(f, f.PCSetup), GuiTexts::SetupPages[0]);
    f.PCSetup->addTab(CreateMemoryPage(f, f.PCSetup), GuiTexts::SetupPages[1]);
    f.PCSetup->addTab(CreateModulePage(f, f.PCSetup), GuiTexts::SetupPages[2]);
    f.PCSetup->addTab(CreateChannelPage(f, f.PCSetup), GuiTexts::SetupPages[3]);
    f.PCSetup->addTab(CreatePortPage(f, f.PCSetup), GuiTexts::SetupPages[4]);
    return f.PCSetup;
}

// "Настройка".
QWidget *TConsolePages::CreateResetPage(TSarvetelConsoleForm &f, QWidget *parent)
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
        QObject::connect(b, &QPushButton::clicked, &f,
                         [&f, q] { f.ResetQuestion(q.first, q.second); });
    }
    rl->addStretch(1);
    return reset;
}

// "Память".
QWidget *TConsolePages::CreateMemoryPage(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *memory = new QWidget(parent);
    auto *ml = new QGridLayout(memory);
    f.SysMemEdit = new QLineEdit(memory);
    f.SysMemEdit->setReadOnly(true);
    f.PRPEdit = new QLineEdit(memory);
    f.PRPEdit->setReadOnly(true);
    f.MemoryChangeBtn = new QPushButton(GuiTexts::ChangeButton, memory);
    ml->addWidget(new QLabel(GuiTexts::SysMemLabel, memory), 0, 0);
    ml->addWidget(f.SysMemEdit, 0, 1);
    ml->addWidget(new QLabel(GuiTexts::PrpMemLabel, memory), 1, 0);
    ml->addWidget(f.PRPEdit, 1, 1);
    ml->addWidget(f.MemoryChangeBtn, 2, 1);
    ml->setRowStretch(3, 1);
    QObject::connect(f.MemoryChangeBtn, &QPushButton::clicked, &f,
                     &TSarvetelConsoleForm::MemoryChangeClick);
    return memory;
}

// "Заказ УСО".
QWidget *TConsolePages::CreateModulePage(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *modules = new QWidget(parent);
    auto *mol = new QVBoxLayout(modules);
    f.ModuleTabs = new QTabBar(modules);
    for (const QString &t : GuiTexts::ModuleTabs)
        f.ModuleTabs->addTab(t);
    f.ModuleGrid = MakeGrid(modules, GuiTexts::ModuleColumns);
    mol->addWidget(f.ModuleTabs);
    mol->addWidget(f.ModuleGrid, 1);
    auto *mb = new QHBoxLayout;
    auto *resetBtn = new QPushButton(GuiTexts::ResetButton, modules);
    auto *autoBtn = new QPushButton(GuiTexts::AutoOrderButton, modules);
    auto *applyBtn = new QPushButton(GuiTexts::ApplyButton, modules);
    mb->addWidget(resetBtn);
    mb->addWidget(autoBtn);
    mb->addWidget(applyBtn);
    mol->addLayout(mb);
    QObject::connect(f.ModuleTabs, &QTabBar::currentChanged, &f, [&f] { f.FillSetupPages(); });
    QObject::connect(f.ModuleGrid, &QTableWidget::cellDoubleClicked, &f,
                     [&f](int row, int) { f.ModuleGridDblClick(row); });
    // "Сброс" shows the controller's order again, "Авто" the order it finds by itself.
    const auto takeSetup = [&f](TLinkRead<TIOSetupState> (TSarvetel::*read)()) {
        if (f.Exchange([&f, read] { f.SetupFromRead((f.Link.*read)().Value); }))
            f.FillSetupPages();
    };
    QObject::connect(resetBtn, &QPushButton::clicked, &f,
                     [takeSetup] { takeSetup(&TSarvetel::ReadIOSetup); });
    QObject::connect(autoBtn, &QPushButton::clicked, &f,
                     [takeSetup] { takeSetup(&TSarvetel::AutoIOSetup); });
    QObject::connect(applyBtn, &QPushButton::clicked, &f, &TSarvetelConsoleForm::ModuleApplyClick);
    return modules;
}

// "Каналы связи": the physical channel of each logical channel, or none.
QWidget *TConsolePages::CreateChannelPage(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *channels = new QWidget(parent);
    auto *cl = new QGridLayout(channels);
    for (int c = 0; c < Layout::LogicalChannels; ++c) {
        cl->addWidget(new QLabel(GuiTexts::LogicalChannels[c], channels), c, 0);
        f.LogicalChannelCB[c] = new QComboBox(channels);
        for (int p = 0; p < Layout::PortCount; ++p)
            f.LogicalChannelCB[c]->addItem(QString::number(p));
        f.LogicalChannelCB[c]->addItem(GuiTexts::ChannelUnused);
        cl->addWidget(f.LogicalChannelCB[c], c, 1);
        QObject::connect(f.LogicalChannelCB[c], &QComboBox::activated, &f,
                         [&f, c](int entry) { f.LogicalChannelChange(c, entry); });
    }
    return channels;
}

// "Настройка каналов": speed, parity and stop bits of a physical channel.
QWidget *TConsolePages::CreatePortPage(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *params = new QWidget(parent);
    auto *pl = new QGridLayout(params);
    f.ChannelNumCB = new QComboBox(params);
    for (int p = 0; p < Layout::PortCount; ++p)
        f.ChannelNumCB->addItem(QString::number(p));
    f.SpeedCB = new QComboBox(params);
    f.SpeedCB->addItems(GuiTexts::ChannelSpeeds);
    f.CheckCB = new QComboBox(params);
    f.CheckCB->addItems(GuiTexts::ChannelChecks);
    f.StopCB = new QComboBox(params);
    f.StopCB->addItems(GuiTexts::ChannelStops);
    f.IrprGroup = new QGroupBox(GuiTexts::IrprGroup, params);
    auto *il = new QVBoxLayout(f.IrprGroup);
    f.IrprCB = new QComboBox(f.IrprGroup);
    f.IrprCB->addItems(GuiTexts::IrprChoices);
    il->addWidget(f.IrprCB);
    const std::pair<const QString &, QComboBox *> rows[] = {
        {GuiTexts::ChannelLabel, f.ChannelNumCB},
        {GuiTexts::SpeedLabel, f.SpeedCB},
        {GuiTexts::CheckLabel, f.CheckCB},
        {GuiTexts::StopLabel, f.StopCB}};
    int row = 0;
    for (const auto &[label, box] : rows) {
        pl->addWidget(new QLabel(label, params), row, 0);
        pl->addWidget(box, row++, 1);
    }
    pl->addWidget(f.IrprGroup, 4, 0, 1, 2);
    auto *applyParams = new QPushButton(GuiTexts::ApplyButton, params);
    pl->addWidget(applyParams, 5, 1);
    pl->setRowStretch(6, 1);
    QObject::connect(f.ChannelNumCB, &QComboBox::activated, &f,
                     &TSarvetelConsoleForm::ChannelNumChange);
    QObject::connect(f.SpeedCB, &QComboBox::activated, &f,
                     [&f](int v) { f.ChannelParamChange(2, v); });
    QObject::connect(f.CheckCB, &QComboBox::activated, &f,
                     [&f](int v) { f.ChannelParamChange(4, v); });
    QObject::connect(f.StopCB, &QComboBox::activated, &f,
                     [&f](int v) { f.ChannelParamChange(6, v); });
    QObject::connect(applyParams, &QPushButton::clicked, &f,
                     &TSarvetelConsoleForm::ChannelApplyClick);
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
