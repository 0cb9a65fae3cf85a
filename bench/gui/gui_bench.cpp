// The main window with the largest program: from the command to the window being ready
// again for Open, Compile all (compile, messages, tree labels, error marks) and a relabel,
// and the editor taking a long section text with its colouring.

#include "compiler/algbase.h"
#include "core/textutils.h"
#include "files/programfiles.h"
#include "gui/programparts.h"
#include "gui/zentoreditor.h"
#include "gui/zentorforms.h"
#include "gui/zentorlexer.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kNames = 300;

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

QStringList Header()
{
    QStringList h = {QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ"), QStringLiteral("ДВ 000 - 777"),
                     QStringLiteral("ВД 000 - 777"), QStringLiteral("ТМ 00 - 77")};
    for (int k = 1; k <= 4; ++k) {
        h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА %1").arg(k));
        for (int key = 1; key <= 16; ++key)
            h.append(
                QStringLiteral("%1 ДВ%2 КЛАВ%3").arg(key).arg(OctalText(16 * k + key, 3)).arg(key));
    }
    h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"));
    for (int i = 0; i < kNames; ++i)
        h.append(QStringLiteral("СИГНАЛ_%1 ДВ%2 ! название %1").arg(i).arg(OctalText(i, 3)));
    return h;
}

// Every statement form; 256 such sections give an image just under 20000 bytes.
QStringList Section(int s)
{
    const QString d = OctalText(s % 64, 3);
    const QString t = OctalText(s % 30 + 1, 2);
    return {
        QStringLiteral("! секция %1").arg(s),
        QStringLiteral("ЕСЛИ ВКЛ ВД%1 ИЛИ ( ЕСЛИ Б ДВ%1 ЕСЛИ АВ%1 > +ВА%1 -10 )").arg(d),
        QStringLiteral("ТОГДА ВКЛ СИГНАЛ_%1 ИНАЧЕ ОТКЛ ДВ%2").arg(s % kNames).arg(d),
        QStringLiteral("ЕСЛИ ТМ%1 > 00.00.10 ТОГДА ТМ%1 = 00.01.00 ИНАЧЕ ТМ%1 = ТМ77").arg(t),
        QStringLiteral("АВ%1 = +ВА%1 -АВ%1 +100").arg(d),
        QStringLiteral("ТС1.0.1 АВАР #ДВ%1#").arg(d),
        QStringLiteral("АЛГ001"),
        QStringLiteral("   1 ВХОД = +ВА%1").arg(d),
        QStringLiteral("   2 РАЗР = ВД%1").arg(d),
        QStringLiteral("   3 ШАГ = 5"),
        QStringLiteral("   4 РЕЖ = 2"),
        QStringLiteral("ВСК"),
    };
}

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
        TZentorProgram p;
        p.Header.Text = Header();
        for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
            p.AddGroup(s / 32);
            p.AddSection(s, QStringLiteral("Секция %1").arg(s));
            p.CommitSectionText(s, Section(s));
        }
        ProgramFile = Dir.path() + QStringLiteral("/largest.zen");
        TFileContext ctx;
        SaveToFile(p, ProgramFile, ctx);
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
        base.LoadFromLines({QStringLiteral("/ Алгоритм 001 ! Регулятор"),
                            QStringLiteral("память 2 11"), QStringLiteral("1   5  ВХОД"),
                            QStringLiteral("2   3  РАЗР"), QStringLiteral("3   8  ШАГ"),
                            QStringLiteral("4   9  РЕЖ")});
        base.SaveToFile(path);
    }

    // Until the window has drawn what the command changed.
    static void Ready() { QApplication::processEvents(); }
};

void BM_OpenLargestProgram(benchmark::State &state)
{
    TFixture f;
    for (auto _ : state) {
        f.Form->Load(f.ProgramFile);
        TFixture::Ready();
    }
    state.counters["sections"] = f.Form->Program->PresentSectionCount();
}
BENCHMARK(BM_OpenLargestProgram)->Unit(benchmark::kMillisecond);

void BM_CompileAllLargestProgram(benchmark::State &state)
{
    TFixture f;
    f.Form->Load(f.ProgramFile);
    f.Form->SelectNode(100);
    f.Form->ApplySelectionChange();
    for (auto _ : state) {
        f.Form->CompileAllClick();
        TFixture::Ready();
    }
    if (f.Form->Program->ImageLength < 19000)
        state.SkipWithError(qPrintable(f.Form->Messages.join(u'|')));
    state.counters["image_bytes"] = f.Form->Program->ImageLength;
}
BENCHMARK(BM_CompileAllLargestProgram)->Unit(benchmark::kMillisecond);

void BM_RelabelLargestProgram(benchmark::State &state)
{
    TFixture f;
    f.Form->Load(f.ProgramFile);
    f.Form->CompileAllClick();
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
        lines.append(Section(i));
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
