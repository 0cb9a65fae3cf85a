// The link layer's steps of the start-up while this build has no controller link.

#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/programparts.h"


void TProgramForm::KsbAccessStep()
{
}

void TProgramForm::CreateKsb()
{
    KsbCreated = false;
}

void TProgramForm::ProbePorts()
{
    Report(GuiTexts::ProbingPorts);
    AvailablePorts = QStringList{GuiTexts::NotChosen};
}

bool TProgramForm::OpenConfiguredPort()
{
    return false;
}

void TProgramForm::CreateLink()
{
}

void TProgramForm::TakePortSettings()
{
}

void TProgramForm::WriteToControllerClick()
{
}

void TProgramForm::ReadFromControllerClick()
{
}

void TProgramForm::PortSettingsClick()
{
}

void TProgramForm::ConsoleClick()
{
}

TAlgReader TProgramForm::ControllerAlgReader()
{
    return {};
}

void TProgramForm::LoadSimulatorAlgorithms()
{
}
