#pragma once
// Fixed values of the controller link: modes, request codes, reply capacities and every
// text the link, the port and the transfer jobs show or log. Each text lives here once.

#include <QString>

#include <cstdint>

namespace Sarvetel {

// Controller modes: the mode byte is a single bit.
enum Mode : std::uint32_t {
    ModeStop = 0x01,
    ModeRun = 0x02,
    ModeSetup = 0x04,
    ModeProgram = 0x08,
    ModeCopy = 0x10,
    ModeTest = 0x20,
    ModeFault = 0x80,
};

// "Останов", "Пуск", ...; "Неизвестно" for any value that is not one of the modes.
QString ModeName(std::uint32_t mode);

// Link status of the last exchange.
enum LinkStatusCode : std::uint8_t {
    LinkAccepted = 0,
    LinkNoReply = 1,
    LinkRejected = 2,
    LinkNotWritten = 3,
};

// Protocol result of the last reply, an index into ProtocolResultText.
enum ProtocolResultCode : int {
    ResultOk = 0,
    ResultHeaderChecksum = 1,
    ResultPacketChecksum = 2,
    ResultFrameFailure = 3,
    ResultNoMemory = 4,
    ResultBadPacket = 5,
};
constexpr int ProtocolResultCount = 6;
QString ProtocolResultText(int code);

// Request item codes (payload bytes) and the reply items that answer them.
enum Code : std::uint8_t {
    CodeValue = 0x01,
    CodeBlockCount = 0x03,
    CodeBlock = 0x04,
    CodeStatus = 0x19,
    CodeScreen = 0x1A,
    CodeSection = 0x1B,
    CodeAlgorithm = 0x1C,
    CodePrepare = 0x1D,
    CodeHeaderBlock = 0x1E, // reply item 30: a header part block that starts at its code
    CodeSectionInfo = 0x22,
    CodeIOSetup = 0x24,
    CodeKey = 0x59,
    CodeSetMode = 0x5A,
    CodeWriteSection = 0x5B,
    CodeBeginWrite = 0x5C,
    CodeHeaderPart = 0x5D,
    CodeReadHeaderPart = 0x5E,
    CodeDeleteSection = 0x5F,
    CodeOpenExtra1 = 0x60,
    CodeOpenExtra2 = 0x81,
    CodeClearTechKey = 0x62,
    CodeWriteTechKey = 0x63,
    CodeWriteIOSetup = 0x65,
    CodeReleaseChannel = 0x66,
    CodeAutoIOSetup = 0x67,
    CodeResetVariables = 0x68,
    CodeResetVariableLocks = 0x69,
    CodeResetCoefficients = 0x6A,
    CodeResetSystemMemory = 0x6B,
    CodeToggleMemoryType = 0x6C,
};

// Reply capacities: the most reply bytes each command accepts.
namespace Capacity {
constexpr int Status = 24;
constexpr int StatusOnOpen = 20;
constexpr int SetMode = 30;
constexpr int Screen = 46;
constexpr int BlockCount = 10;
constexpr int Block = 80;
constexpr int ReadHeaderPart = 90;
constexpr int ReadHeader = 96;
constexpr int Prepare = 20;
constexpr int HeaderPart = 18;
constexpr int TechKey = 12;
constexpr int Section = 266;
constexpr int SectionInfo = 80;
constexpr int WriteSection = 16;
constexpr int DeleteSection = 10;
constexpr int IOSetup = 70;
constexpr int WriteIOSetup = 20;
constexpr int Service = 10; // release channel, auto setup, the resets
constexpr int ToggleMemoryType = 24;
constexpr int Algorithm = 128;
inline int Keys(int n)
{
    return 2 * n + 10;
}
} // namespace Capacity

// A request that is harmless to repeat (status, mode, block count, a header part, a key, a
// section, a block) is sent this often by a transfer before its failure stands: the first
// time and three more, so that a noisy line that loses or damages a reply now and then
// still carries a whole PRP.
constexpr int RequestAttempts = 4;

constexpr int FrameSize = 520; // request and reply buffers
constexpr int ScreenLineCount = 10;
constexpr int ScreenLineLength = 16;
constexpr int FaultPairCount = 8;
constexpr int IOSetupSize = 30;
constexpr int MaxKeys = 36;
constexpr int BlockSize = 64;
constexpr int HeaderPartFrameLength = 75;
constexpr int HeaderPartBlockLength = 69;
constexpr int IOSetupFrameLength = 61;
constexpr int IOSetupItemLength = 54; // reply item 36 from its code byte
constexpr int MaxAlgParams = 20;
constexpr int AlgNameLength = 5;

// Log lines of the packet layer.
extern const QString LogSent; // "Отправлена следующая последовательность"
extern const QString LogDeviceGone; // the device went away; it is opened again
extern const QString LogReceived; // "Принята следующая последовательность"
extern const QString LogItem;    // "Разбор команды "
extern const QString LogRepeat1; // "Повтор запроса: попытка "
extern const QString LogRepeat2; // " из "
extern const QString ScreenLineAtStart;

// Port settings names: parity codes 0..4, stop-bit codes 0..2.
QString ParityName(int code);
QString StopBitsName(int code);

// Port setup texts.
extern const QString PortNotChosenEntry; // "Не выбран"
extern const QString PortFoundLog;       // "  обнаружен порт COM"
extern const QString PortOpenFailed;     // "Не удалось открыть COM"
extern const QString PortNotFound;       // "СОМ-порт не обнаружен"
extern const QString PortBusy; // "СОМ-порт занят другим приложением"
extern const QString PortErrorCode; // "код ошибки "
extern const QString PortNoAccess1; // "Нет прав на порт "
extern const QString PortNoAccess2; // ": пользователь должен входить в группу "
extern const QString PortNotChosen;        // "СОМ-порт не выбран"
extern const QString PortOpenedSuffix;     // " успешно открыт"
extern const QString PortOneAndHalfStop;   // termios has no 1.5 stop bits
extern const QString PortPtyParity;        // a pseudo-terminal keeps no parity
extern const QString PortSettingsRejected; // the device refused the settings
// The log of opening the port: "Открытие порта COM" + n, then the failure or the settings.
extern const QString PortOpeningLog; // "Открытие порта "
extern const QString PortOpenFailedLog; // "  Ошибка при открытии порта. Работа с ..."
extern const QString PortOpenedLog; // "  Порт открыт. Текущие настройки:"
extern const QString PortBaudLog;   // "   Скорость: "
extern const QString PortStopBitsLog; // "   Стоп-биты: "
extern const QString PortParityLog;   // "   Чётность: "
extern const QString PortByteSizeLog; // "   Размер байта: "

// Transfer jobs.
extern const QString WriteCaption;   // "Запись ПрП"
extern const QString ReadCaption;    // "Чтение ПрП"
extern const QString AskingLength;   // "Запрос длины ПрП"
extern const QString WritingHeader;  // "Запись заголовка ПрП"
extern const QString WritingSection; // "Запись секции "
extern const QString BytesSent;      // "Передано %1 из %2 байт"
extern const QString ReadingBlock;   // "Считывание "
extern const QString ReadingBlockOf; // "-го блока из "
extern const QString SectionRetry; // "Ошибка при записи секции. Повторить?"
extern const QString HeaderRetry; // "Ошибка при записи заголовка. Повторить?"
extern const QString CaptionAttention;  // "Внимание!"
extern const QString CaptionAttention3; // "Внимание!!!"
extern const QString BlockNotReceived1; // "Блок "
extern const QString BlockNotReceived2; // " ПрП не получен от контроллера. Чтение прервано."
extern const QString LengthNotReceived;  // the block count did not arrive
extern const QString HeaderNotWritten;   // the header was refused and not written again
extern const QString SectionNotWritten1; // "Секция "
extern const QString SectionNotWritten2; // " не принята контроллером. Запись прервана."
extern const QString WriteCancelled; // stopped on request
extern const QString ReadCancelled;
extern const QString ChecksumMismatch; // "Контрольная сумма ПрП не совпадает"
extern const QString NoAnswer; // "Ошибка при обращении к контроллеру!"
extern const QString ModeChangeFailed; // "Не удалось перейти в режим ПРОГРАММИРОВАНИЕ"
extern const QString WriteAttemptFailed;  // "Попытка записи не удалась"
extern const QString WriteProgramHeading; // "Запись программы в Сарветел"
extern const QString WriteDone;           // "Запись ПрП завершена"
extern const QString ModeSwitchQuestion1; // "Сарветел находится в режиме "
extern const QString ModeSwitchQuestion2; // ". Для продолжения работы ..."

// The algorithm base read from the controller.
extern const QString AlgNamePrefix;  // "Алг": the name of an algorithm read from it
extern const QString AlgReadCaption; // what the progress shows meanwhile
extern const QString AlgReadAction;

// Why the last exchange failed, for link status 1, 2 or 3 ("Контроллер не ответил", ...);
// empty for an accepted one.
QString LinkFailureText(std::uint8_t status, int protocolResult);

} // namespace Sarvetel
