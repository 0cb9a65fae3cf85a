// zentorc's controller commands: opening the port, and the short commands status, mode,
// screen, keys and algs.

#include "cli/clilink.h"
#include "cli/clitexts.h"

#include "compiler/algbase.h"
#include "core/textfile.h"
#include "core/textutils.h"
#include "link/algbaseread.h"
#include "link/sarveteldefs.h"
#include "link/sarvetelerrors.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace Sarvetel;

namespace {

bool ParseNumber(const QString &text, int min, int max, int &value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    value = v;
    return true;
}

// Applies one line option to the port; false (message on Err) when its value is wrong.
bool LineOption(const QString &option, const QString &text, int min, int max,
                const QString &allowed, TCliContext &ctx, int &value)
{
    if (text.isEmpty())
        return true;
    if (ParseNumber(text, min, max, value))
        return true;
    ctx.Err << CliTexts::BadLineValue(option, text, allowed) << '\n';
    return false;
}

void LogOpened(TCliLink &link, bool opened)
{
    if (link.Logger)
        for (const QString &line : PortOpenedReport(*link.Parts.Port, opened))
            link.Logger->AddLine(line);
}

} // namespace

std::unique_ptr<TCliLink> OpenCliLink(TCliContext &ctx)
{
    int baud = 4800, parity = 1, stopBits = 2, byteSize = 8;
    if (!LineOption(QStringLiteral("--baud"), ctx.Baud, 1, 4000000, CliTexts::BaudAllowed, ctx,
                    baud) ||
        !LineOption(QStringLiteral("--parity"), ctx.Parity, 0, 4, CliTexts::ParityAllowed, ctx,
                    parity) ||
        !LineOption(QStringLiteral("--stop-bits"), ctx.StopBits, 0, 2, CliTexts::StopBitsAllowed,
                    ctx, stopBits) ||
        !LineOption(QStringLiteral("--byte-size"), ctx.ByteSize, 5, 8, CliTexts::ByteSizeAllowed,
                    ctx, byteSize))
        return nullptr;

    auto link = std::make_unique<TCliLink>();
    if (!ctx.LogFile.isEmpty()) {
        link->Logger = std::make_unique<TLogger>(ctx.LogFile);
        // Its first line tells at once whether the log takes lines (a full disk, /dev/full).
        link->Logger->AddLine(
            PortOpeningLine(TCOMPort::PortNameFor(TCOMPort::DevicePathFor(ctx.Port))));
        const QString error = link->Logger->Error();
        if (!error.isEmpty()) {
            ctx.Err << (link->Logger->IsOpen() ? CliTexts::LogNotWritten(ctx.LogFile, error)
                                               : CliTexts::LogNotOpened(ctx.LogFile, error))
                    << '\n';
            return nullptr;
        }
    }
    TCOMPort &port = link->Parts.CreatePort(link->Logger.get());
    port.BaudRate = static_cast<std::uint32_t>(baud);
    port.Parity = static_cast<std::uint8_t>(parity);
    port.StopBits = static_cast<std::uint8_t>(stopBits);
    port.ByteSize = static_cast<std::uint8_t>(byteSize);
    const int result = port.OpenDevice(ctx.Port);
    LogOpened(*link, result == 0);
    if (result != 0) {
        // Settings the device refuses leave it open; a device that is not there, not.
        if (port.IsOpen())
            ctx.Err << CliTexts::PortSettingsRefused(ctx.Port, result) << '\n';
        else
            ctx.Err << CliTexts::PortNotOpened(ctx.Port, TCOMPort::OpenErrorText(result)) << '\n';
        return nullptr;
    }
    link->Parts.CreateSarvetel(link->Logger.get(), -1, true);
    return link;
}

QString LinkFailureText(const TLinkResult &last)
{
    return Sarvetel::LinkFailureText(last.Status, last.Protocol);
}

bool ControllerAnswered(const TLinkResult &last, TCliContext &ctx)
{
    if (last.Accepted())
        return true;
    ctx.Out << NoAnswer << '\n' << LinkFailureText(last) << '\n';
    return false;
}

// ------------------------------------------------------------------ transfer window

void TCliTransferUi::SetCaption(const QString &caption)
{
    EndLine();
    Ctx.Out.flush(); // what the command said before comes first on a shared terminal
    Ctx.Err << caption << '\n';
    Ctx.Err.flush();
}

void TCliTransferUi::SetAction(const QString &action)
{
    if (action != Action)
        Retries = 0;
    Action = action;
    Pending = true;
}

// The jobs set the action first and the position after it: the line goes out then.
void TCliTransferUi::SetPosition(int position)
{
    Position = position;
    Flush();
}

void TCliTransferUi::Hide()
{
    Flush();
    EndLine();
}

void TCliTransferUi::Flush()
{
    if (!Pending)
        return;
    Pending = false;
    const QString line = CliTexts::ProgressLine(Action, Position, Maximum);
    if (Ctx.ErrIsTerminal) {
        // Back to the line's start, the new text, and blanks over the rest of a longer one.
        Ctx.Err << '\r' << line << QString(std::max<qsizetype>(Shown - line.size(), 0), u' ');
        Shown = line.size();
    } else {
        Ctx.Err << line << '\n';
    }
    Ctx.Err.flush();
}

void TCliTransferUi::EndLine()
{
    if (Shown < 0)
        return;
    Shown = -1;
    Ctx.Err << '\n';
    Ctx.Err.flush();
}

bool TCliTransferUi::Confirm(const QString &text, const QString &caption)
{
    Flush();
    EndLine();
    const bool retry = Retries < Attempts;
    if (retry)
        ++Retries;
    Ctx.Err << caption << ' ' << text << ' ' << CliTexts::QuestionAnswer(retry, Retries, Attempts)
            << '\n';
    Ctx.Err.flush();
    return retry;
}

void RunTransfer(TPRPTransferThread &job)
{
    CliTransferRunning() = true;
    job.Start();
    while (!job.WaitFor(100))
        if (CliInterrupted())
            job.Terminate();
    CliTransferRunning() = false;
}

// ----------------------------------------------------------------------- commands

int StatusCommand(const QStringList &, TCliContext &ctx)
{
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    const TLinkRead<TControllerStatus> status = link.ReadStatus();
    if (!ControllerAnswered(status, ctx))
        return ExitReported;
    const std::uint32_t mode = status.Mode;
    QString line = CliTexts::ModeLine + ModeName(mode);
    if (ModeName(mode) == ModeName(0))
        line += CliTexts::ModeCode(mode);
    ctx.Out << line << '\n';
    if (mode != ModeFault) {
        ctx.Out << (status.Value.ErrorsPresent ? CliTexts::ErrorsPresent : CliTexts::NoErrors)
                << '\n';
        return ExitOk;
    }
    const TControllerStatus &faults = status.Value;
    if (faults.FaultCount == 0)
        ctx.Out << CliTexts::NoFaultsListed << '\n';
    for (int k = 0; k < faults.FaultCount; ++k) {
        const QString text = SarvetelFaultText(faults.FaultWord(k));
        ctx.Out << (text.isEmpty()
                        ? CliTexts::FaultWithoutText(faults.Faults[k][0], faults.Faults[k][1])
                        : text)
                << '\n';
    }
    return ExitOk;
}

namespace {

// A mode by its name (any letter case) or its code.
bool ParseMode(const QString &text, std::uint8_t &mode)
{
    static const std::uint8_t modes[] = {ModeStop, ModeRun,  ModeSetup, ModeProgram,
                                         ModeCopy, ModeTest, ModeFault};
    for (std::uint8_t m : modes)
        if (text.toUpper() == ModeName(m).toUpper()) {
            mode = m;
            return true;
        }
    int code = 0;
    if (!ParseNumber(text, 1, 255, code))
        return false;
    for (std::uint8_t m : modes)
        if (code == m) {
            mode = m;
            return true;
        }
    return false;
}

} // namespace

int ModeCommand(const QStringList &operands, TCliContext &ctx)
{
    std::uint8_t mode = 0;
    if (!ParseMode(operands[0], mode)) {
        ctx.Err << CliTexts::UnknownModeName(operands[0]) << '\n';
        return ExitUsage;
    }
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    const TLinkResult set = link.SetMode(mode);
    if (!ControllerAnswered(set, ctx))
        return ExitReported;
    if (set.Mode != mode) {
        ctx.Out << CliTexts::ModeNotTaken(ModeName(mode), ModeName(set.Mode)) << '\n';
        return ExitReported;
    }
    ctx.Out << CliTexts::ModeLine << ModeName(set.Mode) << '\n';
    return ExitOk;
}

int ScreenCommand(const QStringList &, TCliContext &ctx)
{
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    TLinkRead<TScreenText> screen;
    for (int first = 0; first < ScreenLineCount; first += 2) {
        screen = link.ReadScreenLines(first);
        if (!ControllerAnswered(screen, ctx))
            return ExitReported;
    }
    for (const QString &line : screen.Value)
        ctx.Out << line << '\n';
    return ExitOk;
}

int KeysCommand(const QStringList &operands, TCliContext &ctx)
{
    std::vector<std::uint8_t> keys;
    for (const QString &text : operands) {
        int code = 0;
        if (!ParseNumber(text, 0, 255, code)) {
            ctx.Err << CliTexts::BadKeyCode(text) << '\n';
            return ExitUsage;
        }
        keys.push_back(static_cast<std::uint8_t>(code));
    }
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    // One frame carries at most 36 keys.
    for (std::size_t at = 0; at < keys.size(); at += MaxKeys) {
        const int n = static_cast<int>(std::min<std::size_t>(MaxKeys, keys.size() - at));
        if (!ControllerAnswered(link.SendKeys(keys.data() + at, n), ctx))
            return ExitReported;
    }
    ctx.Out << CliTexts::KeysSent(static_cast<int>(keys.size())) << '\n';
    return ExitOk;
}

int AlgsCommand(const QStringList &, TCliContext &ctx)
{
    if (ctx.OutputFile.isEmpty()) {
        ctx.Err << CliTexts::AlgsOutputNeeded << '\n';
        return ExitUsage;
    }
    QString error;
    if (!CheckWritable(ctx.OutputFile, error)) {
        ctx.Err << error << '\n';
        return ExitUsage;
    }
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    // A controller that does not answer at all is told in one short exchange.
    if (!ControllerAnswered(link.ReadStatus(), ctx))
        return ExitReported;
    auto base = std::make_unique<TAlgBase>();
    TCliTransferUi ui(ctx);
    const TAlgBaseReadResult result = ReadFromController(*base, link, ui);
    if (!result.Ok) {
        ctx.Out << CliTexts::AlgNoAnswer(OctalText(result.NoAnswer, 3)) << '\n'
                << LinkFailureText(result.Failure) << '\n';
        return ExitReported;
    }
    for (int n : result.Unusable)
        ctx.Out << CliTexts::AlgUnusable(OctalText(n, 3)) << '\n';
    ctx.Out << CliTexts::AlgsRead(result.Described) << '\n';
    if (!base->SaveToFile(ctx.OutputFile, &error)) {
        ctx.Err << error << '\n';
        return ExitUsage;
    }
    ctx.Out << CliTexts::Saved(ctx.OutputFile) << '\n';
    return result.Unusable.isEmpty() ? ExitOk : ExitReported;
}
