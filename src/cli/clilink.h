#pragma once
// What zentorc's controller commands share: the port opened from --port and the line
// options, the log, the reasons for a missing answer, and the transfer jobs' progress and
// questions on standard error.

#include "cli/cliapp.h"
#include "core/logger.h"
#include "link/controllerlink.h"
#include "link/prptransfer.h"

#include <QHash>

#include <memory>

struct TCliLink
{
    std::unique_ptr<TLogger> Logger; // outlives the parts that write to it
    TControllerLink Parts;
};

// Opens the port named by ctx.Port with the line options; null (reason on Err, exit 2)
// when an option is wrong, the log cannot be opened or the port cannot be opened.
std::unique_ptr<TCliLink> OpenCliLink(TCliContext &ctx);

// True when the last command's frames were accepted; otherwise prints "Ошибка при
// обращении к контроллеру!" and the reason on Out.
bool ControllerAnswered(const TLinkResult &last, TCliContext &ctx);
// The reason for link status 1, 2 or 3.
QString LinkFailureText(const TLinkResult &last);

// A transfer's window on standard error: its actions as lines "[position/maximum] action",
// on a terminal one such line rewritten in place. Its questions ("Повторить?") are
// answered OK up to Attempts times in a row for the same action, then Cancel, so that no
// transfer waits for ever.
class TCliTransferUi : public TProgress, public TTransferQuestions
{
public:
    static constexpr int Attempts = 3;

    explicit TCliTransferUi(TCliContext &ctx) : Ctx(ctx) {}
    void SetCaption(const QString &caption) override;
    void SetMaximum(int maximum) override { Maximum = maximum; }
    void SetPosition(int position) override;
    void SetAction(const QString &action) override;
    void Hide() override;
    bool Confirm(const QString &text, const QString &caption) override;

private:
    void Flush();
    // Ends the line rewritten in place, if one is open, so that what follows starts a line.
    void EndLine();

    TCliContext &Ctx;
    bool Pending = false;
    qsizetype Shown = -1; // characters of the open line on a terminal; -1: none open
    int Maximum = 0;
    int Position = 0;
    QString Action;
    int Retries = 0;
};

// Runs a transfer job in its thread; Ctrl+C asks it to stop between two steps.
void RunTransfer(TPRPTransferThread &job);

// Loads the program to send or compare. A text form is compiled first exactly as zentorc
// compile compiles it (its list on Out); an image form stands as its header and section
// blocks are. The compiler is attached for a text form when none is given.
[[nodiscard]] int LoadProgramToWrite(TZentorProgram &program, const QString &input,
                                     TCliContext &ctx, TCliCompilerPtr &compiler);
// Reads the controller's PRP into program (cleared first), twice with --twice. The job's
// messages go to Out.
// last receives what the job's last command learned.
TTransferResult ReadPrp(TSarvetel &link, TZentorProgram &program, TCliContext &ctx,
                        TLinkResult &last);
// The same for a comparison: the image is split as well, its messages on Out. sound tells
// whether the image came whole and passed the image check.
TTransferResult ReadPrpToCompare(TSarvetel &link, TZentorProgram &stored, TCliContext &ctx,
                                 bool &sound, TLinkResult &last);
