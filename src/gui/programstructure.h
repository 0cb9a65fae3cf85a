#pragma once
// The structure commands of the main window: sections and groups added, renamed and
// deleted, going to a section, renumbering the fragments of the section shown. Each asks
// through the window's dialogs and keeps the tree and the editor in step with the program.

class TProgramForm;

class TProgramStructure
{
public:
    static void AddSection(TProgramForm &form);
    static void RenameSection(TProgramForm &form);
    static void DeleteSection(TProgramForm &form);
    static void AddGroup(TProgramForm &form);
    static void DeleteGroup(TProgramForm &form);
    static void GoToSection(TProgramForm &form);
    static void Renumber(TProgramForm &form);
    // The caret to the line the user names.
    static void GoToLine(TProgramForm &form);
    // F8 and Shift+F8: the next (previous) error line of the text shown, and past its last,
    // the first (last) of the next failed node.
    static void StepError(TProgramForm &form, bool forward);
    // The place the current line of the message list names (a double click, Enter).
    static void GoToMessage(TProgramForm &form);
};
