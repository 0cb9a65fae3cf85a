#pragma once
// The algorithm base windows: "База алгоритмов" shows, opens, saves and refreshes the base
// the compiler uses; "Справочник по параметрам алгоритмов" asks the controller for one
// algorithm's description without touching the base.

#include "core/progress.h"

#include <QDialog>

#include <functional>
#include <mutex>

class QLabel;
class QLineEdit;
class QProgressBar;
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

// Reads the whole base from the controller into fresh (a copy of the base) off the main
// thread, telling progress how it goes; false with failure set when it did not arrive
// whole or Cancel ended it, false with failure empty when the program is closing and took
// the exchange away. Cancel (main thread) ends a read in progress.
struct TBaseReader
{
    std::function<bool(TAlgBase &fresh, TProgress &progress, QString &failure)> Read;
    std::function<void()> Cancel;
    explicit operator bool() const { return static_cast<bool>(Read); }
};

// The modal window of a base read: its caption, the description being asked and
// "Отмена". Its progress calls come from the exchange thread; it shows them on its own.
class TAlgReadForm : public QDialog, public TProgress
{
    Q_OBJECT
public:
    explicit TAlgReadForm(QWidget *parent = nullptr);
    void SetCaption(const QString &caption) override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    void SetAction(const QString &text) override;
    void Show() override {}
    void Hide() override {}

    QLabel *Action;
    QProgressBar *Bar;
    QPushButton *CancelButton;
    // Every caption and action shown, in order (the tests read it).
    QStringList Shown;

protected:
    void showEvent(QShowEvent *event) override; // over the window it works for

private:
    // The exchange thread leaves its news here and asks for Refresh by name.
    Q_INVOKABLE void Refresh();
    std::mutex NewsLock; // guards the four fields below
    QString Caption, Text;
    int Maximum = 0, Position = 0;
};

class TAlgEditForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAlgEditForm(QWidget *parent = nullptr);

    // The base, the questions and the controller (none while no port is in use).
    void Attach(TAlgBase *base, TUserDialogs *dialogs, TFileDialogSpec *fileDialog);
    TBaseReader BaseReader;
    // The window of the read in progress (null otherwise).
    TAlgReadForm *ReadForm = nullptr;

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
