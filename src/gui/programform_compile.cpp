// The compile commands and the algorithm base as the window shows them.

#include "core/textutils.h"
#include "gui/algeditform.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/zentoreditor.h"

void TProgramForm::LoadAlgorithmBase()
{
    AlgBaseFile = Paths.Find(GuiTexts::AlgBaseFileName);
    Report(Document->LoadAlgorithmBase(AlgBaseFile));
    WireAlgorithmsIntoEditor();
    LoadSimulatorAlgorithms();
}

void TProgramForm::WireAlgorithmsIntoEditor()
{
    const TAlgBase *base = &Document->AlgBase();
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

void TProgramForm::AlgLibraryClick()
{
    if (!AlgEditForm)
        return;
    AlgEditForm->Attach(&Document->AlgBase(), &Dialogs, &AlgDialog);
    AlgEditForm->BaseReader = ControllerBaseReader();
    AlgEditForm->show();
    AlgEditForm->raise();
    AlgEditForm->activateWindow();
}
