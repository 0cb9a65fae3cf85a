#include "compiler/statementlines.h"

#include "compiler/zentorcompiler.h"
#include "model/zentorprogram.h"

#include <algorithm>

void TStatementLines::OnStatement(const TLexemeContainer &s)
{
    TStatementPlace place{Section.CodeLength, -1, -1};
    for (int i = 0; i < s.Count(); ++i) {
        const TLexeme &lx = s.At(i);
        if (lx.Code == LxColumnOne || lx.Code == LxComment || lx.Code == LxEnd)
            continue;
        place.First = place.First < 0 ? lx.Line : std::min(place.First, lx.Line);
        place.Last = std::max(place.Last, lx.Line);
    }
    Statements.push_back(place);
}

bool CompileWithPlaces(TZentorCompiler &compiler, const TZentorSection &section, int n,
                       std::vector<TStatementPlace> &places, TZentorSection &copy)
{
    copy = section;
    TStatementLines statements(copy);
    TStatementObserver *before = compiler.Observer;
    compiler.Observer = &statements;
    const int compiled = compiler.CompileSection(copy, n);
    compiler.Observer = before;
    places = std::move(statements.Statements);
    return compiled == 0;
}

TStatementPlace PlaceOf(const std::vector<TStatementPlace> &places, int offset)
{
    TStatementPlace place;
    place.Start = offset;
    for (const TStatementPlace &s : places)
        if (s.Start <= offset)
            place = s;
    return place;
}
