// The help, the about box and the hidden compile options of the main window.

#include "gui/guitexts.h"
#include "gui/helpform.h"
#include "gui/programform.h"
#include "gui/smallforms.h"

void TProgramForm::ContentsClick()
{
    const QString file = Paths.Find(GuiTexts::HelpFileName);
    auto *help = findChild<THelpForm *>();
    if (!help)
        help = new THelpForm(this);
    if (!help->OpenFile(file)) {
        Dialogs.Notice(this, GuiTexts::HelpMissing + file, GuiTexts::Attention,
                       TUserDialogs::Warning);
        return;
    }
    help->show();
    help->raise();
    help->activateWindow();
}

void TProgramForm::AboutClick()
{
    Dialogs.Exec(AboutForm);
}

void TProgramForm::CompilerOptionsClick()
{
    Dialogs.Exec(CompilerOptionsForm);
}
