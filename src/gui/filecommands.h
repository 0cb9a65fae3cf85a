#pragma once
// The file commands of the main window: New, Open, a recent file, the file given at start,
// Save, Save as and Export. Each asks through the window's dialogs, leaves the file work to
// the program document and keeps the caption and the recent files in step.

#include <QString>

class TProgramForm;
struct TFileDialogSpec;

class TFileCommands
{
public:
    static void New(TProgramForm &form);
    static void Open(TProgramForm &form);
    // The file given at start: loaded, and a program source file becomes the current file.
    static void OpenGiven(TProgramForm &form, const QString &fileName);
    static void OpenRecent(TProgramForm &form, int k);
    // True when the program was written.
    static bool Save(TProgramForm &form);
    static bool SaveAs(TProgramForm &form);
    static void Export(TProgramForm &form);

private:
    static void OpenFile(TProgramForm &form, const QString &fileName);
    // The question before an existing file is written over: true to write; false with
    // *stop set to end the command, or with the name cleared to choose again.
    static bool ConfirmOverwrite(TProgramForm &form, TFileDialogSpec &request, bool *stop);
};
