#pragma once
// The older plain-text program format (".prg"): lower-case text in which the header survives
// only as comment lines and each section starts with a line holding its number and a point.
// The export turns a program into that text; the import converts the section texts that the
// old-format file reader has put into the model into the current language. Both re-lay the
// sections out with the compiler's re-layout.

#include "core/cp1251.h" // ControllerLower, the export's lower case

#include <QStringList>

class TProgress;
class TZentorCompiler;
class TZentorProgram;

// "Конвертация ПрП": the whole old-format text of the program, already lower-cased. Compiles
// the header on the way (its messages, and those of the re-layout, go to the compiler's
// message list), so that the sections' technological names resolve. problems (when given)
// gets the number of error lines: a header that does not convert or compile, a section that
// does not compile and is written as comments. One more line, no error, names the parts of
// the header that the old format does not keep.
QStringList ExportOldFormat(TZentorCompiler &compiler, TZentorProgram &program, TProgress &progress,
                            int *problems = nullptr);

// The header text as old comment lines (upper case; the export lower-cases them): the
// variable orders and impulse outputs survive, lines before the first heading are kept.
// An unknown heading ends the conversion with a message.
QStringList HeaderToOldLines(const QStringList &headerText, QStringList &messages);

// After the old-format file reader filled the header with its technological names and the
// sections with their old texts: "Преобразование формата", then every present section laid
// out in the current language (NeedsCompile and Modified set). The header's names are
// compiled into the compiler's freshly cleared macros table first, so that the sections
// resolve this program's names. Returns the number of sections whose conversion reported a
// problem.
[[nodiscard]] int ConvertOldFormatSections(TZentorCompiler &compiler, TZentorProgram &program,
                                           TProgress &progress);
