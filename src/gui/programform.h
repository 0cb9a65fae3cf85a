#pragma once
// The main window over the open program (document/programdocument.h): the program tree,
// the editor, the message list and the status bar, its start-up and its close. It routes
// keys and menu items (gui/mainmenus.h) to the commands: the file commands
// (gui/filecommands.h), the structure commands and moves (gui/programstructure.h), search
// and replace (gui/programsearch.h), the compiles and the controller's commands here.

#include "core/logger.h"
#include "core/programpaths.h"
#include "document/programdocument.h"
#include "gui/algeditform.h"
#include "gui/programtree.h"
#include "gui/recentfiles.h"
#include "gui/userdialogs.h"
#include "link/comport.h"
#include "link/configuration.h"
#include "link/sarvetel.h"
#include "model/zentorprogram.h"
#include "runtime/runprogram.h"

#include <QMainWindow>
#include <QRect>
#include <QTimer>
#include <QTreeWidgetItem>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class TMessageList;
class QMenu;
class QSplitter;
class TAboutForm;
class TAddBlockForm;
class TAddSectionForm;
class TAlgEditForm;
class TAlgoritmHelpForm;
class TCompilerOptionsForm;
class TCrossRefForm;
class TEditNameForm;
class TFindReplaceForm;
class TProgressForm;
class TCOMPortSetupForm;
class TCompareForm;
class TWorkWithPRPForm;
class TSarvetelConsoleForm;
class TSarvetelVarsForm;
class TTrendForm;
class TSearchResultsForm;
class TSelectSectionForm;
class TStartupForm;
class TZentorEditor;
class TPortIO;
enum class TTransferResult;
struct TDesktopLink;

// The main window's design bounds.
inline const QRect DefaultWindowBounds(164, 102, 569, 443);

// The connection field's text: the port's list entry, and what is known of the controller
// behind it ("— Пуск", "— Нет связи"); nothing more before any exchange.
QString ConnectionFieldText(const QString &entry, const TControllerSeen &seen);

class TProgramForm : public QMainWindow
{
    Q_OBJECT
public:
    TProgramForm(TUserDialogs &dialogs, const TProgramPaths &paths, const QStringList &arguments,
                 QWidget *parent = nullptr);
    ~TProgramForm() override;

    // The creation handler: start-up report, configuration, link, model, compiler, tree.
    // The report window stays open (not modal) until ShowStartupReport.
    void FormCreate();
    // Shows the start-up report modally and then destroys it.
    void ShowStartupReport();
    // The report's lines (kept after the window is gone).
    QStringList StartupReport;

    // The windows created after the main window, in their order.
    TAddSectionForm *AddSectionForm = nullptr;
    TAddBlockForm *AddBlockForm = nullptr;
    TEditNameForm *EditNameForm = nullptr;
    TAboutForm *AboutForm = nullptr;
    TCompilerOptionsForm *CompilerOptionsForm = nullptr;
    TSelectSectionForm *SelectSectionForm = nullptr;
    TAlgEditForm *AlgEditForm = nullptr;
    TAlgoritmHelpForm *AlgoritmHelpForm = nullptr;
    TProgressForm *ProgressForm = nullptr;
    TCOMPortSetupForm *COMPortSetupForm = nullptr;
    TWorkWithPRPForm *WorkWithPRPForm = nullptr;
    TSarvetelConsoleForm *SarvetelConsoleForm = nullptr;
    TSarvetelVarsForm *SarvetelVarsForm = nullptr;
    TTrendForm *TrendForm = nullptr;
    TCrossRefForm *CrossRefForm = nullptr; // made when first asked for
    TCompareForm *CompareForm = nullptr;   // made with the first comparison

    // Commands, named after their menu items, and what the commands share.
    // The compile before a write, a comparison or an export: the sections whose text
    // changed, and the header only when its text changed or was never compiled; sections
    // decoded from an image keep their code. Shows the compile list as F9 does when anything
    // is compiled. True when the program is ready to send or compare.
    bool CompileForTransfer();
    // The cross-reference window follows the program: a new analysis after every compile
    // and load while it is open.
    void RefreshCrossRef();
    // The section (-1 the header) in the editor, the caret at the line (from 0) and column
    // (from 1).
    void GoToPlace(int section, int line, int column);
    void WriteToControllerClick();
    void ReadFromControllerClick();
    // "Сравнить с контроллером": compiles as for a write, reads the controller's PRP into a
    // program of its own and shows what differs; neither side changes.
    void CompareWithControllerClick();
    void PortSettingsClick();
    void ConsoleClick();
    void VariablesClick();
    void RefreshValueNotes();
    // The trend plot of the chosen variables (none: the watch list's, or those it follows).
    void ShowTrend(const std::vector<TVarRef> &vars);
    // The open program prepared to run beside the simulator's run of that generation.
    std::shared_ptr<const TRunProgram> WatchedProgram(std::uint64_t generation);
    // The port in use is the built-in simulator's line.
    bool SimulatorInUse() const;

    // Tree and editor.
    void Commit();
    void RebuildTree();
    void RelabelTree();
    // Runs the delayed selection change now (the tests; a command right after a click).
    void ApplySelectionChange();

    // The close handler's work: writes the configuration file. False with a message box
    // when it cannot be written.
    bool WriteConfiguration();

    // State.
    TUserDialogs &Dialogs;
    TProgramPaths Paths;
    QStringList Arguments;
    std::unique_ptr<TLogger> Logger;
    // The program shown, its file, its messages and its compiler.
    std::unique_ptr<TProgramDocument> Document;
    // The caption without the "*" that marks a changed program.
    QString CaptionBase;
    TTreeItemInfo NothingNode;
    TTreeItemInfo *CurrentNode = &NothingNode;
    bool EditorChanged = false;
    int PendingLine = -1;
    TRecentFiles RecentFiles;
    bool PortInUse = false;
    bool KsbAllowed = true;
    bool KsbCreated = false;
    // Direct processor port I/O for the interface module; off in the tests, which have no
    // card to talk to (the ports then answer as a machine without the card).
    bool DirectPortIO = true;
    // Where the port I/O comes from instead of the processor's ports (the tests' card
    // model); a null result means access refused.
    std::function<std::unique_ptr<TPortIO>()> MakePortIO;
    TPortSettings PortSettings;
    QStringList AvailablePorts;
    QString DeviceDir = QStringLiteral("/dev"); // where the serial devices are looked for
    TFileDialogSpec OpenDialog;
    TFileDialogSpec SaveDialog;
    TFileDialogSpec ImportDialog;
    TFileDialogSpec ExportDialog;
    TFileDialogSpec AlgDialog;                // the algorithm base window's files
    QRect NormalBounds = DefaultWindowBounds; // the bounds before maximising
    QString AlgBaseFile;
    std::unique_ptr<TDesktopLink> Link;

    // Controls.
    TProgramTreeView *TreeView;
    TZentorEditor *ProgramREdit;
    TMessageList *ErrorsListBox;
    QLabel *StatusPanel0;
    QLabel *StatusPanel1;
    QLabel *StatusWait; // "Обмен с контроллером..." while an exchange runs
    TStartupForm *StartupForm = nullptr;
    TFindReplaceForm *FindForm = nullptr;
    TSearchResultsForm *SearchResultsForm = nullptr;
    QLabel *StatusLink; // the port in use and what the last exchange showed of the controller
    // The editor or the message list, whichever had the focus last: where "Копировать" acts.
    QWidget *EditTarget = nullptr;
    QMetaObject::Connection FocusFollower; // EditTarget follows the focus through it
    QMenu *TreePopup;

    // Menu items.
    QAction *NewItem, *OpenItem, *SaveItem, *SaveAsItem, *ExportItem, *ExitItem;
    QAction *RecentItems[TRecentFiles::MaxCount + 1] = {};
    QAction *RecentSeparator;
    QAction *UndoItem, *RedoItem, *CutItem, *CopyItem, *PasteItem, *SelectAllItem;
    QAction *FindInProgramItem, *ReplaceInProgramItem;
    QAction *GoToSectionItem, *ShowTreeItem, *ShowErrorsItem, *AddBlockItem, *DeleteBlockItem;
    QAction *AddSectionItem, *RenameSectionItem, *DeleteSectionItem, *RenumberItem;
    QAction *FindItem, *GoToLineItem, *NextErrorItem, *PreviousErrorItem;
    QAction *WriteItem, *ReadItem, *CompareItem, *CompileItem, *CompileAllItem, *CrossRefItem;
    // Checked: F3 and F4 read the controller's PRP twice and take it only when both agree.
    QAction *ReadTwiceItem = nullptr;
    QAction *PortSettingsItem, *CompilerOptionsItem, *ConsoleItem, *VariablesItem, *AlgLibraryItem;
    QAction *ValuesInTextItem, *TrendItem;
    QAction *ContentsItem, *AboutItem;

    void SetCaption(const QString &base);
    // Before the program is replaced or the window closes: when the program was changed,
    // "Сохранить изменения в программе?" (Да saves first); otherwise usualQuestion, when
    // given. False when the command must stop.
    bool MayReplaceProgram(const QString &usualQuestion);
    // Reads one algorithm's description from the controller; empty while no port is in use.
    TAlgReader ControllerAlgReader();
    // The whole base from the controller, on the exchange worker.
    TBaseReader ControllerBaseReader();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TFileCommands;
    friend class TMainMenus;
    friend struct TPortSnapshot;
    friend class TProgramSearch;
    friend class TProgramStructure;
    void CreateControls();
    void TreeViewChange();
    // No node's text: an empty editor that takes no typing (its node was deleted).
    void ShowNoText();
    // The editor's marks for the messages of the text shown; fresh after a compile (new
    // messages), else the marks a text kept since stay where its editing took them.
    void MarkEditorErrors(bool fresh = true);
    // The start without a configuration file: defaults everywhere.
    void StartWithDefaults();
    void ReadStartupConfiguration(TConfigReader &reader, QStringList &notes);
    void Report(const QString &line);
    void LoadAlgorithmBase();
    // F9 (all false), Ctrl+F9 (all true); headerAlways false compiles the header only when
    // its text needs it.
    bool RunCompile(bool all, bool headerAlways = true);
    // The link layer's part of the start-up and of the close.
    void KsbAccessStep();
    void CreateKsb();
    void TakePortSettings();
    void ProbePorts();
    void RediscoverPorts();
    void CreatePort();
    bool OpenConfiguredPort();
    void CreateLink();
    void UpdateControllerItems();

public:
    // The connection field: the port, and after an exchange the controller's mode or
    // "Нет связи", as the last exchange that ended learned them (any window's, any thread's).
    void UpdateLinkField();
    // Takes news of the controller from an exchange that ended and shows it.
    void TakeLinkNews(const TControllerSeen &news);
    TControllerSeen LinkSeen; // since the port was chosen

private:
    void LoadSimulatorAlgorithms();
    bool StartSimulator();
    // The device of a port list entry ("COMn", a device path, the simulator entry, which
    // starts the simulator); empty when there is none.
    QString DeviceForEntry(const QString &name);
    // The list entry of the open port; empty when none is open.
    QString OpenPortEntry() const;
    // The controller windows, created after the other dialogs.
public:
    void CreateControllerForms();
    // The console goes before the link it polls.
    void ReleaseControllerForms();
    // Closing: the console's polling and the exchange in progress end, and are waited for.
    void StopExchanges();
    // While an exchange runs: a status line, and the commands that would start another off.
    void ShowBusy(bool busy);

private:
    // The PRP transfers (the model's WriteToController and ReadFromController).
    // The write job behind F2: its result, and the message it stopped with.
    TTransferResult WriteProgramToController(QString &stopMessage);
    // F3's read into a program of its own; true when it replaced the open program.
    bool ReadProgramFromController();
    // The controller's PRP into a program of its own, once or twice as ReadTwiceItem says.
    TTransferResult ReadControllerPrp(TZentorProgram &into);

    QTimer SelectionTimer;
    QTimer ValuesTimer; // the values below the lines, while the simulator is in use
    int ValueNotesSection = -1;
    struct
    {
        std::shared_ptr<const TRunProgram> Program;
        std::uint64_t Generation = 0;
        QString File;
        const TZentorProgram *Source = nullptr;
    } Watched;
    bool Maximised = false;
    QByteArray RestoredGeometry;
};
