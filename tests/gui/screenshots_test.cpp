// Pictures of the controller windows for the README, taken when ZENTOR_SCREENSHOTS names
// a folder (run under xvfb-run with the xcb platform for real fonts): the console in
// "Пуск" with the simulator's screen, the setup pages, and a write in progress; and the
// cross-reference of the example program.

#include "gui/crossrefform.h"
#include "gui/programparts.h"
#include "gui/sarvetelconsoleform.h"
#include "gui/workwithprpform.h"
#include "guitestutil.h"
#include "waituntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

namespace {

QString S(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

class ScreenshotsTest : public TGuiTest
{
};

TEST_F(ScreenshotsTest, ControllerWindows)
{
    const QString dir = qEnvironmentVariable("ZENTOR_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZENTOR_SCREENSHOTS is not set";
    CopyExampleBase();
    WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
    auto form = MakeForm();
    ASSERT_TRUE(form->PortInUse);
    form->resize(1000, 700);
    form->show();
    OpenExample(*form);
    form->CompileAllClick();

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
    form->Link->Sarvetel->SetMode(0x01);
    form->Link->Sarvetel->SetMode(0x02);
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
    form->Program->CommitHeaderText(form->Program->Header.Text +
                                    QStringList{S("РЕЗЕРВ       ДВ035   ! запасной выход")});
    form->CompileAllClick();
    form->CrossRefClick();
    TCrossRefForm *w = form->CrossRefForm;
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Result.Unused, 1);
    w->resize(1360, 520);
    w->FilterEdit->setText(S("дв03"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(dir + S("/zentor-xref.png")));
    w->close();
}

} // namespace
