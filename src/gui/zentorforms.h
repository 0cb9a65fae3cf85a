#pragma once
// Creates the windows of the desktop program in their fixed order: the main window (its
// creation handler runs and its start-up report is shown), then the dialogs it uses.

#include "gui/programform.h"
#include "link/ksb.h"

#include <functional>
#include <memory>

struct TZentorForms
{
    struct TOptions
    {
        bool ShowReport = true;   // the tests read the report instead of closing it
        bool DirectPortIO = true; // the tests have no interface card to talk to
        // When set, the interface module's port I/O comes from here (a card model in the
        // tests); a null result is port access refused.
        std::function<std::unique_ptr<TPortIO>()> PortIO;
    };
    static std::unique_ptr<TProgramForm> Create(TUserDialogs &dialogs, const TProgramPaths &paths,
                                                const QStringList &arguments,
                                                const TOptions &options);
};
