#include "gui/sarvetelvarsform.h"

#include "gui/guitexts.h"
#include "gui/guitexts_watch.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int NodeRole = Qt::UserRole;
constexpr int WatchNode = -2;
constexpr int AllNode = -1;

} // namespace

TSarvetelVarsForm::TSarvetelVarsForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::VarsCaption);
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(this);
    TreeView1 = new QTreeWidget(splitter);
    TreeView1->setHeaderHidden(true);
    auto *watch = new QTreeWidgetItem(TreeView1, QStringList{GuiTexts::WatchListNode});
    watch->setData(0, NodeRole, WatchNode);
    auto *root = new QTreeWidgetItem(TreeView1, QStringList{GuiTexts::AllVariables});
    root->setData(0, NodeRole, AllNode);
    for (int g = 0; g < GuiTexts::VariableGroups.size(); ++g)
        (new QTreeWidgetItem(root, QStringList{GuiTexts::VariableGroups[g]}))
            ->setData(0, NodeRole, g);
    root->setExpanded(true);
    TreeView1->setCurrentItem(root);
    StringGrid = new QTableWidget(0, GuiTexts::WatchColumns.size(), splitter);
    StringGrid->setHorizontalHeaderLabels(GuiTexts::WatchColumns);
    StringGrid->verticalHeader()->hide();
    StringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    StringGrid->horizontalHeader()->setStretchLastSection(true);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    AddButtonRows(layout);
    StatusLabel = new QLabel(this);
    StatusLabel->setWordWrap(true);
    layout->addWidget(StatusLabel);
    resize(760, 460);

    RefreshTimer = new QTimer(this);
    RefreshTimer->setInterval(RefreshMs);
    connect(RefreshTimer, &QTimer::timeout, this, &TSarvetelVarsForm::Refresh);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { Rebuild(); });
    connect(StringGrid, &QTableWidget::itemChanged, this, &TSarvetelVarsForm::CellEdited);
    connect(AddEdit, &QLineEdit::returnPressed, this, &TSarvetelVarsForm::AddClick);
    connect(AddBtn, &QPushButton::clicked, this, &TSarvetelVarsForm::AddClick);
    connect(RemoveBtn, &QPushButton::clicked, this, &TSarvetelVarsForm::RemoveClick);
    connect(LockBtn, &QPushButton::clicked, this, &TSarvetelVarsForm::LockClick);
    connect(UnlockBtn, &QPushButton::clicked, this, &TSarvetelVarsForm::UnlockClick);
    connect(ResetLocksBtn, &QPushButton::clicked, this, &TSarvetelVarsForm::ResetLocksClick);
    connect(TrendBtn, &QPushButton::clicked, this, &TSarvetelVarsForm::TrendClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::hide);
}

void TSarvetelVarsForm::AddButtonRows(QVBoxLayout *layout)
{
    auto *listRow = new QHBoxLayout;
    AddEdit = new QLineEdit(this);
    AddEdit->setPlaceholderText(GuiTexts::WatchAddHint);
    AddBtn = new QPushButton(GuiTexts::WatchAddButton, this);
    RemoveBtn = new QPushButton(GuiTexts::WatchRemoveButton, this);
    listRow->addWidget(AddEdit, 1);
    listRow->addWidget(AddBtn);
    listRow->addWidget(RemoveBtn);
    layout->addLayout(listRow);

    auto *buttons = new QHBoxLayout;
    LockBtn = new QPushButton(GuiTexts::LockButton, this);
    UnlockBtn = new QPushButton(GuiTexts::UnlockButton, this);
    ResetLocksBtn = new QPushButton(GuiTexts::ResetLocksButton, this);
    TrendBtn = new QPushButton(GuiTexts::TrendButton, this);
    CloseBtn = new QPushButton(GuiTexts::CloseButton, this);
    for (QPushButton *b : {LockBtn, UnlockBtn, ResetLocksBtn, TrendBtn})
        buttons->addWidget(b);
    // Enter belongs to the field or the cell being typed into, never to a button as well.
    for (QPushButton *b :
         {AddBtn, RemoveBtn, LockBtn, UnlockBtn, ResetLocksBtn, TrendBtn, CloseBtn})
        b->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    layout->addLayout(buttons);
}

void TSarvetelVarsForm::TrendClick()
{
    std::vector<TVarRef> vars = SelectedVariables();
    if (vars.empty())
        for (const QString &word : Watched) {
            TVarRef v;
            QString error;
            if (Catalogue.Parse(word, v, error))
                vars.push_back(v);
        }
    emit TrendRequested(vars);
}

void TSarvetelVarsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Refresh();
    RefreshTimer->start();
}

void TSarvetelVarsForm::hideEvent(QHideEvent *event)
{
    RefreshTimer->stop();
    QDialog::hideEvent(event);
}

void TSarvetelVarsForm::Say(const QString &text)
{
    StatusLabel->setText(text);
}

void TSarvetelVarsForm::FollowProgramFile()
{
    const QString path = WatchListPath(ProgramFile ? ProgramFile() : QString());
    if (path == ListPath)
        return;
    // A program not yet in a file keeps its list until it is saved under a name.
    const QStringList kept = Watched;
    const bool fromNoFile = ListPath.isEmpty();
    ListPath = path;
    Watched = ReadWatchList(path);
    if (fromNoFile && Watched.isEmpty() && !kept.isEmpty()) {
        Watched = kept;
        SaveWatchList();
    }
    Made = false;
}

void TSarvetelVarsForm::Refresh()
{
    FollowProgramFile();
    if (!Watch) {
        HaveState = false;
        if (!Made)
            Rebuild();
        return;
    }
    TSimSnapshot snap = Watch->Snapshot();
    if (!Made || snap.Generation != Generation || snap.Status != Status) {
        const TSimProgramInfo info = Watch->Program();
        std::shared_ptr<const TRunProgram> program =
            OpenProgram ? OpenProgram(snap.Generation) : nullptr;
        if (!program && info.Status == TSimRunStatus::Ready)
            program = info.Program;
        Catalogue = TWatchCatalogue(program);
        Problems = info.Problems;
        Generation = snap.Generation;
        Status = snap.Status;
        Rebuild();
    }
    HaveState = snap.Status == TSimRunStatus::Ready;
    LastState = snap.State;
    switch (snap.Status) {
    case TSimRunStatus::Pending:
        Say(GuiTexts::WatchPending);
        break;
    case TSimRunStatus::Damaged:
        Say(GuiTexts::WatchDamaged + Problems.join(QStringLiteral("; ")));
        break;
    case TSimRunStatus::Ready:
        if (StatusLabel->property("error").toBool())
            break; // the last refusal stays until the next action
        Say((snap.Scanning ? GuiTexts::WatchRunning : GuiTexts::WatchStopped).arg(snap.Scans));
        break;
    }
    FillValues();
}

void TSarvetelVarsForm::Rebuild()
{
    Made = true;
    const QTreeWidgetItem *node = TreeView1->currentItem();
    const int which = node ? node->data(0, NodeRole).toInt() : AllNode;
    std::optional<TVarClass> only;
    if (which >= 0)
        only = WatchClassOrder()[static_cast<std::size_t>(which)];
    std::vector<TVarRef> vars;
    if (which != WatchNode)
        vars = Catalogue.InUse(only);
    for (const QString &word : Watched) {
        TVarRef v;
        QString error;
        if (Catalogue.Parse(word, v, error) && (!only || v.Class == *only) &&
            std::find(vars.begin(), vars.end(), v) == vars.end())
            vars.push_back(v);
    }
    Shown = vars;
    Filling = true;
    StringGrid->setRowCount(static_cast<int>(Shown.size()));
    for (int r = 0; r < static_cast<int>(Shown.size()); ++r) {
        const TWatchRow row = Catalogue.Row(Shown[static_cast<std::size_t>(r)], nullptr);
        const QStringList cells{row.Variable, row.Name,  QString(), QString(),
                                QString(),    row.Where, row.Note};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c != ColValue && !(c == ColBad && row.Ref.Part != TVarPart::Time))
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            StringGrid->setItem(r, c, item);
        }
    }
    Filling = false;
    FillValues();
    // Every caption and value whole; the grid scrolls sideways when narrower.
    StringGrid->resizeColumnsToContents();
}

void TSarvetelVarsForm::FillValues()
{
    Filling = true;
    // An editor open in the grid has the focus.
    const QWidget *focus = QApplication::focusWidget();
    const bool editing = focus && focus != StringGrid && StringGrid->isAncestorOf(focus);
    for (int r = 0; r < static_cast<int>(Shown.size()); ++r) {
        const TWatchRow row =
            Catalogue.Row(Shown[static_cast<std::size_t>(r)], HaveState ? &LastState : nullptr);
        const std::pair<int, QString> cells[] = {
            {ColValue, row.Value},
            {ColBad, row.Bad},
            {ColLock, row.Locked ? GuiTexts::LockedMark : QString()}};
        for (const auto &[c, text] : cells) {
            QTableWidgetItem *item = StringGrid->item(r, c);
            // The cell being typed into keeps what is typed.
            if (!item || (editing && item == StringGrid->currentItem()) || item->text() == text)
                continue;
            item->setText(text);
        }
    }
    Filling = false;
}

void TSarvetelVarsForm::CellEdited(QTableWidgetItem *item)
{
    if (Filling || !item || item->row() >= static_cast<int>(Shown.size()))
        return;
    TVarRef v = Shown[static_cast<std::size_t>(item->row())];
    if (item->column() == ColBad)
        v.Part = TVarPart::Bad;
    else if (item->column() != ColValue)
        return;
    QString error;
    int value = 0;
    StatusLabel->setProperty("error", false);
    const QString written = item->text().trimmed();
    bool ok = Watch != nullptr;
    if (ok)
        ok = ParseValue(written, v, value, error, WatchWord(v)) && Watch->Set(v, value, error);
    if (!ok) {
        StatusLabel->setProperty("error", true);
        Say(error);
    }
    // After the grid has closed its editor.
    QTimer::singleShot(0, this, &TSarvetelVarsForm::Refresh);
}

std::vector<TVarRef> TSarvetelVarsForm::SelectedVariables() const
{
    std::vector<int> rows;
    for (const QModelIndex &i : StringGrid->selectionModel()->selectedRows())
        rows.push_back(i.row());
    if (rows.empty() && StringGrid->currentRow() >= 0)
        rows.push_back(StringGrid->currentRow());
    std::sort(rows.begin(), rows.end());
    std::vector<TVarRef> vars;
    for (int r : rows)
        if (r < static_cast<int>(Shown.size()))
            vars.push_back(Shown[static_cast<std::size_t>(r)]);
    return vars;
}

int TSarvetelVarsForm::RowOf(const TVarRef &v) const
{
    const auto it = std::find(Shown.begin(), Shown.end(), v);
    return it == Shown.end() ? -1 : static_cast<int>(it - Shown.begin());
}

void TSarvetelVarsForm::SaveWatchList()
{
    QString error;
    if (!ListPath.isEmpty() && !WriteWatchList(ListPath, Watched, error)) {
        StatusLabel->setProperty("error", true);
        Say(GuiTexts::WatchListUnsaved + error);
    }
}

void TSarvetelVarsForm::AddClick()
{
    if (AddEdit->text().trimmed().isEmpty())
        return;
    StatusLabel->setProperty("error", false);
    TVarRef v;
    QString error;
    if (!Catalogue.Parse(AddEdit->text(), v, error)) {
        StatusLabel->setProperty("error", true);
        Say(error);
        return;
    }
    const QString word = WatchWord(v);
    if (!Watched.contains(word)) {
        Watched << word;
        SaveWatchList();
    }
    AddEdit->clear();
    Rebuild();
}

void TSarvetelVarsForm::RemoveClick()
{
    bool changed = false;
    for (const TVarRef &v : SelectedVariables())
        changed = Watched.removeAll(WatchWord(v)) > 0 || changed;
    if (changed) {
        SaveWatchList();
        Rebuild();
    }
}

void TSarvetelVarsForm::LockClick()
{
    StatusLabel->setProperty("error", false);
    const std::vector<TVarRef> vars = SelectedVariables();
    QString error = vars.empty() ? GuiTexts::WatchNoRow : QString();
    for (const TVarRef &v : vars)
        if (!Watch || !Watch->Lock(v, HaveState ? LastState.Get(v) : 0, error))
            break;
    if (!error.isEmpty()) {
        StatusLabel->setProperty("error", true);
        Say(error);
    }
    Refresh();
}

void TSarvetelVarsForm::UnlockClick()
{
    StatusLabel->setProperty("error", false);
    const std::vector<TVarRef> vars = SelectedVariables();
    QString error = vars.empty() ? GuiTexts::WatchNoRow : QString();
    for (const TVarRef &v : vars)
        if (!Watch || !Watch->Unlock(v, error))
            break;
    if (!error.isEmpty()) {
        StatusLabel->setProperty("error", true);
        Say(error);
    }
    Refresh();
}

void TSarvetelVarsForm::ResetLocksClick()
{
    StatusLabel->setProperty("error", false);
    QString error;
    if (Watch && !Watch->ResetLocks(error)) {
        StatusLabel->setProperty("error", true);
        Say(error);
    }
    Refresh();
}
