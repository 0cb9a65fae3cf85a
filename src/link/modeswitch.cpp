#include "link/modeswitch.h"

#include "link/sarvetel.h"
#include "link/sarveteldefs.h"

using namespace Sarvetel;

TModeSwitchOutcome SwitchToProgramming(TSarvetel &link, const TModeSwitchHooks &hooks,
                                       TLinkResult *last)
{
    // What each step learned comes back from it, where the port work runs.
    TLinkResult learned;
    const auto end = [&](TModeSwitchOutcome outcome) {
        if (last)
            *last = learned;
        return outcome;
    };
    if (!hooks.RunOnPort([&] { learned = link.ReadStatus(RequestAttempts); }))
        return end(TModeSwitchOutcome::Abandoned);
    if (!learned.Accepted())
        return end(TModeSwitchOutcome::NoAnswer);
    if (learned.Mode == ModeProgram)
        return end(TModeSwitchOutcome::InProgramming);
    if (!hooks.Ask(ModeSwitchQuestion1 + ModeName(learned.Mode) + ModeSwitchQuestion2))
        return end(TModeSwitchOutcome::Declined);
    if (!hooks.RunOnPort([&] {
            // "Программирование" is asked for even when "Останов" was not taken: the
            // answer to it tells where the controller ended.
            static_cast<void>(link.SetMode(ModeStop, RequestAttempts));
            learned = link.SetMode(ModeProgram, RequestAttempts);
        }))
        return end(TModeSwitchOutcome::Abandoned);
    if (!learned.Accepted() || learned.Mode != ModeProgram)
        return end(TModeSwitchOutcome::NotSwitched);
    return end(TModeSwitchOutcome::InProgramming);
}
