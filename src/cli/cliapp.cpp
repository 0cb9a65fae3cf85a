#include "cli/cliapp.h"

#include "cli/clitexts.h"
#include "model/zentorprogram.h"

#include <memory>

const QList<TCliOption> &CliOptions()
{
    static const QList<TCliOption> options = {
        {QStringLiteral("--alg"), CliTexts::FileValue, &TCliContext::AlgFile},
        {QStringLiteral("-o"), CliTexts::OutputValue, &TCliContext::OutputFile},
    };
    return options;
}

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

QString Synopsis(const TCliCommand &c)
{
    QString s = QStringLiteral("zentorc ") + c.Name;
    if (!c.Operands.isEmpty())
        s += u' ' + c.Operands;
    for (const QString &name : c.Options) {
        const TCliOption *o = FindOption(name);
        s += QStringLiteral(" [") + name + (o ? u' ' + o->ValueName : QString()) + u']';
    }
    return s;
}

bool IsHelp(const QString &arg)
{
    return arg == QStringLiteral("--help") || arg == QStringLiteral("-h");
}

} // namespace

QString HelpText()
{
    QStringList rows;
    QList<QString> synopses;
    qsizetype width = 0;
    for (const TCliCommand &c : CliCommands()) {
        synopses.append(Synopsis(c));
        width = std::max(width, synopses.last().size());
    }
    const QString help = QStringLiteral("zentorc --help");
    width = std::max(width, help.size());
    QString text = CliTexts::Title + QStringLiteral("\n\n") + CliTexts::UsageHeading + u'\n';
    for (qsizetype i = 0; i < synopses.size(); ++i)
        text += QStringLiteral("  ") + synopses[i].leftJustified(width + 2) +
                CliCommands()[i].Summary + u'\n';
    text += QStringLiteral("  ") + help.leftJustified(width + 2) + CliTexts::HelpLine + u'\n';
    text += u'\n' + CliTexts::FormsNote + u'\n' + CliTexts::ExitNote + u'\n';
    return text;
}

int RunZentorc(const QStringList &args, QTextStream &out, QTextStream &err)
{
    TCliContext ctx(out, err);
    if (args.isEmpty()) {
        err << CliTexts::NoCommand << '\n';
        return ExitUsage;
    }
    if (IsHelp(args[0])) {
        out << HelpText();
        return ExitOk;
    }
    const TCliCommand *command = FindCommand(args[0]);
    if (!command) {
        err << CliTexts::UnknownCommand(args[0]) << '\n';
        return ExitUsage;
    }
    QStringList operands;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (IsHelp(a)) {
            out << HelpText();
            return ExitOk;
        }
        if (!a.startsWith(QStringLiteral("--")) && !FindOption(a)) {
            operands.append(a);
            continue;
        }
        const TCliOption *o = FindOption(a);
        if (!o || !command->Options.contains(a)) {
            err << CliTexts::UnknownOption(command->Name, a) << '\n';
            return ExitUsage;
        }
        if (i + 1 >= args.size()) {
            err << CliTexts::OptionNeedsValue(a) << '\n';
            return ExitUsage;
        }
        ctx.*(o->Target) = args[++i];
    }
    if (operands.size() < command->MinOperands || operands.size() > command->MaxOperands) {
        err << CliTexts::WrongOperands(command->Name, command->Operands) << '\n';
        return ExitUsage;
    }
    return command->Run(operands, ctx);
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
