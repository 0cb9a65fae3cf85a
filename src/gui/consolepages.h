#pragma once
// The console's panels and pages, built once with the window: each control made, laid out and
// connected to the console's command it runs.

class QWidget;
class TSarvetelConsoleForm;

class TConsolePages
{
public:
    static QWidget *CreateConsolePanel(TSarvetelConsoleForm &f);
    static QWidget *CreateProgramPages(TSarvetelConsoleForm &f);
    static QWidget *CreateOrderPage(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreateSectionPage(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreateTechKeyPages(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreateSetupPages(TSarvetelConsoleForm &f);
    static QWidget *CreateResetPage(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreateMemoryPage(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreateModulePage(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreateChannelPage(TSarvetelConsoleForm &f, QWidget *parent);
    static QWidget *CreatePortPage(TSarvetelConsoleForm &f, QWidget *parent);
};
