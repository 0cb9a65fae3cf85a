#pragma once
// The texts of zentorc's controller commands (zentorc --port DEVICE ... COMMAND). The
// controller's own messages (mode names, fault texts, the transfer's questions) are the
// link's and are not repeated here.

#include "link/sarveteldefs.h"

#include <QString>

namespace CliTexts {

inline QString Hex2(int v)
{
    return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

inline const QString DeviceValue = QStringLiteral("УСТРОЙСТВО");
inline const QString NumberValue = QStringLiteral("N");
inline const QString CodeValue = QStringLiteral("КОД");
inline const QString LineOptionsMark = QStringLiteral("[параметры линии]");
inline const QString LineOptionsNote = QStringLiteral(
    "Команды работы с контроллером: --port УСТРОЙСТВО — COMn (это /dev/ttyS(n-1)), "
    "/dev/ttyUSB0,\nпсевдотерминал симулятора zentor-sim и т. п. Параметры линии: --baud N "
    "(по умолчанию 4800),\n--parity КОД (0 нет, 1 нечет, 2 чет, 3 маркер(1), 4 пробел(0); "
    "по умолчанию 1),\n--stop-bits КОД (0 — 1, 1 — 1.5, 2 — 2; по умолчанию 2), --byte-size N "
    "(5…8, по умолчанию 8),\n--log ФАЙЛ — журнал обмена: каждый кадр и каждая команда ответа.\n"
    "--twice (read, diff, write --verify) — считать ПрП дважды и принять, только если оба "
    "чтения совпали.");

inline const QString StatusSummary =
    QStringLiteral("режим контроллера и наличие ошибок или список неисправностей");
inline const QString ModeOperands = QStringLiteral("РЕЖИМ");
inline const QString ModeSummary =
    QStringLiteral("перевести контроллер в режим (имя, например Останов, или код, например 0x08)");
inline const QString ScreenSummary = QStringLiteral("показать десять строк экрана контроллера");
inline const QString KeysOperands = QStringLiteral("КОД…");
inline const QString KeysSummary = QStringLiteral("нажать клавиши пульта (коды: 0x30, 48, …)");
inline const QString WriteOperands = QStringLiteral("ПРОГРАММА");
inline const QString WriteSummary =
    QStringLiteral("записать ПрП в контроллер (текст программы сначала компилируется)");
inline const QString ReadOperands = QStringLiteral("-o ВЫХОД");
inline const QString AlgsOperands = QStringLiteral("-o ФАЙЛ.alg");
inline const QString ReadSummary =
    QStringLiteral("считать ПрП из контроллера и сохранить в форме файла ВЫХОД");
inline const QString DiffOperands = QStringLiteral("ПРОГРАММА");
inline const QString DiffSummary =
    QStringLiteral("сравнить ПрП программы с ПрП в контроллере (код 3 — есть различия)");
inline const QString AlgsSummary =
    QStringLiteral("считать описания алгоритмов и сохранить их как файл базы .alg");

inline QString PortNeeded(const QString &command)
{
    return QStringLiteral("Команда %1 работает с контроллером: укажите порт параметром --port "
                          "УСТРОЙСТВО")
        .arg(command);
}
inline QString BadLineValue(const QString &option, const QString &value, const QString &allowed)
{
    return QStringLiteral("Неверное значение параметра %1: «%2» (%3)").arg(option, value, allowed);
}
inline const QString BaudAllowed = QStringLiteral("скорость в бит/с, например 4800 или 19200");
inline const QString ParityAllowed =
    QStringLiteral("0 нет, 1 нечет, 2 чет, 3 маркер(1), 4 пробел(0)");
inline const QString StopBitsAllowed = QStringLiteral("0 — 1, 1 — 1.5, 2 — 2");
inline const QString ByteSizeAllowed = QStringLiteral("5, 6, 7 или 8");
inline QString LogNotOpened(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Не удалось открыть журнал %1: %2").arg(fileName, reason);
}
inline QString LogNotWritten(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Не удалось записать журнал %1: %2").arg(fileName, reason);
}
inline QString PortNotOpened(const QString &device, const QString &reason)
{
    return QStringLiteral("Не удалось открыть порт %1: %2").arg(device, reason);
}
inline QString PortSettingsRefused(const QString &device, int code)
{
    return QStringLiteral("Порт %1 не принял настройки линии (код ошибки %2)")
        .arg(device)
        .arg(code);
}

inline const QString ModeLine = QStringLiteral("Режим: ");
inline QString ModeCode(unsigned code)
{
    return QStringLiteral(" (код 0x") + Hex2(int(code)) + u')';
}
// The console's status bar texts.
inline const QString &ErrorsPresent = Sarvetel::ErrorsPresent;
inline const QString &NoErrors = Sarvetel::NoErrors;
inline const QString NoFaultsListed = QStringLiteral("Список неисправностей пуст");
inline QString FaultWithoutText(int code, int detail)
{
    return QStringLiteral("Неисправность с кодом %1, уточнение %2").arg(code).arg(detail);
}
inline QString UnknownModeName(const QString &text)
{
    return QStringLiteral("Неизвестный режим «%1»: нужно имя (Останов, Пуск, Настройка, "
                          "Программирование, Копирование, Тестирование, Неисправность) или код "
                          "(0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x80)")
        .arg(text);
}
inline QString ModeNotTaken(const QString &wanted, const QString &now)
{
    return QStringLiteral("Не удалось перейти в режим ") + wanted.toUpper() +
           QStringLiteral("; режим контроллера: ") + now;
}
inline QString BadKeyCode(const QString &text)
{
    return QStringLiteral("Неверный код клавиши «%1»: нужно число от 0 до 255 (0x30, 48)")
        .arg(text);
}
inline QString KeysSent(int n)
{
    return QStringLiteral("Отправлено клавиш: %1").arg(n);
}

// write
inline const QString WriteHeading = QStringLiteral("Запись ПрП в Сарветел...");
inline const QString ModeSwitchAnswerYes = QStringLiteral("Ответ: да (--yes)");
inline const QString ModeSwitchNeedsYes =
    QStringLiteral("Режим не изменён, ничего не записано. Чтобы перевести контроллер в режим "
                   "ПРОГРАММИРОВАНИЕ и записать ПрП, повторите команду с параметром --yes.");
inline const QString ImageDamaged =
    QStringLiteral("Образ ПрП повреждён и в контроллер не записывается");
inline QString QuestionAnswer(bool retry, int attempt, int attempts)
{
    return retry ? QStringLiteral("повтор %1 из %2").arg(attempt).arg(attempts)
                 : QStringLiteral("отмена");
}

// --verify
inline const QString VerifyHeading = QStringLiteral("Проверка: чтение ПрП из Сарветела...");
inline const QString VerifyNotDone = QStringLiteral("Проверка не выполнена");
inline const QString VerifySame =
    QStringLiteral("Проверка: ПрП в контроллере совпадает с записанным");
inline QString VerifyDifferent(int n)
{
    return QStringLiteral("Проверка: найдено различий: %1").arg(n);
}
inline QString HeaderLengthDiffers(int written, int stored)
{
    return QStringLiteral("Заголовок: длина записанного %1 байт, в контроллере %2")
        .arg(written)
        .arg(stored);
}
inline QString HeaderByteDiffers(int at, int written, int stored)
{
    return QStringLiteral("Заголовок, байт %1: записан %2, в контроллере %3")
        .arg(at)
        .arg(Hex2(written), Hex2(stored));
}
inline QString SectionMissing(const QString &section)
{
    return QStringLiteral("Секция %1: записана, но в контроллере её нет").arg(section);
}
inline QString SectionExtra(const QString &section)
{
    return QStringLiteral("Секция %1: есть в контроллере, но не записывалась").arg(section);
}
inline QString SectionLengthDiffers(const QString &section, int written, int stored)
{
    return QStringLiteral("Секция %1: длина записанной %2 байт, в контроллере %3")
        .arg(section)
        .arg(written)
        .arg(stored);
}
inline QString SectionByteDiffers(const QString &section, int at, int written, int stored)
{
    return QStringLiteral("Секция %1, байт %2: записан %3, в контроллере %4")
        .arg(section)
        .arg(at)
        .arg(Hex2(written), Hex2(stored));
}
inline QString MoreDifferences(int n)
{
    return QStringLiteral("  … и ещё различий: %1").arg(n);
}

// diff
inline const QString &DiffNotDone = Sarvetel::CompareNotDone;
inline QString LineNumber(int line)
{
    return QStringLiteral("строка %1: ").arg(line);
}

// read
inline const QString &ReadHeading = Sarvetel::ReadProgramHeading;
inline QString ReadDone(int bytes, int sections)
{
    return QStringLiteral("Считан ПрП: %1 байт, секций %2").arg(bytes).arg(sections);
}
inline QString Saved(const QString &fileName)
{
    return QStringLiteral("Сохранено: %1").arg(fileName);
}
inline const QString ReadOutputNeeded =
    QStringLiteral("Команда read: укажите файл параметром -o ВЫХОД (.prp, .000, .zen или .prg)");

// algs
inline const QString AlgsOutputNeeded =
    QStringLiteral("Команда algs: укажите файл базы алгоритмов параметром -o ФАЙЛ.alg");
inline QString AlgNoAnswer(const QString &number)
{
    return Sarvetel::AlgNoAnswer(number);
}
inline QString AlgUnusable(const QString &number)
{
    return QStringLiteral("Описание алгоритма %1 не помещается в базу алгоритмов (больше 19 "
                          "параметров или вызов длиннее 258 байт) и пропущено")
        .arg(number);
}
inline QString AlgsRead(int n)
{
    return QStringLiteral("Описаний алгоритмов: %1").arg(n);
}

// progress and questions of the transfers on stderr
inline QString ProgressLine(const QString &action, int position, int maximum)
{
    return maximum > 0 ? QStringLiteral("[%1/%2] %3").arg(position).arg(maximum).arg(action)
                       : action;
}

} // namespace CliTexts
