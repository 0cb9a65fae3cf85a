// The compile commands while this build has no compiler.

#include "files/programfiles.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/programparts.h"


void TProgramForm::CreateCompiler()
{
}

void TProgramForm::LoadAlgorithmBase()
{
}

void TProgramForm::WireAlgorithmsIntoEditor()
{
}

TFileContext TProgramForm::FileContext()
{
    return TFileContext();
}

bool TProgramForm::RunCompile(bool all)
{
    Q_UNUSED(all);
    Commit();
    Dialogs.Notice(this, GuiTexts::NoCompilerBox, GuiTexts::Attention, TUserDialogs::Warning);
    return false;
}

void TProgramForm::CompileClick()
{
    RunCompile(false);
}

void TProgramForm::CompileAllClick()
{
    RunCompile(true);
}

void TProgramForm::AlgLibraryClick()
{
    Dialogs.Notice(this, GuiTexts::NoCompilerBox, GuiTexts::Attention, TUserDialogs::Warning);
}
