#pragma once
// The PRP of the program against the PRP a controller holds, without changing either: the
// header byte by byte, each header part the program sends (variable order, ADC inputs,
// timer-generators, impulse outputs, technological keys with their names) entry by entry,
// and each section's code block. zentorc's read-back after a write, its diff command and
// the desktop's comparison all stand on this one comparison.
//
// The technological names of the header text are not part of the PRP (the controller never
// gets them), so they are not compared; the code they compile to is.

#include "prp/headerentries.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TZentorProgram;

enum class TCompareState {
    Same,
    Differs,
    OnlyController,
    OnlyProgram,
};

// One byte that differs: its offset in the header or block and the two values.
struct TByteDifference
{
    int Offset = 0;
    std::uint8_t Program = 0;
    std::uint8_t Controller = 0;
};

// Two byte runs: their lengths (0 for a run that is not there) and the bytes that differ
// within the shorter one.
struct TBytesComparison
{
    int ProgramLength = 0;
    int ControllerLength = 0;
    std::vector<TByteDifference> Bytes;

    bool Same() const { return ProgramLength == ControllerLength && Bytes.empty(); }
};

// Two texts side by side, with the lines (from 0) that differ marked on each side.
struct TSideBySide
{
    QStringList ProgramLines;
    QList<int> ProgramMarked;
    QStringList ControllerLines;
    QList<int> ControllerMarked;
    QStringList Notes; // what the lines cannot show (a block's frame bytes, a decoding stop)
};

// One line of the result: a header part or a section.
struct TCompareRow
{
    bool IsSection = false;
    THeaderPart Part = THeaderPart::Orders; // for a header part
    int Section = -1;                       // for a section
    QString Title; // "Заказ переменных", "Секция 000 «Пуск»"
    TCompareState State = TCompareState::Same;
    QString Detail;         // what differs, in short; a block's length for a one-sided section
    TBytesComparison Bytes; // a section's blocks
    TSideBySide View;       // the two sides; for a section filled by the compiler's layer
};

struct TPrpComparison
{
    TBytesComparison Header; // the whole header as the two images hold it
    QList<TCompareRow> Rows; // the five header parts, then every section on either side

    int Differences() const;
    bool Same() const { return Differences() == 0; }
};

// The program as it is sent: a copy of its header fields and section blocks with the image
// assembled (its header bytes encoded); the program itself is not touched.
std::unique_ptr<TZentorProgram> ProgramAsSent(const TZentorProgram &program);

// program: as sent (ProgramAsSent); controller: the PRP read from it and split. A section
// counts when it is present with a code block.
TPrpComparison ComparePrp(const TZentorProgram &program, const TZentorProgram &controller);

QString CompareStateText(TCompareState state);
QString HeaderPartTitle(THeaderPart part);
QString SectionTitle(const TZentorProgram &program, int section);
