#include "cli/cliapp.h"

#include "cli/clitexts.h"
#include "core/version.h"
#include "model/zentorprogram.h"

#include <algorithm>
#include <memory>

const QList<TCliOption> &CliOptions()
{
    static const QList<TCliOption> options = {
        {QStringLiteral("--alg"), CliTexts::FileValue, &TCliContext::AlgFile},
        {QStringLiteral("-o"), CliTexts::OutputValue, &TCliContext::OutputFile},
        {QStringLiteral("--port"), CliTexts::DeviceValue, &TCliContext::Port},
        {QStringLiteral("--baud"), CliTexts::NumberValue, &TCliContext::Baud},
        {QStringLiteral("--parity"), CliTexts::CodeValue, &TCliContext::Parity},
        {QStringLiteral("--stop-bits"), CliTexts::CodeValue, &TCliContext::StopBits},
        {QStringLiteral("--byte-size"), CliTexts::NumberValue, &TCliContext::ByteSize},
        {QStringLiteral("--log"), CliTexts::FileValue, &TCliContext::LogFile},
        {QStringLiteral("--yes"), QString(), nullptr, &TCliContext::Yes},
        {QStringLiteral("--verify"), QString(), nullptr, &TCliContext::Verify},
        {QStringLiteral("--twice"), QString(), nullptr, &TCliContext::Twice},
        {QStringLiteral("--format"), CliTexts::FormatValue, &TCliContext::Format},
        {QStringLiteral("--script"), CliTexts::FileValue, &TCliContext::Script},
        {QStringLiteral("--cycles"), CliTexts::NumberValue, &TCliContext::Cycles},
        {QStringLiteral("--trace"), CliTexts::TraceValue, &TCliContext::Trace},
        {QStringLiteral("--junit"), CliTexts::FileValue, &TCliContext::Junit},
    };
    return options;
}

const QStringList &CliLineOptions()
{
    static const QStringList names = {
        QStringLiteral("--port"),      QStringLiteral("--baud"),      QStringLiteral("--parity"),
        QStringLiteral("--stop-bits"), QStringLiteral("--byte-size"), QStringLiteral("--log"),
    };
    return names;
}

namespace {

// A controller command accepts the line options and its own.
QStringList LinkOptions(const QStringList &own)
{
    return CliLineOptions() + own;
}

} // namespace

const QList<TCliCommand> &CliCommands()
{
    static const QList<TCliCommand> commands = {
        {QStringLiteral("convert"),
         CliTexts::ConvertOperands,
         {QStringLiteral("--alg")},
         CliTexts::ConvertSummary,
         2,
         2,
         &ConvertCommand},
        {QStringLiteral("compile"),
         CliTexts::CompileOperands,
         {QStringLiteral("-o"), QStringLiteral("--alg")},
         CliTexts::CompileSummary,
         1,
         1,
         &CompileCommand},
        {QStringLiteral("decompile"),
         CliTexts::CompileOperands,
         {QStringLiteral("-o"), QStringLiteral("--alg")},
         CliTexts::DecompileSummary,
         1,
         1,
         &DecompileCommand},
        {QStringLiteral("dump"),
         CliTexts::DumpOperands,
         {},
         CliTexts::DumpSummary,
         1,
         1,
         &DumpCommand},
        {QStringLiteral("xref"),
         CliTexts::XrefOperands,
         {QStringLiteral("--alg"), QStringLiteral("--format")},
         CliTexts::XrefSummary,
         1,
         1,
         &XrefCommand},
        {QStringLiteral("simulate"),
         CliTexts::SimulateOperands,
         {QStringLiteral("--alg"), QStringLiteral("--script"), QStringLiteral("--cycles"),
          QStringLiteral("--trace"), QStringLiteral("--junit")},
         CliTexts::SimulateSummary,
         1,
         1 + 4096,
         &SimulateCommand},
        {QStringLiteral("status"), QString(), LinkOptions({}), CliTexts::StatusSummary, 0, 0,
         &StatusCommand, true},
        {QStringLiteral("mode"), CliTexts::ModeOperands, LinkOptions({}), CliTexts::ModeSummary, 1,
         1, &ModeCommand, true},
        {QStringLiteral("screen"), QString(), LinkOptions({}), CliTexts::ScreenSummary, 0, 0,
         &ScreenCommand, true},
        {QStringLiteral("keys"), CliTexts::KeysOperands, LinkOptions({}), CliTexts::KeysSummary, 1,
         1000, &KeysCommand, true},
        {QStringLiteral("write"), CliTexts::WriteOperands,
         LinkOptions({QStringLiteral("--yes"), QStringLiteral("--verify"),
                      QStringLiteral("--twice"), QStringLiteral("--alg")}),
         CliTexts::WriteSummary, 1, 1, &WriteCommand, true},
        {QStringLiteral("read"), CliTexts::ReadOperands,
         LinkOptions({QStringLiteral("-o"), QStringLiteral("--twice"), QStringLiteral("--alg")}),
         CliTexts::ReadSummary, 0, 0, &ReadCommand, true},
        {QStringLiteral("algs"), CliTexts::AlgsOperands, LinkOptions({QStringLiteral("-o")}),
         CliTexts::AlgsSummary, 0, 0, &AlgsCommand, true},
        {QStringLiteral("diff"), CliTexts::DiffOperands,
         LinkOptions({QStringLiteral("--twice"), QStringLiteral("--alg")}), CliTexts::DiffSummary,
         1, 1, &DiffCommand, true},
    };
    return commands;
}

namespace {

const TCliOption *FindOption(const QString &name)
{
    for (const TCliOption &o : CliOptions())
        if (o.Name == name)
            return &o;
    return nullptr;
}

const TCliCommand *FindCommand(const QString &name)
{
    for (const TCliCommand &c : CliCommands())
        if (c.Name == name)
            return &c;
    return nullptr;
}

QString OptionText(const QString &name)
{
    const TCliOption *o = FindOption(name);
    return o && !o->ValueName.isEmpty() ? name + u' ' + o->ValueName : name;
}

QString Synopsis(const TCliCommand &c)
{
    QString s = QStringLiteral("zentorc ");
    if (c.NeedsPort)
        s += OptionText(QStringLiteral("--port")) + u' ' + CliTexts::LineOptionsMark + u' ';
    s += c.Name;
    if (!c.Operands.isEmpty())
        s += u' ' + c.Operands;
    // Options that the operands already show (a required -o) are not repeated.
    for (const QString &name : c.Options)
        if ((!c.NeedsPort || !CliLineOptions().contains(name)) && !c.Operands.contains(name + u' '))
            s += QStringLiteral(" [") + OptionText(name) + u']';
    return s;
}

bool IsHelp(const QString &arg)
{
    return arg == QStringLiteral("--help") || arg == QStringLiteral("-h");
}

bool IsVersion(const QString &arg)
{
    return arg == QStringLiteral("--version");
}

} // namespace

QString HelpText()
{
    // Each command's call on one line, what it does indented on the next.
    QString text = CliTexts::Title + QStringLiteral("\n\n") + CliTexts::UsageHeading + u'\n';
    for (const TCliCommand &c : CliCommands())
        text += QStringLiteral("  ") + Synopsis(c) + QStringLiteral("\n      ") + c.Summary + u'\n';
    text += QStringLiteral("  zentorc --help\n      ") + CliTexts::HelpLine + u'\n';
    text += QStringLiteral("  zentorc --version\n      ") + CliTexts::VersionHelpLine + u'\n';
    text += u'\n' + CliTexts::LineOptionsNote + u'\n';
    text += u'\n' + CliTexts::SimulateNote + u'\n';
    text += u'\n' + CliTexts::FormsNote + u'\n' + CliTexts::ExitNote + u'\n';
    return text;
}

namespace {

// An option as given on the command line, with its value.
struct TGivenOption
{
    const TCliOption *Option;
    QString Value;
};

// The options given set into the context, when the command takes each of them, its port and
// its number of operands; false with the reason told.
bool TakeOptions(const TCliCommand &command, const QList<TGivenOption> &given,
                 const QStringList &operands, TCliContext &ctx)
{
    for (const TGivenOption &g : given) {
        if (!command.Options.contains(g.Option->Name)) {
            ctx.Err << CliTexts::UnknownOption(command.Name, g.Option->Name) << '\n';
            return false;
        }
        if (g.Option->Flag)
            ctx.*(g.Option->Flag) = true;
        else
            ctx.*(g.Option->Target) = g.Value;
    }
    if (command.NeedsPort && ctx.Port.isEmpty()) {
        ctx.Err << CliTexts::PortNeeded(command.Name) << '\n';
        return false;
    }
    if (operands.size() < command.MinOperands || operands.size() > command.MaxOperands) {
        ctx.Err << CliTexts::WrongOperands(command.Name, Synopsis(command)) << '\n';
        return false;
    }
    return true;
}

} // namespace

int RunZentorc(const QStringList &args, QTextStream &out, QTextStream &err, bool errIsTerminal)
{
    TCliContext ctx(out, err);
    ctx.ErrIsTerminal = errIsTerminal;
    if (args.isEmpty()) {
        err << CliTexts::NoCommand << '\n';
        return ExitUsage;
    }
    // Options may stand before the command (zentorc --port DEVICE status) and after it;
    // the first word that is neither an option nor an option's value names the command.
    QList<TGivenOption> given;
    const TCliCommand *command = nullptr;
    QStringList operands;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (IsHelp(a)) {
            out << HelpText();
            return ExitOk;
        }
        if (IsVersion(a)) {
            out << VersionText(QStringLiteral("zentorc"));
            return ExitOk;
        }
        const TCliOption *o = FindOption(a);
        if (!o && !a.startsWith(QStringLiteral("--"))) {
            if (command) {
                operands.append(a);
                continue;
            }
            command = FindCommand(a);
            if (!command) {
                err << CliTexts::UnknownCommand(a) << '\n';
                return ExitUsage;
            }
            continue;
        }
        if (!o) {
            err << (command ? CliTexts::UnknownOption(command->Name, a)
                            : CliTexts::UnknownGlobalOption(a))
                << '\n';
            return ExitUsage;
        }
        if (o->Flag) {
            given.append({o, QString()});
            continue;
        }
        if (i + 1 >= args.size()) {
            err << CliTexts::OptionNeedsValue(a) << '\n';
            return ExitUsage;
        }
        given.append({o, args[++i]});
    }
    if (!command) {
        err << CliTexts::NoCommand << '\n';
        return ExitUsage;
    }
    if (!TakeOptions(*command, given, operands, ctx))
        return ExitUsage;
    return command->Run(operands, ctx);
}

std::atomic<bool> &CliInterrupted()
{
    static std::atomic<bool> interrupted{false};
    return interrupted;
}

std::atomic<bool> &CliTransferRunning()
{
    static std::atomic<bool> running{false};
    return running;
}

QStringList AlignedLines(const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QStringList &row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c >= widths.size())
                widths.append(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        lines.append(line.trimmed());
    }
    return lines;
}

int PrintMessages(const TZentorProgram &program, int from, TCliContext &ctx)
{
    const QStringList &lines = *program.Messages;
    for (qsizetype i = from; i < lines.size(); ++i)
        ctx.Out << lines[i] << '\n';
    return static_cast<int>(lines.size());
}

int FileResultExit(int result, const QString &fileName, TCliContext &ctx)
{
    switch (result) {
    case FileOk:
        return ExitOk;
    case FileLoadUnsupported:
    case FileSaveUnsupported:
        ctx.Err << CliTexts::UnsupportedExtension(fileName) << '\n';
        return ExitUsage;
    case FileSetNotFound:
        ctx.Err << CliTexts::SetNotFound(fileName) << '\n';
        return ExitUsage;
    case FileNotCompiled:
        ctx.Err << ctx.Files.Error << '\n';
        return ExitReported;
    default:
        ctx.Err << ctx.Files.Error << '\n';
        return ExitUsage;
    }
}
