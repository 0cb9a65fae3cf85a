#pragma once
// The four forms in which a program lives on disk, chosen by the file name's extension:
// the program source file (.zen), the old-format program file (.prg), the PRP image file
// (.prp) and the section file set (.000: one file per section plus a header file).
//
// The model's results stay integer codes; a file that cannot be read or written gives
// FileIoError with the reason in TFileContext::Error. Nothing here throws.

#include "core/progress.h"

#include <QString>
#include <QStringList>

#include <functional>

class TZentorCompiler;
class TZentorProgram;

// Result codes of LoadFromFile / SaveToFile.
enum TFileResult : int {
    FileOk = 0,              // loaded or written
    FileLoadUnsupported = 1, // load: extension not supported, the model untouched
    FileSetNotFound = 2,     // load: no file of the section file set was found
    FileSaveUnsupported = 3, // save: extension not supported, nothing written
    FileIoError = 4,         // a file could not be read or written (reason in Error)
    FileFormNotReady = 5,    // the form cannot be read or written yet (reason in Error)
    FileNotCompiled = 6,     // save as an image form: the program could not be compiled
};

// What a load or save needs from the rest of the system, and what it reports back.
struct TFileContext
{
    // Turns the header bytes and the present sections' code blocks into text after a
    // PRP image or a section file set was read; gives the number of sections that could
    // not be decoded to their end. When empty, nothing is decompiled.
    std::function<int(TZentorProgram &)> DecompileAfterLoad;
    // Compiles a program that is only in text form before it is written as an image
    // form (.prp or section file set); true when the image is ready. When empty, such a
    // program is not written and the save gives FileNotCompiled.
    std::function<bool(TZentorProgram &)> CompileBeforeImageSave;
    // Where long steps show their progress.
    TProgress *Progress = &NoProgress();
    // The compiler that the old-format program file needs to be read or written (section
    // re-layout, technological names, algorithm parameter names). Without one that form
    // gives FileFormNotReady.
    TZentorCompiler *Compiler = nullptr;

    // Filled by the operation: the reason of FileIoError / FileFormNotReady /
    // FileNotCompiled, and how many error lines it added to the program's messages
    // (damaged image, corrupted section file, unreadable section line ...).
    QString Error;
    int ErrorCount = 0;
    // Set by a load of an image form whose image is damaged (it fails the image check) or
    // whose section file set is incomplete or damaged: what was decoded is not the program
    // that was stored, whatever the result says. The messages say what is wrong.
    bool Damaged = false;
};

// The text after the last "." of the whole path, upper-cased ("" when there is none).
QString FileExtension(const QString &fileName);

// Lets every form use the compiler: the old-format file reads and writes with it, a PRP
// image or a section file set is decompiled after loading, and a program in text form is
// compiled (every present section, with the compile command's report lines) before it is
// written as an image form. The compiler's messages go to the program's message list; the
// hooks show their progress on ctx.Progress as it is when they are connected.
void ConnectCompiler(TFileContext &ctx, TZentorCompiler &compiler);

// Clears the model for a supported extension and reads the file into it.
[[nodiscard]] int LoadFromFile(TZentorProgram &program, const QString &fileName, TFileContext &ctx);
// Writes the program in the form the extension names.
[[nodiscard]] int SaveToFile(TZentorProgram &program, const QString &fileName, TFileContext &ctx);

// The program source file's lines, as read and as written (also used by the benchmarks).
void ReadProgramSource(TZentorProgram &program, const QStringList &lines, TFileContext &ctx);
QStringList ProgramSourceLines(const TZentorProgram &program);

// The forms one by one; LoadFromFile / SaveToFile dispatch to them. The loaders expect a
// cleared model.
[[nodiscard]] int LoadProgramSource(TZentorProgram &program, const QString &fileName,
                                    TFileContext &ctx);
[[nodiscard]] int SaveProgramSource(TZentorProgram &program, const QString &fileName,
                                    TFileContext &ctx);
[[nodiscard]] int LoadPrpImage(TZentorProgram &program, const QString &fileName, TFileContext &ctx);
[[nodiscard]] int SavePrpImage(TZentorProgram &program, const QString &fileName, TFileContext &ctx);
[[nodiscard]] int LoadSectionSet(TZentorProgram &program, const QString &fileName,
                                 TFileContext &ctx);
[[nodiscard]] int SaveSectionSet(TZentorProgram &program, const QString &fileName,
                                 TFileContext &ctx);
[[nodiscard]] int LoadOldFormat(TZentorProgram &program, const QString &fileName,
                                TFileContext &ctx);
[[nodiscard]] int SaveOldFormat(TZentorProgram &program, const QString &fileName,
                                TFileContext &ctx);

// The first 20000 bytes of a PRP image file into the image, with the message for a longer
// file and without a system-information prefix; not split (also used by zentorc dump).
[[nodiscard]] int ReadPrpImageFile(TZentorProgram &program, const QString &fileName,
                                   TFileContext &ctx);

// The old-format file's lines into the model, before conversion: technological name lines
// into the header, section lines and the old section texts (also used by the tests).
void ReadOldFormatLines(TZentorProgram &program, const QStringList &lines, TFileContext &ctx);
