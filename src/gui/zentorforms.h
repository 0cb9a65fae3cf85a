#pragma once
// Creates the windows of the desktop program in their fixed order: the main window (its
// creation handler runs and its start-up report is shown), then the dialogs it uses.

#include "gui/programform.h"

#include <memory>

struct TZentorForms
{
    // showReport: false in the tests, which read the report instead of closing it.
    static std::unique_ptr<TProgramForm> Create(TUserDialogs &dialogs, const TProgramPaths &paths,
                                                const QStringList &arguments, bool showReport);
};
