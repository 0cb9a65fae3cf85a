#pragma once
// Fixed values of the controller link (its wire vocabulary is in src/protocol) and every
// text the link, the port and the transfer jobs show or log. Each text lives here once.

#include "protocol/frame.h"
#include "protocol/iosetup.h"
#include "protocol/wire.h"

#include <QString>

#include <cstdint>

namespace Sarvetel {

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

// A request that is harmless to repeat (status, mode, block count, a header part, a key, a
// section, a block) is sent this often by a transfer before its failure stands: the first
// time and three more, so that a noisy line that loses or damages a reply now and then
// still carries a whole PRP.
constexpr int RequestAttempts = 4;

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
extern const QString LengthNotReceived; // the block count did not arrive
// Why a write stopped: the controller refused ("не принят"), or no answer came back at all
// ("не получен ответ"), and the user chose not to try again.
extern const QString HeaderNotWritten; // "Заголовок ПрП не принят контроллером. ..."
extern const QString HeaderNoAnswer; // "Заголовок ПрП: не получен ответ от контроллера. ..."
extern const QString SectionNotWritten1; // "Секция "
extern const QString SectionNotWritten2; // " не принята контроллером. Запись прервана."
extern const QString SectionNoAnswer2; // ": не получен ответ от контроллера. Запись прервана."
extern const QString WriteCancelled; // stopped on request
extern const QString ReadCancelled;
extern const QString ReadingBlockAgain; // "Повторное считывание ", the second of two reads
// The two reads of a PRP read twice differ from the byte at offset on (or in length).
QString ReadsDiffer(int offset);
extern const QString NoAnswer; // "Ошибка при обращении к контроллеру!"
extern const QString ModeChangeFailed; // "Не удалось перейти в режим ПРОГРАММИРОВАНИЕ"
extern const QString WriteAttemptFailed;  // "Попытка записи не удалась"
extern const QString WriteProgramHeading; // "Запись программы в Сарветел"
extern const QString WriteDone;           // "Запись ПрП завершена"
extern const QString WriteNotDone;        // "Запись ПрП не завершена"
extern const QString ModeSwitchQuestion1; // "Сарветел находится в режиме "
extern const QString ModeSwitchQuestion2; // ". Для продолжения работы ..."
extern const QString HeaderNotSent;       // an accepted answer without the header part
extern const QString ReadProgramHeading;  // "Чтение ПрП из Сарветела"
extern const QString CompareNotDone;      // "Сравнение не выполнено"
// The status reply's errors byte.
extern const QString ErrorsPresent; // "Есть ошибки"
extern const QString NoErrors;      // "Нет ошибок"

// The algorithm base read from the controller.
extern const QString AlgNamePrefix;  // "Алг": the name of an algorithm read from it
extern const QString AlgReadCaption; // what the progress shows meanwhile
extern const QString AlgReadAction;
// "Описание алгоритма NNN не получено от контроллера. Чтение прервано."
QString AlgNoAnswer(const QString &number);

// Why the last exchange failed, for link status 1, 2 or 3 ("Контроллер не ответил", ...);
// empty for an accepted one.
QString LinkFailureText(std::uint8_t status, int protocolResult);

} // namespace Sarvetel
