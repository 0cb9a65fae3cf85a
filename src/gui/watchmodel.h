#pragma once
// What the watch table, the values beside the code and the trend plot show, made without
// widgets from the simulated controller's run: the rows of the table (a variable, its
// technological name, value, Б bit, lock, where the program uses it and whether the engine
// simulates its writer), the watch list kept beside the program file, the values per line
// of a section, and the trend's points as a CSV table.

#include "runtime/runprogram.h"
#include "runtime/runstate.h"
#include "sim/simrun.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

struct TWatchRow
{
    TVarRef Ref;
    QString Variable; // "ДВ002", a timer's time "ТМ05 время"
    QString Name;     // the header's technological name, "" when none
    QString Value;    // "" while the run has no values
    QString Bad;      // the Б bit, "" for a timer's time
    bool Locked = false;
    QString Where; // "000: 3, 7; 002: 5" (section: lines)
    QString Note;  // an algorithm output the engine leaves to the user
};

// The classes in the order the variables window lists them: КБ, КС, ВД, ДВ, ВА, АВ, ТМ.
const std::vector<TVarClass> &WatchClassOrder();

// The uses of the variables by one prepared program; made once per program.
class TWatchCatalogue
{
public:
    TWatchCatalogue() = default;
    explicit TWatchCatalogue(std::shared_ptr<const TRunProgram> program);

    const TRunProgram *Program() const { return Prepared.get(); }
    // The variables the program uses (a timer's time apart from its on-state), of one
    // class or of all, in the window's class order and by index.
    std::vector<TVarRef> InUse(std::optional<TVarClass> only = std::nullopt) const;
    // The row of a variable; without state, no values.
    TWatchRow Row(const TVarRef &v, const TRunState *state) const;
    // A variable word of the watch list or the user ("ДВ002", "ТМ05 время", a
    // technological name of the running program's header). False with error set.
    bool Parse(const QString &word, TVarRef &v, QString &error) const;

private:
    struct TUse
    {
        std::map<int, std::vector<int>> Lines; // section -> lines
        QStringList Algorithms;
    };
    using TKey = std::tuple<int, int, int>;
    static TKey Key(const TVarRef &v);
    std::shared_ptr<const TRunProgram> Prepared;
    std::map<TKey, TUse> Uses;
    QHash<QString, QString> NameOf; // "ДВ002" -> its first technological name
};

// The watch list's word for a variable ("ДВ002", "ТМ05 время").
QString WatchWord(const TVarRef &v);
// Where the watch list of a program file is kept: beside it, "NAME.watch"; "" for a program
// in no file.
QString WatchListPath(const QString &programFile);
// One variable word a line, a text file as the program's others; blank lines and lines
// starting with '!' are skipped. A missing or unreadable file is an empty list.
QStringList ReadWatchList(const QString &path);
// Written whole (a save that fails leaves the file as it was). False with error set.
bool WriteWatchList(const QString &path, const QStringList &words, QString &error);

// The values of a section's lines: "ДВ002=1  ВА001=123" for each line whose instructions
// use variables, each variable once per line in the order the line names them.
std::map<int, QString> LineValueTexts(const TRunProgram &program, int section,
                                      const TRunState &state);

// The trend points whose time lies within [fromMs, toMs] as the lines of a CSV table: a
// heading of "Скан;Время, мс" and the variables, then a row per point.
QStringList TrendCsv(const std::vector<TVarRef> &vars, const std::vector<TSimTrendPoint> &points,
                     std::int64_t fromMs, std::int64_t toMs);
