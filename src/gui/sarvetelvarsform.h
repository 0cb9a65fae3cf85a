#pragma once
// "Контроль переменных Сарветела": the tree of variable groups beside a grid. No command of
// a real controller reports variable values, so the window serves only the built-in
// simulator: a watch table over its run (sim/simwatch.h). The grid lists the chosen class's
// variables in use by the running program and those of the watch list kept beside the
// program file, with their values refreshed five times a second while the window is shown;
// a value typed into the grid is written once, a lock holds a variable at its value.
//
// The window is not modal: the engineer watches values while editing, compiling and using
// the console.

#include "gui/watchmodel.h"
#include "sim/simwatch.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QTimer;
class QTreeWidget;
class QVBoxLayout;

class TSarvetelVarsForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RefreshMs = 200;
    enum TColumn { ColVariable, ColName, ColValue, ColBad, ColLock, ColWhere, ColNote };

    explicit TSarvetelVarsForm(QWidget *parent = nullptr);

    // The run watched (null: nothing to show) and the program file whose watch list is
    // kept beside it; both asked at every refresh.
    TSimWatch *Watch = nullptr;
    std::function<QString()> ProgramFile;
    // The open program prepared to run, for the run of the given generation: its text gives
    // the lines, its header the technological names (the controller keeps neither). Unset
    // or null: the simulator's own program.
    std::function<std::shared_ptr<const TRunProgram>(std::uint64_t)> OpenProgram;

    QTreeWidget *TreeView1;
    QTableWidget *StringGrid;
    QLineEdit *AddEdit;
    QPushButton *AddBtn, *RemoveBtn, *LockBtn, *UnlockBtn, *ResetLocksBtn, *TrendBtn, *CloseBtn;
    QLabel *StatusLabel;
    QTimer *RefreshTimer;

    // Reads the run and shows it; the timer calls it.
    void Refresh();
    QStringList WatchList() const { return Watched; }
    // The variables of the grid's rows, in order.
    const std::vector<TVarRef> &ShownVariables() const { return Shown; }
    // The rows selected (or the current one).
    std::vector<TVarRef> SelectedVariables() const;
    int RowOf(const TVarRef &v) const;

    void AddClick();
    void RemoveClick();
    void LockClick();
    void UnlockClick();
    void ResetLocksClick();
    // "Тренд": the selected rows, or else the watch list.
    void TrendClick();

signals:
    // "Тренд": the variables chosen for the plot.
    void TrendRequested(const std::vector<TVarRef> &vars);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The watch list's field and buttons, and the command buttons, below the grid.
    void AddButtonRows(QVBoxLayout *layout);

    TWatchCatalogue Catalogue;
    std::uint64_t Generation = ~std::uint64_t(0);
    TSimRunStatus Status = TSimRunStatus::Pending;
    bool Made = false;
    QStringList Problems;
    TRunState LastState;
    bool HaveState = false;
    QString ListPath;
    QStringList Watched;
    std::vector<TVarRef> Shown;
    bool Filling = false;

    void FollowProgramFile();
    void Rebuild();
    void FillValues();
    void CellEdited(QTableWidgetItem *item);
    void SaveWatchList();
    void Say(const QString &text);
};
