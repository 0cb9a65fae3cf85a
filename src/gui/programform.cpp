#include "gui/programform.h"

#include "core/textutils.h"
#include "gui/guitexts.h"
#include "gui/guitexts_watch.h"
#include "gui/programparts.h"
#include "gui/sarvetelvarsform.h"
#include "gui/smallforms.h"
#include "gui/trendform.h"
#include "gui/zentoreditor.h"
#include "model/messageplace.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <vector>

namespace {

QFont PixelFont(int pixels)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    return font;
}

// One menu item: the window's member that keeps its action, its text and key, and the
// window's command it runs. An entry without a member is a separator.
struct TMenuEntry
{
    TMenuEntry() = default;
    TMenuEntry(QAction *TProgramForm::*item, const QString &text, const QKeySequence &key,
               void (TProgramForm::*slot)())
        : Item(item), Text(text), Key(key), Slot(slot)
    {
    }
    TMenuEntry(QAction *TProgramForm::*item, const QString &text, const QKeySequence &key,
               std::function<void()> run)
        : Item(item), Text(text), Key(key), Run(std::move(run))
    {
    }
    QAction *TProgramForm::*Item = nullptr;
    QString Text;
    QKeySequence Key;
    void (TProgramForm::*Slot)() = nullptr;
    std::function<void()> Run; // instead of a command of the window's own
};

// Adds the entries to the menu in their order: each creates its action, stores it in the
// window's member and runs the window's command.
void AddMenuEntries(TProgramForm &form, QMenu *menu, const std::vector<TMenuEntry> &entries)
{
    for (const TMenuEntry &e : entries) {
        if (!e.Item) {
            menu->addSeparator();
            continue;
        }
        QAction *a = menu->addAction(e.Text);
        if (!e.Key.isEmpty())
            a->setShortcut(e.Key);
        if (e.Slot)
            QObject::connect(a, &QAction::triggered, &form, e.Slot);
        else
            QObject::connect(a, &QAction::triggered, &form, e.Run);
        form.*e.Item = a;
    }
}

} // namespace

TProgramForm::TProgramForm(TUserDialogs &dialogs, const TProgramPaths &paths,
                           const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), Dialogs(dialogs), Paths(paths), Arguments(arguments),
      Document(std::make_unique<TProgramDocument>())
{
    connect(Document.get(), &TProgramDocument::ChangedMarkChanged, this,
            [this] { SetCaption(CaptionBase); });
    connect(Document.get(), &TProgramDocument::MessagesChanged, this, &TProgramForm::ShowMessages);
    connect(Document.get(), &TProgramDocument::ProgramReplaced, this, [this] {
        RebuildTree();
        SelectNode(TTreeItemInfo::HeaderCode);
    });
    SetCaption(GuiTexts::MainCaption);
    setWindowIcon(QIcon(QStringLiteral(":/zentor/zentor.svg")));
    setMinimumSize(300, 200);
    CreateControls();
    CreateMenus();
    SelectionTimer.setSingleShot(true);
    SelectionTimer.setInterval(100);
    connect(&SelectionTimer, &QTimer::timeout, this, &TProgramForm::TreeViewChange);
}

TProgramForm::~TProgramForm()
{
    // Focus moves while the child widgets go; the window no longer follows it by then.
    disconnect(FocusFollower);
    ReleaseControllerForms();
}

void TProgramForm::CreateControls()
{
    TreeView = new QTreeWidget(this);
    TreeView->setObjectName(QStringLiteral("TreeView"));
    TreeView->setHeaderHidden(true);
    TreeView->setColumnCount(1);
    TreeView->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView->setAllColumnsShowFocus(true);
    TreeView->setMouseTracking(true);
    TreeView->setExpandsOnDoubleClick(false);
    TreeView->setFont(PixelFont(15));
    TreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    // A long section name is shown whole: the tree scrolls sideways instead of cutting it.
    TreeView->header()->setStretchLastSection(true);
    TreeView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TreeView->installEventFilter(this);
    connect(TreeView, &QTreeWidget::currentItemChanged, this, [this] { SelectionTimer.start(); });
    connect(TreeView, &QTreeWidget::customContextMenuRequested, this,
            &TProgramForm::TreeContextMenu);
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        auto *node = static_cast<TProgramTreeItem *>(item);
        if (node->Info.IsSection() || node->Info.IsHeader()) {
            ApplySelectionChange();
            ProgramREdit->setFocus();
        } else {
            node->setExpanded(!node->isExpanded());
        }
    });

    ProgramREdit = new TZentorEditor(this);
    ProgramREdit->setObjectName(QStringLiteral("ProgramREdit"));
    connect(ProgramREdit, &TZentorEditor::UserEdited, this, [this] {
        EditorChanged = true;
        if (!Document->Changed())
            Document->SetChanged(true);
    });
    connect(ProgramREdit, &TZentorEditor::CaretMoved, this, [this] { UpdateStatusCaret(); });

    ErrorsListBox = new QListWidget(this);
    ErrorsListBox->setObjectName(QStringLiteral("ErrorsListBox"));
    ErrorsListBox->setFont(PixelFont(15));
    ErrorsListBox->setUniformItemSizes(true);
    ErrorsListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ErrorsListBox->installEventFilter(this);
    connect(ErrorsListBox, &QListWidget::itemDoubleClicked, this,
            &TProgramForm::ErrorsListBoxDblClick);

    auto *right = new QSplitter(Qt::Vertical, this);
    right->addWidget(ProgramREdit);
    right->addWidget(ErrorsListBox);
    right->setStretchFactor(0, 4);
    right->setStretchFactor(1, 1);
    auto *main = new QSplitter(Qt::Horizontal, this);
    main->addWidget(TreeView);
    main->addWidget(right);
    main->setStretchFactor(0, 1);
    main->setStretchFactor(1, 3);
    main->setSizes({280, 720});
    right->setSizes({400, 120});
    setCentralWidget(main);

    StatusPanel0 = new QLabel(this);
    StatusPanel0->setMinimumWidth(100);
    StatusPanel1 = new QLabel(this);
    StatusPanel1->setMinimumWidth(50);
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1, 1);
    StatusWait = new QLabel(this);
    statusBar()->addPermanentWidget(StatusWait);
    StatusLink = new QLabel(GuiTexts::NoPortChosen, this);
    StatusLink->setObjectName(QStringLiteral("StatusLink"));
    StatusLink->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(StatusLink);
    EditTarget = ProgramREdit;
    FocusFollower =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now == ProgramREdit || now == ErrorsListBox)
                EditTarget = now;
        });

    FindForm = new TFindReplaceForm(this);
    FindForm->SetEditor(ProgramREdit);
    connect(FindForm, &TFindReplaceForm::FindInProgram, this, [this] { FindInProgram(); });
    connect(FindForm, &TFindReplaceForm::ReplaceInProgram, this, [this] { ReplaceInProgram(); });
}

void TProgramForm::CreateMenus()
{
    CreateFileMenu();
    CreateEditMenu();
    QMenu *program = menuBar()->addMenu(GuiTexts::MenuProgram);
    program->setToolTipsVisible(true); // why F2 and F3 are off
    AddMenuEntries(
        *this, program,
        {{&TProgramForm::WriteItem, GuiTexts::ItemWrite, QKeySequence(Qt::Key_F2),
          &TProgramForm::WriteToControllerClick},
         {&TProgramForm::ReadItem, GuiTexts::ItemRead, QKeySequence(Qt::Key_F3),
          &TProgramForm::ReadFromControllerClick},
         {&TProgramForm::CompareItem, GuiTexts::ItemCompare, QKeySequence(Qt::Key_F4),
          &TProgramForm::CompareWithControllerClick},
         {&TProgramForm::CompileItem, GuiTexts::ItemCompile, QKeySequence(Qt::Key_F9),
          [this] { RunCompile(false); }},
         {&TProgramForm::CompileAllItem, GuiTexts::ItemCompileAll,
          QKeySequence(Qt::CTRL | Qt::Key_F9), [this] { RunCompile(true); }},
         {},
         {&TProgramForm::CrossRefItem, GuiTexts::ItemCrossRef,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X), &TProgramForm::CrossRefClick}});
    ReadTwiceItem = new QAction(GuiTexts::ItemReadTwice, this);
    ReadTwiceItem->setCheckable(true);
    program->insertAction(CompareItem, ReadTwiceItem);

    QMenu *settings = menuBar()->addMenu(GuiTexts::MenuSettings);
    settings->setToolTipsVisible(true);
    AddMenuEntries(
        *this, settings,
        {{&TProgramForm::PortSettingsItem, GuiTexts::ItemPortSettings,
          QKeySequence(Qt::CTRL | Qt::Key_C), &TProgramForm::PortSettingsClick},
         {&TProgramForm::CompilerOptionsItem, GuiTexts::ItemCompilerOptions,
          QKeySequence(Qt::CTRL | Qt::Key_K), &TProgramForm::CompilerOptionsClick},
         {&TProgramForm::ConsoleItem, GuiTexts::ItemConsole,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), &TProgramForm::ConsoleClick},
         {&TProgramForm::VariablesItem, GuiTexts::ItemVariables, {}, &TProgramForm::VariablesClick},
         {&TProgramForm::ValuesInTextItem, GuiTexts::ItemValuesInText,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), &TProgramForm::ValuesInTextClick},
         {&TProgramForm::TrendItem, GuiTexts::ItemTrend,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), &TProgramForm::TrendClick},
         {&TProgramForm::AlgLibraryItem,
          GuiTexts::ItemAlgLibrary,
          {},
          &TProgramForm::AlgLibraryClick}});
    CompilerOptionsItem->setVisible(false);
    VariablesItem->setVisible(false);
    ValuesInTextItem->setCheckable(true);
    ValuesInTextItem->setChecked(true);
    ValuesInTextItem->setVisible(false);
    TrendItem->setVisible(false);
    ValuesTimer.setInterval(TSarvetelVarsForm::RefreshMs);
    connect(&ValuesTimer, &QTimer::timeout, this, &TProgramForm::RefreshValueNotes);

    AddMenuEntries(
        *this, menuBar()->addMenu(GuiTexts::MenuHelp),
        {{&TProgramForm::ContentsItem, GuiTexts::ItemContents, QKeySequence(Qt::Key_F1),
          &TProgramForm::ContentsClick},
         {&TProgramForm::AboutItem, GuiTexts::ItemAbout, {}, &TProgramForm::AboutClick}});
    CreateTreePopup();
    FreeEditorKeys();
    UpdateControllerItems();
}

void TProgramForm::CreateFileMenu()
{
    QMenu *file = menuBar()->addMenu(GuiTexts::MenuFile);
    AddMenuEntries(*this, file,
                   {{&TProgramForm::NewItem, GuiTexts::ItemNew, QKeySequence(Qt::CTRL | Qt::Key_N),
                     &TProgramForm::NewClick},
                    {&TProgramForm::OpenItem, GuiTexts::ItemOpen,
                     QKeySequence(Qt::CTRL | Qt::Key_O), &TProgramForm::OpenClick},
                    {&TProgramForm::SaveItem, GuiTexts::ItemSave,
                     QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Save(); }},
                    {&TProgramForm::SaveAsItem, GuiTexts::ItemSaveAs,
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { SaveAs(); }},
                    {&TProgramForm::ExportItem, GuiTexts::ItemExport,
                     QKeySequence(Qt::CTRL | Qt::Key_E), &TProgramForm::ExportClick},
                    {}});
    for (int k = 1; k <= TRecentFiles::MaxCount; ++k) {
        RecentItems[k] = file->addAction(QStringLiteral("&%1.").arg(k));
        RecentItems[k]->setVisible(false);
        connect(RecentItems[k], &QAction::triggered, this, [this, k] { RecentFileClick(k); });
    }
    RecentSeparator = file->addSeparator();
    RecentSeparator->setVisible(false);
    ExitItem = file->addAction(GuiTexts::ItemExit);
    connect(ExitItem, &QAction::triggered, this, &QWidget::close);
}

void TProgramForm::CreateEditMenu()
{
    QMenu *edit = menuBar()->addMenu(GuiTexts::MenuEdit);
    const auto onEditor = [this, edit](const QString &text, const QKeySequence &key,
                                       void (QsciScintilla::*slot)()) {
        QAction *a = edit->addAction(text);
        a->setShortcut(key);
        connect(a, &QAction::triggered, ProgramREdit, slot);
        return a;
    };
    UndoItem = onEditor(GuiTexts::ItemUndo, QKeySequence::Undo, &QsciScintilla::undo);
    RedoItem =
        onEditor(GuiTexts::ItemRedo, QKeySequence(Qt::CTRL | Qt::Key_Y), &QsciScintilla::redo);
    RedoItem->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    CutItem = onEditor(GuiTexts::ItemCut, QKeySequence::Cut, &QsciScintilla::cut);
    // Ctrl+C opens the port settings outside the editor and the message list, so the item
    // only names the key; the editor and the list take it themselves.
    AddMenuEntries(*this, edit,
                   {{&TProgramForm::CopyItem,
                     GuiTexts::ItemCopy + QStringLiteral("\tCtrl+C"),
                     {},
                     &TProgramForm::CopyClick}});
    PasteItem = onEditor(GuiTexts::ItemPaste, QKeySequence::Paste, &QsciScintilla::paste);
    SelectAllItem = edit->addAction(GuiTexts::ItemSelectAll);
    SelectAllItem->setShortcut(QKeySequence::SelectAll);
    connect(SelectAllItem, &QAction::triggered, ProgramREdit,
            [this] { ProgramREdit->selectAll(); });
    edit->addSeparator();
    // Ctrl+Shift+S belongs to "Сохранить как...": adding a section has no key of its own.
    AddMenuEntries(
        *this, edit,
        {{&TProgramForm::GoToSectionItem, GuiTexts::ItemGoToSection,
          QKeySequence(Qt::CTRL | Qt::Key_G), &TProgramForm::GoToSectionClick},
         {&TProgramForm::ShowTreeItem, GuiTexts::ItemShowTree, QKeySequence(Qt::CTRL | Qt::Key_P),
          &TProgramForm::ShowTreeClick},
         {&TProgramForm::ShowErrorsItem, GuiTexts::ItemShowErrors,
          QKeySequence(Qt::CTRL | Qt::Key_L), &TProgramForm::ShowErrorsClick},
         {},
         {&TProgramForm::AddBlockItem, GuiTexts::ItemAddBlock, {}, &TProgramForm::AddBlockClick},
         {&TProgramForm::DeleteBlockItem,
          GuiTexts::ItemDeleteBlock,
          {},
          &TProgramForm::DeleteBlockClick},
         {},
         {&TProgramForm::AddSectionItem,
          GuiTexts::ItemAddSection,
          {},
          &TProgramForm::AddSectionClick},
         {&TProgramForm::RenameSectionItem, GuiTexts::ItemRenameSection,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), &TProgramForm::RenameSectionClick},
         {&TProgramForm::DeleteSectionItem, GuiTexts::ItemDeleteSection,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), &TProgramForm::DeleteSectionClick},
         {},
         {&TProgramForm::RenumberItem, GuiTexts::ItemRenumber, QKeySequence(Qt::CTRL | Qt::Key_R),
          &TProgramForm::RenumberClick},
         {},
         {&TProgramForm::FindItem, GuiTexts::ItemFind, QKeySequence(Qt::CTRL | Qt::Key_F),
          &TProgramForm::FindClick},
         {&TProgramForm::FindInProgramItem, GuiTexts::ItemFindInProgram,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), &TProgramForm::FindInProgramClick},
         {&TProgramForm::ReplaceInProgramItem,
          GuiTexts::ItemReplaceInProgram,
          {},
          &TProgramForm::ReplaceInProgramClick},
         {&TProgramForm::GoToLineItem, GuiTexts::ItemGoToLine,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), &TProgramForm::GoToLineClick},
         {&TProgramForm::NextErrorItem, GuiTexts::ItemNextError, QKeySequence(Qt::Key_F8),
          &TProgramForm::NextErrorClick},
         {&TProgramForm::PreviousErrorItem, GuiTexts::ItemPreviousError,
          QKeySequence(Qt::SHIFT | Qt::Key_F8), &TProgramForm::PreviousErrorClick}});
}

void TProgramForm::CreateTreePopup()
{
    TreePopup = new QMenu(this);
    auto popup = [this](const QString &text, QAction *same) {
        QAction *a = TreePopup->addAction(text);
        connect(a, &QAction::triggered, same, &QAction::trigger);
    };
    popup(GuiTexts::PopupAddBlock, AddBlockItem);
    popup(GuiTexts::PopupDeleteBlock, DeleteBlockItem);
    popup(GuiTexts::PopupAddSection, AddSectionItem);
    popup(GuiTexts::PopupRenameSection, RenameSectionItem);
    popup(GuiTexts::PopupDeleteSection, DeleteSectionItem);
    popup(GuiTexts::PopupCompile, CompileItem);
}

void TProgramForm::FreeEditorKeys()
{
    // The editor's own bindings would swallow the menu keys while it has the focus. The
    // menu wins, except for the clipboard and undo keys, which stay with the editor
    // (Ctrl+C copies there; elsewhere it opens the port settings).
    QList<int> menuKeys;
    for (QAction *a : findChildren<QAction *>())
        if (!a->shortcut().isEmpty())
            menuKeys.append(a->shortcut()[0].toCombined());
    QList<int> kept;
    for (Qt::Key k : {Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y, Qt::Key_A})
        kept.append(QKeyCombination(Qt::CTRL, k).toCombined());
    for (QsciCommand *cmd : ProgramREdit->standardCommands()->commands()) {
        if (menuKeys.contains(cmd->key()) && !kept.contains(cmd->key()))
            cmd->setKey(0);
        if (menuKeys.contains(cmd->alternateKey()) && !kept.contains(cmd->alternateKey()))
            cmd->setAlternateKey(0);
    }
}

void TProgramForm::UpdateControllerItems()
{
    for (QAction *a : {WriteItem, ReadItem, CompareItem, ConsoleItem}) {
        a->setEnabled(PortInUse);
        a->setToolTip(PortInUse ? a->text().remove(u'&') : GuiTexts::NoPortHint);
    }
    PortSettingsItem->setEnabled(Link && Link->Port);
    // Only the built-in simulator reports its variables' values.
    const bool sim = SimulatorInUse();
    for (QAction *a : {VariablesItem, ValuesInTextItem, TrendItem})
        a->setVisible(sim);
    if (!sim && SarvetelVarsForm) {
        SarvetelVarsForm->hide();
        SarvetelVarsForm->Watch = nullptr;
    }
    if (!sim && TrendForm) {
        TrendForm->hide();
        TrendForm->Watch = nullptr;
    }
    if (sim)
        ValuesTimer.start();
    else
        ValuesTimer.stop();
    RefreshValueNotes();
    UpdateLinkField();
}

// ---- Tree and editor ----------------------------------------------------------------

TProgramTreeItem *TProgramForm::SelectedNode() const
{
    return static_cast<TProgramTreeItem *>(TreeView->currentItem());
}

TProgramTreeItem *TProgramForm::FindNode(int code) const
{
    QTreeWidgetItemIterator it(TreeView);
    while (*it) {
        auto *node = static_cast<TProgramTreeItem *>(*it);
        if (node->Info.Code == code)
            return node;
        ++it;
    }
    return nullptr;
}

void TProgramForm::SelectNode(int code)
{
    if (TProgramTreeItem *node = FindNode(code))
        TreeView->setCurrentItem(node);
}

void TProgramForm::ApplySelectionChange()
{
    if (SelectionTimer.isActive()) {
        SelectionTimer.stop();
        TreeViewChange();
    }
}

void TProgramForm::Commit()
{
    if (CurrentNode == &NothingNode || !EditorChanged)
        return;
    CurrentNode->CaretLine = ProgramREdit->CaretLine();
    CurrentNode->CaretColumn = ProgramREdit->CaretColumn();
    const QStringList lines = ProgramREdit->Lines();
    if (CurrentNode->IsSection()) {
        Document->Program().CommitSectionText(CurrentNode->Code, lines);
    } else if (CurrentNode->IsHeader()) {
        Document->Program().CommitHeaderText(lines);
        ProgramREdit->SetTechNames(TechNamesOfHeader(Document->Program().Header.Text));
    }
    EditorChanged = false;
}

void TProgramForm::TreeViewChange()
{
    Commit();
    TProgramTreeItem *node = SelectedNode();
    if (!node)
        return;
    const TTreeItemInfo &info = node->Info;
    ProgramREdit->setReadOnly(false);
    if (info.IsHeader()) {
        ProgramREdit->ShowNode(info.Code, Document->Program().Header.Text, TTextKind::Header);
        StatusPanel1->setText(GuiTexts::HeaderNode);
    } else if (info.IsSection()) {
        const TZentorSection &s = Document->Program().Sections[info.Code];
        ProgramREdit->SetTechNames(TechNamesOfHeader(Document->Program().Header.Text));
        ProgramREdit->ShowNode(info.Code, s.Text, TTextKind::Section);
        StatusPanel1->setText(GuiTexts::EditingSection + SectionNumberText(info.Code) + u':' +
                              s.Name);
    } else {
        // A group: the editor keeps the text of the node before it, while that node is
        // still there; a text whose node is gone is not shown as if it could be edited.
        if (CurrentNode == &NothingNode)
            ShowNoText();
        return;
    }
    EditorChanged = false;
    CurrentNode = &node->Info;
    // Back where the caret was when this text was last committed.
    ProgramREdit->setCursorPosition(info.CaretLine, qMax(0, info.CaretColumn - 1));
    MarkEditorErrors(false);
    if (PendingLine >= 0) {
        ProgramREdit->setFocus();
        ProgramREdit->GoToLine(ProgramREdit->MarkedLine(PendingLine));
        PendingLine = -1;
    }
    UpdateStatusCaret();
}

void TProgramForm::ShowNoText()
{
    CurrentNode = &NothingNode;
    EditorChanged = false;
    ProgramREdit->LoadLines({}, TTextKind::Section);
    ProgramREdit->setReadOnly(true);
    StatusPanel1->clear();
}

void TProgramForm::UpdateStatusCaret()
{
    StatusPanel0->setText(QString::number(ProgramREdit->CaretLine()) + u':' +
                          QString::number(ProgramREdit->CaretColumn()));
}

QString TProgramForm::NodeLabel(const TTreeItemInfo &info) const
{
    if (info.IsHeader()) {
        QString label = GuiTexts::HeaderNode;
        if (Document->Program().Header.Valid)
            label += QStringLiteral(" (%1)").arg(Document->Program().Header.BytesLength);
        return label;
    }
    if (info.IsGroup()) {
        const int g = info.Group();
        const int offset = PrpLayout::GroupWord(g);
        const int length = Document->Program().ImageLength > offset + 1
                               ? ImageWord(Document->Program().Image, offset)
                               : 0;
        return GuiTexts::BlockWord + QString::number(g) + QStringLiteral(" (%1)").arg(length);
    }
    if (info.IsSection()) {
        const TZentorSection &s = Document->Program().Sections[info.Code];
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

void TProgramForm::RebuildTree()
{
    SelectionTimer.stop();
    const QSignalBlocker block(TreeView);
    TreeView->clear();
    ProgramREdit->ForgetNodes(); // a new program: no history of the last one
    EditorChanged = false;
    CurrentNode = &NothingNode;
    TreeView->addTopLevelItem(new TProgramTreeItem(TTreeItemInfo::HeaderCode));
    for (int g = 0; g <= Document->Program().HighestGroup && g < TZentorProgram::GroupCount; ++g) {
        if (!Document->Program().GroupPresent[g])
            continue;
        auto *group = new TProgramTreeItem(256 * (g + 1));
        TreeView->addTopLevelItem(group);
        for (int n = 32 * g; n < 32 * (g + 1); ++n)
            if (Document->Program().Sections[n].Present)
                group->addChild(new TProgramTreeItem(n));
        group->setExpanded(true);
    }
    RelabelTree();
    RefreshCrossRef();
    RefreshSearchResults();
}

void TProgramForm::RelabelTree()
{
    // Sections (and a header) that failed to compile stand out in red with a mark.
    const QList<int> failed = FailedNodes();
    static const QIcon failedIcon =
        QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    QTreeWidgetItemIterator it(TreeView);
    while (*it) {
        auto *node = static_cast<TProgramTreeItem *>(*it);
        node->setText(0, NodeLabel(node->Info));
        const bool bad = failed.contains(node->Info.Code);
        node->setIcon(0, bad ? failedIcon : QIcon());
        node->setForeground(0, bad ? QBrush(QColor(0xC0, 0x00, 0x00)) : QBrush());
        ++it;
    }
    FitTreeWidth();
    TreeView->viewport()->update();
}

void TProgramForm::FitTreeWidth()
{
    // The column fills the tree and is never narrower than its longest label, indentation
    // and mark included: beyond that the tree scrolls sideways.
    const QFontMetrics fm(TreeView->font());
    int widest = 0;
    for (QTreeWidgetItemIterator it(TreeView); *it; ++it) {
        int depth = 1; // the root's decoration
        for (const QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
            ++depth;
        const int icon = (*it)->icon(0).isNull() ? 0 : TreeView->iconSize().width() + 4;
        widest = std::max(widest, fm.horizontalAdvance((*it)->text(0)) +
                                      depth * TreeView->indentation() + icon + 12);
    }
    TreeView->header()->setMinimumSectionSize(widest);
}

void TProgramForm::TreeContextMenu(const QPoint &pos)
{
    if (QTreeWidgetItem *item = TreeView->itemAt(pos))
        TreeView->setCurrentItem(item);
    TreePopup->popup(TreeView->viewport()->mapToGlobal(pos));
}

// ---- Error list ----------------------------------------------------------------------

void TProgramForm::ShowMessages()
{
    // Only what was added since the last look is new in the usual case.
    const QStringList &messages = Document->MessageLines();
    const int shown = ErrorsListBox->count();
    bool prefix = shown <= Document->MessageLines().size();
    for (int i = 0; prefix && i < shown; ++i)
        prefix = ErrorsListBox->item(i)->text() == messages[i];
    if (!prefix) {
        ErrorsListBox->clear();
        ErrorsListBox->addItems(messages);
    } else if (shown < Document->MessageLines().size()) {
        ErrorsListBox->addItems(Document->MessageLines().mid(shown));
    }
    if (ErrorsListBox->count() > 0)
        ErrorsListBox->scrollToBottom();
}

void TProgramForm::MarkEditorErrors(bool fresh)
{
    if (CurrentNode == &NothingNode) {
        ProgramREdit->SetErrorLines({}, fresh);
        return;
    }
    const QMap<int, QMap<int, QStringList>> places = MessagesByPlace(Document->Messages());
    ProgramREdit->SetErrorLines(places.value(CurrentNode->Code), fresh);
}

void TProgramForm::ErrorsListBoxDblClick()
{
    const int row = ErrorsListBox->currentRow();
    const std::vector<TPlacedMessage> &messages = Document->Messages();
    if (row <= 0 || row >= ErrorsListBox->count() || static_cast<size_t>(row) >= messages.size())
        return;
    const TPlacedMessage &place = messages[static_cast<size_t>(row)];
    if (place.Node < 0)
        return;
    TProgramTreeItem *node = FindNode(place.Node);
    if (!node)
        return;
    // The line the message names is the text's as compiled; its mark has moved with the
    // editing since.
    if (node == SelectedNode() && !SelectionTimer.isActive()) {
        ProgramREdit->GoToLine(ProgramREdit->MarkedLine(place.Line));
        PendingLine = place.Line;
        ProgramREdit->setFocus();
    } else {
        PendingLine = place.Line;
        TreeView->setCurrentItem(node);
    }
}

void TProgramForm::NextErrorClick()
{
    StepError(true);
}

void TProgramForm::PreviousErrorClick()
{
    StepError(false);
}

QList<int> TProgramForm::FailedNodes() const
{
    QList<int> nodes;
    const QMap<int, QMap<int, QStringList>> places = MessagesByPlace(Document->Messages());
    if (places.contains(TTreeItemInfo::HeaderCode) && !Document->Program().Header.Valid)
        nodes.append(TTreeItemInfo::HeaderCode);
    for (auto it = places.cbegin(); it != places.cend(); ++it)
        if (it.key() >= 0 && it.key() < TZentorProgram::SectionCount &&
            Document->Program().Sections[it.key()].Present &&
            !Document->Program().Sections[it.key()].CompiledOk)
            nodes.append(it.key());
    return nodes;
}

void TProgramForm::StepError(bool forward)
{
    // Within the text shown first; past its last error line, on to the next failed node.
    const QList<int> lines = ProgramREdit->ErrorLineNumbers();
    const int caret = ProgramREdit->CaretLine();
    const bool more = forward ? !lines.isEmpty() && lines.last() > caret
                              : !lines.isEmpty() && lines.first() < caret;
    const QList<int> nodes = FailedNodes();
    const qsizetype here = nodes.indexOf(CurrentNode->Code);
    if (more || nodes.isEmpty() || (nodes.size() == 1 && here == 0)) {
        if (forward)
            ProgramREdit->GoToNextError();
        else
            ProgramREdit->GoToPreviousError();
        return;
    }
    // The header comes before every section.
    const auto rank = [](int code) { return code == TTreeItemInfo::HeaderCode ? -1 : code; };
    qsizetype next = forward ? 0 : nodes.size() - 1;
    if (here >= 0) {
        next = (here + (forward ? 1 : nodes.size() - 1)) % nodes.size();
    } else {
        const int at = rank(CurrentNode->Code);
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            const qsizetype k = forward ? i : nodes.size() - 1 - i;
            if (forward ? rank(nodes[k]) > at : rank(nodes[k]) < at) {
                next = k;
                break;
            }
        }
    }
    const QMap<int, QStringList> errors = MessagesByPlace(Document->Messages()).value(nodes[next]);
    const int line = errors.isEmpty() ? 0 : forward ? errors.firstKey() : errors.lastKey();
    GoToPlace(nodes[next] == TTreeItemInfo::HeaderCode ? -1 : nodes[next], line, 1);
    ProgramREdit->GoToLine(ProgramREdit->MarkedLine(line));
}

void TProgramForm::CopyClick()
{
    if (EditTarget == ErrorsListBox)
        CopyMessages();
    else
        ProgramREdit->copy();
}

void TProgramForm::CopyMessages()
{
    QStringList lines;
    for (int i = 0; i < ErrorsListBox->count(); ++i)
        if (ErrorsListBox->item(i)->isSelected())
            lines.append(ErrorsListBox->item(i)->text());
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(u'\n'));
}

void TProgramForm::ShowTreeClick()
{
    TreeView->show();
    TreeView->setFocus();
}

void TProgramForm::ShowErrorsClick()
{
    ErrorsListBox->show();
    ErrorsListBox->setFocus();
}

void TProgramForm::FindClick()
{
    if (ProgramREdit->hasSelectedText() && !ProgramREdit->selectedText().contains(u'\n'))
        FindForm->FindEdit->setText(ProgramREdit->selectedText());
    FindForm->show();
    FindForm->raise();
    FindForm->activateWindow();
    FindForm->FindEdit->setFocus();
}

void TProgramForm::GoToLineClick()
{
    TGoToLineForm form(this);
    form.LineSpin->setMaximum(qMax(0, ProgramREdit->lines() - 1));
    form.LineSpin->setValue(ProgramREdit->CaretLine());
    if (Dialogs.Exec(&form) != QDialog::Accepted)
        return;
    ProgramREdit->setFocus();
    ProgramREdit->GoToLine(form.LineSpin->value());
}

// ---- Window events -------------------------------------------------------------------

bool TProgramForm::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+C in the message list copies there instead of opening the port settings.
    if (event->type() == QEvent::ShortcutOverride && watched == ErrorsListBox &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == TreeView) {
        switch (key->key()) {
        case Qt::Key_Insert:
            AddSectionClick();
            return true;
        case Qt::Key_Delete:
            DeleteSectionClick();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ApplySelectionChange();
            ProgramREdit->setFocus();
            return true;
        default:
            break;
        }
    } else if (watched == ErrorsListBox &&
               (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        ErrorsListBoxDblClick();
        return true;
    } else if (watched == ErrorsListBox && key->matches(QKeySequence::Copy)) {
        CopyMessages();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TProgramForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!isMaximized() && !isFullScreen() && !isMinimized())
        NormalBounds = geometry(); // as the close handler writes them
}

void TProgramForm::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (!isMaximized() && !isFullScreen() && !isMinimized())
        NormalBounds = geometry(); // as the close handler writes them
}

void TProgramForm::closeEvent(QCloseEvent *event)
{
    // The question comes first: an exchange in flight (F2's status request, say) goes on
    // while it is asked, and the command it belongs to carries on when the window stays.
    Commit();
    if (!MayReplaceProgram(QString())) {
        event->ignore();
        return;
    }
    StopExchanges();
    WriteConfiguration();
    event->accept();
}
