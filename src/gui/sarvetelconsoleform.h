#pragma once
// "Консоль Сарветела": the controller's front panel on the screen. Its 10-line screen and
// 48 keys, the mode buttons, and in the modes "Настройка" and "Программирование" the pages
// of the I/O setup and of the PRP stored in the controller. While it is shown a screen
// updater polls the controller.

#include "compiler/zentorcompiler.h"
#include "gui/screenupdater.h"
#include "model/zentorprogram.h"
#include "prp/prpheader.h"

#include <QDialog>

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
class TSarvetel;
class TTimeGenEditForm;
class TUserDialogs;

class TSarvetelConsoleForm : public QDialog
{
    Q_OBJECT
public:
    TSarvetelConsoleForm(TUserDialogs &dialogs, TSarvetel &link, const TAlgBase *base,
                         QWidget *parent = nullptr);
    ~TSarvetelConsoleForm() override;

    // What showing the window does: status, panels, pages, the updater started.
    void FormShow();
    // What closing does: the updater asked to stop (not waited for).
    void FormClose();

    // Mode buttons and the controller reset.
    void BtnStopClick();
    void BtnStartClick();
    void BtnFailureClick();
    void BtnTestClick();
    void BtnCopyClick();
    void BtnSetupClick();
    void BtnProgramClick();
    void ResetSarvetelBtnClick();
    // A front-panel key.
    void KeyClick(std::uint8_t code);
    // Shows the panels of a mode.
    void ArrangePanels(std::uint32_t mode);
    // The updater's synchronized display step.
    void DisplayStep();

    // Setup pages.
    void FillSetupPages();
    void ResetQuestion(const QString &question, void (TSarvetel::*command)());
    void MemoryChangeClick();
    void ModuleGridDblClick(int row);
    void ModuleResetClick();
    void ModuleAutoClick();
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
    void CBSecChange();
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
    TKeyQueue Keys;
    std::uint32_t ShownMode = 0xFFFFFFFF;
    QStringList Log; // the log list's lines (the compiler writes here)
    TZentorCompiler Compiler;
    std::weak_ptr<TSarvetelScreenUpdater> Updater;

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
    QLabel *StatusMode, *StatusErrors;
    // "Память".
    QLineEdit *SysMemEdit, *PRPEdit;
    QPushButton *MemoryChangeBtn;
    // "Заказ УСО".
    QTabBar *ModuleTabs;
    QTableWidget *ModuleGrid;
    // "Каналы связи" and "Настройка каналов".
    QComboBox *LogicalChannelCB[8];
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
    QWidget *CreateConsolePanel();
    QWidget *CreateSetupPages();
    QWidget *CreateProgramPages();
    void SetModeButtons(bool on);
    std::uint32_t ModeNow() const;
    void ShowLog();
    void AddLog(const QString &line);
    bool Yes(const QString &question, const QString &caption, bool defaultNo = false);

    TUserDialogs &Dialogs;
    TSarvetel &Link;
    bool Filling = false;
};
