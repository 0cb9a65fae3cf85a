// The header edit dialogs on a header object of their own: what each shows, stores and
// refuses.

#include "../utf8text.h"
#include "gui/headerforms.h"
#include "guitestutil.h"
#include "prp/prpheader.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

class HeaderFormsTest : public ::testing::Test
{
protected:
    TScriptedDialogs Dialogs;
    TPRPHeader Header;
};

TEST_F(HeaderFormsTest, TimerGeneratorShowsAndStoresBothIntervals)
{
    TTimeGenEditForm form(Dialogs);
    form.Header = &Header;
    form.Number = 3;
    Header.TimeGen[3][0] = 30; // 15 ticks
    Header.TimeGen[3][1] = 0;
    Header.TimeGen[3][2] = 10; // ВА005
    Header.TimeGen[3][3] = 0x40;
    form.FormShow();
    EXPECT_EQ(form.windowTitle(), S("Настройка таймер-генератора 3"));
    EXPECT_EQ(form.Edit1->text(), S("15"));
    EXPECT_EQ(form.Edit2->text(), S("ВА005"));

    form.Edit1->setText(S("-"));
    form.Edit2->setText(S("ав012"));
    form.OkBtnClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Header.TimeGen[3][0], 0);
    EXPECT_EQ(Header.TimeGen[3][1], 0);
    EXPECT_EQ(Header.TimeGen[3][2], 20);
    EXPECT_EQ(Header.TimeGen[3][3], 0x41);

    // A large decimal keeps both bytes.
    form.Edit1->setText(S("1000"));
    form.OkBtnClick();
    EXPECT_EQ(Header.TimeGen[3][0], 2000 & 0xFF);
    EXPECT_EQ(Header.TimeGen[3][1], 2000 >> 8);
    form.FormShow();
    EXPECT_EQ(form.Edit1->text(), S("1000"));
}

TEST_F(HeaderFormsTest, TimerGeneratorRefusesBadValuesAndStoresNothing)
{
    TTimeGenEditForm form(Dialogs);
    form.Header = &Header;
    form.Number = 0;
    std::uint8_t before[4];
    std::copy(Header.TimeGen[0], Header.TimeGen[0] + 4, before);
    const char *bad[][2] = {{"7", ""},   {"7", "abc"},   {"ВА9", "1"},
                            {"7", "ВА"}, {"40000", "1"}, {"1", "АВ400"}};
    for (const auto &b : bad) {
        form.Edit1->setText(S(b[0]));
        form.Edit2->setText(S(b[1]));
        form.setResult(0);
        form.OkBtnClick();
        EXPECT_EQ(form.result(), 0) << b[0] << " " << b[1];
        EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Неверное значение в поле")));
        EXPECT_TRUE(std::equal(before, before + 4, Header.TimeGen[0])) << b[0] << " " << b[1];
    }
    // The message names the field that is wrong.
    form.Edit1->setText(S("x"));
    form.OkBtnClick();
    EXPECT_TRUE(Dialogs.LastQuestion().contains(S("Интервал включения")));
    form.Edit1->setText(S("5"));
    form.Edit2->setText(S("y"));
    form.OkBtnClick();
    EXPECT_TRUE(Dialogs.LastQuestion().contains(S("Интервал отключения")));
    form.BtnResetClick();
    EXPECT_TRUE(form.Edit1->text().isEmpty());
    EXPECT_TRUE(std::equal(before, before + 4, Header.TimeGen[0]));
}

TEST_F(HeaderFormsTest, ImpulseOutputShowsAndStoresSourceAndDuration)
{
    TImpEditForm form(Dialogs);
    form.Header = &Header;
    form.Number = 9;
    ASSERT_EQ(Header.SetImpulseSource(9, S("+ВА001")), 0);
    Header.SetImpulseTickCode(9, 2);
    form.FormShow();
    EXPECT_EQ(form.windowTitle(), S("Импульсный выход ИВ11"));
    EXPECT_EQ(form.Edit->text(), S("+ВА001"));
    EXPECT_EQ(form.CBMinTik->currentText(), S("0,4 сек"));

    form.Edit->setText(S("-АВ002"));
    form.CBMinTik->setCurrentIndex(3);
    form.BtnOkClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Header.ImpulseSourceText(9), S("-АВ002"));
    EXPECT_EQ(Header.ImpulseTickCode(9), 3);
    EXPECT_EQ(Header.ImpulseTickCode(8), 0); // the neighbours' bits are kept

    form.setResult(0);
    form.Edit->setText(S("+ВХ1"));
    form.CBMinTik->setCurrentIndex(0);
    form.BtnOkClick();
    EXPECT_EQ(form.result(), 0);
    EXPECT_EQ(Dialogs.LastQuestion(), S("Ошибка при задании источника импульсного выхода."));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Ошибка!"));
    EXPECT_EQ(Header.ImpulseSourceText(9), S("-АВ002"));
    EXPECT_EQ(Header.ImpulseTickCode(9), 3);
}

TEST_F(HeaderFormsTest, TechnologicalKeyShowsClassIndexAndName)
{
    TFormTechKeyEdit form(Dialogs);
    form.Header = &Header;
    form.Number = 5;
    Header.OrderVD = 63;
    Header.TechKeys[5] = {7, 3, S("НАСОС   ")};
    form.FormShow();
    EXPECT_EQ(form.CBVar->currentText(), S("ВД"));
    EXPECT_EQ(form.CBVarNum->currentIndex(), 259);
    EXPECT_EQ(form.CBVarNum->currentText(), S("403"));
    EXPECT_EQ(form.Edit->text(), S("НАСОС   "));
    EXPECT_TRUE(form.Edit->isEnabled());

    // "нет" disables the number and the text; another class enables them again.
    form.CBVar->setCurrentIndex(0);
    form.CBVarChange();
    EXPECT_FALSE(form.Edit->isEnabled());
    EXPECT_FALSE(form.CBVarNum->isEnabled());
    form.CBVar->setCurrentIndex(1);
    form.CBVarChange();
    EXPECT_TRUE(form.Edit->isEnabled());
    EXPECT_TRUE(form.CBVarNum->isEnabled());
    EXPECT_EQ(form.CBVarNum->count(), 8 * Header.OrderDV + 8);
}

TEST_F(HeaderFormsTest, TechnologicalKeyStoresWhatWasChosen)
{
    TFormTechKeyEdit form(Dialogs);
    form.Header = &Header;
    form.Number = 63;
    Header.OrderDV = 63;
    Header.OrderKB = 2;
    form.FormShow();
    EXPECT_EQ(form.CBVar->currentText(), S("нет"));
    EXPECT_FALSE(form.Edit->isEnabled());

    form.CBVar->setCurrentIndex(1); // ДВ 400: the second class code, index 0
    form.CBVarChange();
    form.CBVarNum->setCurrentText(S("400"));
    form.Edit->setText(S("задвижка-11"));
    form.Button1Click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Header.TechKeys[63].Class, 2);
    EXPECT_EQ(Header.TechKeys[63].Index, 0);
    EXPECT_EQ(Header.TechKeys[63].Name, S("ЗАДВИЖКА"));

    form.CBVar->setCurrentIndex(3); // КС by section number
    form.CBVarChange();
    EXPECT_EQ(form.CBVarNum->count(), 65);
    form.CBVarNum->setCurrentText(S("101"));
    form.Edit->setText(S("ab"));
    form.Button1Click();
    EXPECT_EQ(Header.TechKeys[63].Class, 4);
    EXPECT_EQ(Header.TechKeys[63].Index, 33);
    EXPECT_EQ(Header.TechKeys[63].Name, S("AB      "));

    // A number that is not one is refused; the key stays as it was.
    form.CBVar->setCurrentIndex(4);
    form.CBVarChange();
    form.CBVarNum->setCurrentText(S("9x"));
    form.setResult(0);
    form.Button1Click();
    EXPECT_EQ(form.result(), 0);
    EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Неверный номер переменной")));
    EXPECT_EQ(Header.TechKeys[63].Class, 4);

    // "нет" clears the key's variable.
    form.CBVar->setCurrentIndex(0);
    form.CBVarChange();
    form.Button1Click();
    EXPECT_EQ(Header.TechKeys[63].Class, 0);
}

} // namespace
