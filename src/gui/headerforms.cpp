#include "gui/headerforms.h"

#include "core/textutils.h"
#include "gui/guitexts.h"
#include "gui/userdialogs.h"
#include "prp/headerentries.h"
#include "prp/prpheader.h"
#include "prp/variableclass.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

// Class code of each entry of the variable list ("нет", "ДВ", ... "ИВ"): a class's first
// code; ДВ and ВД indexes from 256 take the class's second code.
constexpr TVariableClassCode kEntryClass[] = {ClassNone, ClassDV, ClassKB, ClassKS, ClassTM,
                                              ClassVD,   ClassVA, ClassAV, ClassIV};

int EntryOfClass(int cls)
{
    const TVariableClassCode first = FirstClassCode(cls);
    const auto *entry = std::find(std::begin(kEntryClass), std::end(kEntryClass), first);
    return entry == std::end(kEntryClass) ? 0 : static_cast<int>(entry - std::begin(kEntryClass));
}

} // namespace

// ---- Timer-generator ------------------------------------------------------------------------

TTimeGenEditForm::TTimeGenEditForm(TUserDialogs &dialogs, QWidget *parent)
    : QDialog(parent), Dialogs(dialogs)
{
    setWindowTitle(GuiTexts::TimeGenCaption);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(GuiTexts::TimeGenOn, this));
    Edit1 = new QLineEdit(this);
    layout->addWidget(Edit1);
    layout->addWidget(new QLabel(GuiTexts::TimeGenOff, this));
    Edit2 = new QLineEdit(this);
    layout->addWidget(Edit2);
    auto *buttons = new QHBoxLayout;
    OkBtn = new QPushButton(GuiTexts::OkButtonRu, this);
    OkBtn->setDefault(true);
    BtnReset = new QPushButton(GuiTexts::ResetButton, this);
    BtnCancel = new QPushButton(GuiTexts::CancelButton, this);
    buttons->addWidget(OkBtn);
    buttons->addWidget(BtnReset);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(OkBtn, &QPushButton::clicked, this, &TTimeGenEditForm::OkBtnClick);
    connect(BtnReset, &QPushButton::clicked, this, &TTimeGenEditForm::BtnResetClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TTimeGenEditForm::WordText(std::uint8_t low, std::uint8_t high)
{
    return HeaderIntervalText(low, high);
}

bool TTimeGenEditForm::ParseWord(const QString &text, std::uint8_t &low, std::uint8_t &high)
{
    const QString t = text.trimmed().toUpper();
    if (t.isEmpty())
        return false;
    if (t.startsWith(u'-')) {
        low = high = 0;
        return true;
    }
    if (t.startsWith(u'В') || t.startsWith(u'А')) {
        // "ВА" or "АВ" and an octal index that fits the low byte doubled.
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.size() > 3 || !IsOctalText(digits))
            return false;
        const int i = ParseOctal(digits);
        if (2 * i > 255)
            return false;
        high = t.startsWith(u'В') ? HeaderWord::PlusVA : HeaderWord::PlusAV;
        low = static_cast<std::uint8_t>(2 * i);
        return true;
    }
    if (!IsDecimalText(t) || t.size() > 5)
        return false;
    const int c = t.toInt();
    if (2 * c > 0xFFFF)
        return false;
    low = static_cast<std::uint8_t>((2 * c) & 0xFF);
    high = static_cast<std::uint8_t>((2 * c) >> 8);
    return true;
}

void TTimeGenEditForm::FormShow()
{
    if (!Header || Number < 0 || Number > 7)
        return;
    setWindowTitle(GuiTexts::TimeGenCaption + u' ' + QString::number(Number));
    const std::uint8_t *w = Header->TimeGen[Number];
    Edit1->setText(WordText(w[0], w[1]));
    Edit2->setText(WordText(w[2], w[3]));
}

void TTimeGenEditForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TTimeGenEditForm::BtnResetClick()
{
    Edit1->clear();
    Edit2->clear();
}

void TTimeGenEditForm::OkBtnClick()
{
    if (!Header || Number < 0 || Number > 7)
        return;
    std::uint8_t on[2], off[2];
    // Both fields are checked before either is stored.
    if (!ParseWord(Edit1->text(), on[0], on[1])) {
        Dialogs.Notice(this,
                       GuiTexts::BadFieldValue + GuiTexts::TimeGenOn + GuiTexts::BadFieldValueEnd +
                           Edit1->text(),
                       GuiTexts::ErrorCaption1, TUserDialogs::Error);
        return;
    }
    if (!ParseWord(Edit2->text(), off[0], off[1])) {
        Dialogs.Notice(this,
                       GuiTexts::BadFieldValue + GuiTexts::TimeGenOff + GuiTexts::BadFieldValueEnd +
                           Edit2->text(),
                       GuiTexts::ErrorCaption1, TUserDialogs::Error);
        return;
    }
    std::uint8_t *w = Header->TimeGen[Number];
    w[0] = on[0];
    w[1] = on[1];
    w[2] = off[0];
    w[3] = off[1];
    accept();
}

// ---- Impulse output -------------------------------------------------------------------------

TImpEditForm::TImpEditForm(TUserDialogs &dialogs, QWidget *parent)
    : QDialog(parent), Dialogs(dialogs)
{
    setWindowTitle(GuiTexts::ImpCaption);
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(GuiTexts::ImpSource, this), 0, 0);
    Edit = new QLineEdit(this);
    layout->addWidget(Edit, 0, 1);
    layout->addWidget(new QLabel(GuiTexts::ImpMinTick, this), 1, 0);
    CBMinTik = new QComboBox(this);
    CBMinTik->addItems(GuiTexts::ImpTicks);
    CBMinTik->setCurrentIndex(0);
    layout->addWidget(CBMinTik, 1, 1);
    auto *buttons = new QHBoxLayout;
    BtnOk = new QPushButton(GuiTexts::OkButtonRu, this);
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(GuiTexts::CancelButton, this);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons, 2, 0, 1, 2);
    connect(BtnOk, &QPushButton::clicked, this, &TImpEditForm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TImpEditForm::FormShow()
{
    if (!Header || Number < 0 || Number > 31)
        return;
    setWindowTitle(GuiTexts::ImpCaptionPrefix + OctalText(Number, 2));
    Edit->setText(Header->ImpulseSourceText(Number));
    CBMinTik->setCurrentIndex(Header->ImpulseTickCode(Number));
}

void TImpEditForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TImpEditForm::BtnOkClick()
{
    if (!Header || Number < 0 || Number > 31)
        return;
    if (Header->SetImpulseSource(Number, Edit->text()) != 0) {
        Dialogs.Notice(this, GuiTexts::ImpSourceError, GuiTexts::ErrorCaption1,
                       TUserDialogs::Error);
        return;
    }
    Header->SetImpulseTickCode(Number, std::max(0, CBMinTik->currentIndex()));
    accept();
}

// ---- Technological key ----------------------------------------------------------------------

TFormTechKeyEdit::TFormTechKeyEdit(TUserDialogs &dialogs, QWidget *parent)
    : QDialog(parent), Dialogs(dialogs)
{
    setWindowTitle(GuiTexts::TechKeyCaption);
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(GuiTexts::TechKeyVariable, this), 0, 0);
    CBVar = new QComboBox(this);
    CBVar->addItems(GuiTexts::TechKeyClasses);
    layout->addWidget(CBVar, 0, 1);
    CBVarNum = new QComboBox(this);
    CBVarNum->setEditable(true);
    layout->addWidget(CBVarNum, 0, 2);
    layout->addWidget(new QLabel(GuiTexts::TechKeyText, this), 1, 0);
    Edit = new QLineEdit(this);
    layout->addWidget(Edit, 1, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    Button1 = new QPushButton(GuiTexts::OkButtonRu, this);
    Button1->setDefault(true);
    Button2 = new QPushButton(GuiTexts::CancelButton, this);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons, 2, 0, 1, 3);
    connect(CBVar, &QComboBox::activated, this, &TFormTechKeyEdit::CBVarChange);
    connect(Button1, &QPushButton::clicked, this, &TFormTechKeyEdit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormTechKeyEdit::RefillNumbers()
{
    CBVarNum->clear();
    if (!Header)
        return;
    const TPRPHeader &h = *Header;
    QStringList numbers;
    auto octalRange = [&numbers](int last, int width) {
        for (int n = 0; n <= last; ++n)
            numbers.append(OctalText(n, width));
    };
    switch (CBVar->currentIndex()) {
    case 1:
        octalRange(8 * h.OrderDV + 7, 3);
        break;
    case 2:
        octalRange(h.OrderKB, 1);
        break;
    case 3:
        for (int n = 0; n <= 32 * h.OrderKB && n < 256; ++n)
            numbers.append(SectionNumberText(n));
        break;
    case 4:
        octalRange(8 * h.OrderTM + 7, 2);
        break;
    case 5:
        octalRange(8 * h.OrderVD + 7, 3);
        break;
    case 6:
        octalRange(8 * h.OrderVA + 7, 3);
        break;
    case 7:
        octalRange(8 * h.OrderAV + 7, 3);
        break;
    case 8:
        octalRange(31, 2);
        break;
    default:
        break;
    }
    CBVarNum->addItems(numbers);
    CBVarNum->setCurrentIndex(numbers.isEmpty() ? -1 : 0);
    // A key without a variable has neither a number nor a text.
    const bool used = CBVar->currentIndex() > 0;
    CBVarNum->setEnabled(used);
    Edit->setEnabled(used);
}

void TFormTechKeyEdit::FormShow()
{
    if (!Header || Number < 0 || Number >= TPRPHeader::KeyCount)
        return;
    const TTechKey &key = Header->TechKeys[Number];
    CBVar->setCurrentIndex(EntryOfClass(key.Class));
    Edit->setText(key.Class == 0 ? QString() : key.Name);
    RefillNumbers();
    const int position = ClassIndex(key.Class, key.Index);
    if (position < CBVarNum->count())
        CBVarNum->setCurrentIndex(position);
}

void TFormTechKeyEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormTechKeyEdit::CBVarChange()
{
    RefillNumbers();
}

void TFormTechKeyEdit::Button1Click()
{
    if (!Header || Number < 0 || Number >= TPRPHeader::KeyCount)
        return;
    const int entry = std::max(0, CBVar->currentIndex());
    TVariableClassCode cls = kEntryClass[entry];
    int index = 0;
    if (entry > 0) {
        const QString t = CBVarNum->currentText().trimmed();
        bool ok = IsOctalText(t) && !t.isEmpty();
        if (ok) {
            index = entry == 3 ? ParseSectionNumber(t) : ParseOctal(t);
            ok = t.size() <= 3 && index >= 0;
            if (ok) {
                cls = ClassCodeForIndex(cls, static_cast<unsigned>(index));
                index -= ClassIndex(cls, 0);
            }
            ok = ok && index <= 255;
        }
        if (!ok) {
            Dialogs.Notice(this, GuiTexts::TechKeyBadNumber + t, GuiTexts::ErrorCaption1,
                           TUserDialogs::Error);
            return;
        }
    }
    TTechKey &key = Header->TechKeys[Number];
    key.Class = static_cast<std::uint8_t>(cls);
    key.Index = static_cast<std::uint8_t>(index);
    key.Name = Edit->text().toUpper().leftJustified(8, u' ', true);
    accept();
}
