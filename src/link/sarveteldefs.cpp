#include "link/sarveteldefs.h"

namespace Sarvetel {

QString ModeName(std::uint32_t mode)
{
    switch (mode) {
    case ModeStop:
        return QStringLiteral("Останов");
    case ModeRun:
        return QStringLiteral("Пуск");
    case ModeSetup:
        return QStringLiteral("Настройка");
    case ModeProgram:
        return QStringLiteral("Программирование");
    case ModeCopy:
        return QStringLiteral("Копирование");
    case ModeTest:
        return QStringLiteral("Тестирование");
    case ModeFault:
        return QStringLiteral("Неисправность");
    default:
        return QStringLiteral("Неизвестно");
    }
}

QString ProtocolResultText(int code)
{
    static const char *const texts[ProtocolResultCount] = {
        "Нет ошибок",          "Неверная КС заголовка",
        "Неверная КС пакета",  "Сбой при приёме кадра пульта",
        "Недостаточно памяти", "Неправильный пакет",
    };
    if (code < 0 || code >= ProtocolResultCount)
        return QString();
    return QString::fromUtf8(texts[code]);
}

QString ParityName(int code)
{
    static const char *const names[] = {"нет", "нечет", "чет", "маркер(1)", "пробел(0)"};
    if (code < 0 || code > 4)
        return QString::number(code);
    return QString::fromUtf8(names[code]);
}

QString StopBitsName(int code)
{
    static const char *const names[] = {"1", "1.5", "2"};
    if (code < 0 || code > 2)
        return QString::number(code);
    return QString::fromUtf8(names[code]);
}

const QString LogSent = QStringLiteral("Отправлена следующая последовательность");
const QString LogDeviceGone = QStringLiteral("Связь с портом потеряна, порт открывается заново: ");
const QString LogReceived = QStringLiteral("Принята следующая последовательность");
const QString LogItem = QStringLiteral("Разбор команды ");
const QString LogRepeat1 = QStringLiteral("Повтор запроса: попытка ");
const QString LogRepeat2 = QStringLiteral(" из ");
const QString ScreenLineAtStart = QStringLiteral("    Тест Тест   ");

const QString PortNotChosenEntry = QStringLiteral("Не выбран");
const QString PortFoundLog = QStringLiteral("  обнаружен порт COM");
const QString PortOpenFailed = QStringLiteral("Не удалось открыть COM");
const QString PortNotFound = QStringLiteral("СОМ-порт не обнаружен");
const QString PortBusy = QStringLiteral("СОМ-порт занят другим приложением");
const QString PortErrorCode = QStringLiteral("код ошибки ");
const QString PortNotChosen = QStringLiteral("СОМ-порт не выбран");
const QString PortNoAccess1 = QStringLiteral("Нет прав на порт ");
const QString PortNoAccess2 = QStringLiteral(": пользователь должен входить в группу ");
const QString PortOpenedSuffix = QStringLiteral(" успешно открыт");
const QString PortOneAndHalfStop =
    QStringLiteral("  1.5 стоп-бита порт не поддерживает: установлено 2 стоп-бита");
const QString PortPtyParity =
    QStringLiteral("  Псевдотерминал не хранит чётность: порт работает без контроля чётности");
const QString PortSettingsRejected = QStringLiteral("  Порт не принял настройки; код ошибки ");
const QString PortOpeningLog = QStringLiteral("Открытие порта ");
const QString PortOpenFailedLog =
    QStringLiteral("  Ошибка при открытии порта. Работа с СОМ-портом отключена.");
const QString PortOpenedLog = QStringLiteral("  Порт открыт. Текущие настройки:");
const QString PortBaudLog = QStringLiteral("   Скорость: ");
const QString PortStopBitsLog = QStringLiteral("   Стоп-биты: ");
const QString PortParityLog = QStringLiteral("   Чётность: ");
const QString PortByteSizeLog = QStringLiteral("   Размер байта: ");

const QString WriteCaption = QStringLiteral("Запись ПрП");
const QString ReadCaption = QStringLiteral("Чтение ПрП");
const QString AskingLength = QStringLiteral("Запрос длины ПрП");
const QString WritingHeader = QStringLiteral("Запись заголовка ПрП");
const QString WritingSection = QStringLiteral("Запись секции ");
const QString BytesSent = QStringLiteral("Передано %1 из %2 байт");
const QString ReadingBlock = QStringLiteral("Считывание ");
const QString ReadingBlockOf = QStringLiteral("-го блока из ");
const QString SectionRetry = QStringLiteral("Ошибка при записи секции. Повторить?");
const QString HeaderRetry = QStringLiteral("Ошибка при записи заголовка. Повторить?");
const QString CaptionAttention = QStringLiteral("Внимание!");
const QString CaptionAttention3 = QStringLiteral("Внимание!!!");
const QString BlockNotReceived1 = QStringLiteral("Блок ");
const QString BlockNotReceived2 =
    QStringLiteral(" ПрП не получен от контроллера. Чтение прервано.");
const QString LengthNotReceived =
    QStringLiteral("Длина ПрП не получена от контроллера. Чтение прервано.");
const QString HeaderNotWritten =
    QStringLiteral("Заголовок ПрП не принят контроллером. Запись прервана.");
const QString HeaderNoAnswer =
    QStringLiteral("Заголовок ПрП: не получен ответ от контроллера. Запись прервана.");
const QString SectionNotWritten1 = QStringLiteral("Секция ");
const QString SectionNotWritten2 = QStringLiteral(" не принята контроллером. Запись прервана.");
const QString SectionNoAnswer2 =
    QStringLiteral(": не получен ответ от контроллера. Запись прервана.");
const QString WriteCancelled = QStringLiteral("Запись ПрП прервана по запросу.");
const QString ReadCancelled = QStringLiteral("Чтение ПрП прервано по запросу.");
const QString ReadingBlockAgain = QStringLiteral("Повторное считывание ");
QString ReadsDiffer(int offset)
{
    return QStringLiteral("ПрП считан дважды, и считанное различается начиная с байта %1: ПрП не "
                          "принят")
        .arg(offset);
}
const QString NoAnswer = QStringLiteral("Ошибка при обращении к контроллеру!");
const QString ModeChangeFailed = QStringLiteral("Не удалось перейти в режим ПРОГРАММИРОВАНИЕ");
const QString WriteAttemptFailed = QStringLiteral("Попытка записи не удалась");
const QString HeaderNotSent = QStringLiteral("Контроллер не передал заголовок");
const QString ReadProgramHeading = QStringLiteral("Чтение ПрП из Сарветела");
const QString CompareNotDone = QStringLiteral("Сравнение не выполнено");
const QString ErrorsPresent = QStringLiteral("Есть ошибки");
const QString NoErrors = QStringLiteral("Нет ошибок");
const QString WriteProgramHeading = QStringLiteral("Запись программы в Сарветел");
const QString WriteDone = QStringLiteral("Запись ПрП завершена");
const QString WriteNotDone = QStringLiteral("Запись ПрП не завершена");
const QString ModeSwitchQuestion1 = QStringLiteral("Сарветел находится в режиме ");
const QString ModeSwitchQuestion2 =
    QStringLiteral(". Для продолжения работы Сарветел будет переведён в режим "
                   "ПРОГРАММИРОВАНИЕ. Продолжить работу?");

const QString AlgNamePrefix = QStringLiteral("Алг");
const QString AlgReadCaption = QStringLiteral("Чтение описаний алгоритмов");
const QString AlgReadAction = QStringLiteral("Описание алгоритма ");

QString AlgNoAnswer(const QString &number)
{
    return QStringLiteral("Описание алгоритма %1 не получено от контроллера. Чтение прервано.")
        .arg(number);
}

QString LinkFailureText(std::uint8_t status, int protocolResult)
{
    switch (status) {
    case LinkNoReply:
        return QStringLiteral("Контроллер не ответил");
    case LinkRejected:
        return QStringLiteral("Ответ контроллера отвергнут: ") + ProtocolResultText(protocolResult);
    case LinkNotWritten:
        return QStringLiteral("Запрос не удалось передать в порт");
    default:
        return QString();
    }
}

} // namespace Sarvetel
