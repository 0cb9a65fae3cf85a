// The main window's creation handler (start-up report, configuration file, link, model,
// compiler, tree) and the close handler that writes the configuration back.

#include "core/inifile.h"
#include "gui/desktopsettings.h"
#include "gui/guitexts.h"
#include "gui/mainmenus.h"
#include "gui/placement.h"
#include "gui/programform.h"
#include "gui/programparts.h"
#include "gui/smallforms.h"
#include "gui/zentoreditor.h"
#include "link/controllerlink.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include <sys/utsname.h>

namespace {

// "major.minor" of the kernel's release ("6.1" of "6.1.0-18-amd64") and the system's name.
void SystemVersion(QString &version, QString &platform)
{
    utsname info{};
    if (uname(&info) != 0) {
        version = QStringLiteral("0.0");
        platform = QStringLiteral("Linux");
        return;
    }
    const QStringList parts = QString::fromLocal8Bit(info.release).split(u'.');
    auto number = [](const QString &text) {
        int n = 0;
        for (QChar c : text) {
            if (c < u'0' || c > u'9')
                break;
            n = n * 10 + (c.unicode() - u'0');
        }
        return n;
    };
    version =
        QString::number(number(parts.value(0))) + u'.' + QString::number(number(parts.value(1)));
    platform = QString::fromLocal8Bit(info.sysname);
}

} // namespace

void TProgramForm::Report(const QString &line)
{
    StartupReport.append(line);
    if (StartupForm)
        StartupForm->AddLine(line);
}

void TProgramForm::FormCreate()
{
    // The report window, its button disabled until the start is done.
    StartupForm = new TStartupForm(this);
    StartupForm->OkButton->setEnabled(false);
    StartupForm->show();

    QString version;
    QString platform;
    SystemVersion(version, platform);
    Report(GuiTexts::OsCheck);
    Report(GuiTexts::OsVersion + version);
    Report(GuiTexts::OsPlatform + platform);

    if (!Arguments.isEmpty() && Arguments.constFirst().toUpper() == QStringLiteral("/-KSB")) {
        KsbAllowed = false;
        Report(GuiTexts::KsbForbiddenSwitch);
    }
    KsbAccessStep();

    QDir().mkpath(Paths.ProgramDir);
    AlgDialog.InitialDir = Paths.ProgramDir;
    const QString iniName = Paths.InProgramDir(GuiTexts::IniFileName);
    TIniFile ini;
    QString iniError;
    const bool configured = QFileInfo::exists(iniName) && ini.Load(iniName, iniError);
    if (configured) {
        Report(GuiTexts::ConfigFound);
        QStringList notes;
        TConfigReader reader(ini, notes);
        ReadStartupConfiguration(reader, notes);
    } else {
        if (!iniError.isEmpty())
            Report(iniError);
        Report(GuiTexts::ConfigMissing);
        StartWithDefaults();
    }

    // An empty program, its header chosen.
    Document->New();
    ApplySelectionChange();

    UpdateControllerItems();
    TMainMenus::ShowRecentFiles(*this);
    StartupForm->OkButton->setEnabled(true);
}

void TProgramForm::StartWithDefaults()
{
    Logger = std::make_unique<TLogger>(Paths.InProgramDir(QStringLiteral("log")));
    CreateKsb();
    PortSettings = TPortSettings();
    PortInUse = false;
    CreateLink();
    EditorChanged = false;
    CurrentNode = &NothingNode;
    LoadAlgorithmBase();
    ProbePorts();
    for (TFileDialogSpec *d : {&OpenDialog, &SaveDialog, &ImportDialog, &ExportDialog})
        d->InitialDir = Paths.ProgramDir;
    RecentFiles.Clear();
    NormalBounds = OnScreenBounds(DefaultWindowBounds, minimumSize());
    setGeometry(NormalBounds);
}

void TProgramForm::ReadStartupConfiguration(TConfigReader &reader, QStringList &notes)
{
    // Values the reader could not take are reported after the step that read them.
    auto flush = [this, &notes] {
        for (const QString &note : notes)
            Report(note);
        notes.clear();
    };
    TDesktopSettings settings;
    settings.ReadLog(reader, Paths.ProgramDir);
    Report(settings.LogFile.isEmpty() ? GuiTexts::NoLog : GuiTexts::OpeningLog + settings.LogFile);
    Logger = settings.LogFile.isEmpty() ? std::make_unique<TLogger>()
                                        : std::make_unique<TLogger>(settings.LogFile);
    flush();
    if (KsbAllowed) {
        settings.ReadKsbUse(reader);
        if (settings.KsbUse == TDesktopSettings::KsbAllowed) {
            Report(GuiTexts::KsbAllowed);
            CreateKsb();
        } else if (settings.KsbUse == TDesktopSettings::KsbForbidden) {
            Report(GuiTexts::KsbForbiddenConfig);
            KsbAllowed = false;
        }
    }
    ProbePorts();
    settings.ReadPort(reader);
    PortSettings = settings.Port;
    if (ReadTwiceItem)
        ReadTwiceItem->setChecked(PortSettings.ReadTwice);
    flush();

    PortInUse = PortSettings.InUse;
    if (PortInUse) {
        Report(PortOpeningLine(PortValueText(PortSettings.Port)));
        const bool opened = OpenConfiguredPort();
        for (const QString &line : PortOpenedReport(*Link->Port, opened))
            Report(line);
        PortInUse = opened;
    }

    // The module's channel, then the link that uses it.
    PortSettings.KsbChannel = -1;
    if (KsbAllowed) {
        settings.ReadKsbChannel(reader);
        PortSettings.KsbChannel = settings.Port.KsbChannel;
    }
    flush();
    CreateLink();

    EditorChanged = false;
    CurrentNode = &NothingNode;
    LoadAlgorithmBase();
    settings.ReadHistory(reader, Paths.ProgramDir);
    OpenDialog.InitialDir = settings.OpenDir;
    SaveDialog.InitialDir = settings.SaveDir;
    ImportDialog.InitialDir = settings.ImportDir;
    ExportDialog.InitialDir = settings.ExportDir;
    RecentFiles = settings.Recent;
    settings.ReadWindow(reader, DefaultWindowBounds);
    NormalBounds = OnScreenBounds(settings.Bounds, minimumSize());
    setGeometry(NormalBounds);
    if (settings.Maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    flush();
}

void TProgramForm::ShowStartupReport()
{
    if (!StartupForm)
        return;
    StartupForm->OkButton->setEnabled(true);
    StartupForm->OkButton->setFocus();
    StartupForm->hide();
    Dialogs.Exec(StartupForm);
    delete StartupForm;
    StartupForm = nullptr;
}

bool TProgramForm::WriteConfiguration()
{
    const QString iniName = Paths.InProgramDir(GuiTexts::IniFileName);
    TIniFile ini;
    QString error;
    if (!ini.Load(iniName, error))
        ini = TIniFile(); // unreadable: written anew

    TDesktopSettings settings;
    // Window bounds: those before maximising when the window is maximised.
    settings.Maximised = isMaximized();
    settings.Bounds = settings.Maximised ? NormalBounds : geometry();
    settings.OpenDir = OpenDialog.InitialDir;
    settings.SaveDir = SaveDialog.InitialDir;
    settings.ImportDir = ImportDialog.InitialDir;
    settings.ExportDir = ExportDialog.InitialDir;
    settings.Recent = RecentFiles;
    TakePortSettings();
    settings.Port = PortSettings;
    settings.Port.ReadTwice = ReadTwiceItem && ReadTwiceItem->isChecked();
    settings.PortInUse = PortInUse;
    settings.KsbModule = KsbAllowed && KsbCreated;
    settings.LogOpen = Logger && Logger->IsOpen();
    settings.Write(ini);

    QDir().mkpath(Paths.ProgramDir);
    if (!ini.Save(iniName, error)) {
        Dialogs.Notice(this, GuiTexts::IniNotWritten + iniName + QStringLiteral(": ") + error,
                       GuiTexts::ErrorCaption, TUserDialogs::Error);
        return false;
    }
    return true;
}
