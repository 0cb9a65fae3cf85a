#pragma once
// A section's two sides in the comparison of the program's PRP with a controller's: the
// program's text as written and the controller's block decompiled with the program's
// algorithm base. The blocks are compared instruction by instruction (the longest run of
// equal instructions in order); the lines of every instruction without a partner are
// marked on its side. On the program's side the lines are those of the statement the
// instruction was compiled from, found by compiling a copy of the section with the
// compiler's own walk.

class TAlgBase;
class TZentorProgram;
struct TPrpComparison;

// Fills the view of every section row that is not the same. program: as sent (its section
// texts and header text with it); controller: the PRP read from it.
void AddSectionViews(TPrpComparison &comparison, const TZentorProgram &program,
                     const TZentorProgram &controller, const TAlgBase *base);
