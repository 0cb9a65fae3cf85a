#include "gui/programtree.h"

#include "core/textutils.h"
#include "gui/guitexts.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

TProgramTreeView::TProgramTreeView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("TreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);
    setExpandsOnDoubleClick(false);
    QFont font = QApplication::font();
    font.setPixelSize(15);
    setFont(font);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // A long section name is shown whole: the tree scrolls sideways instead of cutting it.
    header()->setStretchLastSection(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

TProgramTreeItem *TProgramTreeView::SelectedNode() const
{
    return static_cast<TProgramTreeItem *>(currentItem());
}

TProgramTreeItem *TProgramTreeView::FindNode(int code) const
{
    for (QTreeWidgetItemIterator it(const_cast<TProgramTreeView *>(this)); *it; ++it) {
        auto *node = static_cast<TProgramTreeItem *>(*it);
        if (node->Info.Code == code)
            return node;
    }
    return nullptr;
}

void TProgramTreeView::SelectNode(int code)
{
    if (TProgramTreeItem *node = FindNode(code))
        setCurrentItem(node);
}

void TProgramTreeView::Build(const TZentorProgram &program)
{
    clear();
    addTopLevelItem(new TProgramTreeItem(TTreeItemInfo::HeaderCode));
    for (int g = 0; g <= program.HighestGroup && g < TZentorProgram::GroupCount; ++g) {
        if (!program.GroupPresent[g])
            continue;
        auto *group = new TProgramTreeItem(256 * (g + 1));
        addTopLevelItem(group);
        for (int n = 32 * g; n < 32 * (g + 1); ++n)
            if (program.Sections[n].Present)
                group->addChild(new TProgramTreeItem(n));
        group->setExpanded(true);
    }
}

QString TProgramTreeView::NodeLabel(const TZentorProgram &program, const TTreeItemInfo &info)
{
    if (info.IsHeader()) {
        QString label = GuiTexts::HeaderNode;
        if (program.Header.Valid)
            label += QStringLiteral(" (%1)").arg(program.Header.BytesLength);
        return label;
    }
    if (info.IsGroup()) {
        const int g = info.Group();
        const int offset = PrpLayout::GroupWord(g);
        const int length = program.ImageLength > offset + 1 ? ImageWord(program.Image, offset) : 0;
        return GuiTexts::BlockWord + QString::number(g) + QStringLiteral(" (%1)").arg(length);
    }
    if (info.IsSection()) {
        const TZentorSection &s = program.Sections[info.Code];
        QString label = SectionNumberText(info.Code) + u':' + s.Name;
        if (s.CompiledOk) {
            if (s.FragmentCount <= 0)
                label += GuiTexts::EmptySection;
            else
                label += QStringLiteral(" (") + OctalText(s.FragmentCount - 1, 3) + u'/' +
                         QString::number(s.CodeLength) + u')';
        }
        return label;
    }
    return QString();
}

void TProgramTreeView::Relabel(const TZentorProgram &program, const QList<int> &failed)
{
    // Sections (and a header) that failed to compile stand out in red with a mark.
    static const QIcon failedIcon =
        QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        auto *node = static_cast<TProgramTreeItem *>(*it);
        node->setText(0, NodeLabel(program, node->Info));
        const bool bad = failed.contains(node->Info.Code);
        node->setIcon(0, bad ? failedIcon : QIcon());
        node->setForeground(0, bad ? QBrush(QColor(0xC0, 0x00, 0x00)) : QBrush());
    }
    FitWidth();
    viewport()->update();
}

void TProgramTreeView::FitWidth()
{
    // The column fills the tree and is never narrower than its longest label, indentation
    // and mark included: beyond that the tree scrolls sideways.
    const QFontMetrics fm(font());
    int widest = 0;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        int depth = 1; // the root's decoration
        for (const QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
            ++depth;
        const int icon = (*it)->icon(0).isNull() ? 0 : iconSize().width() + 4;
        widest = std::max(widest,
                          fm.horizontalAdvance((*it)->text(0)) + depth * indentation() + icon + 12);
    }
    header()->setMinimumSectionSize(widest);
}
