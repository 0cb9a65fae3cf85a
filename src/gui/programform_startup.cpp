// The main window's creation handler (start-up report, configuration file, link, model,
// compiler, tree) and the close handler that writes the configuration back.

#include "core/inifile.h"
#include "gui/guitexts.h"
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

QString HistoryKey(int k)
{
    return ConfigKeys::KeyFile + QString::number(k);
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
    RefreshRecentMenu();
    StartupForm->OkButton->setEnabled(true);
}

void TProgramForm::StartWithDefaults()
{
    Logger = std::make_unique<TLogger>(Paths.InProgramDir(QStringLiteral("log")));
    CreateKsb();
    PortSettings = TPortSettings();
    PortInUse = false;
    CreateLink();
    CreateModel();
    ProbePorts();
    for (TFileDialogSpec *d : {&OpenDialog, &SaveDialog, &ImportDialog, &ExportDialog})
        d->InitialDir = Paths.ProgramDir;
    RecentFiles.Clear();
    SetWindowBounds(DefaultWindowBounds);
}

void TProgramForm::CreateModel()
{
    EditorChanged = false;
    CurrentNode = &NothingNode;
    LoadAlgorithmBase();
}

void TProgramForm::ReadStartupConfiguration(TConfigReader &reader, QStringList &notes)
{
    // Values the reader could not take are reported after the step that read them.
    auto flush = [this, &notes] {
        for (const QString &note : notes)
            Report(note);
        notes.clear();
    };
    ReadLogSetting(reader);
    flush();
    ReadKsbSetting(reader);
    ProbePorts();
    ReadPortSettings(reader);
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
    if (KsbAllowed)
        PortSettings.KsbChannel = static_cast<int>(
            reader.Number(ConfigKeys::SecLink, ConfigKeys::KeyKsbChannel, -1, -1, 15));
    flush();
    CreateLink();

    CreateModel();
    ReadHistory(reader);
    ReadWindowBounds(reader);
    flush();
}

void TProgramForm::ReadLogSetting(TConfigReader &reader)
{
    if (reader.Lower(ConfigKeys::SecDebug, ConfigKeys::KeyWriteLog, GuiTexts::Yes) ==
        GuiTexts::Yes) {
        const QString name = CompleteLogFileName(
            reader.Text(ConfigKeys::SecDebug, ConfigKeys::KeyLogFile, QStringLiteral("log")),
            Paths.ProgramDir);
        Report(GuiTexts::OpeningLog + name);
        Logger = std::make_unique<TLogger>(name);
    } else {
        Report(GuiTexts::NoLog);
        Logger = std::make_unique<TLogger>();
    }
}

void TProgramForm::ReadKsbSetting(TConfigReader &reader)
{
    if (!KsbAllowed)
        return;
    const QString use = reader.Lower(ConfigKeys::SecLink, ConfigKeys::KeyUseKsb, GuiTexts::No);
    if (use == GuiTexts::Yes) {
        Report(GuiTexts::KsbAllowed);
        CreateKsb();
    } else if (use == GuiTexts::No) {
        Report(GuiTexts::KsbForbiddenConfig);
        KsbAllowed = false;
    }
}

void TProgramForm::ReadPortSettings(TConfigReader &reader)
{
    TPortSettings &s = PortSettings;
    s = TPortSettings();
    s.InUse =
        reader.Lower(ConfigKeys::SecLink, ConfigKeys::KeyOffline, GuiTexts::Yes) == GuiTexts::No;
    s.Port = ParsePortValue(reader.Text(ConfigKeys::SecLink, ConfigKeys::KeyPort, GuiTexts::No));
    s.BaudRate = static_cast<std::uint32_t>(
        reader.Number(ConfigKeys::SecLink, ConfigKeys::KeyBaud, s.BaudRate, 1, 4000000));
    s.StopBits = static_cast<std::uint8_t>(
        reader.Number(ConfigKeys::SecLink, ConfigKeys::KeyStopBits, s.StopBits, 0, 2));
    s.Parity = static_cast<std::uint8_t>(
        reader.Number(ConfigKeys::SecLink, ConfigKeys::KeyParity, s.Parity, 0, 4));
    s.ByteSize = static_cast<std::uint8_t>(
        reader.Number(ConfigKeys::SecLink, ConfigKeys::KeyByteSize, s.ByteSize, 5, 8));
    s.IntervalTimeout = static_cast<std::uint32_t>(reader.Number(
        ConfigKeys::SecLink, ConfigKeys::KeyIntervalTimeout, s.IntervalTimeout, 0, 600000));
    s.MultiplierTimeout = static_cast<std::uint32_t>(reader.Number(
        ConfigKeys::SecLink, ConfigKeys::KeyMultiplierTimeout, s.MultiplierTimeout, 0, 600000));
    s.ConstantTimeout = static_cast<std::uint32_t>(reader.Number(
        ConfigKeys::SecLink, ConfigKeys::KeyConstantTimeout, s.ConstantTimeout, 0, 600000));
}

void TProgramForm::ReadHistory(TConfigReader &reader)
{
    const QString dir = Paths.ProgramDir;
    OpenDialog.InitialDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeyOpenDir, dir);
    SaveDialog.InitialDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeySaveDir, dir);
    ImportDialog.InitialDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeyImportDir, dir);
    ExportDialog.InitialDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeyExportDir, dir);
    RecentFiles.Clear();
    for (int k = 1; k <= TRecentFiles::MaxCount; ++k)
        RecentFiles.Entries[k] = reader.Text(ConfigKeys::SecHistory, HistoryKey(k), QString());
    RecentFiles.Normalise();
}

void TProgramForm::ReadWindowBounds(TConfigReader &reader)
{
    const QRect d = DefaultWindowBounds;
    const int left = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyLeft, d.x(), -32000, 32000));
    const int top = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyTop, d.y(), -32000, 32000));
    const int width = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyWidth, d.width(), 300, 32000));
    const int height = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyHeight, d.height(), 200, 32000));
    SetWindowBounds(QRect(left, top, width, height));
    if (reader.Text(ConfigKeys::SecWindow, ConfigKeys::KeyMaximised, GuiTexts::No) == GuiTexts::Yes)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TProgramForm::SetWindowBounds(const QRect &wanted)
{
    // The bounds are the window's own area without the frame the window manager adds, read
    // and set the same way, so a start after a close puts the window where it was. A
    // screen too small for them gets the window whole.
    QRect bounds = wanted;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        bounds.setWidth(std::clamp(bounds.width(), minimumWidth(), std::max(area.width(), 1)));
        bounds.setHeight(std::clamp(bounds.height(), minimumHeight(), std::max(area.height(), 1)));
        bounds.moveLeft(std::clamp(bounds.left(), area.left(),
                                   std::max(area.left(), area.right() + 1 - bounds.width())));
        bounds.moveTop(std::clamp(bounds.top(), area.top(),
                                  std::max(area.top(), area.bottom() + 1 - bounds.height())));
    }
    setGeometry(bounds);
    NormalBounds = bounds;
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

    // Window bounds: those before maximising when the window is maximised.
    const bool maximised = isMaximized();
    const QRect bounds = maximised ? NormalBounds : geometry();
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyLeft, QString::number(bounds.x()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyTop, QString::number(bounds.y()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyWidth, QString::number(bounds.width()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyHeight, QString::number(bounds.height()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyMaximised, YesNoText(maximised));

    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeyOpenDir, OpenDialog.InitialDir);
    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeySaveDir, SaveDialog.InitialDir);
    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeyImportDir, ImportDialog.InitialDir);
    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeyExportDir, ExportDialog.InitialDir);
    for (int k = 1; k <= RecentFiles.Count; ++k)
        ini.WriteString(ConfigKeys::SecHistory, HistoryKey(k), RecentFiles.Entries[k]);

    TakePortSettings();
    const TPortSettings &s = PortSettings;
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyOffline, YesNoText(!PortInUse));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyPort, PortValueText(s.Port));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyBaud, QString::number(s.BaudRate));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyStopBits, QString::number(s.StopBits));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyParity, QString::number(s.Parity));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyByteSize, QString::number(s.ByteSize));
    // Only a module that exists has a channel to write.
    const bool module = KsbAllowed && KsbCreated;
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyUseKsb, YesNoText(module));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyKsbChannel,
                    QString::number(module ? s.KsbChannel : -1));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyIntervalTimeout,
                    QString::number(s.IntervalTimeout));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyMultiplierTimeout,
                    QString::number(s.MultiplierTimeout));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyConstantTimeout,
                    QString::number(s.ConstantTimeout));

    ini.WriteString(ConfigKeys::SecDebug, ConfigKeys::KeyWriteLog,
                    YesNoText(Logger && Logger->IsOpen()));
    ini.WriteString(ConfigKeys::SecDebug, ConfigKeys::KeyLogFile, QStringLiteral("log"));

    QDir().mkpath(Paths.ProgramDir);
    if (!ini.Save(iniName, error)) {
        Dialogs.Notice(this, GuiTexts::IniNotWritten + iniName + QStringLiteral(": ") + error,
                       GuiTexts::ErrorCaption, TUserDialogs::Error);
        return false;
    }
    return true;
}
