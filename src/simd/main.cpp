// zentor-sim: the controller simulator on a pseudo-terminal.

#include "sim/ptyserver.h"
#include "sim/simclock.h"
#include "sim/simoptions.h"
#include "sim/simulator.h"

#include "compiler/algbase.h"
#include "compiler/algbasefile.h"
#include "core/programpaths.h"
#include "core/version.h"

#include <QFileInfo>
#include <QTextStream>

#include <atomic>
#include <csignal>
#include <memory>
#include <mutex>

namespace {

std::atomic<bool> Stop{false};

void OnSignal(int)
{
    Stop = true;
}

// The descriptions the controller gives: the base named, or "BaseAlgs.alg" where the desktop
// program looks for it; empty when there is none (the controller then describes nothing).
// False with the reason told when the base named cannot be read.
bool LoadAlgorithmBase(const TSimOptions &options, TSarvetelSimulator &sim, QString &algFile,
                       QTextStream &err)
{
    algFile = options.AlgFile;
    // A base that is there but is no file (a folder, a FIFO) is named as such when read.
    if (!algFile.isEmpty() && !QFileInfo::exists(algFile)) {
        err << SimAlgBaseNotFound(algFile) << Qt::endl;
        return false;
    }
    if (algFile.isEmpty())
        algFile = FindAlgBaseFile(ExecutableDirectory());
    if (algFile.isEmpty())
        return true;
    auto base = std::make_unique<TAlgBase>();
    QString error;
    if (!base->LoadFromFile(algFile, &error)) {
        err << error << Qt::endl;
        return false;
    }
    // A call length the controller's description cannot carry changes the program once
    // the base is read from this controller.
    for (int n : sim.LoadAlgorithms(*base))
        err << SimAlgCallLengthDiffers(n, base->Algs[n].PrpMemory + 3,
                                       AlgRecordCallLength(base->Algs[n]))
            << Qt::endl;
    return true;
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
    if (options.Version) {
        out << VersionText(QStringLiteral("zentor-sim")) << Qt::flush;
        return 0;
    }
    auto sim = std::make_unique<TSarvetelSimulator>();
    if (!sim->Faults.Parse(options.Faults, error)) {
        err << error << Qt::endl;
        return 2;
    }
    QString algFile;
    if (!LoadAlgorithmBase(options, *sim, algFile, err))
        return 2;
    sim->StateDir = options.StateDir;
    if (!sim->LoadState(error)) {
        err << error << Qt::endl;
        return 2;
    }
    // The line and the scan clock both write to standard error.
    std::mutex errLock;
    TPtyServer server([&sim, &err, &errLock](const std::uint8_t *f, int n) {
        std::lock_guard<std::mutex> state(sim->Lock);
        TSimReply reply = sim->HandleRequest(f, n);
        if (!sim->StateError.isEmpty()) {
            std::lock_guard<std::mutex> guard(errLock);
            err << sim->StateError << Qt::endl;
        }
        return reply;
    });
    server.Baud = options.Baud;
    if (!server.Open(options.LinkPath, error)) {
        err << error << Qt::endl;
        return 2;
    }
    out << QStringLiteral("zentor-sim: %1 -> %2").arg(options.LinkPath, server.SlavePath())
        << Qt::endl;
    out << (algFile.isEmpty() ? SimNoAlgBase() : SimAlgBaseUsed(algFile)) << Qt::endl;
    // The stored program runs in "Пуск"; what it rests on and what it does not simulate is
    // told at the start and after every new program.
    TSimClock clock(*sim, options.CycleMs);
    clock.Prepared = [&err, &errLock](const QStringList &report) {
        std::lock_guard<std::mutex> guard(errLock);
        for (const QString &line : report)
            err << line << '\n';
        err.flush();
    };
    clock.Start();
    if (!Stop)
        server.Serve(Stop);
    clock.Stop();
    return 0;
}
