#pragma once
// The command line of the desktop program: the module switch "/-KSB" (first argument
// only), one program file opened at start, and --help / --version, which print and end
// before any window, and so any display, is needed.

#include <QString>
#include <QStringList>

struct TZentorCommandLine
{
    bool Help = false;
    bool Version = false;
    QString FileToOpen; // as given; relative to the folder the program was started in
    QString Error;      // a call that cannot be understood: the line for stderr
};

enum class TArgumentsStage {
    // Before the application object exists: Qt's own options ("-platform xcb", "-style
    // X") are still among the arguments, so only --help, --version and unknown long
    // options are judged; operands are left for later.
    BeforeApplication,
    // After the application object took Qt's options out: everything is judged.
    AfterApplication,
};

TZentorCommandLine ParseZentorCommandLine(const QStringList &args, TArgumentsStage stage);
QString ZentorHelpText();

// Where the windows are to be shown: the environment and Qt's options that tell it.
struct TDisplaySetting
{
    QString QpaPlatform;    // QT_QPA_PLATFORM
    QString Display;        // DISPLAY
    QString WaylandDisplay; // WAYLAND_DISPLAY
    static TDisplaySetting FromEnvironment();
};
// The message for a start with no display to show the windows on (Qt would abort with
// advice to reinstall); "" when there is one, or when Qt is told where to show them
// (QT_QPA_PLATFORM, -platform, -display).
QString NoDisplayMessage(const QStringList &args, const TDisplaySetting &setting);
