// The interface module in the desktop with a card model behind the port-I/O interface:
// the start-up lines when access is granted or refused, and the multi-channel group of
// the port dialog.

#include "../utf8text.h"
#include "gui/comportsetupform.h"
#include "gui/programparts.h"
#include "guitestutil.h"
#include "link/ksb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <vector>

namespace {

// A КСБ card: the control register reads back what was written, the status word is set
// by the test.
struct TCardState
{
    std::uint8_t Control = 0;
    std::uint16_t Status = 0;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> Writes;
};

class TFakeCard : public TPortIO
{
public:
    explicit TFakeCard(TCardState &state) : State(state) {}
    std::uint8_t InByte(std::uint16_t address) override
    {
        return address == TKSB::ControlAddress ? State.Control : 0xFF;
    }
    std::uint16_t InWord(std::uint16_t address) override
    {
        return address == TKSB::StatusAddress ? State.Status : 0xFFFF;
    }
    void OutByte(std::uint16_t address, std::uint8_t value) override
    {
        State.Writes.emplace_back(address, value);
        if (address == TKSB::ControlAddress)
            State.Control = value;
    }

private:
    TCardState &State;
};

class KsbTest : public TGuiTest
{
protected:
    TCardState Card;

    std::unique_ptr<TProgramForm> MakeFormWithCard(bool granted)
    {
        TZentorForms::TOptions options;
        options.ShowReport = false;
        options.DirectPortIO = false;
        options.PortIO = [this, granted]() -> std::unique_ptr<TPortIO> {
            if (!granted)
                return nullptr;
            return std::make_unique<TFakeCard>(Card);
        };
        return TZentorForms::Create(Dialogs, Paths(), {}, options);
    }
};

TEST_F(KsbTest, StartUpWithTheCard)
{
    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=да")});
    auto form = MakeFormWithCard(true);
    const QStringList &r = form->StartupReport;
    const int asking = static_cast<int>(r.indexOf(S("Получение доступа к портам ввода/вывода...")));
    ASSERT_GE(asking, 0);
    EXPECT_EQ(r.value(asking + 1), S("Доступ к портам ввода/вывода получен"));
    EXPECT_TRUE(r.contains(S("  Работа с КСБ разрешена.")));
    ASSERT_NE(form->Link->Ksb, nullptr);
    EXPECT_EQ(form->Link->Ksb->Present, 1);
    // Detection wrote 0x15 and then 0x07 to the control register.
    ASSERT_GE(Card.Writes.size(), 2u);
    EXPECT_EQ(Card.Writes[0], std::make_pair(std::uint16_t(0x300), std::uint8_t(0x15)));
    EXPECT_EQ(Card.Writes[1], std::make_pair(std::uint16_t(0x300), std::uint8_t(0x07)));
    ASSERT_TRUE(form->WriteConfiguration());
    EXPECT_TRUE(ReadLines(Home() + S("ZentorEditor.ini")).contains(S("Использовать КСБ=да")));
}

TEST_F(KsbTest, AccessRefusedIsReportedAndTheModuleIsOff)
{
    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=да")});
    auto form = MakeFormWithCard(false);
    const QStringList &r = form->StartupReport;
    const int asking = static_cast<int>(r.indexOf(S("Получение доступа к портам ввода/вывода...")));
    ASSERT_GE(asking, 0);
    EXPECT_TRUE(r.value(asking + 1).startsWith(S("Нет доступа к портам ввода/вывода")));
    EXPECT_EQ(r.value(asking + 2), S("Работа с КСБ невозможна."));
    EXPECT_FALSE(r.contains(S("  Работа с КСБ разрешена.")));
    EXPECT_EQ(form->Link->Ksb, nullptr);
    EXPECT_TRUE(Card.Writes.empty());
    ASSERT_TRUE(form->WriteConfiguration());
    EXPECT_TRUE(ReadLines(Home() + S("ZentorEditor.ini")).contains(S("Использовать КСБ=нет")));
}

TEST_F(KsbTest, PortDialogListsFreeChannelsAndSelectsOne)
{
    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=да"), S("Автономная работа=нет"),
              S("Порт=симулятор")});
    auto form = MakeFormWithCard(true);
    ASSERT_TRUE(form->PortInUse);
    Card.Status = 0x0005; // channels 1 and 3 busy
    Card.Writes.clear();
    Dialogs.Windows.push_back([this, &form](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        f->show(); // the group is refreshed when the dialog is shown
        EXPECT_TRUE(f->MultiChB->isEnabled());
        EXPECT_FALSE(f->ChannelCB->isEnabled()); // until multi-channel work is allowed
        EXPECT_EQ(f->ChannelCB->count(), 14);
        EXPECT_EQ(f->ChannelCB->itemText(0), S("Канал 2"));
        EXPECT_EQ(f->ChannelCB->itemText(1), S("Канал 4"));
        EXPECT_EQ(f->ChannelCB->itemText(13), S("Канал 16"));
        f->MultiChB->setChecked(true);
        f->MultiChBClick();
        EXPECT_TRUE(f->ChannelCB->isEnabled());
        EXPECT_EQ(form->Link->Sarvetel->MultiChannel, 1);
        Card.Status = 0;
        f->UpdateBtnClick();
        EXPECT_EQ(f->ChannelCB->count(), 16);
        f->ChannelCB->setCurrentIndex(2);
        f->ChannelCBChange(2);
        EXPECT_EQ(Card.Writes.back(), std::make_pair(std::uint16_t(0x300), std::uint8_t(0x12)));
        EXPECT_EQ(form->Link->Ksb->CurrentChannel, 2);
        // Offline work turns the whole group off.
        f->UseCOMPortChB->setChecked(true);
        f->UseCOMPortChBClick();
        EXPECT_FALSE(f->MultiChB->isEnabled());
        EXPECT_FALSE(f->ChannelCB->isEnabled());
        f->UseCOMPortChB->setChecked(false);
        f->UseCOMPortChBClick();
        f->OkBtnClick();
        f->hide();
        return f->result();
    });
    form->PortSettingsClick();
    ASSERT_TRUE(form->WriteConfiguration());
    EXPECT_TRUE(ReadLines(Home() + S("ZentorEditor.ini")).contains(S("Канал КСБ=2")));
}

TEST_F(KsbTest, WithoutTheModuleTheGroupIsOff)
{
    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=нет")});
    auto form = MakeFormWithCard(true);
    Dialogs.Windows.push_back([](QDialog *d) {
        auto *f = static_cast<TCOMPortSetupForm *>(d);
        f->show();
        EXPECT_FALSE(f->MultiChB->isEnabled());
        EXPECT_FALSE(f->UpdateBtn->isEnabled());
        EXPECT_EQ(f->ChannelCB->count(), 0);
        f->hide();
        return int(QDialog::Rejected);
    });
    form->PortSettingsClick();
}

} // namespace
