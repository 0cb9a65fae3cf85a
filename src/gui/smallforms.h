#pragma once
// The small modal windows of the main window: start-up report, add section, add group,
// rename, go to section, compile options, about, go to line, find and replace.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TZentorProgram;
class TZentorEditor;

class TStartupForm : public QDialog
{
    Q_OBJECT
public:
    explicit TStartupForm(QWidget *parent = nullptr);
    void AddLine(const QString &line);
    QStringList Lines() const;

    QPlainTextEdit *Memo;
    QPushButton *OkButton;
};

class TAddSectionForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAddSectionForm(QWidget *parent = nullptr);
    QComboBox *SectionNumCB;
    QLineEdit *NameEdit;

protected:
    void showEvent(QShowEvent *event) override;
};

class TAddBlockForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAddBlockForm(QWidget *parent = nullptr);
    QComboBox *BlockNumCB;
};

class TEditNameForm : public QDialog
{
    Q_OBJECT
public:
    explicit TEditNameForm(QWidget *parent = nullptr);
    QLineEdit *NameEdit;
};

class TSelectSectionForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectSectionForm(QWidget *parent = nullptr);
    // Radio buttons enabled by the present groups, the list of the group's sections.
    void Prepare(const TZentorProgram *program, int group);
    void ShowGroup(int group);

    QGroupBox *BlockGroup;
    QRadioButton *BlockRadios[8];
    QComboBox *SectionsCB;

private:
    const TZentorProgram *Program = nullptr;
};

class TCompilerOptionsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCompilerOptionsForm(QWidget *parent = nullptr);
    QCheckBox *AutoOrder;
    QCheckBox *CheckIndexes;
    QCheckBox *CheckLines;
    QCheckBox *Comments;
};

class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);
    QLabel *VersionLabel;
    QLabel *LicenceLabel; // the copyright and the licence the program is given under
};

class TGoToLineForm : public QDialog
{
    Q_OBJECT
public:
    explicit TGoToLineForm(QWidget *parent = nullptr);
    QSpinBox *LineSpin;

protected:
    void showEvent(QShowEvent *event) override; // the number selected: typing replaces it
};

// Not modal: stays open beside the editor while the user steps through the matches.
class TFindReplaceForm : public QDialog
{
    Q_OBJECT
public:
    explicit TFindReplaceForm(QWidget *parent = nullptr);
    void SetEditor(TZentorEditor *editor) { Editor = editor; }
    bool FindNext();
    bool ReplaceOne();
    int ReplaceAll();
    // Shows the form for a search across the program: the button for it is the default.
    void ShowForProgram(bool replace);

    QLineEdit *FindEdit;
    QLineEdit *ReplaceEdit;
    QCheckBox *CaseBox;
    QCheckBox *WordBox;
    QLabel *StatusLabel;
    QPushButton *FindButton;
    QPushButton *FindInProgramButton;
    QPushButton *ReplaceInProgramButton;

signals:
    void FindInProgram();
    void ReplaceInProgram();

private:
    TZentorEditor *Editor = nullptr;
};

// Not modal: the places a search across the program found, one line each as the compiler
// tags places; a double click or Enter opens the section or the header at the place.
class TSearchResultsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSearchResultsForm(QWidget *parent = nullptr);
    void SetHits(const QString &summary, const QStringList &hits);
    QLabel *SummaryLabel;
    QListWidget *HitsList;

signals:
    void OpenHit(const QString &hit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Version of the program as four numbers joined by ".".
QString ProgramVersionText();
