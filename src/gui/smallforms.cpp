#include "gui/smallforms.h"

#include "core/textutils.h"
#include "core/version.h"
#include "gui/guitexts.h"
#include "gui/zentoreditor.h"
#include "model/zentorprogram.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// "Ok"/"Отмена" on the right of the window's bottom row.
QHBoxLayout *ButtonRow(QDialog *dialog, const QString &ok, const QString &cancel)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    auto *okButton = new QPushButton(ok, dialog);
    okButton->setObjectName(QStringLiteral("OkButton"));
    okButton->setDefault(true);
    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    row->addWidget(okButton);
    if (!cancel.isEmpty()) {
        auto *cancelButton = new QPushButton(cancel, dialog);
        cancelButton->setObjectName(QStringLiteral("CancelButton"));
        QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
        row->addWidget(cancelButton);
    }
    return row;
}

} // namespace

QString ProgramVersionText()
{
    QStringList parts = ZentorVersionText().split(u'.');
    while (parts.size() < 4)
        parts.append(QStringLiteral("0"));
    return parts.mid(0, 4).join(u'.');
}

TStartupForm::TStartupForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::StartupCaption);
    Memo = new QPlainTextEdit(this);
    Memo->setReadOnly(true);
    OkButton = new QPushButton(GuiTexts::OkButtonRu, this);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(OkButton);
    layout->addLayout(row);
    resize(480, 360);
}

void TStartupForm::AddLine(const QString &line)
{
    Memo->appendPlainText(line);
}

QStringList TStartupForm::Lines() const
{
    return Memo->toPlainText().split(u'\n');
}

TAddSectionForm::TAddSectionForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::AddSectionCaption);
    SectionNumCB = new QComboBox(this);
    NameEdit = new QLineEdit(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(GuiTexts::ChooseSectionNumber, this));
    layout->addWidget(SectionNumCB);
    layout->addWidget(new QLabel(GuiTexts::SectionName, this));
    layout->addWidget(NameEdit);
    layout->addLayout(ButtonRow(this, GuiTexts::OkButton, GuiTexts::CancelButton));
    // Wide enough for the caption to be read whole; the name is what is typed first.
    setMinimumWidth(QFontMetrics(font()).horizontalAdvance(GuiTexts::AddSectionCaption) + 160);
    NameEdit->setFocus();
}

void TAddSectionForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    NameEdit->setFocus();
    // The window's activation comes after the show and gives the focus to the first control.
    QTimer::singleShot(0, NameEdit, [this] { NameEdit->setFocus(); });
}

TAddBlockForm::TAddBlockForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::AddBlockCaption);
    BlockNumCB = new QComboBox(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(GuiTexts::ChooseBlockNumber, this));
    layout->addWidget(BlockNumCB);
    layout->addLayout(ButtonRow(this, GuiTexts::OkButton, GuiTexts::CancelButton));
}

TEditNameForm::TEditNameForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::EditNameCaption);
    NameEdit = new QLineEdit(this);
    NameEdit->setMinimumWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NameEdit);
    layout->addLayout(ButtonRow(this, GuiTexts::OkButton, GuiTexts::CancelButton));
}

TSelectSectionForm::TSelectSectionForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::SelectSectionCaption);
    BlockGroup = new QGroupBox(GuiTexts::ChooseBlock, this);
    auto *grid = new QGridLayout(BlockGroup);
    for (int g = 0; g < 8; ++g) {
        BlockRadios[g] = new QRadioButton(GuiTexts::BlockRadio + QString::number(g), BlockGroup);
        grid->addWidget(BlockRadios[g], g / 4, g % 4);
        connect(BlockRadios[g], &QRadioButton::toggled, this, [this, g](bool on) {
            if (on)
                ShowGroup(g);
        });
    }
    SectionsCB = new QComboBox(this);
    SectionsCB->setMinimumWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BlockGroup);
    layout->addWidget(SectionsCB);
    layout->addLayout(ButtonRow(this, GuiTexts::OkButtonRu, GuiTexts::CancelButton));
}

void TSelectSectionForm::Prepare(const TZentorProgram *program, int group)
{
    Program = program;
    for (int g = 0; g < 8; ++g)
        BlockRadios[g]->setEnabled(program && program->GroupPresent[g]);
    group = qBound(0, group, 7);
    BlockRadios[group]->setChecked(true);
    ShowGroup(group);
}

void TSelectSectionForm::ShowGroup(int group)
{
    SectionsCB->clear();
    if (!Program)
        return;
    for (int n = 32 * group; n < 32 * (group + 1); ++n)
        if (Program->Sections[n].Present)
            SectionsCB->addItem(GuiTexts::SectionWord + SectionNumberText(n) + u':' +
                                Program->Sections[n].Name);
    SectionsCB->setCurrentIndex(SectionsCB->count() > 0 ? 0 : -1);
}

TCompilerOptionsForm::TCompilerOptionsForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::CompilerOptionsCaption);
    auto *tabs = new QTabWidget(this);
    auto *page = new QWidget(tabs);
    auto *pageLayout = new QVBoxLayout(page);
    AutoOrder = new QCheckBox(GuiTexts::OptAutoOrder, page);
    CheckIndexes = new QCheckBox(GuiTexts::OptCheckIndexes, page);
    CheckLines = new QCheckBox(GuiTexts::OptCheckLines, page);
    Comments = new QCheckBox(GuiTexts::OptComments, page);
    for (QCheckBox *b : {AutoOrder, CheckIndexes, CheckLines, Comments})
        pageLayout->addWidget(b);
    tabs->addTab(page, GuiTexts::CompilePage);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(ButtonRow(this, GuiTexts::OkButtonRu, GuiTexts::CancelButton2));
}

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::AboutCaption);
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/zentor/zentor.svg")).pixmap(64, 64));
    auto *title = new QLabel(GuiTexts::AboutLine, this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    title->setFont(big);
    VersionLabel = new QLabel(GuiTexts::AboutVersion + ProgramVersionText(), this);
    LicenceLabel =
        new QLabel((QStringList{CopyrightLine()} + LicenceLinesRussian()).join(u'\n'), this);
    LicenceLabel->setTextFormat(Qt::PlainText);
    LicenceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    auto *texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(VersionLabel);
    top->addLayout(texts);
    layout->addLayout(top);
    layout->addWidget(LicenceLabel);
    layout->addLayout(ButtonRow(this, GuiTexts::CloseButton, QString()));
}

TGoToLineForm::TGoToLineForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::GoToLineCaption);
    LineSpin = new QSpinBox(this);
    LineSpin->setRange(0, 999999);
    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Номер строки (от 0):"), LineSpin);
    layout->addRow(ButtonRow(this, GuiTexts::OkButtonRu, GuiTexts::CancelButton));
}

void TGoToLineForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    LineSpin->setFocus();
    LineSpin->selectAll();
}

TFindReplaceForm::TFindReplaceForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::FindCaption);
    FindEdit = new QLineEdit(this);
    ReplaceEdit = new QLineEdit(this);
    CaseBox = new QCheckBox(QStringLiteral("С учётом &регистра"), this);
    WordBox = new QCheckBox(QStringLiteral("Слово &целиком"), this);
    StatusLabel = new QLabel(this);
    FindButton = new QPushButton(QStringLiteral("Найти &далее"), this);
    auto *backButton = new QPushButton(QStringLiteral("Найти &назад"), this);
    auto *replaceButton = new QPushButton(QStringLiteral("&Заменить"), this);
    auto *allButton = new QPushButton(QStringLiteral("Заменить &всё"), this);
    FindInProgramButton = new QPushButton(GuiTexts::ItemFindInProgram, this);
    ReplaceInProgramButton = new QPushButton(GuiTexts::ItemReplaceInProgram, this);
    auto *closeButton = new QPushButton(GuiTexts::CloseButton, this);
    FindButton->setDefault(true);
    connect(FindInProgramButton, &QPushButton::clicked, this, &TFindReplaceForm::FindInProgram);
    connect(ReplaceInProgramButton, &QPushButton::clicked, this,
            &TFindReplaceForm::ReplaceInProgram);
    connect(FindButton, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(backButton, &QPushButton::clicked, this, [this] {
        if (Editor)
            StatusLabel->setText(
                Editor->Find(FindEdit->text(), CaseBox->isChecked(), WordBox->isChecked(), false)
                    ? QString()
                    : GuiTexts::TextNotFound + FindEdit->text());
    });
    connect(replaceButton, &QPushButton::clicked, this, [this] { ReplaceOne(); });
    connect(allButton, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Найти:"), FindEdit);
    form->addRow(QStringLiteral("За&менить на:"), ReplaceEdit);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {FindButton, backButton, replaceButton, allButton, FindInProgramButton,
                           ReplaceInProgramButton, closeButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(CaseBox);
    left->addWidget(WordBox);
    left->addWidget(StatusLabel);
    left->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
}

bool TFindReplaceForm::FindNext()
{
    if (!Editor)
        return false;
    const bool found =
        Editor->Find(FindEdit->text(), CaseBox->isChecked(), WordBox->isChecked(), true);
    StatusLabel->setText(found ? QString() : GuiTexts::TextNotFound + FindEdit->text());
    return found;
}

bool TFindReplaceForm::ReplaceOne()
{
    if (!Editor)
        return false;
    // Replace the current match (when the selection is one), then move to the next.
    if (Editor->hasSelectedText() &&
        Editor->selectedText().compare(
            FindEdit->text(), CaseBox->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
        Editor->replaceSelectedText(ReplaceEdit->text());
    return FindNext();
}

int TFindReplaceForm::ReplaceAll()
{
    if (!Editor)
        return 0;
    const int n = Editor->ReplaceAll(FindEdit->text(), ReplaceEdit->text(), CaseBox->isChecked(),
                                     WordBox->isChecked());
    StatusLabel->setText(QStringLiteral("Заменено: %1").arg(n));
    return n;
}

void TFindReplaceForm::ShowForProgram(bool replace)
{
    (replace ? ReplaceInProgramButton : FindInProgramButton)->setDefault(true);
    show();
    raise();
    activateWindow();
    QLineEdit *edit = replace && !FindEdit->text().isEmpty() ? ReplaceEdit : FindEdit;
    edit->setFocus();
    edit->selectAll();
}

TSearchResultsForm::TSearchResultsForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::SearchResultsCaption);
    SummaryLabel = new QLabel(this);
    HitsList = new QListWidget(this);
    HitsList->setObjectName(QStringLiteral("HitsList"));
    HitsList->setFont(QFont(QStringLiteral("Courier New"), 11));
    HitsList->installEventFilter(this);
    connect(HitsList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { emit OpenHit(item->text()); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SummaryLabel);
    layout->addWidget(HitsList, 1);
    resize(640, 300);
}

void TSearchResultsForm::SetHits(const QString &summary, const QStringList &hits)
{
    SummaryLabel->setText(summary);
    HitsList->clear();
    HitsList->addItems(hits);
    if (!hits.isEmpty())
        HitsList->setCurrentRow(0);
}

bool TSearchResultsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == HitsList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && HitsList->currentItem()) {
            emit OpenHit(HitsList->currentItem()->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
