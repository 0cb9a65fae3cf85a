#include "gui/compareform.h"

#include "gui/guitexts.h"
#include "model/comparetexts.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int RoleRow = Qt::UserRole;

const QColor kDiffers(255, 214, 204);
const QColor kOneSided(255, 240, 190);
const QColor kMarked(255, 214, 204);

QColor StateColour(TCompareState state)
{
    switch (state) {
    case TCompareState::Same:
        return QColor();
    case TCompareState::Differs:
        return kDiffers;
    default:
        return kOneSided;
    }
}

QTreeWidget *MakeList(const QStringList &columns, QWidget *parent)
{
    auto *view = new QTreeWidget(parent);
    view->setColumnCount(static_cast<int>(columns.size()));
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->header()->setStretchLastSection(true);
    return view;
}

// One side: a caption above its numbered lines.
QWidget *Side(const QString &caption, QTreeWidget *view, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption, box));
    layout->addWidget(view, 1);
    return box;
}

void FillSide(QTreeWidget *view, const QStringList &lines, const QList<int> &marked)
{
    view->clear();
    QList<QTreeWidgetItem *> items;
    for (int l = 0; l < lines.size(); ++l) {
        auto *item = new QTreeWidgetItem({QString::number(l), lines[l]});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        if (marked.contains(l)) {
            // Colour and weight both, so the mark does not rest on colour alone.
            QFont bold = view->font();
            bold.setBold(true);
            for (int c = 0; c < 2; ++c) {
                item->setBackground(c, kMarked);
                item->setFont(c, bold);
            }
        }
        items.append(item);
    }
    view->addTopLevelItems(items);
    view->resizeColumnToContents(0);
    if (!marked.isEmpty())
        view->scrollToItem(view->topLevelItem(marked.first()));
}

} // namespace

TCompareTextsForm::TCompareTextsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CompareTextsForm"));
    setModal(false);
    resize(1100, 520);
    ProgramView = MakeList(GuiTexts::CompareTextColumns, this);
    ProgramView->setObjectName(QStringLiteral("ProgramView"));
    ControllerView = MakeList(GuiTexts::CompareTextColumns, this);
    ControllerView->setObjectName(QStringLiteral("ControllerView"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ProgramView->setFont(fixed);
    ControllerView->setFont(fixed);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(Side(CompareText::ProgramSide, ProgramView, split));
    split->addWidget(Side(CompareText::ControllerSide, ControllerView, split));
    NotesLabel = new QLabel(this);
    NotesLabel->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(NotesLabel);
}

void TCompareTextsForm::SetTexts(const QString &title, const TSideBySide &view)
{
    setWindowTitle(GuiTexts::CompareTextsCaption.arg(title));
    FillSide(ProgramView, view.ProgramLines, view.ProgramMarked);
    FillSide(ControllerView, view.ControllerLines, view.ControllerMarked);
    NotesLabel->setText(view.Notes.join(u'\n'));
    NotesLabel->setVisible(!view.Notes.isEmpty());
}

QList<int> TCompareTextsForm::MarkedRows(const QTreeWidget *side)
{
    QList<int> rows;
    for (int i = 0; i < side->topLevelItemCount(); ++i)
        if (side->topLevelItem(i)->background(1).color() == kMarked)
            rows.append(i);
    return rows;
}

TCompareForm::TCompareForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::CompareCaption);
    setObjectName(QStringLiteral("CompareForm"));
    setModal(false);
    resize(820, 560);

    OnlyDifferingCheck = new QCheckBox(GuiTexts::CompareOnlyDiffering, this);
    OnlyDifferingCheck->setObjectName(QStringLiteral("OnlyDifferingCheck"));
    auto *hint = new QLabel(GuiTexts::CompareHint, this);
    auto *top = new QHBoxLayout;
    top->addWidget(OnlyDifferingCheck);
    top->addStretch(1);
    top->addWidget(hint);

    RowsView = MakeList(CompareText::Columns, this);
    RowsView->setObjectName(QStringLiteral("RowsView"));
    SummaryLabel = new QLabel(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(RowsView, 1);
    layout->addWidget(SummaryLabel);
    TextsForm = new TCompareTextsForm(this);

    connect(OnlyDifferingCheck, &QCheckBox::toggled, this, &TCompareForm::ApplyFilter);
    connect(RowsView, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { OpenRow(item->data(0, RoleRow).toInt()); });
}

void TCompareForm::SetComparison(const TPrpComparison &result, const QString &summary)
{
    Result = result;
    RowsView->clear();
    QList<QTreeWidgetItem *> items;
    for (int r = 0; r < Result.Rows.size(); ++r) {
        const TCompareRow &row = Result.Rows[r];
        auto *item = new QTreeWidgetItem({row.Title, CompareStateText(row.State), row.Detail});
        item->setData(0, RoleRow, r);
        item->setToolTip(2, row.Detail);
        const QColor colour = StateColour(row.State);
        if (colour.isValid())
            for (int c = 0; c < RowsView->columnCount(); ++c)
                item->setBackground(c, colour);
        items.append(item);
    }
    RowsView->addTopLevelItems(items);
    RowsView->resizeColumnToContents(0);
    RowsView->resizeColumnToContents(1);
    SummaryLabel->setText(summary);
    TextsForm->hide();
    ApplyFilter();
}

void TCompareForm::ApplyFilter()
{
    const bool onlyDiffering = OnlyDifferingCheck->isChecked();
    for (int i = 0; i < RowsView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = RowsView->topLevelItem(i);
        const TCompareRow &row = Result.Rows[item->data(0, RoleRow).toInt()];
        item->setHidden(onlyDiffering && row.State == TCompareState::Same);
    }
}

bool TCompareForm::OpenRow(int r)
{
    if (r < 0 || r >= Result.Rows.size() || Result.Rows[r].State == TCompareState::Same)
        return false;
    const TCompareRow &row = Result.Rows[r];
    TextsForm->SetTexts(row.Title, row.View);
    TextsForm->show();
    TextsForm->raise();
    TextsForm->activateWindow();
    return true;
}
