#include "gui/crossrefform.h"

#include "compiler/crossreftexts.h"
#include "gui/guitexts.h"
#include "model/messageplace.h"
#include "model/zentorprogram.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// What a row stands for: its place and the use it shows (-1: a compile message).
enum TRowRole : int {
    RoleSection = Qt::UserRole,
    RoleLine,
    RoleColumn,
    RoleUse,
};

const QColor kFlagged(255, 228, 196);
const QColor kFailed(176, 0, 0);

void SetPlace(QTreeWidgetItem *item, int section, int line, int column, int use)
{
    item->setData(0, RoleSection, section);
    item->setData(0, RoleLine, line);
    item->setData(0, RoleColumn, column);
    item->setData(0, RoleUse, use);
}

} // namespace

TCrossRefForm::TCrossRefForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::CrossRefCaption);
    setObjectName(QStringLiteral("CrossRefForm"));
    setModal(false);
    resize(1240, 560);

    auto *filterLabel = new QLabel(GuiTexts::CrossRefFilter, this);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setPlaceholderText(GuiTexts::CrossRefFilterHint);
    FilterEdit->setClearButtonEnabled(true);
    filterLabel->setBuddy(FilterEdit);
    OutsideOrderCheck = new QCheckBox(GuiTexts::CrossRefOutsideOrder.arg(0), this);
    OutsideOrderCheck->setObjectName(QStringLiteral("OutsideOrderCheck"));
    UnusedCheck = new QCheckBox(GuiTexts::CrossRefUnused.arg(0), this);
    UnusedCheck->setObjectName(QStringLiteral("UnusedCheck"));
    auto *top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(FilterEdit, 1);
    top->addWidget(OutsideOrderCheck);
    top->addWidget(UnusedCheck);

    UsesView = new QTreeWidget(this);
    UsesView->setObjectName(QStringLiteral("UsesView"));
    UsesView->setColumnCount(static_cast<int>(CrossRefText::Columns.size()));
    UsesView->setHeaderLabels(CrossRefText::Columns);
    UsesView->setRootIsDecorated(false);
    UsesView->setUniformRowHeights(true);
    UsesView->setAllColumnsShowFocus(true);
    UsesView->setSelectionMode(QAbstractItemView::SingleSelection);
    UsesView->setExpandsOnDoubleClick(false);
    UsesView->installEventFilter(this);
    UsesView->header()->setStretchLastSection(true);
    UsesView->header()->setResizeContentsPrecision(300); // the first rows size the columns
    UsesView->setColumnWidth(6, 380);

    SummaryLabel = new QLabel(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(UsesView, 1);
    layout->addWidget(SummaryLabel);

    connect(FilterEdit, &QLineEdit::textChanged, this, &TCrossRefForm::ApplyFilter);
    connect(OutsideOrderCheck, &QCheckBox::toggled, this, &TCrossRefForm::ApplyFilter);
    connect(UnusedCheck, &QCheckBox::toggled, this, &TCrossRefForm::ApplyFilter);
    connect(UsesView, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { OpenRow(item); });
}

void TCrossRefForm::SetCrossReference(const TCrossReference &x)
{
    Result = x;
    UsesView->clear();
    AddFailures();
    QList<QTreeWidgetItem *> items;
    for (qsizetype i = 0; i < Result.Uses.size(); ++i) {
        const TCrossRefUse &use = Result.Uses[i];
        auto *item = new QTreeWidgetItem(CrossRefCells(use));
        SetPlace(item, use.Section, use.Line, use.Column, static_cast<int>(i));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(6, use.Detail);
        item->setToolTip(7, item->text(7));
        if (use.Check != TCrossRefCheck::None)
            for (int c = 0; c < UsesView->columnCount(); ++c)
                item->setBackground(c, kFlagged);
        items.append(item);
    }
    UsesView->addTopLevelItems(items);
    // Once per analysis, not at every change of the view: the columns the user can widen.
    for (int c = 0; c <= 5; ++c)
        UsesView->resizeColumnToContents(c);
    OutsideOrderCheck->setText(GuiTexts::CrossRefOutsideOrder.arg(Result.OutsideOrder));
    UnusedCheck->setText(GuiTexts::CrossRefUnused.arg(Result.Unused));
    ApplyFilter();
}

// The parts that did not compile come first, each with its messages under it.
void TCrossRefForm::AddFailures()
{
    for (const TCrossRefFailure &f : Result.Failures) {
        const QString why =
            f.Section < 0 ? GuiTexts::CrossRefHeaderErrors : GuiTexts::CrossRefNotCompiled;
        auto *item = new QTreeWidgetItem({QString(), QString(), f.Where, QString(), QString(),
                                          CrossRefText::Compile, why, QString()});
        SetPlace(item, f.Section, 0, 1, -1);
        for (int c = 0; c < UsesView->columnCount(); ++c)
            item->setForeground(c, kFailed);
        for (const QString &m : f.Messages) {
            auto *line = new QTreeWidgetItem(
                {QString(), QString(), QString(), QString(), QString(), QString(), m, QString()});
            TMessagePlace place;
            if (ParseMessagePlace(m, place))
                SetPlace(line, f.Section, place.Line, qMax(1, place.Column), -1);
            else
                SetPlace(line, f.Section, 0, 1, -1);
            item->addChild(line);
        }
        UsesView->addTopLevelItem(item);
        item->setExpanded(true);
    }
    UsesView->setRootIsDecorated(!Result.Failures.isEmpty());
}

void TCrossRefForm::ApplyFilter()
{
    const QString prefix = FilterEdit->text();
    const bool outside = OutsideOrderCheck->isChecked();
    const bool unused = UnusedCheck->isChecked();
    int shown = 0;
    for (int i = 0; i < UsesView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = UsesView->topLevelItem(i);
        const int u = item->data(0, RoleUse).toInt();
        if (u < 0)
            continue; // what did not compile stays in view
        const TCrossRefUse &use = Result.Uses[u];
        bool show = CrossRefMatches(use, prefix);
        if (outside || unused)
            show = show && ((outside && use.Check == TCrossRefCheck::OutsideOrder) ||
                            (unused && use.Check == TCrossRefCheck::Unused));
        item->setHidden(!show);
        shown += show ? 1 : 0;
    }
    UpdateSummary(shown);
}

void TCrossRefForm::UpdateSummary(int shown)
{
    QSet<QString> variables;
    QSet<QString> names;
    for (const TCrossRefUse &use : Result.Uses) {
        if (!use.Variable.isEmpty() && !use.Variable.contains(u'-'))
            variables.insert(use.Variable);
        if (!use.Name.isEmpty())
            names.insert(use.Name);
    }
    QString text = GuiTexts::CrossRefSummary.arg(Result.Uses.size())
                       .arg(variables.size())
                       .arg(names.size())
                       .arg(Result.Failures.size());
    if (shown != Result.Uses.size())
        text += GuiTexts::CrossRefShown.arg(shown);
    SummaryLabel->setText(text);
}

bool TCrossRefForm::OpenRow(QTreeWidgetItem *item)
{
    if (!item || !OpenPlace || !item->data(0, RoleSection).isValid())
        return false;
    OpenPlace(item->data(0, RoleSection).toInt(), item->data(0, RoleLine).toInt(),
              item->data(0, RoleColumn).toInt());
    return true;
}

bool TCrossRefForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == UsesView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && OpenRow(UsesView->currentItem()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
