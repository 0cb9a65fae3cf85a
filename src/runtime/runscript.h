#pragma once
// Scripts of scripted checks: one command a line, "!" starts a comment, blank lines are
// skipped.
//   установить VAR VALUE       the value once; the program may change it at the next scan
//   блокировать VAR VALUE      held at VALUE whatever the program writes, until unlocked
//   разблокировать VAR
//   циклы N                    N scans
//   ожидать VAR [REL] VALUE    REL one of = <> > < >= <= (= when left out), checked on the
//                              state after the scans so far
// VAR is a variable as the language writes it or a technological name of the header, "Б VAR"
// its Б bit; VALUE is 0/1 or ВКЛ/ОТКЛ for a bit and a timer's on-state, a signed decimal for
// ВА and АВ, HH.MM.SS for a timer's time. Commands are read in any letter case.

#include "runtime/variables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TRunProgram;
class TScanEngine;

// The most scans one command (or zentorc's --cycles) asks for.
constexpr long long MaxScriptCycles = 100000000;

enum class TCompare : std::uint8_t { Equal, NotEqual, Greater, Less, GreaterEqual, LessEqual };

struct TScriptCommand
{
    enum TKind : std::uint8_t { Set, Lock, Unlock, Cycles, Expect };
    TKind Kind = Set;
    int Line = 0;    // 1-based line of the script
    QString Text;    // the command as written, without its comment
    QString VarWord; // the variable as written ("Б ДВ002", "Н1_ПУСК")
    TVarRef Var;
    int Value = 0;
    TCompare Relation = TCompare::Equal;
    long long Count = 0; // Cycles
};

struct TScript
{
    QString FileName; // as given: messages name the script by it
    std::vector<TScriptCommand> Commands;
    // The scans the script runs, all its циклы together.
    long long Scans() const;
};

// The text of a script file: UTF-8 (a byte order mark dropped), or Windows-1251 when the
// bytes are no valid UTF-8. False with error set for bytes that are no text.
[[nodiscard]] bool ScriptText(const QByteArray &bytes, const QString &fileName, QStringList &lines,
                              QString &error);
// Reads the commands; the variables may be technological names of the program's header.
// False with error set ("[проверка.txt:7] …") at the first line that is no command.
[[nodiscard]] bool ParseScript(const QStringList &lines, const QString &fileName,
                               const TRunProgram &program, TScript &script, QString &error);

// A number of scans as the scripts and zentorc's --cycles write it; 0 when it is none.
long long ParseCycles(const QString &text);

struct TExpectationResult
{
    int Line = 0;
    QString Text; // the command as written
    bool Passed = false;
    // "[проверка.txt:4] ожидалось ДВ002 = 1, получено 0" when it failed
    QString Message;
    long long Scan = 0; // the scans run before the check
};

// Runs the script's commands on the engine, in order; afterScan (when given) sees the state
// after every scan. Gives one result per expectation.
std::vector<TExpectationResult> RunScript(const TScript &script, TScanEngine &engine,
                                          const std::function<void()> &afterScan = {});
