#pragma once
// The texts zentorc prints: the one place they are written.

#include <QString>

#include "cli/clilinktexts.h"

namespace CliTexts {

inline const QString Title =
    QStringLiteral("zentorc — программа командной строки среды Zentor для контроллеров "
                   "Сарветел");
inline const QString UsageHeading = QStringLiteral("Использование:");
inline const QString HelpLine = QStringLiteral("показать эту справку");
inline const QString VersionHelpLine = QStringLiteral("показать версию программы");
inline const QString FormsNote =
    QStringLiteral("Форма файла определяется расширением: .zen — исходный текст программы, "
                   ".prp — образ ПрП,\n.000 — набор файлов секций (файл.000, файл.101, … и "
                   "файл.hdr), .prg — программа старого формата.");
inline const QString ExitNote =
    QStringLiteral("Коды завершения: 0 — успешно, 1 — операция сообщила об ошибках либо\n"
                   "контроллер не ответил или отказал, 2 — ошибка вызова или ввода-вывода\n"
                   "(сообщение в stderr).");
inline const QString ConvertSummary =
    QStringLiteral("прочитать программу и записать её в другой форме");
inline const QString DumpSummary =
    QStringLiteral("показать строение образа ПрП (.prp или набора секций .000)");
inline const QString ConvertOperands = QStringLiteral("ВХОД ВЫХОД");
inline const QString DumpOperands = QStringLiteral("ВХОД");
inline const QString FileValue = QStringLiteral("ФАЙЛ");
inline const QString CompileSummary =
    QStringLiteral("откомпилировать программу и записать образ ПрП (.prp или набор .000)");
inline const QString CompileOperands = QStringLiteral("ВХОД -o ВЫХОД");
inline const QString DecompileSummary =
    QStringLiteral("декомпилировать образ ПрП и записать текст программы (.zen или .prg)");
inline const QString OutputValue = QStringLiteral("ВЫХОД");
inline const QString XrefOperands = QStringLiteral("ПРОГРАММА");
inline const QString XrefSummary = QStringLiteral(
    "перекрёстные ссылки переменных и названий и две проверки (код 3 — есть замечания)");
inline const QString FormatValue = QStringLiteral("text|csv");
inline QString UnknownFormat(const QString &format)
{
    return QStringLiteral("Неизвестный формат «%1»: нужен text или csv").arg(format);
}

inline const QString NoCommand = QStringLiteral("Не указана команда. Справка: zentorc --help");
inline QString UnknownCommand(const QString &name)
{
    return QStringLiteral("Неизвестная команда «%1». Справка: zentorc --help").arg(name);
}
inline QString UnknownOption(const QString &command, const QString &option)
{
    return QStringLiteral("Команда %1 не принимает параметр «%2»").arg(command, option);
}
inline QString OptionNeedsValue(const QString &option)
{
    return QStringLiteral("После параметра %1 нужно указать значение").arg(option);
}
inline QString WrongOperands(const QString &command, const QString &synopsis)
{
    return QStringLiteral("Команда %1: неверное число аргументов. Вызов: %2")
        .arg(command, synopsis);
}
inline QString UnknownGlobalOption(const QString &option)
{
    return QStringLiteral("Неизвестный параметр «%1». Справка: zentorc --help").arg(option);
}
inline QString UnsupportedExtension(const QString &fileName)
{
    return QStringLiteral("Неподдерживаемое расширение файла %1 (нужно .zen, .prp, .000 или "
                          ".prg)")
        .arg(fileName);
}
inline QString SetNotFound(const QString &fileName)
{
    return QStringLiteral("Не найден ни один файл набора секций %1").arg(fileName);
}
inline QString NotAnImage(const QString &fileName)
{
    return QStringLiteral("Файл %1 не является образом ПрП: нужен файл .prp или набор секций "
                          ".000")
        .arg(fileName);
}
inline QString SetHoldsNoImage(int errors)
{
    return QStringLiteral("Набор секций не содержит образа ПрП, ошибок при чтении: %1").arg(errors);
}

inline QString OutputNeeded(const QString &command)
{
    return QStringLiteral("Команда %1: укажите файл образа параметром -o ВЫХОД").arg(command);
}
inline QString OutputNotAnImage(const QString &fileName)
{
    return QStringLiteral("Образ ПрП записывается в файл .prp или в набор секций .000, а не в "
                          "%1")
        .arg(fileName);
}
inline QString AlgBaseNotFound(const QString &fileName)
{
    return QStringLiteral("Файл базы алгоритмов %1 не найден").arg(fileName);
}
inline QString DecompileInput(const QString &fileName)
{
    return QStringLiteral("Команда decompile читает образ ПрП (.prp), набор секций (.000) или "
                          "программу старого формата (.prg), а не %1")
        .arg(fileName);
}
inline QString DecompileOutput(const QString &fileName)
{
    return QStringLiteral("Команда decompile записывает исходный текст программы (.zen) или "
                          "программу старого формата (.prg), а не %1")
        .arg(fileName);
}

} // namespace CliTexts
