#include "gui/algeditform.h"

#include "compiler/algbase.h"
#include "core/textutils.h"
#include "gui/grids.h"
#include "gui/guitexts.h"
#include "gui/placement.h"
#include "gui/userdialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include <memory>

namespace {

QTableWidget *Grid(QWidget *parent, const QStringList &columns)
{
    return Grids::MakeGrid(parent, columns);
}

void SetRow(QTableWidget *grid, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}

} // namespace

TAlgReadForm::TAlgReadForm(QWidget *parent) : QDialog(parent)
{
    Action = new QLabel(this);
    Bar = new QProgressBar(this);
    CancelButton = new QPushButton(GuiTexts::CancelButton, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Action);
    layout->addWidget(Bar);
    layout->addWidget(CancelButton, 0, Qt::AlignHCenter);
    resize(360, 120);
}

void TAlgReadForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    PlaceOver(this, parentWidget());
}

void TAlgReadForm::SetCaption(const QString &caption)
{
    {
        std::lock_guard<std::mutex> guard(NewsLock);
        Caption = caption;
    }
    QMetaObject::invokeMethod(this, "Refresh", Qt::QueuedConnection);
}

void TAlgReadForm::SetMaximum(int maximum)
{
    std::lock_guard<std::mutex> guard(NewsLock);
    Maximum = maximum;
}

void TAlgReadForm::SetPosition(int position)
{
    std::lock_guard<std::mutex> guard(NewsLock);
    Position = position;
}

void TAlgReadForm::SetAction(const QString &text)
{
    {
        std::lock_guard<std::mutex> guard(NewsLock);
        Text = text;
    }
    QMetaObject::invokeMethod(this, "Refresh", Qt::QueuedConnection);
}

void TAlgReadForm::Refresh()
{
    std::lock_guard<std::mutex> guard(NewsLock);
    if (windowTitle() != Caption) {
        setWindowTitle(Caption);
        Shown.append(Caption);
    }
    if (Action->text() != Text) {
        Action->setText(Text);
        Shown.append(Text);
    }
    Bar->setMaximum(Maximum);
    Bar->setValue(std::min(Position, Maximum));
}

TAlgEditForm::TAlgEditForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::AlgEditCaption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto *menu = new QMenuBar(this);
    QMenu *file = menu->addMenu(GuiTexts::AlgFileMenu);
    connect(file->addAction(GuiTexts::AlgMenuOpen), &QAction::triggered, this,
            &TAlgEditForm::OpenClick);
    connect(file->addAction(GuiTexts::AlgMenuSaveAs), &QAction::triggered, this,
            &TAlgEditForm::SaveAsClick);
    ReadItem = file->addAction(GuiTexts::AlgMenuRead);
    connect(ReadItem, &QAction::triggered, this, &TAlgEditForm::ReadFromControllerClick);
    connect(file->addAction(GuiTexts::AlgMenuRefresh), &QAction::triggered, this,
            &TAlgEditForm::RefreshGrids);
    file->addSeparator();
    connect(file->addAction(GuiTexts::AlgMenuExit), &QAction::triggered, this, &QDialog::close);

    AlgSG = Grid(this, {GuiTexts::AlgColNumber, GuiTexts::AlgColName, GuiTexts::AlgColOwn,
                        GuiTexts::AlgColPrp});
    AlgParamSG = Grid(this, {GuiTexts::AlgColNumber, GuiTexts::AlgColName, GuiTexts::AlgColKind,
                             GuiTexts::AlgColComment});
    connect(AlgSG, &QTableWidget::currentCellChanged, this, [this](int row) { ShowParams(row); });
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(AlgSG);
    split->addWidget(AlgParamSG);
    split->setSizes({360, 560});
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->setContentsMargins(8, 8, 8, 8); // the panel stays inside the client area
    layout->addWidget(split);
    resize(940, 520);
}

void TAlgEditForm::Attach(TAlgBase *base, TUserDialogs *dialogs, TFileDialogSpec *fileDialog)
{
    Base = base;
    Dialogs = dialogs;
    FileDialog = fileDialog;
}

void TAlgEditForm::showEvent(QShowEvent *event)
{
    ReadItem->setEnabled(static_cast<bool>(BaseReader));
    RefreshGrids();
    QDialog::showEvent(event);
}

void TAlgEditForm::RefreshGrids()
{
    AlgSG->setRowCount(0);
    AlgParamSG->setRowCount(0);
    if (!Base)
        return;
    for (int n = 0; n < TAlgBase::AlgCount; ++n) {
        const TAlgInfo &a = Base->Algs[n];
        if (!a.Present)
            continue;
        const int row = AlgSG->rowCount();
        AlgSG->insertRow(row);
        SetRow(
            AlgSG, row,
            {OctalText(n, 3), a.Name, QString::number(a.OwnMemory), QString::number(a.PrpMemory)});
    }
    if (AlgSG->rowCount() > 0)
        AlgSG->setCurrentCell(0, 0);
}

void TAlgEditForm::ShowParams(int row)
{
    if (!Base || row < 0 || row >= AlgSG->rowCount() || !AlgSG->item(row, 0))
        return;
    const int n = ParseOctal(AlgSG->item(row, 0)->text());
    if (n < 1 || n > 128 || n >= TAlgBase::AlgCount)
        return;
    const TAlgInfo &a = Base->Algs[n];
    AlgParamSG->setRowCount(0);
    const int count = qMin<int>(a.ParamCount, TAlgInfo::MaxParams);
    AlgParamSG->setRowCount(qMax(1, count)); // a parameterless algorithm shows one empty row
    for (int p = 1; p <= count; ++p)
        SetRow(AlgParamSG, p - 1,
               {QString::number(p), a.Params[p].Name, AlgParamKindText(a.Params[p].Kind),
                a.Params[p].Comment});
}

void TAlgEditForm::OpenClick()
{
    if (!Base || !Dialogs || !FileDialog)
        return;
    FileDialog->Filter = GuiTexts::AlgOpenFilter;
    FileDialog->FileName.clear();
    if (!Dialogs->ChooseOpenFile(this, *FileDialog))
        return;
    Base->Clear();
    QString error;
    if (!Base->LoadFromFile(FileDialog->FileName, &error))
        Dialogs->Notice(this, error, GuiTexts::ErrorCaption, TUserDialogs::Error);
    RefreshGrids();
}

void TAlgEditForm::SaveAsClick()
{
    if (!Base || !Dialogs || !FileDialog)
        return;
    FileDialog->Filter = GuiTexts::AlgSaveFilter;
    if (!Dialogs->ChooseSaveFile(this, *FileDialog))
        return;
    FileDialog->FileName = AlgBaseSaveFileName(FileDialog->FileName);
    QString error;
    if (!Base->SaveToFile(FileDialog->FileName, &error))
        Dialogs->Notice(this, error, GuiTexts::ErrorCaption, TUserDialogs::Error);
}

void TAlgEditForm::ReadFromControllerClick()
{
    if (!Base || !BaseReader || ReadForm)
        return;
    // Read into a copy: the base changes only when every description arrived.
    auto fresh = std::make_unique<TAlgBase>(*Base);
    TAlgReadForm window(this);
    window.setWindowModality(Qt::WindowModal);
    ReadForm = &window;
    connect(window.CancelButton, &QPushButton::clicked, this, [this] { BaseReader.Cancel(); });
    // Escape and the close box are "Отмена" as well.
    connect(&window, &QDialog::rejected, this, [this] { BaseReader.Cancel(); });
    window.open();
    QString failure;
    const bool ok = BaseReader.Read(*fresh, window, failure);
    ReadForm = nullptr;
    window.hide();
    if (ok)
        *Base = *fresh;
    else if (Dialogs && !failure.isEmpty())
        Dialogs->Notice(this, failure, GuiTexts::ErrorCaption, TUserDialogs::Warning);
    RefreshGrids();
}

TAlgoritmHelpForm::TAlgoritmHelpForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::AlgHelpCaption);
    setMinimumSize(300, 200);
    NumberEdit = new QLineEdit(this);
    NumberEdit->setMaxLength(3);
    LoadButton = new QPushButton(GuiTexts::AlgLoad, this);
    connect(LoadButton, &QPushButton::clicked, this, &TAlgoritmHelpForm::LoadClick);
    AlgParamsSG = Grid(this, {GuiTexts::AlgColNumber, GuiTexts::AlgColName, GuiTexts::AlgColKind});
    AlgParamsSG->setRowCount(1);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(GuiTexts::AlgNumberLabel, this));
    row->addWidget(NumberEdit);
    row->addWidget(LoadButton);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(row);
    layout->addWidget(AlgParamsSG);
    resize(640, 420);
}

void TAlgoritmHelpForm::LoadClick()
{
    if (!Reader)
        return;
    TAlgReport report;
    AlgParamsSG->setRowCount(1);
    AlgParamsSG->clearContents();
    // Only an algorithm number the controller can have (octal 0..177) is asked for.
    const QString text = NumberEdit->text().trimmed();
    if (!IsOctalText(text) || ParseOctal(text) >= TAlgBase::AlgCount)
        return;
    if (!Reader(ParseOctal(text), report))
        return;
    AlgParamsSG->setRowCount(qMax<int>(1, static_cast<int>(report.Kinds.size())));
    for (int p = 0; p < report.Kinds.size(); ++p)
        SetRow(AlgParamsSG, p,
               {QString::number(p + 1), report.Names.value(p),
                QString::number(report.Kinds[p]) + u' ' + AlgParamKindText(report.Kinds[p])});
}
