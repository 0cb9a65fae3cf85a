#pragma once
// Where each statement of a section stands: the offset its code begins at and the lines of
// the section's text it was written on. The compiler's own walk finds them while it
// compiles a copy of the section, so they hold for any text that compiles.

#include "compiler/codegen.h"

#include <vector>

class TZentorCompiler;
struct TZentorSection;

struct TStatementPlace
{
    int Start = 0; // offset of the statement's first instruction byte
    int First = -1;
    int Last = -1; // -1: no line
};

// Collects the places while the section it watches is compiled.
class TStatementLines : public TStatementObserver
{
public:
    explicit TStatementLines(const TZentorSection &section) : Section(section) {}
    void OnStatement(const TLexemeContainer &s) override;

    std::vector<TStatementPlace> Statements;

private:
    const TZentorSection &Section;
};

// Compiles a copy of section n with the compiler (its technological names and algorithm
// base) and gives its statements' places and the copy's block. False when it does not
// compile.
[[nodiscard]] bool CompileWithPlaces(TZentorCompiler &compiler, const TZentorSection &section,
                                     int n, std::vector<TStatementPlace> &places,
                                     TZentorSection &copy);

// The place of the statement whose code holds the byte at offset: the last statement that
// begins there or before (a statement without code shares its offset with the next one).
TStatementPlace PlaceOf(const std::vector<TStatementPlace> &places, int offset);
