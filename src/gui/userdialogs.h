#pragma once
// Every question, notice, file dialog and modal window of the desktop goes through this
// interface, so that the windows run the same under a person and under the widget tests,
// which answer from a script.

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// A file dialog as the windows describe it: filter in "description|pattern|..." pairs,
// the start folder, the offered name and the 1-based filter index.
struct TFileDialogSpec
{
    QString Filter;
    QString InitialDir;
    QString FileName;
    int FilterIndex = 1;
    QString Caption; // empty: the dialog's own
};

class TUserDialogs
{
public:
    enum TButtons { Ok, OkCancel, YesNo, YesNoCancel };
    enum TIcon { Information, Warning, Error, Question };
    enum TAnswer { AnswerOk, AnswerCancel, AnswerYes, AnswerNo };

    virtual ~TUserDialogs() = default;

    virtual TAnswer Ask(QWidget *parent, const QString &text, const QString &caption,
                        TButtons buttons, TIcon icon, TAnswer defaultAnswer) = 0;
    void Notice(QWidget *parent, const QString &text, const QString &caption, TIcon icon)
    {
        Ask(parent, text, caption, Ok, icon, AnswerOk);
    }

    // True with request.FileName and request.FilterIndex set when a file was chosen.
    virtual bool ChooseOpenFile(QWidget *parent, TFileDialogSpec &request) = 0;
    virtual bool ChooseSaveFile(QWidget *parent, TFileDialogSpec &request) = 0;

    // Shows one of the program's modal windows; QDialog::Accepted or Rejected.
    virtual int Exec(QDialog *dialog) = 0;
};

// The real dialogs of the desktop.
class TQtUserDialogs : public TUserDialogs
{
public:
    TAnswer Ask(QWidget *parent, const QString &text, const QString &caption, TButtons buttons,
                TIcon icon, TAnswer defaultAnswer) override;
    bool ChooseOpenFile(QWidget *parent, TFileDialogSpec &request) override;
    bool ChooseSaveFile(QWidget *parent, TFileDialogSpec &request) override;
    int Exec(QDialog *dialog) override;
};

// "desc|pattern|desc|pattern" -> the name filters of a Qt file dialog ("desc (p1 p2)").
QStringList QtNameFilters(const QString &filter);
