// zentorc simulate PROGRAM [--alg FILE] [--script FILE] [--cycles N]
//                  [--trace FILE.csv VAR…] [--junit FILE]
// Compiles the program as compile does and runs its scans on the scan engine from the state
// where every variable is 0 and off: N scans, or what the script says. Standard output gets
// every failed expectation with its place, then the run's report (assumptions, what is not
// simulated, the run log, the coverage). Exit 0 when every expectation holds, 3 when one
// fails, 1 when the program does not compile, 2 on a wrong call or a script error.

#include "cli/cliapp.h"
#include "cli/clitexts.h"

#include "core/textfile.h"
#include "model/zentorprogram.h"
#include "runtime/runprogram.h"
#include "runtime/runreport.h"
#include "runtime/runscript.h"
#include "runtime/runtimetexts.h"
#include "runtime/scanengine.h"

#include <QXmlStreamWriter>

#include <memory>

namespace {

// A trace bigger than this is refused before the run.
constexpr long long kMaxTraceBytes = 1LL << 30;

struct TTraceColumn
{
    QString Title;
    TVarRef Var;
};

// The columns of the trace: one per variable, two for a timer (on-state and time).
bool TraceColumns(const QStringList &words, const TRunProgram &program,
                  QList<TTraceColumn> &columns, QString &error)
{
    for (const QString &word : words) {
        TVarRef v;
        if (!program.ParseVariable(word, v, error))
            return false;
        columns.append({word, v});
        if (v.Class == TVarClass::TM)
            columns.append({word + CliTexts::TraceTimeColumn, {v.Class, v.Index, TVarPart::Time}});
    }
    return true;
}

QByteArray TraceRow(long long scan, const QList<TTraceColumn> &columns, const TRunState &state)
{
    QStringList fields{QString::number(scan)};
    for (const TTraceColumn &c : columns)
        fields.append(ValueText(c.Var, state.Get(c.Var)));
    return (fields.join(u',') + u'\n').toUtf8();
}

QByteArray JunitXml(const QString &program, const QString &scriptName,
                    const std::vector<TExpectationResult> &results)
{
    int failures = 0;
    for (const TExpectationResult &r : results)
        failures += r.Passed ? 0 : 1;
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("testsuites"));
    w.writeAttribute(QStringLiteral("tests"), QString::number(results.size()));
    w.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    w.writeStartElement(QStringLiteral("testsuite"));
    w.writeAttribute(QStringLiteral("name"), CliTexts::JunitSuite + program);
    w.writeAttribute(QStringLiteral("tests"), QString::number(results.size()));
    w.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    w.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    for (const TExpectationResult &r : results) {
        w.writeStartElement(QStringLiteral("testcase"));
        w.writeAttribute(QStringLiteral("classname"), scriptName);
        w.writeAttribute(QStringLiteral("name"), CliTexts::JunitCase(r.Line, r.Text));
        if (!r.Passed) {
            w.writeStartElement(QStringLiteral("failure"));
            w.writeAttribute(QStringLiteral("message"), r.Message);
            w.writeCharacters(r.Message);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

// The checks of the call that need no file: false with the message on Err.
bool CheckCall(const QStringList &operands, TCliContext &ctx, long long &cycles)
{
    cycles = 1;
    if (!ctx.Cycles.isEmpty()) {
        if (!ctx.Script.isEmpty()) {
            ctx.Err << CliTexts::CyclesWithScript << '\n';
            return false;
        }
        cycles = ParseCycles(ctx.Cycles);
        if (cycles == 0) {
            ctx.Err << CliTexts::BadCyclesOption(ctx.Cycles, MaxScriptCycles) << '\n';
            return false;
        }
    }
    if (ctx.Trace.isEmpty() && operands.size() > 1) {
        ctx.Err << CliTexts::VariablesWithoutTrace(operands[1]) << '\n';
        return false;
    }
    if (!ctx.Trace.isEmpty() && operands.size() < 2) {
        ctx.Err << CliTexts::TraceNeedsVariables(ctx.Trace) << '\n';
        return false;
    }
    QString error;
    for (const QString &file : {ctx.Trace, ctx.Junit})
        if (!file.isEmpty() && !CheckWritable(file, error)) {
            ctx.Err << error << '\n';
            return false;
        }
    return true;
}

// The input loaded and compiled as for an image; null with the exit code when it could not be.
std::unique_ptr<TZentorProgram> CompiledProgram(const QString &input, TCliContext &ctx,
                                                int &exitCode)
{
    auto program = std::make_unique<TZentorProgram>();
    const QStringList &messages = *program->Messages;
    ctx.Files.ErrorCount = 0;
    const int result = LoadFromFile(*program, input, ctx.Files);
    for (const QString &line : messages)
        ctx.Err << line << '\n';
    if (result != FileOk) {
        exitCode = FileResultExit(result, input, ctx);
        return nullptr;
    }
    const qsizetype first = messages.size();
    if (!ctx.Files.CompileBeforeImageSave(*program)) {
        for (qsizetype i = first; i < messages.size(); ++i)
            ctx.Out << messages[i] << '\n';
        exitCode = ExitReported;
        return nullptr;
    }
    return program;
}

// The scans of a run: the script's, or the given count; the trace's rows after each.
std::vector<TExpectationResult> RunScans(TScanEngine &engine, const TScript *script,
                                         long long cycles, const QList<TTraceColumn> &columns,
                                         QByteArray &trace)
{
    std::function<void()> afterScan;
    if (!columns.isEmpty()) {
        QStringList titles{CliTexts::TraceScanColumn};
        for (const TTraceColumn &c : columns)
            titles.append(c.Title);
        trace = (titles.join(u',') + u'\n').toUtf8();
        afterScan = [&] { trace += TraceRow(engine.Scans(), columns, engine.State); };
    }
    if (script)
        return RunScript(*script, engine, afterScan);
    for (long long n = 0; n < cycles; ++n) {
        engine.Scan();
        if (afterScan)
            afterScan();
    }
    return {};
}

} // namespace

int SimulateCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    long long cycles = 1;
    if (!CheckCall(operands, ctx, cycles))
        return ExitUsage;
    QStringList scriptLines;
    if (!ctx.Script.isEmpty()) {
        QByteArray bytes;
        QString error;
        if (!ReadBinaryFile(ctx.Script, bytes, error) ||
            !ScriptText(bytes, ctx.Script, scriptLines, error)) {
            ctx.Err << error << '\n';
            return ExitUsage;
        }
    }
    const TCliCompilerPtr compiler = AttachCompiler(ctx);
    if (!compiler)
        return ExitUsage;

    int exitCode = ExitOk;
    const std::unique_ptr<TZentorProgram> program = CompiledProgram(input, ctx, exitCode);
    if (!program)
        return exitCode;

    TRunProgram run;
    run.Prepare(*program, &CliAlgBase(*compiler));
    TScript script;
    QString error;
    if (!ctx.Script.isEmpty() && !ParseScript(scriptLines, ctx.Script, run, script, error)) {
        ctx.Err << error << '\n';
        return ExitUsage;
    }
    QList<TTraceColumn> columns;
    if (!TraceColumns(operands.mid(1), run, columns, error)) {
        ctx.Err << CliTexts::TraceVariable(error) << '\n';
        return ExitUsage;
    }
    const long long scans = ctx.Script.isEmpty() ? cycles : script.Scans();
    const long long rowBytes = 12 + 10LL * columns.size();
    if (!columns.isEmpty() && scans > kMaxTraceBytes / rowBytes) {
        ctx.Err << CliTexts::TraceTooLarge(scans, static_cast<int>(columns.size()) + 1) << '\n';
        return ExitUsage;
    }

    TScanEngine engine(run);
    QByteArray trace;
    const std::vector<TExpectationResult> results =
        RunScans(engine, ctx.Script.isEmpty() ? nullptr : &script, cycles, columns, trace);

    int failed = 0;
    for (const TExpectationResult &r : results)
        if (!r.Passed) {
            ctx.Out << r.Message << '\n';
            ++failed;
        }
    if (!ctx.Script.isEmpty())
        ctx.Out << RuntimeText::ExpectationsLine(static_cast<int>(results.size()), failed) << '\n';
    for (const QString &line : RunReportLines(engine))
        ctx.Out << line << '\n';

    if (!columns.isEmpty() && !WriteBinaryFile(ctx.Trace, trace, error)) {
        ctx.Err << error << '\n';
        return ExitUsage;
    }
    if (!ctx.Junit.isEmpty() &&
        !WriteBinaryFile(ctx.Junit, JunitXml(input, ctx.Script, results), error)) {
        ctx.Err << error << '\n';
        return ExitUsage;
    }
    return failed > 0 ? ExitFindings : ExitOk;
}
