#include "gui/sarvetelvarsform.h"

#include "gui/guitexts.h"

#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TSarvetelVarsForm::TSarvetelVarsForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::VarsCaption);
    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(this);
    TreeView1 = new QTreeWidget(splitter);
    TreeView1->setHeaderHidden(true);
    auto *root = new QTreeWidgetItem(TreeView1, QStringList{GuiTexts::AllVariables});
    for (const QString &group : GuiTexts::VariableGroups)
        new QTreeWidgetItem(root, QStringList{group});
    root->setExpanded(true);
    StringGrid = new QTableWidget(splitter);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);
    CloseBtn = new QPushButton(GuiTexts::CloseButton, this);
    layout->addWidget(CloseBtn, 0, Qt::AlignRight);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
}
