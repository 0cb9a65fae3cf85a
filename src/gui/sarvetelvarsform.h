#pragma once
// "Контроль переменных Сарветела": the tree of variable groups beside a grid. No controller
// command reports variable values, so the window holds no logic and its menu item stays
// hidden.

#include <QDialog>

class QPushButton;
class QTableWidget;
class QTreeWidget;

class TSarvetelVarsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSarvetelVarsForm(QWidget *parent = nullptr);
    QTreeWidget *TreeView1;
    QTableWidget *StringGrid;
    QPushButton *CloseBtn;
};
