// zentorc: the command-line tool of Zentor. All the work is in the command table.

#include "cli/cliapp.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Ctrl+C during a transfer asks it to stop between two steps, as the transfer window's
// "Отмена" does; a second one ends the program at once.
void OnInterrupt(int)
{
    if (CliInterrupted().exchange(true))
        std::_Exit(130);
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
    const int status = RunZentorc(args, out, err);
    out.flush();
    err.flush();
    return status;
}
