// The main window with the largest program: from the command to the window being ready
// again for Open, Compile all (compile, messages, tree labels, error marks; also with the
// cross-reference window open) and a relabel, and the editor taking a long section text
// with its colouring.

#include "compiler/algbase.h"
#include "files/programfiles.h"
#include "gui/crossrefform.h"
#include "gui/filecommands.h"
#include "gui/programparts.h"
#include "gui/zentoreditor.h"
#include "gui/zentorforms.h"
#include "gui/zentorlexer.h"
#include "largestprogram.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

// Answers every question with its default, chooses no file, shows no window.
class TQuietDialogs : public TUserDialogs
{
public:
    TAnswer Ask(QWidget *, const QString &, const QString &, TButtons, TIcon, TAnswer def) override
    {
        return def;
    }
    bool ChooseOpenFile(QWidget *, TFileDialogSpec &) override { return false; }
    bool ChooseSaveFile(QWidget *, TFileDialogSpec &) override { return false; }
    int Exec(QDialog *) override { return QDialog::Rejected; }
};

// A program directory with the base the program needs, and the program's file.
struct TFixture
{
    QTemporaryDir Dir;
    TQuietDialogs Dialogs;
    std::unique_ptr<TProgramForm> Form;
    QString ProgramFile;

    TFixture()
    {
        const QString home = Dir.path() + QStringLiteral("/home/");
        QString error;
        WriteBase(home + QStringLiteral("BaseAlgs.alg"));
        const auto p = LargestProgram(true);
        ProgramFile = Dir.path() + QStringLiteral("/largest.zen");
        TFileContext ctx;
        if (SaveToFile(*p, ProgramFile, ctx) != FileOk)
            qFatal("the largest program cannot be saved as %s", qPrintable(ProgramFile));
        TZentorForms::TOptions options;
        options.ShowReport = false;
        options.DirectPortIO = false;
        Form = TZentorForms::Create(
            Dialogs, TProgramPaths::Resolve(Dir.path(), home, QString(), Dir.path()), {}, options);
        Form->resize(1100, 720);
        Form->show();
        QApplication::processEvents();
    }

    static void WriteBase(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        TAlgBase base;
        base.LoadFromLines(LargestProgramBase());
        if (!base.SaveToFile(path))
            qFatal("cannot write %s", qPrintable(path));
    }

    // Until the window has drawn what the command changed.
    static void Ready() { QApplication::processEvents(); }
};

void BM_OpenLargestProgram(benchmark::State &state)
{
    TFixture f;
    for (auto _ : state) {
        TFileCommands::OpenGiven(*f.Form, f.ProgramFile);
        TFixture::Ready();
    }
    state.counters["sections"] = f.Form->Document->Program().PresentSectionCount();
}
BENCHMARK(BM_OpenLargestProgram)->Unit(benchmark::kMillisecond);

void BM_CompileAllLargestProgram(benchmark::State &state)
{
    TFixture f;
    TFileCommands::OpenGiven(*f.Form, f.ProgramFile);
    f.Form->TreeView->SelectNode(100);
    f.Form->ApplySelectionChange();
    for (auto _ : state) {
        f.Form->CompileAllItem->trigger();
        TFixture::Ready();
    }
    if (f.Form->Document->Program().ImageLength < 19000)
        state.SkipWithError(qPrintable(f.Form->Document->MessageLines().join(u'|')));
    state.counters["image_bytes"] = f.Form->Document->Program().ImageLength;
}
BENCHMARK(BM_CompileAllLargestProgram)->Unit(benchmark::kMillisecond);

// The same with the cross-reference window open: it is renewed after the compile.
void BM_CompileAllWithCrossReference(benchmark::State &state)
{
    TFixture f;
    TFileCommands::OpenGiven(*f.Form, f.ProgramFile);
    f.Form->CrossRefItem->trigger();
    for (auto _ : state) {
        f.Form->CompileAllItem->trigger();
        TFixture::Ready();
    }
    state.counters["rows"] = f.Form->CrossRefForm->UsesView->topLevelItemCount();
}
BENCHMARK(BM_CompileAllWithCrossReference)->Unit(benchmark::kMillisecond);

void BM_RelabelLargestProgram(benchmark::State &state)
{
    TFixture f;
    TFileCommands::OpenGiven(*f.Form, f.ProgramFile);
    f.Form->CompileAllItem->trigger();
    for (auto _ : state) {
        f.Form->RelabelTree();
        TFixture::Ready();
    }
}
BENCHMARK(BM_RelabelLargestProgram)->Unit(benchmark::kMillisecond);

void BM_EditorTakesALongText(benchmark::State &state)
{
    TZentorEditor editor;
    editor.resize(800, 600);
    editor.show();
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines.append(LargestProgramSection(i));
    for (auto _ : state) {
        editor.LoadLines(lines, TTextKind::Section);
        editor.Lexer()->styleText(0, editor.length());
        QApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_EditorTakesALongText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
