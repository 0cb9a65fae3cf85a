#pragma once
// The texts zentorc prints: the one place they are written.

#include <QString>

#include "cli/clilinktexts.h"
#include "core/optiontexts.h"

namespace CliTexts {

inline const QString Title =
    QStringLiteral("zentorc — программа командной строки среды Zentor для контроллеров "
                   "Сарветел");
inline const QString UsageHeading = QStringLiteral("Использование:");
inline const QString &HelpLine = OptionTexts::HelpLine;
inline const QString &VersionHelpLine = OptionTexts::VersionLine;
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
inline const QString SimulateOperands = QStringLiteral("ПРОГРАММА");
inline const QString SimulateSummary = QStringLiteral(
    "выполнить программу без контроллера: циклы, сценарий проверок (код 3 — проверка не "
    "выполнена)");
inline const QString TraceValue = QStringLiteral("ФАЙЛ.csv ПЕРЕМЕННАЯ…");
inline const QString SimulateNote = QStringLiteral(
    "simulate компилирует программу, как compile, и выполняет её циклы от состояния, в котором\n"
    "все переменные равны 0: --cycles N циклов (по умолчанию 1) или команды сценария --script\n"
    "(UTF-8 или Windows-1251, по одной в строке, «!» — комментарий): «установить ПЕРЕМЕННАЯ\n"
    "ЗНАЧЕНИЕ» (один раз), «блокировать ПЕРЕМЕННАЯ ЗНАЧЕНИЕ» (держать, что бы ни писала\n"
    "программа), «разблокировать ПЕРЕМЕННАЯ», «циклы N», «ожидать ПЕРЕМЕННАЯ [ОТНОШЕНИЕ]\n"
    "ЗНАЧЕНИЕ» (отношение = <> > < >= <=, по умолчанию =).\n"
    "ПЕРЕМЕННАЯ — ДВ002, ВА001, ТМ05, КС101, технологическое название или «Б ПЕРЕМЕННАЯ»;\n"
    "ЗНАЧЕНИЕ — 0/1 или ВКЛ/ОТКЛ, целое со знаком для ВА и АВ, ЧЧ.ММ.СС для времени таймера.\n"
    "--trace ФАЙЛ.csv ПЕРЕМЕННАЯ… пишет значения после каждого цикла, --junit ФАЙЛ — проверки\n"
    "в формате JUnit XML. Пример:\n"
    "  zentorc simulate examples/demo.zen --script examples/demo-check.txt --trace ход.csv "
    "Н1_ПУСК ТМ00\n"
    "Коды simulate: 0 — проверки выполнены, 3 — проверка не выполнена, 1 — программа не\n"
    "компилируется, 2 — ошибка вызова или сценария.");
inline QString TraceNeedsVariables(const QString &file)
{
    return QStringLiteral("После --trace %1 перечислите переменные трассы").arg(file);
}
inline QString VariablesWithoutTrace(const QString &word)
{
    return QStringLiteral("Команда simulate: лишний аргумент «%1» (переменные трассы пишутся "
                          "после --trace ФАЙЛ.csv)")
        .arg(word);
}
inline const QString CyclesWithScript =
    QStringLiteral("Команда simulate: --cycles и --script не задаются вместе (циклы задаёт "
                   "сценарий)");
inline QString BadCyclesOption(const QString &text, long long most)
{
    return QStringLiteral("--cycles %1: нужно целое число от 1 до %2").arg(text).arg(most);
}
inline QString TraceVariable(const QString &error)
{
    return QStringLiteral("Трасса: %1").arg(error);
}
inline QString TraceTooLarge(long long scans, int columns)
{
    return QStringLiteral("Трасса из %1 строк по %2 столбцов слишком велика: сократите число "
                          "циклов или переменных")
        .arg(scans)
        .arg(columns);
}
inline const QString TraceScanColumn = QStringLiteral("цикл");
inline const QString TraceTimeColumn = QStringLiteral(" время");
inline const QString JunitSuite = QStringLiteral("zentorc simulate ");
inline QString JunitCase(int line, const QString &text)
{
    return QStringLiteral("строка %1: %2").arg(line).arg(text);
}
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
    return OptionTexts::UnknownOption(option, QStringLiteral("zentorc"));
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
