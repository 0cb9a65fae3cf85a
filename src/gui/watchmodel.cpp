#include "gui/watchmodel.h"

#include "core/textfile.h"
#include "core/textutils.h"
#include "gui/guitexts_watch.h"

#include <QFileInfo>

#include <algorithm>

const std::vector<TVarClass> &WatchClassOrder()
{
    static const std::vector<TVarClass> order = {TVarClass::KB, TVarClass::KS, TVarClass::VD,
                                                 TVarClass::DV, TVarClass::VA, TVarClass::AV,
                                                 TVarClass::TM};
    return order;
}

namespace {

int ClassRank(TVarClass c)
{
    const auto &order = WatchClassOrder();
    return static_cast<int>(std::find(order.begin(), order.end(), c) - order.begin());
}

bool WatchOrder(const TVarRef &a, const TVarRef &b)
{
    return std::tuple(ClassRank(a.Class), a.Index, static_cast<int>(a.Part)) <
           std::tuple(ClassRank(b.Class), b.Index, static_cast<int>(b.Part));
}

} // namespace

TWatchCatalogue::TKey TWatchCatalogue::Key(const TVarRef &v)
{
    return {static_cast<int>(v.Class), v.Index, static_cast<int>(v.Part)};
}

TWatchCatalogue::TWatchCatalogue(std::shared_ptr<const TRunProgram> program)
    : Prepared(std::move(program))
{
    if (!Prepared)
        return;
    for (const TInstructionPlace &place : Prepared->Places())
        for (const TVarRef &v : place.Variables) {
            std::vector<int> &lines = Uses[Key(v)].Lines[place.Section];
            if (place.Line >= 0 && std::find(lines.begin(), lines.end(), place.Line) == lines.end())
                lines.push_back(place.Line);
        }
    for (const TAlgorithmOutput &out : Prepared->AlgorithmOutputs())
        if (out.InState) {
            QStringList &algs = Uses[Key(out.Ref)].Algorithms;
            const QString alg = OctalText(out.Algorithm, 3);
            if (!algs.contains(alg))
                algs << alg;
        }
    for (const TMacrosTableRec &rec : Prepared->HeaderNames().Entries()) {
        TVarRef v;
        QString error;
        if (ParseVariable(rec.Value.trimmed(), nullptr, v, error) && !NameOf.contains(VarText(v)))
            NameOf.insert(VarText(v), rec.Name);
    }
}

std::vector<TVarRef> TWatchCatalogue::InUse(std::optional<TVarClass> only) const
{
    std::vector<TVarRef> vars;
    for (const auto &[key, use] : Uses) {
        const TVarRef v{static_cast<TVarClass>(std::get<0>(key)), std::get<1>(key),
                        static_cast<TVarPart>(std::get<2>(key))};
        if (!only || v.Class == *only)
            vars.push_back(v);
    }
    std::sort(vars.begin(), vars.end(), WatchOrder);
    return vars;
}

TWatchRow TWatchCatalogue::Row(const TVarRef &v, const TRunState *state) const
{
    TWatchRow row;
    row.Ref = v;
    row.Variable = WatchWord(v);
    TVarRef value = v;
    value.Part = TVarPart::Value;
    row.Name = NameOf.value(VarText(value));
    if (state) {
        row.Value = ValueText(v, state->Get(v));
        if (v.Part != TVarPart::Time)
            row.Bad = QString::number(state->Get({v.Class, v.Index, TVarPart::Bad}));
        row.Locked = state->IsLocked(v);
    }
    const auto it = Uses.find(Key(v));
    if (it == Uses.end())
        return row;
    QStringList sections;
    for (const auto &[section, lines] : it->second.Lines) {
        QStringList numbers;
        for (int line : lines)
            numbers << QString::number(line);
        sections << (numbers.isEmpty() ? SectionNumberText(section)
                                       : SectionNumberText(section) + QStringLiteral(": ") +
                                             numbers.join(QStringLiteral(", ")));
    }
    row.Where = sections.join(QStringLiteral("; "));
    QStringList notes;
    for (const QString &alg : it->second.Algorithms)
        notes << GuiTexts::NotSimulatedNote.arg(alg);
    row.Note = notes.join(QStringLiteral("; "));
    return row;
}

bool TWatchCatalogue::Parse(const QString &word, TVarRef &v, QString &error) const
{
    QString text = word.simplified().toUpper();
    bool time = false;
    const QString timeSuffix = u' ' + GuiTexts::WatchTimeWord.toUpper();
    if (text.endsWith(timeSuffix)) {
        time = true;
        text.chop(timeSuffix.size());
    }
    const bool ok =
        Prepared ? Prepared->ParseVariable(text, v, error) : ParseVariable(text, nullptr, v, error);
    if (!ok)
        return false;
    if (time) {
        if (v.Class != TVarClass::TM) {
            error = word;
            return false;
        }
        v.Part = TVarPart::Time;
    }
    return true;
}

QString WatchWord(const TVarRef &v)
{
    return v.Part == TVarPart::Time ? VarText(v) + u' ' + GuiTexts::WatchTimeWord : VarText(v);
}

QString WatchListPath(const QString &programFile)
{
    if (programFile.isEmpty())
        return QString();
    QString base = programFile;
    const int dot = base.lastIndexOf(u'.');
    if (dot > base.lastIndexOf(u'/'))
        base.truncate(dot);
    return base + GuiTexts::WatchListSuffix;
}

QStringList ReadWatchList(const QString &path)
{
    QStringList words, lines;
    QString error;
    if (path.isEmpty() || !QFileInfo::exists(path) || !ReadTextFile(path, lines, error))
        return words;
    for (const QString &line : lines) {
        const QString word = line.trimmed();
        if (!word.isEmpty() && !word.startsWith(u'!') && !words.contains(word))
            words << word;
    }
    return words;
}

bool WriteWatchList(const QString &path, const QStringList &words, QString &error)
{
    return WriteTextFile(path, words, error);
}

std::map<int, QString> LineValueTexts(const TRunProgram &program, int section,
                                      const TRunState &state)
{
    std::map<int, std::vector<TVarRef>> named;
    for (const TInstructionPlace &place : program.Places()) {
        if (place.Section != section || place.Line < 0)
            continue;
        std::vector<TVarRef> &vars = named[place.Line];
        for (const TVarRef &v : place.Variables)
            if (std::find(vars.begin(), vars.end(), v) == vars.end())
                vars.push_back(v);
    }
    std::map<int, QString> texts;
    for (const auto &[line, vars] : named) {
        QStringList items;
        for (const TVarRef &v : vars)
            items << WatchWord(v) + u'=' + ValueText(v, state.Get(v));
        if (!items.isEmpty())
            texts[line] = items.join(QStringLiteral("  "));
    }
    return texts;
}

QStringList TrendCsv(const std::vector<TVarRef> &vars, const std::vector<TSimTrendPoint> &points,
                     std::int64_t fromMs, std::int64_t toMs)
{
    QStringList heading{GuiTexts::TrendCsvScan, GuiTexts::TrendCsvTime};
    for (const TVarRef &v : vars)
        heading << WatchWord(v);
    QStringList csv{heading.join(u';')};
    for (const TSimTrendPoint &p : points) {
        if (p.TimeMs < fromMs || p.TimeMs > toMs)
            continue;
        QStringList row{QString::number(p.Scan), QString::number(p.TimeMs)};
        for (std::size_t i = 0; i < vars.size(); ++i)
            row << (i < p.Values.size() ? ValueText(vars[i], p.Values[i]) : QString());
        csv << row.join(u';');
    }
    return csv;
}
