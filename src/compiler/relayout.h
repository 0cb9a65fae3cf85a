#pragma once
// Re-layout of a section text between the older plain layout and the current one: the
// section is scanned and walked with the compiler's own lexer, parse table and walk, and
// written out again one fragment per line with fresh two-digit octal fragment numbers,
// parameters of algorithm calls on lines of their own and comments on lines of their own.
// Nothing is compiled.
//
// Source text is never lost: when the walk stops at a syntax error, the source lines from
// the unfinished statement on follow the lines written so far unchanged; when the lexer
// fails or the section has more than 64 fragments, the output is the source unchanged.

#include <QStringList>

class TZentorCompiler;

enum TRelayoutMode : int {
    RelayoutOld = 1,     // the older layout, for the old-format program file
    RelayoutCurrent = 2, // the current layout, for a program read from an old-format file
};

// Lays out the section's lines into output (emptied first). True when the walk ran to its
// end or stopped at a syntax error ("Синтаксическая ошибка в строке L в позиции P" in the
// compiler's message list); false when the lexer failed (its two message lines) or the
// section has more than 64 fragments (the compiler's fragment message). Uses the compiler's
// macros table, algorithm base (parameter names in the current layout), lexeme list and
// message list.
[[nodiscard]] bool RelayoutSection(TZentorCompiler &compiler, int sectionNumber,
                                   const QStringList &text, QStringList &output, int mode);
