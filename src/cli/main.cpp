// zentorc: the command-line tool of Zentor. All the work is in the command table.

#include "cli/cliapp.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

// Ctrl+C or SIGTERM during a transfer asks it to stop between two steps, as the transfer
// window's "Отмена" does, and a second one ends the program at once; at any other moment
// the first one does. A file being saved is finished or removed first: the save holds the
// signal back until then.
void OnInterrupt(int signal)
{
    if (CliTransferRunning() && !CliInterrupted().exchange(true))
        return;
    std::_Exit(128 + signal);
}

} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const int status = RunZentorc(args, out, err, isatty(STDERR_FILENO) == 1);
    out.flush();
    err.flush();
    return status;
}
