// The main window's caption and its question before the program is replaced.

#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/programform.h"

void TProgramForm::SetCaption(const QString &base)
{
    CaptionBase = base;
    setWindowTitle(CaptionBase + (Document->Changed() ? QStringLiteral("*") : QString()));
}

bool TProgramForm::MayReplaceProgram(const QString &usualQuestion)
{
    if (!Document->Changed())
        return usualQuestion.isEmpty() ||
               Dialogs.Ask(this, usualQuestion, GuiTexts::Attention, TUserDialogs::YesNo,
                           TUserDialogs::Warning,
                           TUserDialogs::AnswerNo) == TUserDialogs::AnswerYes;
    switch (Dialogs.Ask(this, GuiTexts::AskSaveChanges, GuiTexts::Attention,
                        TUserDialogs::YesNoCancel, TUserDialogs::Warning,
                        TUserDialogs::AnswerCancel)) {
    case TUserDialogs::AnswerYes:
        return TFileCommands::Save(*this);
    case TUserDialogs::AnswerNo:
        return true;
    default:
        return false;
    }
}
