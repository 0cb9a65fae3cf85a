#include "gui/recentfiles.h"

#include <QFileInfo>

TRecentFiles::TRecentFiles() : Exists([](const QString &name) { return QFileInfo(name).isFile(); })
{
}

void TRecentFiles::Add(const QString &name)
{
    Count = qMin(Count + 1, MaxCount);
    for (int k = Count; k >= 2; --k)
        Entries[k] = Entries[k - 1];
    Entries[1] = name;
    Normalise();
}

void TRecentFiles::Normalise()
{
    for (int k = 1; k <= MaxCount; ++k) {
        if (Entries[k].isEmpty())
            continue;
        if (!Exists(Entries[k])) {
            Entries[k].clear();
            continue;
        }
        for (int j = k + 1; j <= MaxCount; ++j)
            if (Entries[j] == Entries[k])
                Entries[j].clear();
    }
    int n = 0;
    for (int k = 1; k <= MaxCount; ++k) {
        if (Entries[k].isEmpty())
            continue;
        const QString e = Entries[k];
        Entries[k].clear();
        Entries[++n] = e;
    }
    Count = n;
}

void TRecentFiles::Clear()
{
    for (QString &e : Entries)
        e.clear();
    Count = 0;
}
