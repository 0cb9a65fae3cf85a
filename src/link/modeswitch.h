#pragma once
// The switch to "Программирование" before a program is written: the controller's mode is
// read, and a controller in any other mode is taken through "Останов" once the user agrees.
// The caller decides where the port work runs (a window hands it to its link worker, the
// command-line tool runs it in place) and how the question is asked.

#include <QString>

#include <functional>

class TSarvetel;
struct TLinkResult;

enum class TModeSwitchOutcome {
    InProgramming, // the controller is in "Программирование" (it was, or it is now)
    NoAnswer,      // the mode could not be read
    Declined,      // the user kept the controller's mode
    NotSwitched,   // the controller did not end in "Программирование"
    Abandoned,     // a port step did not run to its end; nothing is to be told
};

struct TModeSwitchHooks
{
    // Runs one port step; false when it did not run to its end.
    std::function<bool(const std::function<void()> &step)> RunOnPort;
    // Asks whether to switch, the question given (OK and Cancel); true to switch.
    std::function<bool(const QString &question)> Ask;
};

// last, when given, receives what the last command learned (why the mode was not read or
// not taken).
[[nodiscard]] TModeSwitchOutcome SwitchToProgramming(TSarvetel &link, const TModeSwitchHooks &hooks,
                                                     TLinkResult *last = nullptr);
