#include "gui/programform.h"
#include "gui/programsearch.h"
#include "gui/programstructure.h"

#include "core/textutils.h"
#include "gui/guitexts.h"
#include "gui/guitexts_watch.h"
#include "gui/mainmenus.h"
#include "gui/messagelist.h"
#include "gui/programparts.h"
#include "gui/sarvetelvarsform.h"
#include "gui/smallforms.h"
#include "gui/trendform.h"
#include "gui/zentoreditor.h"
#include "model/messageplace.h"

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

TProgramForm::TProgramForm(TUserDialogs &dialogs, const TProgramPaths &paths,
                           const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), Dialogs(dialogs), Paths(paths), Arguments(arguments),
      Document(std::make_unique<TProgramDocument>())
{
    connect(Document.get(), &TProgramDocument::ChangedMarkChanged, this,
            [this] { SetCaption(CaptionBase); });
    connect(Document.get(), &TProgramDocument::MessagesChanged, this,
            [this] { ErrorsListBox->Show(Document->MessageLines()); });
    connect(Document.get(), &TProgramDocument::ProgramReplaced, this, [this] {
        RebuildTree();
        TreeView->SelectNode(TTreeItemInfo::HeaderCode);
    });
    SetCaption(GuiTexts::MainCaption);
    setWindowIcon(QIcon(QStringLiteral(":/zentor/zentor.svg")));
    setMinimumSize(300, 200);
    CreateControls();
    TMainMenus::Build(*this);
    ValuesTimer.setInterval(TSarvetelVarsForm::RefreshMs);
    connect(&ValuesTimer, &QTimer::timeout, this, &TProgramForm::RefreshValueNotes);
    UpdateControllerItems();
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
    TreeView = new TProgramTreeView(this);
    TreeView->installEventFilter(this);
    connect(TreeView, &QTreeWidget::currentItemChanged, this, [this] { SelectionTimer.start(); });
    connect(TreeView, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QTreeWidgetItem *item = TreeView->itemAt(pos))
            TreeView->setCurrentItem(item);
        TreePopup->popup(TreeView->viewport()->mapToGlobal(pos));
    });
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
    connect(ProgramREdit, &TZentorEditor::CaretMoved, this, [this] {
        StatusPanel0->setText(QString::number(ProgramREdit->CaretLine()) + u':' +
                              QString::number(ProgramREdit->CaretColumn()));
    });

    ErrorsListBox = new TMessageList(this);
    ErrorsListBox->installEventFilter(this);
    connect(ErrorsListBox, &QListWidget::itemDoubleClicked, this,
            [this] { TProgramStructure::GoToMessage(*this); });

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
    connect(FindForm, &TFindReplaceForm::FindInProgram, this,
            [this] { TProgramSearch::Find(*this); });
    connect(FindForm, &TFindReplaceForm::ReplaceInProgram, this,
            [this] { TProgramSearch::Replace(*this); });
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
    TProgramTreeItem *node = TreeView->SelectedNode();
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
    StatusPanel0->setText(QString::number(ProgramREdit->CaretLine()) + u':' +
                          QString::number(ProgramREdit->CaretColumn()));
}

void TProgramForm::ShowNoText()
{
    CurrentNode = &NothingNode;
    EditorChanged = false;
    ProgramREdit->LoadLines({}, TTextKind::Section);
    ProgramREdit->setReadOnly(true);
    StatusPanel1->clear();
}

void TProgramForm::RebuildTree()
{
    SelectionTimer.stop();
    const QSignalBlocker block(TreeView);
    ProgramREdit->ForgetNodes(); // a new program: no history of the last one
    EditorChanged = false;
    CurrentNode = &NothingNode;
    TreeView->Build(Document->Program());
    RelabelTree();
    RefreshCrossRef();
    TProgramSearch::Refresh(*this);
}

void TProgramForm::RelabelTree()
{
    TreeView->Relabel(Document->Program(), Document->FailedNodes());
}

// ---- Error list ----------------------------------------------------------------------

void TProgramForm::MarkEditorErrors(bool fresh)
{
    if (CurrentNode == &NothingNode) {
        ProgramREdit->SetErrorLines({}, fresh);
        return;
    }
    const QMap<int, QMap<int, QStringList>> places = MessagesByPlace(Document->Messages());
    ProgramREdit->SetErrorLines(places.value(CurrentNode->Code), fresh);
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
            TProgramStructure::AddSection(*this);
            return true;
        case Qt::Key_Delete:
            TProgramStructure::DeleteSection(*this);
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
        TProgramStructure::GoToMessage(*this);
        return true;
    } else if (watched == ErrorsListBox && key->matches(QKeySequence::Copy)) {
        ErrorsListBox->CopySelected();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TProgramForm::event(QEvent *event)
{
    const bool done = QMainWindow::event(event);
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && !isMaximized() &&
        !isFullScreen() && !isMinimized())
        NormalBounds = geometry(); // as the close handler writes them
    return done;
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
