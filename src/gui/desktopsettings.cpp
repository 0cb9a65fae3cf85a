#include "gui/desktopsettings.h"

#include "core/inifile.h"

namespace {

QString HistoryKey(int k)
{
    return ConfigKeys::KeyFile + QString::number(k);
}

} // namespace

void TDesktopSettings::ReadLog(const TConfigReader &reader, const QString &programDir)
{
    LogFile.clear();
    if (reader.Lower(ConfigKeys::SecDebug, ConfigKeys::KeyWriteLog, ConfigTexts::Yes) ==
        ConfigTexts::Yes)
        LogFile = CompleteLogFileName(
            reader.Text(ConfigKeys::SecDebug, ConfigKeys::KeyLogFile, QStringLiteral("log")),
            programDir);
}

void TDesktopSettings::ReadKsbUse(const TConfigReader &reader)
{
    const QString use = reader.Lower(ConfigKeys::SecLink, ConfigKeys::KeyUseKsb, ConfigTexts::No);
    KsbUse = use == ConfigTexts::Yes  ? KsbAllowed
             : use == ConfigTexts::No ? KsbForbidden
                                      : KsbUnsaid;
}

void TDesktopSettings::ReadPort(const TConfigReader &reader)
{
    TPortSettings &s = Port;
    s = TPortSettings();
    s.InUse = reader.Lower(ConfigKeys::SecLink, ConfigKeys::KeyOffline, ConfigTexts::Yes) ==
              ConfigTexts::No;
    s.Port = ParsePortValue(reader.Text(ConfigKeys::SecLink, ConfigKeys::KeyPort, ConfigTexts::No));
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
    s.ReadTwice = reader.Lower(ConfigKeys::SecLink, ConfigKeys::KeyReadTwice, ConfigTexts::No) ==
                  ConfigTexts::Yes;
}

void TDesktopSettings::ReadKsbChannel(const TConfigReader &reader)
{
    Port.KsbChannel =
        static_cast<int>(reader.Number(ConfigKeys::SecLink, ConfigKeys::KeyKsbChannel, -1, -1, 15));
}

void TDesktopSettings::ReadHistory(const TConfigReader &reader, const QString &programDir)
{
    const QString &dir = programDir;
    OpenDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeyOpenDir, dir);
    SaveDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeySaveDir, dir);
    ImportDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeyImportDir, dir);
    ExportDir = reader.Text(ConfigKeys::SecHistory, ConfigKeys::KeyExportDir, dir);
    Recent.Clear();
    for (int k = 1; k <= TRecentFiles::MaxCount; ++k)
        Recent.Entries[k] = reader.Text(ConfigKeys::SecHistory, HistoryKey(k), QString());
    Recent.Normalise();
}

void TDesktopSettings::ReadWindow(const TConfigReader &reader, const QRect &d)
{
    const int left = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyLeft, d.x(), -32000, 32000));
    const int top = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyTop, d.y(), -32000, 32000));
    const int width = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyWidth, d.width(), 300, 32000));
    const int height = static_cast<int>(
        reader.Number(ConfigKeys::SecWindow, ConfigKeys::KeyHeight, d.height(), 200, 32000));
    Bounds = QRect(left, top, width, height);
    Maximised = reader.Text(ConfigKeys::SecWindow, ConfigKeys::KeyMaximised, ConfigTexts::No) ==
                ConfigTexts::Yes;
}

void TDesktopSettings::Write(TIniFile &ini) const
{
    // Window bounds: those before maximising when the window is maximised.
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyLeft, QString::number(Bounds.x()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyTop, QString::number(Bounds.y()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyWidth, QString::number(Bounds.width()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyHeight, QString::number(Bounds.height()));
    ini.WriteString(ConfigKeys::SecWindow, ConfigKeys::KeyMaximised, YesNoText(Maximised));

    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeyOpenDir, OpenDir);
    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeySaveDir, SaveDir);
    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeyImportDir, ImportDir);
    ini.WriteString(ConfigKeys::SecHistory, ConfigKeys::KeyExportDir, ExportDir);
    for (int k = 1; k <= Recent.Count; ++k)
        ini.WriteString(ConfigKeys::SecHistory, HistoryKey(k), Recent.Entries[k]);

    const TPortSettings &s = Port;
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyOffline, YesNoText(!PortInUse));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyPort, PortValueText(s.Port));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyBaud, QString::number(s.BaudRate));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyStopBits, QString::number(s.StopBits));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyParity, QString::number(s.Parity));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyByteSize, QString::number(s.ByteSize));
    // Only a module that exists has a channel to write.
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyUseKsb, YesNoText(KsbModule));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyKsbChannel,
                    QString::number(KsbModule ? s.KsbChannel : -1));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyIntervalTimeout,
                    QString::number(s.IntervalTimeout));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyMultiplierTimeout,
                    QString::number(s.MultiplierTimeout));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyConstantTimeout,
                    QString::number(s.ConstantTimeout));
    ini.WriteString(ConfigKeys::SecLink, ConfigKeys::KeyReadTwice, YesNoText(s.ReadTwice));

    ini.WriteString(ConfigKeys::SecDebug, ConfigKeys::KeyWriteLog, YesNoText(LogOpen));
    ini.WriteString(ConfigKeys::SecDebug, ConfigKeys::KeyLogFile, QStringLiteral("log"));
}
