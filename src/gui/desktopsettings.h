#pragma once
// What the desktop keeps in its configuration file beside the port: the log, the interface
// module's use and channel, the port's settings, the folders and recent files of the file
// dialogs, the main window's bounds. Read step by step at start-up, in the order the
// start-up report tells of them, and written back at close. No widgets here: the window
// takes the values and acts on them.

#include "gui/recentfiles.h"
#include "link/configuration.h"

#include <QRect>
#include <QString>

class TIniFile;

struct TDesktopSettings
{
    QString LogFile; // empty: no log is written
    // The interface module: allowed by the configuration ("да"), forbidden ("нет"), or
    // neither said.
    enum TKsbUse { KsbUnsaid, KsbAllowed, KsbForbidden } KsbUse = KsbUnsaid;
    bool KsbModule = false; // a module exists: its channel is written
    TPortSettings Port;
    bool PortInUse = false;
    QString OpenDir, SaveDir, ImportDir, ExportDir;
    TRecentFiles Recent;
    QRect Bounds;
    bool Maximised = false;
    bool LogOpen = false;

    // The steps of the start-up, each reading its own keys.
    void ReadLog(const TConfigReader &reader, const QString &programDir);
    void ReadKsbUse(const TConfigReader &reader);
    void ReadPort(const TConfigReader &reader);
    void ReadKsbChannel(const TConfigReader &reader);
    void ReadHistory(const TConfigReader &reader, const QString &programDir);
    void ReadWindow(const TConfigReader &reader, const QRect &defaults);

    // Every value into the file's sections, the other keys of the file kept.
    void Write(TIniFile &ini) const;
};
