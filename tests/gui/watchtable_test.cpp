// The watch table, the values beside the code and the trend's CSV as they are made from a
// run without widgets, and the watch table over the built-in simulator with real events.

#include "../runtime/runtimetest.h"
#include "core/textfile.h"
#include "gui/watchmodel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class WatchTableModel : public RuntimeTest
{
protected:
    void SetUp() override
    {
        Load(
            {{0,
              {S("ЕСЛИ ВКЛ ПУСК ТОГДА ВКЛ НАСОС"), S("ЕСЛИ ВКЛ ВД003 ТОГДА ВКЛ НАСОС"),
               S("АВ001 = +ВА001 +1"), S("АЛГ022 = +ВА001 = ДВ002 = ДВ005 = 3"),
               S("ЕСЛИ ТМ01 > 00.00.30 ТОГДА ВКЛ ДВ003")}},
             {2, {S("ЕСЛИ ВКЛ ПУСК ТОГДА ВКЛ КБ1")}}},
            {S("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"), S("ПУСК ВД001"), S("НАСОС ДВ002"), S("ЗАПАС ДВ002")});
        Catalogue = TWatchCatalogue(std::shared_ptr<const TRunProgram>(std::move(Run)));
    }
    TWatchCatalogue Catalogue;
};

QStringList Words(const std::vector<TVarRef> &vars)
{
    QStringList words;
    for (const TVarRef &v : vars)
        words << WatchWord(v);
    return words;
}

// The variables in use come in the window's class order; a row carries the first
// technological name, the places by section and line, the algorithm that writes it, and
// the run's value, Б bit and lock.
TEST_F(WatchTableModel, RowsFromTheRun)
{
    EXPECT_EQ(Words(Catalogue.InUse()),
              QStringList({S("КБ1"), S("ВД001"), S("ВД003"), S("ДВ002"), S("ДВ003"), S("ДВ005"),
                           S("ВА001"), S("АВ001"), S("ТМ01 время")}));
    EXPECT_EQ(Words(Catalogue.InUse(TVarClass::DV)),
              QStringList({S("ДВ002"), S("ДВ003"), S("ДВ005")}));

    TRunState state;
    TVarRef pump;
    QString error;
    ASSERT_TRUE(Catalogue.Parse(S("насос"), pump, error)) << error.toStdString();
    state.Lock(pump, 1);
    state.Set({TVarClass::DV, 2, TVarPart::Bad}, 1);
    const TWatchRow row = Catalogue.Row(pump, &state);
    EXPECT_EQ(row.Variable, S("ДВ002"));
    EXPECT_EQ(row.Name, S("НАСОС"));
    EXPECT_EQ(row.Value, S("1"));
    EXPECT_EQ(row.Bad, S("1"));
    EXPECT_TRUE(row.Locked);
    EXPECT_EQ(row.Where, S("000: 0, 1, 3"));
    EXPECT_TRUE(row.Note.isEmpty());
    EXPECT_EQ(Catalogue.Row({TVarClass::DV, 5}, nullptr).Note, S("не моделируется: пишет АЛГ022"));

    const TWatchRow start = Catalogue.Row({TVarClass::VD, 1}, nullptr);
    EXPECT_EQ(start.Where, S("000: 0; 002: 0"));
    EXPECT_EQ(start.Value, QString());
    EXPECT_TRUE(start.Note.isEmpty());
}

// The words of the watch list and of the user: variables, the header's names, a timer's
// time; anything else is refused with a reason.
TEST_F(WatchTableModel, ParsesWatchWords)
{
    const struct
    {
        const char *Word;
        const char *Shown; // nullptr: refused
    } cases[] = {{"ДВ002", "ДВ002"},           {"  пуск ", "ВД001"},
                 {"ТМ05 время", "ТМ05 время"}, {"тм05", "ТМ05"},
                 {"ВД001 время", nullptr},     {"ДВ1000", nullptr},
                 {"НЕТТАКОГО", nullptr},       {"", nullptr}};
    for (const auto &c : cases) {
        TVarRef v;
        QString error;
        const bool ok = Catalogue.Parse(S(c.Word), v, error);
        EXPECT_EQ(ok, c.Shown != nullptr) << c.Word;
        if (ok)
            EXPECT_EQ(WatchWord(v), S(c.Shown)) << c.Word;
        else
            EXPECT_FALSE(error.isEmpty()) << c.Word;
    }
}

// Each line of the shown section gets the values of the variables it uses, once each.
TEST_F(WatchTableModel, LineValues)
{
    TRunState state;
    state.Set({TVarClass::VD, 1}, 1);
    state.Set({TVarClass::VA, 1}, -7);
    state.Set({TVarClass::TM, 1, TVarPart::Time}, PackTime(0, 1, 2));
    const std::map<int, QString> lines = LineValueTexts(*Catalogue.Program(), 0, state);
    EXPECT_EQ(lines.at(0), S("ВД001=1  ДВ002=0"));
    EXPECT_EQ(lines.at(2), S("АВ001=0  ВА001=-7"));
    EXPECT_EQ(lines.at(4), S("ТМ01 время=00.01.02  ДВ003=0"));
    EXPECT_EQ(LineValueTexts(*Catalogue.Program(), 2, state).size(), 1u);
    EXPECT_TRUE(LineValueTexts(*Catalogue.Program(), 7, state).empty());
}

} // namespace

// The watch list lives beside the program file and survives a failed save.
TEST(WatchTableList, KeptBesideTheProgram)
{
    EXPECT_EQ(WatchListPath(S("/a/b.c/НАСОСЫ.zen")), S("/a/b.c/НАСОСЫ.watch"));
    EXPECT_EQ(WatchListPath(S("/a/b.c/НАСОСЫ")), S("/a/b.c/НАСОСЫ.watch"));
    EXPECT_EQ(WatchListPath(QString()), QString());
    QTemporaryDir dir;
    const QString path = dir.filePath(S("п.watch"));
    QString error;
    ASSERT_TRUE(WriteWatchList(path, {S("ДВ002"), S("ТМ05 время")}, error));
    EXPECT_EQ(ReadWatchList(path), QStringList({S("ДВ002"), S("ТМ05 время")}));
    EXPECT_FALSE(WriteWatchList(dir.filePath(S("нет/п.watch")), {S("ДВ002")}, error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(WriteTextFile(path, {S("! заметка"), S(""), S("ВД001"), S("ВД001"), S("  ДВ003  ")},
                              error));
    EXPECT_EQ(ReadWatchList(path), QStringList({S("ВД001"), S("ДВ003")}));
    EXPECT_TRUE(ReadWatchList(dir.filePath(S("нет.watch"))).isEmpty());
}

// What the plot shows, as a table: the points within the shown time, every variable's
// value as the language writes it.
TEST(TrendCsv, HoldsThePointsShown)
{
    const std::vector<TVarRef> vars = {{TVarClass::DV, 2}, {TVarClass::TM, 5, TVarPart::Time}};
    const std::vector<TSimTrendPoint> points = {
        {1, 100, {0, PackTime(0, 0, 1)}}, {2, 200, {1, PackTime(0, 0, 2)}}, {3, 300, {1, 0}}};
    EXPECT_EQ(TrendCsv(vars, points, 150, 300),
              QStringList({S("Скан;Время, мс;ДВ002;ТМ05 время"), S("2;200;1;00.00.02"),
                           S("3;300;1;00.00.00")}));
    EXPECT_EQ(TrendCsv(vars, points, 400, 500), QStringList{S("Скан;Время, мс;ДВ002;ТМ05 время")});
}

// ---- The watch table over the built-in simulator, driven by real events ----------------

#include "gui/sarvetelvarsform.h"
#include "gui/trendform.h"
#include "realusefixture.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLineSeries>
#include <QTableWidget>

namespace {

class WatchTableTest : public TRealUseFixture
{
protected:
    // The demo written with F2 and switched to "Пуск" through the console.
    void RunDemo()
    {
        ChooseSimulator();
        OpenDemo();
        Dialogs.Answers.push_back(TUserDialogs::AnswerOk);
        Dialogs.Windows.push_back([](QDialog *d) { return d->exec(); });
        Key(Qt::Key_F2);
        ASSERT_EQ(Dialogs.LastQuestion(), S("Запись ПрП завершена"));
        Console([this](TSarvetelConsoleForm *c) {
            EXPECT_TRUE(WaitUntil([c] { return c->StatusMode->text() == S("Программирование"); }));
            Click(c->BtnStop);
            EXPECT_TRUE(WaitUntil([c] { return c->StatusMode->text() == S("Останов"); }));
            Click(c->BtnStart);
            EXPECT_TRUE(WaitUntil([c] { return c->StatusMode->text() == S("Пуск"); }));
            EXPECT_TRUE(WaitUntil([this] { return Watch().Snapshot().Scans > 2; }));
        });
    }
    TSimWatch &Watch() { return *Form->Link->SimulatorWatch; }

    // The watch table from its menu item, with the words typed into its watch list.
    TSarvetelVarsForm *OpenWatchTable(const QStringList &words = {})
    {
        Form->VariablesItem->trigger();
        TSarvetelVarsForm *w = Form->SarvetelVarsForm;
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        for (const QString &word : words) {
            w->AddEdit->setFocus();
            TypeText(w->AddEdit, word);
            QTest::keyClick(w->AddEdit, Qt::Key_Return);
        }
        w->TreeView1->setCurrentItem(w->TreeView1->topLevelItem(0));
        return w;
    }
};

class TrendTest : public WatchTableTest
{
};

// In the demo the mains relay (ВД020, СЕТЬ_НОРМА) switches the run lamp (ДВ014, ЛАМПА_РАБ)
// on and off.
const TVarRef kMains{TVarClass::VD, 020};
const TVarRef kLamp{TVarClass::DV, 014};
using TCol = TSarvetelVarsForm::TColumn;

QString Cell(TSarvetelVarsForm *w, const TVarRef &v, int column)
{
    const int row = w->RowOf(v);
    return row < 0 ? S("(нет строки)") : w->StringGrid->item(row, column)->text();
}

// A value typed into the variable's cell as a person types it: F2, the text, Enter.
void TypeValue(TSarvetelVarsForm *w, const TVarRef &v, const QString &text)
{
    const int row = w->RowOf(v);
    ASSERT_GE(row, 0);
    w->StringGrid->setFocus();
    w->StringGrid->setCurrentCell(row, TCol::ColValue);
    QTest::keyClick(w->StringGrid, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && editor != w->StringGrid);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    TypeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// Write the demo, run it, watch the mains relay switch the lamp, lock the lamp against the
// program and release it; the watch list is kept beside the program file; everything is
// closed in the middle of the run.
TEST_F(WatchTableTest, SetLockAndResetAgainstTheRunningDemo)
{
    Start();
    EXPECT_FALSE(Form->VariablesItem->isVisible()); // no port: no values to watch
    RunDemo();
    ASSERT_TRUE(Form->VariablesItem->isVisible());
    Form->VariablesItem->trigger();
    TSarvetelVarsForm *w = Form->SarvetelVarsForm;
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    // Not modal: the main window goes on taking keys beside it.
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The lamp's class lists what the program uses, named and placed.
    w->TreeView1->setCurrentItem(w->TreeView1->topLevelItem(1)->child(3)); // ДВ
    EXPECT_TRUE(WaitUntil([&] { return Cell(w, kLamp, TCol::ColValue) == S("0"); }));
    EXPECT_EQ(Cell(w, kLamp, TCol::ColName), S("ЛАМПА_РАБ"));
    EXPECT_FALSE(Cell(w, kLamp, TCol::ColWhere).isEmpty());
    EXPECT_EQ(w->RowOf(kMains), -1);
    // Every caption whole.
    const QHeaderView *header = w->StringGrid->horizontalHeader();
    for (int c = 0; c + 1 < w->StringGrid->columnCount(); ++c)
        EXPECT_GE(
            w->StringGrid->columnWidth(c),
            header->fontMetrics().horizontalAdvance(w->StringGrid->horizontalHeaderItem(c)->text()))
            << c;

    // The watch list, typed by name, kept beside the program.
    OpenWatchTable({S("сеть_норма"), S("ЛАМПА_РАБ")});
    // Enter added each, and nothing else: no complaint about an empty field.
    EXPECT_FALSE(w->StatusLabel->property("error").toBool())
        << w->StatusLabel->text().toStdString();
    OpenWatchTable({S("НЕТ_ТАКОГО")});
    EXPECT_FALSE(w->StatusLabel->text().isEmpty()); // the unknown name told, not added
    EXPECT_EQ(ReadWatchList(File(S("demo.watch"))), QStringList({S("ВД020"), S("ДВ014")}));
    EXPECT_EQ(w->ShownVariables(), std::vector<TVarRef>({kMains, kLamp}));

    // Written once, the program follows it within a second.
    TypeValue(w, kMains, S("1"));
    EXPECT_TRUE(WaitUntil([&] { return Cell(w, kLamp, TCol::ColValue) == S("1"); }, 1000));
    // Not a value: told, nothing written.
    TypeValue(w, kMains, S("да"));
    EXPECT_TRUE(WaitUntil([&] { return !w->StatusLabel->text().isEmpty(); }));
    EXPECT_EQ(Watch().Snapshot().State.Get(kMains), 1);

    // Locked, the lamp stays on whatever the program writes.
    w->StringGrid->selectRow(w->RowOf(kLamp));
    Click(w->LockBtn);
    EXPECT_TRUE(WaitUntil([&] { return Cell(w, kLamp, TCol::ColLock) == S("да"); }));
    TypeValue(w, kMains, S("0"));
    const long long scans = Watch().Snapshot().Scans;
    EXPECT_TRUE(WaitUntil([&] { return Watch().Snapshot().Scans > scans + 5; }));
    EXPECT_EQ(Cell(w, kMains, TCol::ColValue), S("0"));
    EXPECT_EQ(Cell(w, kLamp, TCol::ColValue), S("1"));

    // "Сброс блокировок": the program has the lamp again.
    Click(w->ResetLocksBtn);
    EXPECT_TRUE(WaitUntil([&] { return Cell(w, kLamp, TCol::ColValue) == S("0"); }, 1000));
    EXPECT_EQ(Cell(w, kLamp, TCol::ColLock), QString());

    // Closed in the middle of the run, the watch table open: no hang.
    Form->close();
    Form.reset();
}

// The values of the run below the lines of the section shown, following the run, off and
// on again with Ctrl+Shift+V.
TEST_F(WatchTableTest, ValuesBesideTheCode)
{
    Start();
    RunDemo();
    int section = -1, line = -1;
    for (int n = 0; n < 256 && section < 0; ++n)
        if (Form->Document->Program().Sections[n].Present)
            for (int l = 0; l < Form->Document->Program().Sections[n].Text.size(); ++l)
                if (Form->Document->Program().Sections[n].Text[l].contains(
                        S("ВКЛ ЛАМПА_РАБ ИНАЧЕ"))) {
                    section = n;
                    line = l;
                }
    ASSERT_GE(section, 0);
    Form->TreeView->SelectNode(section);
    TZentorEditor *editor = Form->ProgramREdit;
    EXPECT_TRUE(WaitUntil([&] { return editor->annotation(line) == S("ВД020=0  ДВ014=0"); }));
    QString error;
    ASSERT_TRUE(Watch().Set(kMains, 1, error));
    EXPECT_TRUE(WaitUntil([&] { return editor->annotation(line) == S("ВД020=1  ДВ014=1"); }, 1000));
    Key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(editor->ValueNoteLines().isEmpty());
    EXPECT_EQ(editor->annotation(line), QString());
    Key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(WaitUntil([&] { return editor->annotation(line) == S("ВД020=1  ДВ014=1"); }));
}

// The plot of the watch list's variables receives the run's points, holds its picture while
// paused, zooms, and exports what it shows.
TEST_F(TrendTest, PlotReceivesPointsAndExportsThem)
{
    Start();
    RunDemo();
    TSarvetelVarsForm *w = OpenWatchTable({S("СЕТЬ_НОРМА"), S("ЛАМПА_РАБ")});
    w->StringGrid->selectAll();
    Click(w->TrendBtn);
    TTrendForm *t = Form->TrendForm;
    ASSERT_TRUE(t->isVisible());
    EXPECT_EQ(t->Variables(), std::vector<TVarRef>({kMains, kLamp}));
    QString error;
    EXPECT_TRUE(WaitUntil([&] { return t->Points().size() > 3; }));
    ASSERT_TRUE(Watch().Set(kMains, 1, error));
    auto lampOn = [&] {
        return std::any_of(t->Points().begin(), t->Points().end(), [](const TSimTrendPoint &p) {
            return p.Values == std::vector{1, 1};
        });
    };
    EXPECT_TRUE(WaitUntil(lampOn, 1000));
    const auto series = t->ChartView->chart()->series();
    ASSERT_EQ(series.size(), 2);
    auto drawn = [&] { return static_cast<QLineSeries *>(series[1])->count(); };
    EXPECT_TRUE(WaitUntil([&] { return drawn() > 3; }));

    // Paused, the picture stays while the points come.
    Click(t->PauseBtn);
    const int held = drawn();
    const std::size_t kept = t->Points().size();
    EXPECT_TRUE(WaitUntil([&] { return t->Points().size() > kept + 3; }));
    EXPECT_EQ(drawn(), held);
    Click(t->PauseBtn);
    EXPECT_TRUE(WaitUntil([&] { return drawn() > held; }));

    // What is shown goes to the file: zoomed in, only the points on screen.
    const QString path = File(S("тренд.csv"));
    Dialogs.Files.push_back({path, 1});
    Click(t->ExportBtn);
    QStringList rows = ReadLines(path);
    ASSERT_GT(rows.size(), 4);
    EXPECT_EQ(rows[0], S("Скан;Время, мс;ВД020;ДВ014"));
    EXPECT_TRUE(rows.filter(QRegularExpression(S("^\\d+;\\d+;1;1$"))).size() > 0);
    const auto [from, to] = t->ShownRange();
    Click(t->ZoomInBtn);
    const auto [zoomedFrom, zoomedTo] = t->ShownRange();
    EXPECT_LT(zoomedTo - zoomedFrom, to - from);
    Dialogs.Files.push_back({path, 1});
    Click(t->ExportBtn);
    const QStringList zoomed = ReadLines(path);
    for (const QString &row : zoomed.mid(1)) {
        const qint64 ms = row.section(u';', 1, 1).toLongLong();
        EXPECT_TRUE(ms >= zoomedFrom && ms <= zoomedTo) << row.toStdString();
    }
}

// Pictures for the README when ZENTOR_SCREENSHOTS names a folder: the watch table, the
// values below the lines and the trend, the demo running with its mains relay switched.
TEST_F(WatchTableTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("ZENTOR_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZENTOR_SCREENSHOTS is not set";
    Start();
    Form->resize(1000, 700);
    RunDemo();
    TSarvetelVarsForm *w = OpenWatchTable({S("СЕТЬ_НОРМА"), S("ЛАМПА_РАБ"), S("ДАВЛ_ВЫС")});
    w->StringGrid->selectAll();
    Click(w->TrendBtn);
    QString error;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(Watch().Set(kMains, i % 2, error));
        QTest::qWait(700);
    }
    ASSERT_TRUE(Watch().Set(kMains, 1, error));
    w->TreeView1->setCurrentItem(w->TreeView1->topLevelItem(1)->child(3)); // ДВ
    w->StringGrid->selectRow(w->RowOf(kLamp));
    Click(w->LockBtn);
    w->resize(900, 480);
    w->StringGrid->resizeColumnsToContents();
    QTest::qWait(600);
    EXPECT_TRUE(w->grab().save(dir + S("/zentor-watch.png")));
    EXPECT_TRUE(Form->TrendForm->grab().save(dir + S("/zentor-trend.png")));
    for (int n = 0; n < 256; ++n)
        if (Form->Document->Program().Sections[n].Present &&
            Form->Document->Program().Sections[n].Text.join(u'\n').contains(S("ЛАМПА_РАБ ИНАЧЕ")))
            Form->TreeView->SelectNode(n);
    EXPECT_TRUE(WaitUntil([&] { return !Form->ProgramREdit->ValueNoteLines().isEmpty(); }));
    QTest::qWait(300);
    EXPECT_TRUE(Form->grab().save(dir + S("/zentor-values.png")));
}

// A measurement, not a check (ZENTOR_PROBE=1): the longest time the main thread takes no
// event during 20 s of the running demo with the watch table (every ДВ shown), the values
// below the lines and the trend open, its mains relay switched twice a second.
TEST_F(WatchTableTest, ProbeLongestBlock)
{
    if (!qEnvironmentVariableIsSet("ZENTOR_PROBE"))
        GTEST_SKIP() << "a measurement: ZENTOR_PROBE=1";
    Start();
    RunDemo();
    TSarvetelVarsForm *w = OpenWatchTable({S("СЕТЬ_НОРМА"), S("ЛАМПА_РАБ"), S("ДАВЛ_ВЫС")});
    w->StringGrid->selectAll();
    Click(w->TrendBtn);
    w->TreeView1->setCurrentItem(w->TreeView1->topLevelItem(1)); // every variable in use
    for (int n = 0; n < 256; ++n)
        if (Form->Document->Program().Sections[n].Present &&
            Form->Document->Program().Sections[n].Text.join(u'\n').contains(S("ЛАМПА_РАБ ИНАЧЕ")))
            Form->TreeView->SelectNode(n);
    THeartbeat beat;
    QElapsedTimer clock;
    clock.start();
    QString error;
    for (int i = 0; clock.elapsed() < 20000; ++i) {
        EXPECT_TRUE(Watch().Set(kMains, i % 2, error)) << error.toStdString();
        QTest::qWait(500);
    }
    std::fprintf(stderr,
                 "20 s with the watch table (%d rows), values and trend (%zu points): "
                 "longest time without events %lld ms, %d ticks\n",
                 w->StringGrid->rowCount(), Form->TrendForm->Points().size(),
                 static_cast<long long>(beat.Longest), beat.Ticks);
}

} // namespace
