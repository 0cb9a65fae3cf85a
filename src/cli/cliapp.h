#pragma once
// zentorc, the command-line tool: a table of commands, their options and the exit codes.
// Each command is a function over its operands and a context; a later command is one more
// row of CliCommands() (and, when it needs one, one more option of CliOptions()).

#include "files/programfiles.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <atomic>
#include <memory>

// Exit status of zentorc.
enum TExitCode : int {
    ExitOk = 0,       // the command did what it was asked
    ExitReported = 1, // the operation itself reported errors (damaged image, compile errors,
                      // a controller that does not answer or refuses)
    ExitUsage = 2,    // wrong call or a file that cannot be read or written (on stderr)
    ExitFindings = 3, // an analysis found something to look at (xref's checks, diff's
                      // differences, a failed expectation of simulate)
};

struct TCliContext
{
    TCliContext(QTextStream &out, QTextStream &err) : Out(out), Err(err) {}

    QTextStream &Out; // the operation's own lines, UTF-8
    QTextStream &Err; // usage and I/O errors, UTF-8
    // Err is a terminal: a transfer's progress is one line rewritten in place there.
    bool ErrIsTerminal = false;

    QString AlgFile;    // --alg FILE: the algorithm base the compiler is to use
    QString OutputFile; // -o FILE: where compile writes the image
    QString Format;     // --format text|csv: how xref prints its table
    QString Script;     // --script FILE: the checks simulate runs
    QString Cycles;     // --cycles N: the scans simulate runs without a script
    QString Trace;      // --trace FILE.csv: where simulate writes the traced variables
    QString Junit;      // --junit FILE: where simulate writes its checks as JUnit XML

    // The controller link: the device and its line settings as given, checked when the
    // port is opened.
    QString Port;        // --port DEVICE: COMn, /dev/ttyUSB0, a pseudo-terminal ...
    QString Baud;        // --baud N
    QString Parity;      // --parity CODE, 0..4
    QString StopBits;    // --stop-bits CODE, 0..2
    QString ByteSize;    // --byte-size N
    QString LogFile;     // --log FILE: every frame and reply item, as the desktop logs them
    bool Yes = false;    // --yes: switch the controller's mode without asking
    bool Verify = false; // --verify: read the PRP back after writing it and compare
    bool Twice = false;  // --twice: read the controller's PRP twice, take it when both agree
    // Hooks and progress for LoadFromFile / SaveToFile; the compiler and decompiler
    // commands fill the hooks.
    TFileContext Files;
};

using TCliHandler = int (*)(const QStringList &operands, TCliContext &ctx);

// An option that takes a value, e.g. "--alg FILE" or "-o FILE", whose value lands in
// ctx.*Target; or a flag without a value, e.g. "--yes", that sets ctx.*Flag.
struct TCliOption
{
    QString Name;
    QString ValueName;
    QString TCliContext::*Target = nullptr;
    bool TCliContext::*Flag = nullptr;
};

struct TCliCommand
{
    QString Name;
    QString Operands;    // as shown in the help, e.g. "ВХОД ВЫХОД"
    QStringList Options; // names of the options it accepts
    QString Summary;     // one line of help
    int MinOperands;
    int MaxOperands;
    TCliHandler Run;
    bool NeedsPort = false; // talks to a controller: --port DEVICE is required
};

const QList<TCliOption> &CliOptions();
// The options of the serial line that every controller command accepts.
const QStringList &CliLineOptions();
const QList<TCliCommand> &CliCommands();
QString HelpText();

// Runs one call of zentorc (args without the program name); returns its exit status.
// errIsTerminal: err writes to a terminal.
int RunZentorc(const QStringList &args, QTextStream &out, QTextStream &err,
               bool errIsTerminal = false);

// Shared by the commands: prints the program's message lines from `from` on to Out and
// returns how many there are now.
class TZentorProgram;
int PrintMessages(const TZentorProgram &program, int from, TCliContext &ctx);
// Table rows as lines whose columns are aligned (two blanks between them).
QStringList AlignedLines(const QList<QStringList> &rows);
// Reports a non-zero LoadFromFile / SaveToFile result on Err and gives the exit status.
[[nodiscard]] int FileResultExit(int result, const QString &fileName, TCliContext &ctx);

// The commands.
int ConvertCommand(const QStringList &operands, TCliContext &ctx);
int DumpCommand(const QStringList &operands, TCliContext &ctx);
int CompileCommand(const QStringList &operands, TCliContext &ctx);
int DecompileCommand(const QStringList &operands, TCliContext &ctx);
int XrefCommand(const QStringList &operands, TCliContext &ctx);
int SimulateCommand(const QStringList &operands, TCliContext &ctx);
// The controller commands (zentorc --port DEVICE ... COMMAND).
int StatusCommand(const QStringList &operands, TCliContext &ctx);
int ModeCommand(const QStringList &operands, TCliContext &ctx);
int ScreenCommand(const QStringList &operands, TCliContext &ctx);
int KeysCommand(const QStringList &operands, TCliContext &ctx);
int WriteCommand(const QStringList &operands, TCliContext &ctx);
int ReadCommand(const QStringList &operands, TCliContext &ctx);
int AlgsCommand(const QStringList &operands, TCliContext &ctx);
int DiffCommand(const QStringList &operands, TCliContext &ctx);

// Set by an interrupt (Ctrl+C) of zentorc: a running transfer is asked to stop.
std::atomic<bool> &CliInterrupted();
// True while a transfer runs: only then does an interrupt not end zentorc at once.
std::atomic<bool> &CliTransferRunning();

// The compiler of the commands that turn a text form into an image form, with its base.
struct TCliCompiler;
struct TCliCompilerDeleter
{
    void operator()(TCliCompiler *c) const;
};
using TCliCompilerPtr = std::unique_ptr<TCliCompiler, TCliCompilerDeleter>;
// Loads the algorithm base (--alg FILE, or "BaseAlgs.alg" where the process looks for it)
// and connects the compiler to ctx.Files (ConnectCompiler): images are decompiled after
// loading, the old format is read and written, and CompileBeforeImageSave compiles every
// present section as the main window's compile command does, its lines going to the
// program's messages. Null (reason on Err) when the base file cannot be read.
TCliCompilerPtr AttachCompiler(TCliContext &ctx);
// The algorithm base the compiler was given.
class TAlgBase;
const TAlgBase &CliAlgBase(const TCliCompiler &c);
// True when the extension names an image form (.prp or a section file set).
bool IsImageForm(const QString &fileName);
// True when reading or writing the form needs the compiler (every form but .zen).
bool NeedsCompiler(const QString &fileName);
