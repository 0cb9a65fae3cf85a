// zentor-sim: the controller simulator on a pseudo-terminal.

#include "sim/ptyserver.h"
#include "sim/simoptions.h"
#include "sim/simulator.h"

#ifdef ZENTOR_SIM_ALGBASE
#include "compiler/algbase.h"
#endif

#include <QTextStream>

#include <atomic>
#include <csignal>
#include <memory>

namespace {

std::atomic<bool> Stop{false};

void OnSignal(int)
{
    Stop = true;
}

} // namespace

int main(int argc, char **argv)
{
    // From the start, so that a stop at any moment still removes the link.
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    TSimOptions options;
    QString error;
    if (!ParseSimOptions(args, options, error)) {
        err << error << Qt::endl;
        return 2;
    }
    if (options.Help) {
        out << SimUsage();
        return 0;
    }
    auto sim = std::make_unique<TSarvetelSimulator>();
    if (!sim->Faults.Parse(options.Faults, error)) {
        err << error << Qt::endl;
        return 2;
    }
    if (!options.AlgFile.isEmpty()) {
#ifdef ZENTOR_SIM_ALGBASE
        auto base = std::make_unique<TAlgBase>();
        if (!base->LoadFromFile(options.AlgFile, &error)) {
            err << error << Qt::endl;
            return 2;
        }
        sim->LoadAlgorithms(*base);
#else
        err << QStringLiteral("Эта сборка не читает базы алгоритмов") << Qt::endl;
        return 2;
#endif
    }
    sim->StateDir = options.StateDir;
    if (!sim->LoadState(error)) {
        err << error << Qt::endl;
        return 2;
    }
    TPtyServer server([&sim](const std::uint8_t *f, int n) { return sim->HandleRequest(f, n); });
    server.Baud = options.Baud;
    if (!server.Open(options.LinkPath, error)) {
        err << error << Qt::endl;
        return 2;
    }
    out << QStringLiteral("zentor-sim: %1 -> %2").arg(options.LinkPath, server.SlavePath())
        << Qt::endl;
    if (!Stop)
        server.Serve(Stop);
    return 0;
}
