#pragma once
// "Консоль Сарветела": the controller's front panel on the screen. Its 10-line screen and
// 48 keys, the mode buttons, and in the modes "Настройка" and "Программирование" the pages
// of the I/O setup and of the PRP stored in the controller. While it is shown a screen
// updater polls the controller.
//
// Every exchange of the console runs on the exchange worker (gui/linkworker.h) as one job:
// the job sends the commands and copies what the console needs out of the link (the mode,
// the I/O setup, ...) while it holds the port's lock; the handler then goes on with those
// copies on the main thread. The console never reads the link itself. Closing the console
// ends the job in progress and the updater, and waits for both.

#include "compiler/zentorcompiler.h"
#include "gui/screenupdater.h"
#include "link/sarveteldefs.h"
#include "model/zentorprogram.h"
#include "prp/prpheader.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTabBar;
class QTableWidget;
class QTabWidget;
class TAlgBase;
class TFormTechKeyEdit;
class TImpEditForm;
class TLinkWorker;
class TSarvetel;
class TTimeGenEditForm;
class TUserDialogs;

class TSarvetelConsoleForm : public QDialog
{
    Q_OBJECT
public:
    TSarvetelConsoleForm(TUserDialogs &dialogs, TSarvetel &link, TLinkWorker &worker,
                         const TAlgBase *base, QWidget *parent = nullptr);
    ~TSarvetelConsoleForm() override;

    // What showing the window does: status, panels, pages, the updater started.
    void FormShow();
    // What closing does: the exchange in progress and the updater end (at once: the port is
    // interrupted), and both are waited for.
    void FormClose();

    // Mode buttons and the controller reset.
    void BtnStopClick();
    void BtnSetupClick();
    void BtnProgramClick();
    void ResetSarvetelBtnClick();
    // A front-panel key.
    void KeyClick(std::uint8_t code);
    // Shows the panels of a mode.
    void ArrangePanels(std::uint32_t mode);
    // The updater's synchronized display step.
    void DisplayStep(const TScreenState &state);
    // The mode buttons a known mode allows (the programming and setup modes keep theirs).
    void FollowModeButtons(std::uint32_t mode);
    // The updater has news (it asks for this by name from its thread).
    Q_INVOKABLE void ScreenNews();

    // Setup pages.
    void FillSetupPages();
    void ResetQuestion(const QString &question, TLinkResult (TSarvetel::*command)());
    void MemoryChangeClick();
    void ModuleGridDblClick(int row);
    void ModuleApplyClick();
    void LogicalChannelChange(int logical, int entry);
    void ChannelNumChange();
    void ChannelParamChange(int shift, int value);
    void ChannelApplyClick();

    // Program pages.
    void FillProgramPages();
    void FillOrderGrid();
    void OrderStep(int delta);
    void OrderChangeClick();
    void OrderWriteClick();
    void OrderResetClick();
    void CBBlockChange();
    void SectionReadClick();
    void SectionCompileClick();
    void SectionWriteClick();
    void SectionDeleteClick();
    void LogDblClick(int row);
    void RefreshInfoClick();
    void DeleteGroupClick();
    void DeleteProgramClick();
    void TechKeyClick(int key);
    void FillTechKeys();
    QString TechKeyCaption(int key) const;

    // The header of the PRP in the controller, the section being edited and its number.
    TPRPHeader Header;
    TZentorSection Section;
    int CurrentSection = -1;
    bool SettingsChanged = false;
    std::uint32_t ShownMode = 0xFFFFFFFF;
    // The controller's mode as the console last learned it (from the updater's display or
    // a command of its own), and the link's exchange count then: older news is ignored.
    std::uint32_t KnownMode = 0;
    std::uint64_t KnownExchange = 0;
    // What the polling learned of the controller last (the main window's connection field
    // takes it when the console closes).
    TControllerSeen Seen;
    // The console's copies of the controller's memory type and I/O setup: the setup pages
    // show and change these; the commands that read or send them copy them from or into
    // the link.
    std::uint8_t MemoryType = 0;
    std::uint8_t IOSetup[Sarvetel::IOSetupSize] = {};
    // Keys wait in the polling session's queue; none runs while the console is closed.
    TKeyQueue *Keys();
    QStringList Log; // the log list's lines (the compiler writes here)
    TZentorCompiler Compiler;
    // The open program and its compiler: the console's compiler takes the program's
    // technological names and hands out own memory past what its last compile used.
    const TZentorProgram *OpenProgram = nullptr;
    const TZentorCompiler *ProgramCompiler = nullptr;
    // The section's code is what its text says (read from the controller or compiled since
    // the text was last changed): only then may "Записать" send it.
    bool SectionReady = false;
    QLabel *StatusMessage; // the console's message line
    std::shared_ptr<TSarvetelScreenUpdater> Updater;

    // Controls.
    QPushButton *BtnStop, *BtnStart, *BtnFailure, *BtnTest, *BtnCopy, *BtnSetup, *BtnProgram;
    QPushButton *CloseBtn, *ResetSarvetelBtn;
    QStackedWidget *Panels;
    QWidget *ConsolePanel;
    QPlainTextEdit *SarvetelMemo;
    std::vector<std::pair<QPushButton *, std::uint8_t>> KeyButtons;
    QPushButton *VSKBtn = nullptr;
    QTabWidget *PCSetup;
    QTabWidget *PCProgram;
    QStatusBar *SarvetelConsoleSB;
    QLabel *StatusMode, *StatusErrors, *StatusWait;
    // "Память".
    QLineEdit *SysMemEdit, *PRPEdit;
    QPushButton *MemoryChangeBtn;
    // "Заказ УСО".
    QTabBar *ModuleTabs;
    QTableWidget *ModuleGrid;
    // "Каналы связи" and "Настройка каналов".
    QComboBox *LogicalChannelCB[Sarvetel::IOSetupLayout::LogicalChannels];
    QComboBox *ChannelNumCB, *SpeedCB, *CheckCB, *StopCB, *IrprCB;
    QGroupBox *IrprGroup;
    // "Заказ".
    QTabBar *OrderTabs;
    QTableWidget *SGCustomize;
    QPushButton *IncBtnOrder, *DecBtnOrder, *ChangeBtnOrder;
    // "Программа".
    QComboBox *CBBlock, *CBSec;
    QPlainTextEdit *MemoInfo, *MemoWork;
    QListWidget *ListBoxLog;
    QMenu *ProgramPopup;
    // "Технологическая клавиатура".
    QPushButton *TechKeyButtons[TPRPHeader::KeyCount];

    TTimeGenEditForm *TimeGenEditForm;
    TImpEditForm *ImpEditForm;
    TFormTechKeyEdit *FormTechKeyEdit;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TConsolePages;
    // The section the block and section lists choose (-1 for none chosen).
    int ChosenSection() const;
    void SetModeButtons(bool on);
    // The other controls that start an exchange: "Ост", the reset button and the pages.
    void SetCommandControls(bool on);
    // What a job leaves for the handler that ran it.
    struct TJobResult
    {
        std::uint64_t Exchange = 0;
        std::uint32_t Mode = 0;
        std::uint8_t LinkStatus = 0;
    };
    // Runs job on the exchange worker; false when it did not run to its end (the console
    // is closing, or another exchange runs): the handler then stops.
    bool Exchange(const std::function<void()> &job);
    // Runs a command that the controller must take; when it is not taken (no answer, a
    // refusal) the message line says why, after what, and so does *failure when given.
    // True when it was taken.
    bool Command(const QString &what, const std::function<TLinkResult()> &job,
                 QString *failure = nullptr);
    void Tell(const QString &message);
    // Inside a job: what its last command learned, with the link's exchange count.
    TJobResult JobResult(const TLinkResult &last) const;
    // Takes a job's news of the mode unless the console knows newer.
    void Learn(const TJobResult &result);
    // Inside a job: the I/O setup and memory type as read, and into the link to be sent.
    void SetupFromRead(const TIOSetupState &read);
    void SetupIntoLink();
    // SetMode m as one job; its result.
    TJobResult SetModeJob(std::uint8_t m, bool *done = nullptr);
    void ModeButton(std::uint8_t keyInRun, std::uint8_t modeFromStop);
    // The controls that would start an exchange are off while one runs.
    void ShowBusy(bool busy);
    void ShowLog();
    void AddLog(const QString &line);
    bool Yes(const QString &question, const QString &caption, bool defaultNo = false);

    TUserDialogs &Dialogs;
    TSarvetel &Link;
    TLinkWorker &Worker;
    bool Filling = false;
    bool ModeButtonsBeforeWait[6] = {};
};
