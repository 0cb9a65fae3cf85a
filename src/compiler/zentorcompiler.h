#pragma once
// The compiler object: one per process. It owns the technological names table that the
// header compiler fills and the lexemes of the section being compiled, writes every
// compiler message into one message list, compiles single sections and whole programs.

#include "compiler/algmemory.h"
#include "compiler/lexeme.h"
#include "compiler/lexer.h"
#include "prp/macrostable.h"

#include <QStringList>

#include <vector>

class TAlgBase;
class TStatementObserver;
class TProgress;
class TZentorProgram;
struct TZentorSection;

class TZentorCompiler
{
public:
    TZentorCompiler();
    TZentorCompiler(const TZentorCompiler &) = delete;
    TZentorCompiler &operator=(const TZentorCompiler &) = delete;

    TMacrosTable Macros;
    // Where every message goes; the compiler's own list until the caller points it at the
    // main window's error list (never null).
    QStringList *Messages;
    TLexemeContainer Lexemes; // lexemes of the section compiled last
    // The end of the highest algorithm-memory range in use after the last compile; a
    // section compiled on its own hands out memory from here on.
    int AlgMemoryUsed = 0;
    int MaxVD = 0;
    int MaxDV = 0;
    int MaxVA = 0;
    int MaxAV = 0;
    int MaxTM = 0;
    // The process's algorithm base; without one every algorithm call fails as undescribed.
    const TAlgBase *AlgBase = nullptr;
    // Sees the statements of every section compiled (the cross-reference); may be null.
    TStatementObserver *Observer = nullptr;

    // Compiles one section (lexer, walk, code): 0 on success (warning for a section without
    // instructions included), 1 when the lexer failed (code and CodeLength untouched), -1
    // when the walk or a generator failed (CodeLength 0). Bytes 2 and 3 of the code become
    // the section number. Own memory is handed out from AlgMemoryUsed on.
    [[nodiscard]] int CompileSection(TZentorSection &section, int sectionNumber);

    // Header, every present section that needs compiling, the summary lines and the image.
    // True when the header compiled to its end, every compiled section succeeded and the
    // image was assembled. The calls of the sections compiled take memory that no call of
    // the other present sections uses; the summary describes the whole program.
    // With headerAlways false the header is compiled only when its text needs it (the
    // transfers and exports: a header decoded from an image keeps its bytes); the sections
    // still get its technological names.
    [[nodiscard]] bool CompileProgram(TZentorProgram &program, TProgress &progress,
                                      bool headerAlways = true);

    // The compile command of the main window and of zentorc without their list handling:
    // "Компиляция...", CompileProgram's own lines, then "Компиляция завершена успешно.
    // Размер ПрП N байт." or "Обнаружены ошибки", appended to Messages. The caller empties
    // the list first and marks the sections it wants compiled.
    [[nodiscard]] bool CompileWithReport(TZentorProgram &program, TProgress &progress,
                                         bool headerAlways = true);

    // The technological names of a header's text into Macros, the header itself left as
    // it is (its messages are not reported).
    void TakeNames(const QStringList &headerText);

    // The summary lines of the variables used and the algorithm memory handed out.
    QStringList SummaryLines() const;

private:
    QStringList OwnMessages;

    // Each section's highest indexes from its last scan in a whole-program compile, with the
    // text they were scanned from; they hold for the names in FiguresNames. A later compile
    // that leaves the section takes them instead of scanning its text again.
    struct TSectionFigures
    {
        bool Known = false;
        QStringList Text;
        TIndexMaxima Maxima;
        // The calls read from the section's code when it was last left uncompiled, and that
        // code: while the code stays, its calls are taken from here instead of decoding it.
        bool CallsKnown = false;
        std::vector<std::uint8_t> Code;
        std::vector<TCallSite> Calls;
    };
    std::vector<TSectionFigures> Figures;
    QVector<TMacrosTableRec> FiguresNames;

    // scanned (when given) receives the highest indexes of this section's text alone.
    [[nodiscard]] int CompileSection(TZentorSection &section, int sectionNumber,
                                     TAlgMemoryMap &memory, TIndexMaxima *scanned = nullptr);
    void RaiseMaxima(const TIndexMaxima &maxima);
    // Forgets the figures when the names differ from those they were scanned with.
    void KeepFiguresForNames();
    // The calls' memory of the present sections that this run leaves as they are.
    TAlgMemoryMap MemoryInUse(const TZentorProgram &program, const std::vector<bool> &compiled);
    // Header text -> fields (headerAlways or when the text needs it); otherwise only the
    // names table is filled from the text. False when the header compiler stopped.
    [[nodiscard]] bool CompileHeader(TZentorProgram &program, bool headerAlways);
    // Raises the maxima to the indexes of the present sections that this run leaves.
    void CountUncompiled(const TZentorProgram &program, const std::vector<bool> &compiled);
};
