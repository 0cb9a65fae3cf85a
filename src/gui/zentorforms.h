#pragma once
// Creates the windows of the desktop program in their fixed order: the main window (its
// creation handler runs and its start-up report is shown), then the dialogs it uses.

#include "gui/programform.h"

#include <memory>

struct TZentorForms
{
    struct TOptions
    {
        bool ShowReport = true;   // the tests read the report instead of closing it
        bool DirectPortIO = true; // the tests have no interface card to talk to
    };
    static std::unique_ptr<TProgramForm> Create(TUserDialogs &dialogs, const TProgramPaths &paths,
                                                const QStringList &arguments,
                                                const TOptions &options);
};
