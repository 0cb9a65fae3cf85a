// Compile and compile all from the main window with the real compiler and the example
// program: messages, tree labels, error marks and navigation, image export, the
// algorithm base in the editor and in its window.

#include "../utf8text.h"
#include "compiler/algbase.h"
#include "core/textutils.h"
#include "gui/algeditform.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/programparts.h"
#include "gui/programstructure.h"
#include "gui/zentoreditor.h"
#include "guitestutil.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");

class CompileTest : public TGuiTest
{
protected:
    std::unique_ptr<TProgramForm> Form;

    void SetUp() override
    {
        TGuiTest::SetUp();
        // The example base in the program directory, as a user would keep it.
        ASSERT_TRUE(QFile::copy(kExamples + QStringLiteral("BaseAlgs.alg"),
                                Home() + QStringLiteral("BaseAlgs.alg")));
        Form = MakeForm();
        QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen")));
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({File(S("demo.zen")), 1});
        TFileCommands::Open(*Form);
    }

    QString Label(int code) { return Form->TreeView->FindNode(code)->text(0); }
    QStringList ErrorList() const
    {
        QStringList lines;
        for (int i = 0; i < Form->ErrorsListBox->count(); ++i)
            lines.append(Form->ErrorsListBox->item(i)->text());
        return lines;
    }
};

} // namespace

TEST_F(CompileTest, CompileReportsTheSizeAndRelabelsTheTree)
{
    EXPECT_TRUE(
        Form->StartupReport.contains(S("Загружена база алгоритмов ") + Home() + S("BaseAlgs.alg")));
    Form->CompileItem->trigger();
    EXPECT_EQ(ErrorList(), Form->Document->MessageLines()); // the list shows them all
    EXPECT_TRUE(Dialogs.Asked.size() == 1);                 // only the open question; no error box
    // Header "(length)", group "(code length)", section "(last fragment/length)".
    EXPECT_EQ(Label(TTreeItemInfo::HeaderCode),
              S("Заголовок программы (%1)").arg(Form->Document->Program().Header.BytesLength));
    const TZentorSection &s = Form->Document->Program().Sections[0];
    EXPECT_EQ(Label(0), S("000:Режимы работы (") + OctalText(s.FragmentCount - 1, 3) + u'/' +
                            QString::number(s.CodeLength) + u')');
    EXPECT_TRUE(QRegularExpression(S("^Блок 0 \\([1-9]\\d*\\)$")).match(Label(256)).hasMatch())
        << Label(256).toStdString();
}

TEST_F(CompileTest, AnErrorIsMarkedAndLeadsToItsLine)
{
    Form->TreeView->SelectNode(1);
    Form->ApplySelectionChange();
    Form->ProgramREdit->setCursorPosition(2, 0);
    Form->ProgramREdit->replaceSelectedText(S("ВКЛ ДВ8\n"));
    Form->CompileItem->trigger();
    EXPECT_EQ(ErrorList().last(), S("Обнаружены ошибки"));
    ASSERT_FALSE(Dialogs.Asked.empty());
    EXPECT_EQ(Dialogs.LastQuestion(), S("При компиляции были обнаружены ошибки"));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Внимание!"));
    EXPECT_EQ(Dialogs.Asked.back().Icon, TUserDialogs::Error);
    // The failed section shows no figures; its line carries the mark and the message.
    EXPECT_EQ(Label(1), S("001:Аварийный останов"));
    EXPECT_EQ(Form->ProgramREdit->ErrorLineNumbers(), QList<int>({2}));
    EXPECT_TRUE(Form->ProgramREdit->annotation(2).contains(S("ДВ8")));

    // From another node, the message leads back to the line.
    Form->TreeView->SelectNode(TTreeItemInfo::HeaderCode);
    Form->ApplySelectionChange();
    const QStringList list = ErrorList();
    int row = -1;
    for (int i = 1; i < list.size() && row < 0; ++i)
        if (list[i].startsWith(S("[001.2:")))
            row = i;
    ASSERT_GT(row, 0) << list.join(u'\n').toStdString();
    Form->ErrorsListBox->setCurrentRow(row);
    TProgramStructure::GoToMessage(*Form);
    Form->ApplySelectionChange();
    EXPECT_EQ(Form->CurrentNode->Code, 1);
    EXPECT_EQ(Form->ProgramREdit->CaretLine(), 2);
}

TEST_F(CompileTest, TheBaseFeedsCompletionCallTipsAndItsWindow)
{
    Form->TreeView->SelectNode(2);
    Form->ApplySelectionChange();
    const QStringList algs = Form->ProgramREdit->CompletionsFor(S("алг01"));
    EXPECT_TRUE(algs.contains(S("АЛГ012 Скользящее среднее"))) << algs.join(u',').toStdString();
    Form->ProgramREdit->setCursorPosition(1, 6); // after "АЛГ011"
    const QString tip = Form->ProgramREdit->CallTipAt();
    EXPECT_TRUE(tip.startsWith(S("АЛГ011 Апериодический фильтр\n1  ВХОД — Аналоговый вход:")))
        << tip.toStdString();

    // Typing the call shows the tip.
    Form->show();
    Form->ProgramREdit->setFocus();
    Form->ProgramREdit->setCursorPosition(0, 0);
    for (QChar c : S("АЛГ012")) { // as typed: key events carrying the characters
        QKeyEvent press(QEvent::KeyPress, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A,
                        Qt::NoModifier, QString(c));
        QApplication::sendEvent(Form->ProgramREdit, &press);
    }
    EXPECT_EQ(Form->ProgramREdit->text(0).left(6), S("АЛГ012"));
    EXPECT_TRUE(Form->ProgramREdit->SendScintilla(QsciScintilla::SCI_CALLTIPACTIVE));
    Form->ProgramREdit->SendScintilla(QsciScintilla::SCI_CALLTIPCANCEL);

    Form->AlgLibraryItem->trigger();
    TAlgEditForm *w = Form->AlgEditForm;
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), S("База алгоритмов"));
    EXPECT_EQ(w->AlgSG->rowCount(), 28);
    EXPECT_EQ(w->AlgSG->item(0, 0)->text(), S("001"));
    w->AlgSG->setCurrentCell(9, 0); // 012
    EXPECT_EQ(w->AlgSG->item(9, 0)->text(), S("012"));
    EXPECT_EQ(w->AlgParamSG->item(0, 2)->text(),
              S("Аналоговый вход: +ВА, -ВА, +АВ, -АВ, константа от -1000 до +1000"));
    EXPECT_FALSE(w->ReadItem->isEnabled()); // no port in use

    // Save as: base -> base.alg, base.ALG stays, base.txt -> base.txt.alg.
    EXPECT_EQ(AlgBaseSaveFileName(S("base")), S("base.alg"));
    EXPECT_EQ(AlgBaseSaveFileName(S("base.ALG")), S("base.ALG"));
    EXPECT_EQ(AlgBaseSaveFileName(S("base.txt")), S("base.txt.alg"));
    Dialogs.Files.push_back({File(S("копия")), 1});
    w->SaveAsClick();
    ASSERT_TRUE(QFileInfo::exists(File(S("копия.alg"))));
    Dialogs.Files.push_back({File(S("копия.alg")), 1});
    w->OpenClick();
    EXPECT_EQ(w->AlgSG->rowCount(), 28);
    w->close();
}

TEST_F(TGuiTest, AlgorithmDescriptionsFromTheSimulatedController)
{
    ASSERT_TRUE(QFile::copy(kExamples + QStringLiteral("BaseAlgs.alg"),
                            Home() + QStringLiteral("BaseAlgs.alg")));
    WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=симулятор")});
    auto form = MakeForm();
    ASSERT_TRUE(form->PortInUse);
    const TAlgBase &base = *[&form] {
        form->AlgLibraryItem->trigger();
        return &form->Document->AlgBase();
    }();
    const TAlgInfo fromFile = base.Algs[10];

    // The reference window asks for one algorithm.
    TAlgoritmHelpForm *help = form->AlgoritmHelpForm;
    ASSERT_TRUE(help->LoadButton->isEnabled());
    help->NumberEdit->setText(QStringLiteral("200")); // beyond the controller's numbers
    help->LoadClick();
    EXPECT_EQ(help->AlgParamsSG->rowCount(), 1);
    EXPECT_EQ(help->AlgParamsSG->item(0, 0), nullptr);
    help->NumberEdit->setText(QStringLiteral("012"));
    help->LoadClick();
    ASSERT_EQ(help->AlgParamsSG->rowCount(), fromFile.ParamCount);
    EXPECT_EQ(help->AlgParamsSG->item(0, 0)->text(), QStringLiteral("1"));
    EXPECT_EQ(help->AlgParamsSG->item(0, 1)->text(), fromFile.Params[1].Name);
    EXPECT_EQ(help->AlgParamsSG->item(0, 2)->text(), QString::number(fromFile.Params[1].Kind) +
                                                         u' ' +
                                                         AlgParamKindText(fromFile.Params[1].Kind));

    // The base window reads the whole base: the same call lengths as the file's.
    TAlgEditForm *w = form->AlgEditForm;
    ASSERT_TRUE(w->ReadItem->isEnabled());
    // A line that loses every tenth reply: the descriptions are asked again, none is lost.
    // A lost reply is waited for only as long as a short read time-out.
    TCommTimeouts &timeouts = form->Link->Port->Timeouts;
    timeouts.ReadTotalTimeoutMultiplier = 1;
    timeouts.ReadTotalTimeoutConstant = 150;
    TSarvetelSimulator &sim = *form->Link->Simulator;
    sim.Faults.DropEvery = 10;
    w->ReadFromControllerClick();
    sim.Faults.DropEvery = 0;
    EXPECT_EQ(base.Algs[10].Name, S("Алг012"));
    EXPECT_EQ(base.Algs[10].PrpMemory, fromFile.PrpMemory);
    EXPECT_EQ(base.Algs[10].OwnMemory, fromFile.OwnMemory);
    EXPECT_EQ(base.Algs[10].ParamCount, fromFile.ParamCount);
    EXPECT_EQ(w->AlgSG->rowCount(), 28);
    EXPECT_EQ(w->ReadForm, nullptr);

    // "Отмена" as soon as the fifth description is asked: the base stays, and says why.
    sim.Faults.SlowMs = 20;
    form->Document->AlgBase().Algs[10].Name = S("из файла");
    QStringList seen;
    auto *poll = new QTimer(w);
    QObject::connect(poll, &QTimer::timeout, w, [w, poll, &seen] {
        if (w->ReadForm && w->ReadForm->Action->text() == S("Описание алгоритма 005")) {
            seen = w->ReadForm->Shown;
            QTest::mouseClick(w->ReadForm->CancelButton, Qt::LeftButton);
            poll->stop();
        }
    });
    poll->start(2);
    const int asked = static_cast<int>(Dialogs.Asked.size());
    w->ReadFromControllerClick();
    sim.Faults.SlowMs = 0;
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.value(0), S("Чтение описаний алгоритмов"));
    EXPECT_EQ(base.Algs[10].Name, S("из файла"));
    ASSERT_EQ(static_cast<int>(Dialogs.Asked.size()), asked + 1);
    EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Описание алгоритма ")));
    EXPECT_TRUE(Dialogs.LastQuestion().endsWith(S("не получено от контроллера. Чтение прервано.")));

    // The main window closed during a read: the read ends, the base stays, nothing is said.
    sim.Faults.SlowMs = 20;
    auto *closer = new QTimer(w);
    QObject::connect(closer, &QTimer::timeout, w, [w, closer, &form] {
        if (w->ReadForm && w->ReadForm->Action->text() == S("Описание алгоритма 003")) {
            closer->stop();
            form->close();
        }
    });
    closer->start(2);
    w->ReadFromControllerClick();
    sim.Faults.SlowMs = 0;
    EXPECT_FALSE(closer->isActive());
    EXPECT_EQ(base.Algs[10].Name, S("из файла"));
    EXPECT_EQ(static_cast<int>(Dialogs.Asked.size()), asked + 1)
        << Dialogs.LastQuestion().toStdString();

    // A silent controller: the same.
    form->Link->Port->Close();
    w->ReadFromControllerClick();
    EXPECT_EQ(base.Algs[10].Name, S("из файла"));
    EXPECT_EQ(Dialogs.LastQuestion(),
              S("Описание алгоритма 001 не получено от контроллера. Чтение прервано."));
    w->close();
}
