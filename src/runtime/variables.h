#pragma once
// The controller's variables as the scan engine keeps them, and their texts: a variable as
// the language writes it (ДВ002, ВА001, ТМ05, КС101, КБ0), a technological name of the
// header standing for one, and the values a variable takes (0/1 or ВКЛ/ОТКЛ, a signed
// decimal, HH.MM.SS).

#include <QString>

#include <cstdint>

class TMacrosTable;

enum class TVarClass : std::uint8_t { VD, DV, KB, KS, TM, VA, AV };
constexpr int VarClassCount = 7;

// What of a variable is meant: its value (a bit, a timer's on-state, an analog value), a
// timer's time, or its Б bit.
enum class TVarPart : std::uint8_t { Value, Time, Bad };

struct TVarRef
{
    TVarClass Class = TVarClass::DV;
    int Index = 0;
    TVarPart Part = TVarPart::Value;

    bool operator==(const TVarRef &) const = default;
};

// How many variables of a class the controller has: ВД and ДВ 512, КБ 8, КС 256 (one per
// section), ТМ 64, ВА and АВ 128.
int VarClassSize(TVarClass c);
// "ВД", "ДВ", "КБ", "КС", "ТМ", "ВА", "АВ".
QString VarClassWord(TVarClass c);
bool IsAnalogClass(TVarClass c);

// A time as the engine keeps it: hours, minutes and seconds in one number that orders as
// the fields do (hours, then minutes, then seconds).
constexpr int PackTime(int hours, int minutes, int seconds)
{
    return (hours << 16) | (minutes << 8) | seconds;
}
constexpr int TimeHours(int time)
{
    return time >> 16;
}
constexpr int TimeMinutes(int time)
{
    return (time >> 8) & 0xFF;
}
constexpr int TimeSeconds(int time)
{
    return time & 0xFF;
}

// The variable as the language writes it ("ДВ002", "ТМ05", "КС101", "КБ0"), with "Б " in
// front for its Б bit; a class index beyond the controller's range keeps its digits.
QString VarText(const TVarRef &v);
// A value as the scripts and reports write it: 0 or 1 for a bit and a timer's on-state,
// a signed decimal for ВА and АВ, HH.MM.SS for a timer's time.
QString ValueText(const TVarRef &v, int value);

// A variable word, upper-cased: a class word and its octal index (КС: a section number of
// three digits), or a technological name that stands for one. False with error set when the
// word names no variable of the controller.
[[nodiscard]] bool ParseVariable(const QString &word, const TMacrosTable *names, TVarRef &v,
                                 QString &error);
// A value for the variable, as the scripts write it. A timer takes ВКЛ/ОТКЛ, 0 or 1 for its
// on-state and HH.MM.SS (or .HH.MM.SS) for its time: v.Part becomes Time then. False with
// error set when the text is no value of the variable; the error names the variable as
// written (a technological name with its variable) when that is given.
[[nodiscard]] bool ParseValue(const QString &text, TVarRef &v, int &value, QString &error,
                              const QString &written = QString());
