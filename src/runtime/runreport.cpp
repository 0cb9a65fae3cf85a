#include "runtime/runreport.h"

#include "runtime/runtimetexts.h"
#include "runtime/scanengine.h"

namespace R = RuntimeText;

namespace {

const QString kIndent = QStringLiteral("  ");

void AddList(QStringList &lines, const QString &heading, const QStringList &items)
{
    if (items.isEmpty())
        return;
    lines.append(heading);
    for (const QString &item : items)
        lines.append(kIndent + item);
}

} // namespace

std::vector<TSectionCoverage> CoverageBySection(const TScanEngine &engine)
{
    std::vector<TSectionCoverage> sections;
    const auto &places = engine.Program().Places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (sections.empty() || sections.back().Section != places[i].Section)
            sections.push_back({places[i].Section, 0, 0});
        ++sections.back().Total;
        sections.back().Executed += engine.Executed()[i] ? 1 : 0;
    }
    return sections;
}

QStringList NeverExecutedLines(const TScanEngine &engine)
{
    QStringList lines;
    const auto &places = engine.Program().Places();
    for (std::size_t i = 0; i < places.size(); ++i)
        if (!engine.Executed()[i])
            lines.append(places[i].Where() + QStringLiteral(": ") + places[i].Text);
    return lines;
}

QStringList ProgramReportLines(const TRunProgram &program)
{
    QStringList lines;
    AddList(lines, R::AssumptionsHeading, program.Assumptions());
    AddList(lines, R::NotSimulatedHeading, program.NotSimulated());
    AddList(lines, R::WrittenByHeading, program.WrittenByLines());
    return lines;
}

QStringList RunReportLines(const TScanEngine &engine)
{
    const TRunProgram &program = engine.Program();
    QStringList lines{R::ScansLine(engine.Scans())};
    lines.append(ProgramReportLines(program));
    AddList(lines, R::LogHeading, engine.LogLines());
    lines.append(
        R::CoverageLine(engine.ExecutedCount(), static_cast<int>(program.Places().size())));
    AddList(lines, R::NeverExecutedHeading, NeverExecutedLines(engine));
    return lines;
}
