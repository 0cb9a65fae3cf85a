#pragma once
// The algorithm base windows: "База алгоритмов" shows, opens, saves and refreshes the base
// the compiler uses; "Справочник по параметрам алгоритмов" asks the controller for one
// algorithm's description without touching the base.

#include <QDialog>

#include <functional>

class QLineEdit;
class QMenuBar;
class QPushButton;
class QTableWidget;
class TAlgBase;
class TUserDialogs;
struct TFileDialogSpec;

// One algorithm as the controller describes it: present, call length with its first
// three bytes, own memory byte, and per parameter its kind and name.
struct TAlgReport
{
    bool Present = false;
    int RecordSize = 0;
    int OwnMemory = 0;
    QList<int> Kinds;
    QStringList Names;
};

// Asks the controller for algorithm n; false when the controller did not answer.
using TAlgReader = std::function<bool(int number, TAlgReport &report)>;

// Fills entries 1..127 of the base from the controller; false when the link failed
// (the entries read so far stay).
bool ReadBaseFromController(TAlgBase &base, const TAlgReader &reader);

class TAlgEditForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAlgEditForm(QWidget *parent = nullptr);

    // The base, the questions and the controller (none while no port is in use).
    void Attach(TAlgBase *base, TUserDialogs *dialogs, TFileDialogSpec *fileDialog);
    TAlgReader Reader;

    void RefreshGrids();
    void ShowParams(int row);
    void OpenClick();
    void SaveAsClick();
    void ReadFromControllerClick();

    QTableWidget *AlgSG;
    QTableWidget *AlgParamSG;
    QAction *ReadItem;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TAlgBase *Base = nullptr;
    TUserDialogs *Dialogs = nullptr;
    TFileDialogSpec *FileDialog = nullptr;
};

class TAlgoritmHelpForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAlgoritmHelpForm(QWidget *parent = nullptr);
    TAlgReader Reader;

    void LoadClick();

    QLineEdit *NumberEdit;
    QPushButton *LoadButton;
    QTableWidget *AlgParamsSG;
};
