#pragma once
// The three dialogs that edit one entry of a header object in place: a timer-generator's
// two intervals, an impulse output's source and duration, one technological key. The
// caller sets the header and the entry number before showing the dialog.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class TPRPHeader;
class TUserDialogs;

class TTimeGenEditForm : public QDialog
{
    Q_OBJECT
public:
    explicit TTimeGenEditForm(TUserDialogs &dialogs, QWidget *parent = nullptr);
    TPRPHeader *Header = nullptr;
    int Number = 0;

    // Fills the fields from the entry (what showing the dialog does).
    void FormShow();
    void OkBtnClick();
    void BtnResetClick();

    // The field text of an interval word ("ВА005", "АВ012", "15").
    static QString WordText(std::uint8_t low, std::uint8_t high);
    // Field text -> interval word. False when the text is not a value.
    static bool ParseWord(const QString &text, std::uint8_t &low, std::uint8_t &high);

    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QPushButton *OkBtn;
    QPushButton *BtnReset;
    QPushButton *BtnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TUserDialogs &Dialogs;
};

class TImpEditForm : public QDialog
{
    Q_OBJECT
public:
    explicit TImpEditForm(TUserDialogs &dialogs, QWidget *parent = nullptr);
    TPRPHeader *Header = nullptr;
    int Number = 0;

    void FormShow();
    void BtnOkClick();

    QLineEdit *Edit;
    QComboBox *CBMinTik;
    QPushButton *BtnOk;
    QPushButton *BtnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TUserDialogs &Dialogs;
};

class TFormTechKeyEdit : public QDialog
{
    Q_OBJECT
public:
    explicit TFormTechKeyEdit(TUserDialogs &dialogs, QWidget *parent = nullptr);
    TPRPHeader *Header = nullptr;
    int Number = 0;

    void FormShow();
    void CBVarChange();
    void Button1Click();

    QComboBox *CBVar;
    QComboBox *CBVarNum;
    QLineEdit *Edit;
    QPushButton *Button1;
    QPushButton *Button2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void RefillNumbers();
    TUserDialogs &Dialogs;
};
