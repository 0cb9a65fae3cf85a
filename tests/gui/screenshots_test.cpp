// Pictures of the controller windows for the README, taken when ZENTOR_SCREENSHOTS names
// a folder (run under xvfb-run with the xcb platform for real fonts): the console in
// "Пуск" with the simulator's screen, the setup pages, and a write in progress; the
// comparison with the controller after the program was edited; and the cross-reference of
// the example program.

#include "../utf8text.h"
#include "gui/compareform.h"
#include "gui/crossrefform.h"
#include "gui/programparts.h"
#include "gui/programsearch.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/smallforms.h"
#include "gui/workwithprpform.h"
#include "guitestutil.h"
#include "waituntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

namespace {

class ScreenshotsTest : public TGuiTest
{
protected:
    // The main window on the simulator with the example program compiled.
    std::unique_ptr<TProgramForm> SimulatedForm()
    {
        CopyExampleBase();
        WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
        auto form = MakeForm();
        EXPECT_TRUE(form->PortInUse);
        form->show();
        OpenExample(*form);
        form->CompileAllItem->trigger();
        return form;
    }
};

TEST_F(ScreenshotsTest, ControllerWindows)
{
    const QString dir = qEnvironmentVariable("ZENTOR_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZENTOR_SCREENSHOTS is not set";
    auto form = SimulatedForm();
    form->resize(1000, 700);

    // A write in progress: the simulator answers slowly so the window can be caught.
    form->Link->Simulator->Faults.SlowMs = 40;
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    bool saved = false;
    Dialogs.Windows.push_back([&](QDialog *d) {
        auto *w = static_cast<TWorkWithPRPForm *>(d);
        QTimer::singleShot(1800, w,
                           [&, w] { saved = w->grab().save(dir + S("/zentor-write.png")); });
        return w->exec();
    });
    form->WriteToControllerClick();
    EXPECT_TRUE(saved);
    form->Link->Simulator->Faults.SlowMs = 0;

    TSarvetelConsoleForm *console = form->SarvetelConsoleForm;
    static_cast<void>(form->Link->Sarvetel->SetMode(0x01));
    static_cast<void>(form->Link->Sarvetel->SetMode(0x02));
    console->show();
    ASSERT_TRUE(WaitUntil([&] { return console->SarvetelMemo->blockCount() == 10; }));
    for (std::uint8_t key : {0x33, 0x37, 0x31})
        console->KeyClick(key);
    ASSERT_TRUE(WaitUntil([&] { return console->SarvetelMemo->toPlainText().contains(S("371")); }));
    EXPECT_TRUE(console->grab().save(dir + S("/zentor-console.png")));
    console->BtnStopClick();
    console->BtnSetupClick();
    console->PCSetup->setCurrentIndex(2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(console->grab().save(dir + S("/zentor-setup.png")));
    console->BtnStopClick();
    console->BtnProgramClick();
    console->PCProgram->setCurrentIndex(2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(console->grab().save(dir + S("/zentor-techkeys.png")));
    console->done(0);
}

TEST_F(ScreenshotsTest, CompareWindows)
{
    const QString dir = qEnvironmentVariable("ZENTOR_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZENTOR_SCREENSHOTS is not set";
    auto form = SimulatedForm();
    Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
    Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
    form->WriteToControllerClick();

    // Edited since the write: the timer order, a line of section 001, section 011 deleted
    // and a new section 013.
    TZentorProgram &p = form->Document->Program();
    QStringList header = p.Header.Text;
    header.replaceInStrings(S("ТМ  00 - 47"), S("ТМ  00 - 57"));
    p.CommitHeaderText(header);
    QStringList text = p.Sections[1].Text;
    text.replaceInStrings(S("ТОГДА ВКЛ АВАРИЯ"), S("ТОГДА ВКЛ ДВ066"));
    p.CommitSectionText(1, text);
    p.DeleteSection(9);
    p.AddSection(11, S("Проверка ламп"));
    p.CommitSectionText(11, {S("ЕСЛИ ВКЛ КБ4 ТОГДА ВКЛ ДВ056 ИНАЧЕ ОТКЛ ДВ056")});
    form->RebuildTree();

    Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
    form->CompareWithControllerClick();
    TCompareForm *w = form->CompareForm;
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->SummaryLabel->text(), S("Найдено различий: 4"));
    w->resize(900, 600);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(dir + S("/zentor-compare.png")));
    ASSERT_TRUE(w->OpenRow(6));
    w->TextsForm->resize(1100, 420);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->TextsForm->grab().save(dir + S("/zentor-compare-section.png")));
    w->close();
}

TEST_F(ScreenshotsTest, CrossReferenceWindow)
{
    const QString dir = qEnvironmentVariable("ZENTOR_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZENTOR_SCREENSHOTS is not set";
    CopyExampleBase();
    auto form = MakeForm();
    form->show();
    OpenExample(*form);
    // A spare name that no section uses, for the check to find.
    form->Document->Program().CommitHeaderText(
        form->Document->Program().Header.Text +
        QStringList{S("РЕЗЕРВ       ДВ035   ! запасной выход")});
    form->CompileAllItem->trigger();
    form->CrossRefItem->trigger();
    TCrossRefForm *w = form->CrossRefForm;
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Result.Unused, 1);
    w->resize(1360, 520);
    w->FilterEdit->setText(S("дв03"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(dir + S("/zentor-xref.png")));
    w->close();
}

TEST_F(ScreenshotsTest, SearchAndConnectionField)
{
    const QString dir = qEnvironmentVariable("ZENTOR_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZENTOR_SCREENSHOTS is not set";
    auto form = SimulatedForm();
    form->resize(1000, 700);
    // One exchange, as any command makes: the field shows what the controller said.
    TSarvetel &link = *form->Link->Sarvetel;
    form->Link->Worker->Call([&] { static_cast<void>(link.ReadStatus()); });
    form->FindForm->FindEdit->setText(S("Н1_ПУСК"));
    EXPECT_GT(TProgramSearch::Find(*form), 1);
    form->FindForm->hide();
    TSearchResultsForm *results = form->SearchResultsForm;
    results->resize(760, 260);
    QCoreApplication::processEvents();
    EXPECT_TRUE(results->grab().save(dir + S("/zentor-search.png")));
    results->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->grab().save(dir + S("/zentor-status.png")));
}

} // namespace
