#pragma once
// The report of a run, as zentorc prints it and the windows show it: the scans run, the
// assumptions, what is not simulated, the variables the algorithm calls write, the run log
// and the coverage with every instruction that never ran.

#include <QStringList>

#include <vector>

class TRunProgram;
class TScanEngine;

struct TSectionCoverage
{
    int Section = 0;
    int Executed = 0; // instructions that ran at least once
    int Total = 0;
};

std::vector<TSectionCoverage> CoverageBySection(const TScanEngine &engine);
// "секция 000, строка 3: Тогда В КБ0", one line per instruction that never ran.
QStringList NeverExecutedLines(const TScanEngine &engine);
// What the run of a prepared program rests on: the assumptions, what is not simulated and
// the variables the algorithm calls write, each list under its heading.
QStringList ProgramReportLines(const TRunProgram &program);
// The whole report; lists are indented by two blanks under their headings.
QStringList RunReportLines(const TScanEngine &engine);
