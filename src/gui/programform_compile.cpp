// The compile commands, the algorithm base and what loading and saving need from the
// compiler.

#include "core/textutils.h"
#include "files/programfiles.h"
#include "gui/algeditform.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/programparts.h"
#include "gui/progressform.h"
#include "gui/zentoreditor.h"

void TProgramForm::CreateCompiler()
{
    Compiler = std::make_unique<TCompilerParts>();
    Compiler->Compiler.Messages = &Messages;
    Compiler->Compiler.AlgBase = &Compiler->AlgBase;
}

void TProgramForm::LoadAlgorithmBase()
{
    AlgBaseFile = Paths.Find(GuiTexts::AlgBaseFileName);
    Compiler->AlgBase.Clear();
    QString error;
    if (!Compiler->AlgBase.LoadFromFile(AlgBaseFile, &error))
        Report(error);
    else if (Compiler->AlgBase.Count > 0)
        Report(GuiTexts::AlgBaseLoaded + AlgBaseFile);
    else
        Report(GuiTexts::AlgBaseMissing + AlgBaseFile);
    WireAlgorithmsIntoEditor();
    LoadSimulatorAlgorithms();
}

void TProgramForm::WireAlgorithmsIntoEditor()
{
    const TAlgBase *base = &Compiler->AlgBase;
    ProgramREdit->AlgorithmList = [base] {
        QStringList list;
        for (int n = 0; n < TAlgBase::AlgCount; ++n)
            if (const TAlgInfo *a = base->Find(n))
                list.append(QStringLiteral("АЛГ") + OctalText(n, 3) + u' ' + a->Name.trimmed());
        return list;
    };
    ProgramREdit->AlgorithmTip = [base](int n) {
        const TAlgInfo *a = base->Find(n);
        if (!a)
            return QString();
        QStringList lines{QStringLiteral("АЛГ") + OctalText(n, 3) + u' ' + a->Name.trimmed()};
        for (int p = 1; p <= a->ParamCount && p <= TAlgInfo::MaxParams; ++p)
            lines.append(QString::number(p) + QStringLiteral("  ") + a->Params[p].Name +
                         QStringLiteral(" — ") + AlgParamKindText(a->Params[p].Kind));
        return lines.join(u'\n');
    };
}

TFileContext TProgramForm::FileContext()
{
    // Images are decompiled after reading and compiled before writing; the old format
    // goes through the compiler both ways. The progress window shows the long steps.
    TFileContext ctx;
    if (ProgressForm)
        ctx.Progress = ProgressForm;
    ConnectCompiler(ctx, Compiler->Compiler);
    // An export compiles what needs compiling, as F2 does: sections decoded from an image
    // keep their code, and a changed header is compiled.
    TZentorCompiler *compiler = &Compiler->Compiler;
    TProgress *progress = ctx.Progress;
    ctx.CompileBeforeImageSave = [compiler, progress](TZentorProgram &program) {
        compiler->Messages = program.Messages;
        return compiler->CompileWithReport(program, *progress, false);
    };
    return ctx;
}

bool TProgramForm::RunCompile(bool all, bool headerAlways)
{
    Commit();
    if (all)
        Program->MarkAllForCompile();
    ClearMessages();
    // "Компиляция...", the compiler's lines and the closing line, as zentorc reports them.
    TProgress &progress = ProgressForm ? *ProgressForm : NoProgress();
    const auto image = [this] {
        return QByteArray(reinterpret_cast<const char *>(Program->Image), Program->ImageLength);
    };
    const QByteArray before = ProgramFromImage ? image() : QByteArray();
    const bool ok = Compiler->Compiler.CompileWithReport(*Program, progress, headerAlways);
    // A program opened from an image form is that image: new code is a change to it.
    if (ProgramFromImage && image() != before)
        SetProgramChanged(true);
    ShowMessages();
    RelabelTree();
    ProgramREdit->SetTechNames(TechNamesOfHeader(Program->Header.Text));
    MarkEditorErrors();
    RefreshCrossRef();
    if (!ok)
        Dialogs.Notice(this, GuiTexts::CompileFailedBox, GuiTexts::Attention, TUserDialogs::Error);
    return ok;
}

void TProgramForm::CompileClick()
{
    RunCompile(false);
}

void TProgramForm::CompileAllClick()
{
    RunCompile(true);
}

bool TProgramForm::CompileForTransfer()
{
    return RunCompile(false, false);
}

void TProgramForm::AlgLibraryClick()
{
    if (!AlgEditForm)
        return;
    AlgEditForm->Attach(&Compiler->AlgBase, &Dialogs, &AlgDialog);
    AlgEditForm->BaseReader = ControllerBaseReader();
    AlgEditForm->show();
    AlgEditForm->raise();
    AlgEditForm->activateWindow();
}
