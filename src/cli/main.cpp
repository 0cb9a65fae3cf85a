// zentorc: the command-line tool of Zentor. All the work is in the command table.

#include "cli/cliapp.h"

#include <cstdio>

int main(int argc, char **argv)
{
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
