#pragma once
// zentorc and zentor-sim as the user runs them: the built executables, their output and
// exit status, every wait bounded.

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

inline const QString Examples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");
inline const QString Catalogue = Examples + QStringLiteral("BaseAlgs.alg");

// Never pick up a base or a configuration from the machine running the tests.
inline QProcessEnvironment Environment(const QString &home = QStringLiteral("/nonexistent"))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZENTOR_HOME"), home);
    return env;
}

struct TRun
{
    int Status = -1; // -1: did not end in time; -2: crashed
    QString Out;
    QString Err;
    bool Has(const QString &line) const { return Out.split(u'\n').contains(line); }
};

inline void Finish(QProcess &p, TRun &r, int timeoutMs)
{
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        r.Status = -1;
    } else {
        r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
    r.Out += QString::fromUtf8(p.readAllStandardOutput());
    r.Err += QString::fromUtf8(p.readAllStandardError());
}

// Starts zentorc and reads its standard error (into r.Err) until it holds text, for at most
// 30 s; false when it never did.
inline bool StartUntil(QProcess &p, const QStringList &args, const QString &text, TRun &r)
{
    p.setProcessEnvironment(Environment());
    p.start(QStringLiteral(ZENTORC_PATH), args);
    if (!p.waitForStarted(10000))
        return false;
    p.setReadChannel(QProcess::StandardError);
    for (int i = 0; i < 300 && !r.Err.contains(text); ++i) {
        p.waitForReadyRead(100);
        r.Err += QString::fromUtf8(p.readAllStandardError());
    }
    return r.Err.contains(text);
}

inline TRun Zentorc(const QStringList &args, int timeoutMs = 60000)
{
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(QStringLiteral(ZENTORC_PATH), args);
    TRun r;
    Finish(p, r, timeoutMs);
    return r;
}

// zentor-sim on a link in a folder of its own; stopped (by its PID, through QProcess) at the
// end of the test.
class TSim
{
public:
    // With the catalogue as its algorithm base unless extra names one (or "" for none, so
    // that the simulator looks for BaseAlgs.alg in home).
    bool Start(const QStringList &extra = {}, int baud = 0, const QString &alg = Catalogue,
               const QString &home = QStringLiteral("/nonexistent"))
    {
        Link = Dir.filePath(QStringLiteral("tty"));
        Process.setProcessEnvironment(Environment(home));
        QStringList args{"--link", Link, "--baud", QString::number(baud)};
        if (!alg.isEmpty())
            args << "--alg" << alg;
        Process.start(QStringLiteral(ZENTOR_SIM_PATH), args + extra);
        if (!Process.waitForStarted(10000))
            return false;
        for (int i = 0; i < 200; ++i) {
            if (QFileInfo(Link).isSymLink())
                return true;
            if (Process.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(25);
        }
        return false;
    }
    ~TSim()
    {
        if (Process.state() == QProcess::NotRunning)
            return;
        Process.terminate();
        if (!Process.waitForFinished(5000)) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }
    // zentorc --port LINK args...
    TRun Run(const QStringList &args, int timeoutMs = 60000) const
    {
        return Zentorc(QStringList{"--port", Link} + args, timeoutMs);
    }

    QTemporaryDir Dir;
    QString Link;
    QProcess Process;
};
