#pragma once
// The command line of zentor-sim.

#include "sim/simclock.h"

#include <QString>
#include <QStringList>

struct TSimOptions
{
    QString LinkPath;
    int Baud = 4800; // 0: no pacing
    QString AlgFile;
    QString Faults;
    QString StateDir;
    int CycleMs = TSimClock::DefaultCycleMs; // the scan clock's period in "Пуск"
    bool Help = false;
    bool Version = false;
};

// False with error set when the arguments are not understood.
[[nodiscard]] bool ParseSimOptions(const QStringList &args, TSimOptions &options, QString &error);
QString SimUsage();

// What the simulator says about its algorithm base.
QString SimAlgBaseNotFound(const QString &fileName);
QString SimAlgBaseUsed(const QString &fileName);
QString SimNoAlgBase();
// Algorithm n's call length in the base is not what its description will say.
QString SimAlgCallLengthDiffers(int n, int inBase, int described);
