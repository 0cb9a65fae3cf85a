#pragma once
// The values of the configuration file "ZentorEditor.ini" that the desktop reads at start
// and writes back at close, with the file's rules: yes/no as "да"/"нет", numbers as
// decimal text, a value that cannot be read keeps its default and is reported.

#include "core/inifile.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace ConfigTexts {
inline const QString Yes = QStringLiteral("да");
inline const QString No = QStringLiteral("нет");
// The "Порт" value of the built-in simulator.
inline const QString Simulator = QStringLiteral("симулятор");
inline const QString BadConfigValue = QStringLiteral("  Неверное значение ключа ");
inline const QString DefaultKept = QStringLiteral(", оставлено значение по умолчанию ");
} // namespace ConfigTexts

// The file's sections and their keys.
namespace ConfigKeys {
inline const QString SecDebug = QStringLiteral("Отладка");
inline const QString KeyWriteLog = QStringLiteral("Записывать лог");
inline const QString KeyLogFile = QStringLiteral("Лог-файл");
inline const QString SecLink = QStringLiteral("Параметры связи");
inline const QString KeyUseKsb = QStringLiteral("Использовать КСБ");
inline const QString KeyOffline = QStringLiteral("Автономная работа");
inline const QString KeyPort = QStringLiteral("Порт");
inline const QString KeyBaud = QStringLiteral("Скорость");
inline const QString KeyStopBits = QStringLiteral("Стоп-биты");
inline const QString KeyParity = QStringLiteral("Чётность");
inline const QString KeyByteSize = QStringLiteral("Размер байта");
inline const QString KeyIntervalTimeout = QStringLiteral("Максимальное время ожидания символа");
inline const QString KeyMultiplierTimeout = QStringLiteral("Время ожидания символа");
inline const QString KeyConstantTimeout = QStringLiteral("Дополнительное время ожидания");
inline const QString KeyKsbChannel = QStringLiteral("Канал КСБ");
// F3 and F4 read the controller's PRP twice and take it only when both readings agree.
inline const QString KeyReadTwice = QStringLiteral("Считывать ПрП дважды");
inline const QString SecHistory = QStringLiteral("История");
inline const QString KeyOpenDir = QStringLiteral("Рабочий каталог чтения");
inline const QString KeySaveDir = QStringLiteral("Рабочий каталог записи");
inline const QString KeyImportDir = QStringLiteral("Рабочий каталог импорта");
inline const QString KeyExportDir = QStringLiteral("Рабочий каталог экспорта");
inline const QString KeyFile = QStringLiteral("Файл");
inline const QString SecWindow = QStringLiteral("Настройки окна");
inline const QString KeyLeft = QStringLiteral("Левый край");
inline const QString KeyTop = QStringLiteral("Верхний край");
inline const QString KeyWidth = QStringLiteral("Ширина");
inline const QString KeyHeight = QStringLiteral("Высота");
inline const QString KeyMaximised = QStringLiteral("Во весь экран");
} // namespace ConfigKeys

// The serial link as the configuration file describes it.
struct TPortSettings
{
    bool InUse = false; // "Автономная работа" = "нет"
    QString Port;       // "" none, "COMn", a device path, or the simulator's word
    std::uint32_t BaudRate = 4800;
    std::uint8_t StopBits = 2;
    std::uint8_t Parity = 1;
    std::uint8_t ByteSize = 8;
    std::uint32_t IntervalTimeout = 100;
    std::uint32_t MultiplierTimeout = 100;
    std::uint32_t ConstantTimeout = 0;
    int KsbChannel = -1;
    bool ReadTwice = false; // "Считывать ПрП дважды" = "да"
};

// The "Порт" value: "com" + 1..31 (any case) gives "COMn", a device path stays as it is,
// the simulator's word gives itself; anything else ("нет" included) gives "".
QString ParsePortValue(const QString &value);
// What the close handler writes for it: "нет" for none.
QString PortValueText(const QString &port);
// n of "COMn", -1 for anything else.
[[nodiscard]] int ComPortNumber(const QString &port);

// Reads values, noting in the start-up report every value that is not what the key
// expects.
class TConfigReader
{
public:
    TConfigReader(const TIniFile &ini, QStringList &report) : Ini(ini), Report(report) {}

    QString Text(const QString &section, const QString &key, const QString &def) const;
    QString Lower(const QString &section, const QString &key, const QString &def) const
    {
        return Text(section, key, def).toLower();
    }
    // A decimal number (sign allowed) within [min, max]; otherwise the default.
    qint64 Number(const QString &section, const QString &key, qint64 def, qint64 min,
                  qint64 max) const;

private:
    const TIniFile &Ini;
    QStringList &Report;
};

// The log file name from "Лог-файл": a value without "//" that is no absolute path is
// taken in the program directory (programDir ends with "/").
QString CompleteLogFileName(const QString &value, const QString &programDir);

// "да" / "нет".
QString YesNoText(bool yes);
