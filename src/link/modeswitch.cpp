#include "link/modeswitch.h"

#include "link/sarvetel.h"
#include "link/sarveteldefs.h"

#include <cstdint>

using namespace Sarvetel;

TModeSwitchOutcome SwitchToProgramming(TSarvetel &link, const TModeSwitchHooks &hooks)
{
    // The link's fields are read in the step that set them, where the port work runs.
    std::uint8_t status = LinkNoReply;
    std::uint32_t mode = 0;
    const auto statusAndMode = [&] {
        status = link.LinkStatus;
        mode = link.Mode;
    };
    if (!hooks.RunOnPort([&] {
            link.ReadStatus(RequestAttempts);
            statusAndMode();
        }))
        return TModeSwitchOutcome::Abandoned;
    if (status != LinkAccepted)
        return TModeSwitchOutcome::NoAnswer;
    if (mode == ModeProgram)
        return TModeSwitchOutcome::InProgramming;
    if (!hooks.Ask(ModeSwitchQuestion1 + ModeName(mode) + ModeSwitchQuestion2))
        return TModeSwitchOutcome::Declined;
    if (!hooks.RunOnPort([&] {
            link.SetMode(ModeStop, RequestAttempts);
            link.SetMode(ModeProgram, RequestAttempts);
            statusAndMode();
        }))
        return TModeSwitchOutcome::Abandoned;
    if (status != LinkAccepted || mode != ModeProgram)
        return TModeSwitchOutcome::NotSwitched;
    return TModeSwitchOutcome::InProgramming;
}
