#pragma once
// The largest program the controller can hold, for the benchmarks: a full header (variable
// orders, 64 technological keys, 300 technological names) and 256 sections of 74 bytes each
// using every statement form and an algorithm call; its image ends just under 20000 bytes.

#include <QStringList>

#include <memory>

class TAlgBase;
class TZentorProgram;

// The algorithm base the sections call (one regulator with own memory).
QStringList LargestProgramBase();
QStringList LargestProgramHeader();
QStringList LargestProgramSection(int s);
// The whole program as text (sections present, marked for compilation, named when asked).
std::unique_ptr<TZentorProgram> LargestProgram(bool named = false);
// The whole program compiled with its algorithm base, which base receives; a program that
// does not compile ends the benchmark.
std::unique_ptr<TZentorProgram> CompiledLargestProgram(TAlgBase &base);
// Header bytes plus 256 blocks of 74 bytes.
constexpr int LargestProgramImageLength = 162 + 64 * 11 + 256 * 74;
