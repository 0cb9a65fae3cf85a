#pragma once
// The main window's menu bar and its tree's pop-up menu: each item's caption and key, the
// window's member that keeps its action, and the command it runs. The editor's own key
// bindings give way to the menus' keys.

class QMenu;
class TProgramForm;

class TMainMenus
{
public:
    static void Build(TProgramForm &form);
    // The File menu's recent files as the window's list holds them.
    static void ShowRecentFiles(TProgramForm &form);

private:
    static void FileMenu(TProgramForm &form);
    static void EditMenu(TProgramForm &form);
    // The edit menu's commands on the program: places, groups and sections, search, errors.
    static void ProgramEditCommands(TProgramForm &form, QMenu *edit);
    static void ProgramMenu(TProgramForm &form);
    static void SettingsMenu(TProgramForm &form);
    static void TreePopup(TProgramForm &form);
    static void FreeEditorKeys(TProgramForm &form);
    static void ShowHelp(TProgramForm &form);
    // The cross-reference window beside the main window, renewed.
    static void ShowCrossReference(TProgramForm &form);
};
