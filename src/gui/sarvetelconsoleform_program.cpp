// The console's pages in the mode "Программирование": the orders of the header in the
// controller, its sections (read, compiled, written, deleted) and its technological keys.

#include "compiler/decompiler.h"
#include "core/textutils.h"
#include "gui/consolepages.h"
#include "gui/grids.h"
#include "gui/guitexts.h"
#include "gui/headerforms.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/userdialogs.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"
#include "model/messageplace.h"
#include "prp/headerentries.h"
#include "prp/prpheader.h"
#include "prp/prplayout.h"
#include "prp/variableorder.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>

#include <algorithm>
#include <memory>

using namespace Sarvetel;
using Grids::MakeGrid;
using Grids::SetCell;

namespace {

// An interval of a timer-generator as the order page shows it: as the header writes it (an
// analog variable with its octal index), or "Не определён".
QString IntervalText(std::uint8_t low, std::uint8_t high)
{
    if (low == 0 && high == 0)
        return GuiTexts::NotDefined;
    return HeaderIntervalText(low, high);
}

} // namespace

QWidget *TConsolePages::CreateProgramPages(TSarvetelConsoleForm &f)
{
    f.PCProgram = new QTabWidget(&f);
    f.PCProgram->addTab(CreateOrderPage(f, f.PCProgram), GuiTexts::ProgramPages[0]);
    f.PCProgram->addTab(CreateSectionPage(f, f.PCProgram), GuiTexts::ProgramPages[1]);
    f.PCProgram->addTab(CreateTechKeyPages(f, f.PCProgram), GuiTexts::ProgramPages[2]);
    return f.PCProgram;
}

// "Заказ": the orders, ADC inputs, timer-generators and impulse outputs.
QWidget *TConsolePages::CreateOrderPage(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *order = new QWidget(parent);
    auto *ol = new QVBoxLayout(order);
    f.OrderTabs = new QTabBar(order);
    for (const QString &t : GuiTexts::OrderTabs)
        f.OrderTabs->addTab(t);
    f.SGCustomize = MakeGrid(order, GuiTexts::VarColumns);
    f.SGCustomize->installEventFilter(&f);
    ol->addWidget(f.OrderTabs);
    ol->addWidget(f.SGCustomize, 1);
    auto *ob = new QHBoxLayout;
    f.IncBtnOrder = new QPushButton(QStringLiteral(">>"), order);
    f.DecBtnOrder = new QPushButton(QStringLiteral("<<"), order);
    f.ChangeBtnOrder = new QPushButton(GuiTexts::ChangeButton, order);
    auto *writeBtn = new QPushButton(GuiTexts::WriteButton, order);
    auto *resetBtn = new QPushButton(GuiTexts::ResetPrpButton, order);
    for (QPushButton *b : {f.IncBtnOrder, f.DecBtnOrder, f.ChangeBtnOrder, writeBtn, resetBtn})
        ob->addWidget(b);
    ol->addLayout(ob);
    QObject::connect(f.OrderTabs, &QTabBar::currentChanged, &f, [&f] { f.FillOrderGrid(); });
    QObject::connect(f.IncBtnOrder, &QPushButton::clicked, &f, [&f] { f.OrderStep(1); });
    QObject::connect(f.DecBtnOrder, &QPushButton::clicked, &f, [&f] { f.OrderStep(-1); });
    QObject::connect(f.ChangeBtnOrder, &QPushButton::clicked, &f,
                     &TSarvetelConsoleForm::OrderChangeClick);
    QObject::connect(f.SGCustomize, &QTableWidget::cellDoubleClicked, &f,
                     [&f] { f.OrderChangeClick(); });
    QObject::connect(writeBtn, &QPushButton::clicked, &f, &TSarvetelConsoleForm::OrderWriteClick);
    QObject::connect(resetBtn, &QPushButton::clicked, &f, &TSarvetelConsoleForm::OrderResetClick);
    return order;
}

// "Программа": a section of the PRP in the controller, its text and the compiler's log.
QWidget *TConsolePages::CreateSectionPage(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *program = new QWidget(parent);
    auto *pl = new QGridLayout(program);
    f.CBBlock = new QComboBox(program);
    f.CBSec = new QComboBox(program);
    f.MemoInfo = new QPlainTextEdit(program);
    f.MemoInfo->setReadOnly(true);
    f.MemoInfo->setMaximumHeight(48);
    f.MemoWork = new QPlainTextEdit(program);
    QObject::connect(f.MemoWork, &QPlainTextEdit::textChanged, &f,
                     [&f] { f.SectionReady = false; });
    f.MemoWork->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    f.MemoWork->setLineWrapMode(QPlainTextEdit::NoWrap);
    f.ListBoxLog = new QListWidget(program);
    f.ListBoxLog->setMaximumHeight(110);
    auto *pb = new QHBoxLayout;
    auto *readBtn = new QPushButton(GuiTexts::ReadButton, program);
    auto *compileBtn = new QPushButton(GuiTexts::CompileButton, program);
    auto *writeSecBtn = new QPushButton(GuiTexts::WriteSectionButton, program);
    auto *deleteBtn = new QPushButton(GuiTexts::DeleteButton, program);
    for (QPushButton *b : {readBtn, compileBtn, writeSecBtn, deleteBtn})
        pb->addWidget(b);
    pl->addWidget(new QLabel(GuiTexts::BlockLabel, program), 0, 0);
    pl->addWidget(f.CBBlock, 0, 1);
    pl->addWidget(new QLabel(GuiTexts::SectionLabel, program), 0, 2);
    pl->addWidget(f.CBSec, 0, 3);
    pl->addWidget(f.MemoInfo, 1, 0, 1, 4);
    pl->addWidget(f.MemoWork, 2, 0, 1, 4);
    pl->addLayout(pb, 3, 0, 1, 4);
    pl->addWidget(f.ListBoxLog, 4, 0, 1, 4);
    pl->setRowStretch(2, 1);
    QObject::connect(f.CBBlock, &QComboBox::activated, &f, &TSarvetelConsoleForm::CBBlockChange);
    QObject::connect(f.CBSec, &QComboBox::activated, &f, &TSarvetelConsoleForm::RefreshInfoClick);
    QObject::connect(readBtn, &QPushButton::clicked, &f, &TSarvetelConsoleForm::SectionReadClick);
    QObject::connect(compileBtn, &QPushButton::clicked, &f,
                     &TSarvetelConsoleForm::SectionCompileClick);
    QObject::connect(writeSecBtn, &QPushButton::clicked, &f,
                     &TSarvetelConsoleForm::SectionWriteClick);
    QObject::connect(deleteBtn, &QPushButton::clicked, &f,
                     &TSarvetelConsoleForm::SectionDeleteClick);
    QObject::connect(f.ListBoxLog, &QListWidget::itemDoubleClicked, &f,
                     [&f](QListWidgetItem *item) { f.LogDblClick(f.ListBoxLog->row(item)); });
    f.ProgramPopup = new QMenu(&f);
    f.ProgramPopup->addAction(GuiTexts::PopupDeleteProgram, &f,
                              &TSarvetelConsoleForm::DeleteProgramClick);
    f.ProgramPopup->addAction(GuiTexts::PopupDeleteBlock, &f,
                              &TSarvetelConsoleForm::DeleteGroupClick);
    f.ProgramPopup->addAction(GuiTexts::PopupRefresh, &f, &TSarvetelConsoleForm::RefreshInfoClick);
    f.ProgramPopup->addAction(GuiTexts::PopupDeleteSection, &f,
                              &TSarvetelConsoleForm::SectionDeleteClick);
    f.ProgramPopup->addAction(GuiTexts::PopupEditSection, &f,
                              &TSarvetelConsoleForm::SectionReadClick);
    for (QWidget *w : {static_cast<QWidget *>(f.CBBlock), static_cast<QWidget *>(f.CBSec),
                       static_cast<QWidget *>(f.MemoInfo)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(w, &QWidget::customContextMenuRequested, &f,
                         [&f, w](const QPoint &p) { f.ProgramPopup->popup(w->mapToGlobal(p)); });
    }
    return program;
}

// "Технологическая клавиатура": four keyboards of 16 keys.
QWidget *TConsolePages::CreateTechKeyPages(TSarvetelConsoleForm &f, QWidget *parent)
{
    auto *keyboards = new QTabWidget(parent);
    for (int k = 0; k < 4; ++k) {
        auto *page = new QWidget(keyboards);
        auto *kl = new QGridLayout(page);
        for (int b = 0; b < 16; ++b) {
            const int key = 16 * k + b;
            f.TechKeyButtons[key] = new QPushButton(page);
            f.TechKeyButtons[key]->setMinimumWidth(140);
            kl->addWidget(f.TechKeyButtons[key], b / 4, b % 4);
            QObject::connect(f.TechKeyButtons[key], &QPushButton::clicked, &f,
                             [&f, key] { f.TechKeyClick(key); });
        }
        keyboards->addTab(page, GuiTexts::TechKeyboardPrefix + QString::number(k + 1));
    }
    return keyboards;
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
        SGCustomize->setRowCount(VariableOrderCount);
        int i = 0;
        for (const TVariableOrder &o : VariableOrders()) {
            // The lowest index with three digits where the class writes three, else "0"; the
            // highest as the header orders it (КБ: its order byte in decimal).
            const int digits = OrderDigits(o);
            SetCell(SGCustomize, i, 0, OrderWord(o));
            SetCell(SGCustomize, i, 1, OctalText(0, digits == 3 ? 3 : 1));
            SetCell(SGCustomize, i, 2,
                    o.ByEights ? OctalText(OrderLast(o, h), digits) : QString::number(h.*o.Field));
            ++i;
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
            SetCell(SGCustomize, i, 0, ClassVariableText(ClassIV, i, TIndexUse::Field));
            const bool unused = h.ImpSource[i][1] == HeaderWord::SourceUnused;
            SetCell(SGCustomize, i, 1, h.ImpulseSourceText(i));
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
    if (tab == 0 && row >= 0 && row < VariableOrderCount) {
        const TVariableOrder &o = VariableOrders()[static_cast<std::size_t>(row)];
        value = &(Header.*o.Field);
        maximum = OrderMaxByte(o);
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
    if (Command(GuiTexts::ConsoleHeaderWrite, [this] { return Link.WriteHeaderPart0(Header); }))
        SettingsChanged = false;
}

void TSarvetelConsoleForm::OrderResetClick()
{
    if (!Yes(GuiTexts::ResetPrpQuestion, GuiTexts::Attention, true))
        return;
    // Read into a copy: the orders shown are what the controller answered, and a read
    // without an answer leaves the page as it was.
    TPRPHeader read = Header;
    bool taken = false;
    if (!Command(GuiTexts::ConsoleHeaderRead, [this, &read, &taken] {
            const TLinkResult r = Link.ReadHeader(read);
            taken = r.Ok;
            return r;
        }))
        return;
    if (!taken) {
        Tell(GuiTexts::ConsoleHeaderRead + GuiTexts::ConsoleNotTaken + Sarvetel::HeaderNotSent);
        return;
    }
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

int TSarvetelConsoleForm::ChosenSection() const
{
    const int index = CBSec->currentIndex();
    return index < 0 ? -1 : 32 * std::max(0, CBBlock->currentIndex()) + index;
}

void TSarvetelConsoleForm::RefreshInfoClick()
{
    const int s = ChosenSection();
    if (Filling || s < 0)
        return;
    std::uint32_t size = 0;
    if (Exchange([this, s, &size] { size = Link.ReadSectionInfo(s).Value; }))
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
    const int s = ChosenSection();
    if (s < 0)
        return;
    Log.clear();
    AddLog(GuiTexts::ReadingSection + SectionNumberText(s));
    // Read aside: a read without an answer keeps the section and its text as they were.
    auto read = std::make_unique<TZentorSection>();
    if (!Command(GuiTexts::ReadingSection + SectionNumberText(s),
                 [this, s, &read] { return Link.ReadSection(s, *read); }))
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
    // A block read only in part shows its lines up to there; the log says why.
    static_cast<void>(DecompileSection(Compiler, Section, CurrentSection));
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
    SetBlockSection(Section.Code, CurrentSection);
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
        AddLog(GuiTexts::SectionNotCompiled);
        return;
    }
    // The log ends with the result, as for the console's other commands.
    QString failure;
    const auto write = [this] { return Link.WriteSection(Section); };
    if (Command(what, write, &failure))
        AddLog(GuiTexts::Success);
    else if (!failure.isEmpty())
        AddLog(failure);
}

void TSarvetelConsoleForm::SectionDeleteClick()
{
    const int s = ChosenSection();
    if (s < 0)
        return;
    if (!Yes(SectionNumberText(s) + GuiTexts::SectionDeleteQuestion, GuiTexts::Attention, true))
        return;
    if (Command(GuiTexts::DeletingSection + SectionNumberText(s),
                [this, s] { return Link.DeleteSection(s); }))
        RefreshInfoClick();
}

void TSarvetelConsoleForm::DeleteGroupClick()
{
    const int g = std::max(0, CBBlock->currentIndex());
    if (!Yes(GuiTexts::DeleteBlockQuestion.arg(g), GuiTexts::Attention, true))
        return;
    if (Exchange([this, g] {
            for (int s = 32 * g; s < 32 * g + 32; ++s)
                static_cast<void>(Link.DeleteSection(s));
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
                static_cast<void>(Link.DeleteSection(s));
        }))
        RefreshInfoClick();
}

void TSarvetelConsoleForm::LogDblClick(int row)
{
    if (row <= 0 || row >= Log.size())
        return;
    TMessagePlace place;
    if (!ParseMessagePlace(Log[row], place))
        return;
    const int textLine = place.Line;
    if (textLine < 0 || textLine >= MemoWork->document()->blockCount())
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
    // The message line tells whether it was taken; the button shows the key either way.
    static_cast<void>(Command(GuiTexts::TechKeyWrite + QString::number(key), [this, key] {
        const TLinkResult cleared = Link.ClearTechKey(key);
        if (!cleared.Accepted() || Header.TechKeys[key].Class == 0)
            return cleared;
        return Link.WriteTechKey(Header, key);
    }));
    FillTechKeys();
}
