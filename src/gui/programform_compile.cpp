// The compile commands and the algorithm base as the window shows them.

#include "core/textutils.h"
#include "gui/algeditform.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/zentoreditor.h"

namespace {

// Completion and call tips from the algorithm base (which outlives the editor).
void UseAlgorithms(TZentorEditor &editor, const TAlgBase *base)
{
    editor.AlgorithmList = [base] {
        QStringList list;
        for (int n = 0; n < TAlgBase::AlgCount; ++n)
            if (const TAlgInfo *a = base->Find(n))
                list.append(QStringLiteral("АЛГ") + OctalText(n, 3) + u' ' + a->Name.trimmed());
        return list;
    };
    editor.AlgorithmTip = [base](int n) {
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

} // namespace

void TProgramForm::LoadAlgorithmBase()
{
    AlgBaseFile = Paths.Find(GuiTexts::AlgBaseFileName);
    Report(Document->LoadAlgorithmBase(AlgBaseFile));
    UseAlgorithms(*ProgramREdit, &Document->AlgBase());
    LoadSimulatorAlgorithms();
}

bool TProgramForm::RunCompile(bool all, bool headerAlways)
{
    Commit();
    const bool ok = Document->Compile(all, headerAlways);
    RelabelTree();
    ProgramREdit->SetTechNames(TechNamesOfHeader(Document->Program().Header.Text));
    MarkEditorErrors();
    RefreshCrossRef();
    if (!ok)
        Dialogs.Notice(this, GuiTexts::CompileFailedBox, GuiTexts::Attention, TUserDialogs::Error);
    return ok;
}

bool TProgramForm::CompileForTransfer()
{
    return RunCompile(false, false);
}
