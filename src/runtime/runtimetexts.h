#pragma once
// Every text of the scan engine, its run report and its scripts, in one place.

#include <QString>

namespace RuntimeText {

// Variables and values.
inline const QString BadPrefix = QStringLiteral("Б ");
inline QString NoSuchVariable(const QString &word)
{
    return QStringLiteral("«%1» — не переменная контроллера и не технологическое название")
        .arg(word);
}
inline QString OutOfRange(const QString &word, const QString &cls, int size)
{
    return QStringLiteral("%1 вне диапазона: у контроллера %2 с номерами от 0 до %3 "
                          "(восьмеричное %4)")
        .arg(word, cls)
        .arg(size - 1)
        .arg(QString::number(size - 1, 8));
}
inline QString NameNotVariable(const QString &name, const QString &value)
{
    return QStringLiteral("технологическое название %1 означает «%2», а не переменную")
        .arg(name, value);
}
inline QString BadValue(const QString &text, const QString &var, bool timer, bool bit)
{
    const QString want = timer ? QStringLiteral("0, 1, ВКЛ, ОТКЛ или время ЧЧ.ММ.СС")
                         : bit ? QStringLiteral("0, 1, ВКЛ или ОТКЛ")
                               : QStringLiteral("целое число от -32768 до 32767");
    return QStringLiteral("«%1» — не значение для %2: нужно %3").arg(text, var, want);
}

// Where an instruction stands.
inline QString SectionPlace(const QString &section)
{
    return QStringLiteral("секция %1").arg(section);
}
inline QString LinePlace(const QString &section, int line)
{
    return QStringLiteral("секция %1, строка %2").arg(section).arg(line);
}
inline QString OffsetPlace(const QString &section, int offset)
{
    return QStringLiteral("секция %1, смещение %2").arg(section).arg(offset);
}

// What is assumed where the bytes do not say (one line each, listed when the program
// holds what they concern).
inline const QString AssumeOrder =
    QStringLiteral("Цикл выполняет каждую секцию один раз, по возрастанию номера; каждый "
                   "оператор действует сразу, и следующие видят его результат");
inline const QString AssumeStart =
    QStringLiteral("Перед первым циклом все переменные равны 0 и отключены, признаки Б "
                   "сняты, время таймеров 00.00.00");
inline const QString AssumeAnd = QStringLiteral("Условия, записанные подряд, связываются как И");
inline const QString AssumeAndOr =
    QStringLiteral("Условия, записанные подряд (И), связываются раньше, чем ИЛИ");
inline const QString AssumeSaturation =
    QStringLiteral("Сумма вне -32768…32767 записывается в АВ с насыщением; журнал отмечает "
                   "каждый такой оператор один раз");
inline const QString AssumeExactCompare =
    QStringLiteral("В сравнениях сумма вычисляется точно, без ограничения 16 битами");
inline const QString AssumeTimeFields =
    QStringLiteral("Времена сравниваются по полям: часы, затем минуты, затем секунды (в "
                   "программе есть минуты или секунды больше 59)");
inline const QString AssumeOddConstant =
    QStringLiteral("Нечётное слово константы (компилятор его не пишет) берётся как половина "
                   "с отбрасыванием остатка, как его показывает декомпилятор");
inline const QString AssumeTimerEqual =
    QStringLiteral("Сравнение таймера со знаком «=» (компилятор его не пишет) выполняется "
                   "как равенство времён");

// What is not simulated.
inline const QString TimersDoNotRun =
    QStringLiteral("Таймеры не отсчитывают время сами: время таймера меняют только "
                   "операторы программы, пользователь и сценарий");
inline QString CallsChangeNothing(const QString &algorithms, int calls)
{
    return QStringLiteral("Вызовы алгоритмов ничего не меняют (%1; вызовов: %2); переменные "
                          "их выходов задаёт пользователь")
        .arg(algorithms)
        .arg(calls);
}
inline const QString BadBitsByUser =
    QStringLiteral("Условие Б читает признак, который задаёт пользователь (по умолчанию снят)");
inline const QString SkipHasNoEffect = QStringLiteral("ВСК не действует");
inline const QString TextsLogged =
    QStringLiteral("Тексты ТС не выводятся на экран контроллера: выполненный текст "
                   "записывается в журнал со значениями полей, когда они меняются");
inline const QString WrittenByBegin = QStringLiteral(": записывается АЛГ");
inline const QString WrittenByEnd = QStringLiteral(" (не моделируется)");
inline const QString OrphanStatement =
    QStringLiteral(": оператор после ТОГДА или ИНАЧЕ без условия перед ним не выполняется");
inline const QString UndefinedCondition =
    QStringLiteral(": условие не вычисляется; его операторы ТОГДА и ИНАЧЕ не выполняются");
inline QString VariableOutside(const QString &var)
{
    return QStringLiteral(": %1 — нет такой переменной в модели; инструкция не выполняется")
        .arg(var);
}
inline const QString MalformedCondition =
    QStringLiteral(": условие, которое язык не записывает (скобки, ИЛИ и условия не по "
                   "правилам)");
inline const QString UnknownRelation =
    QStringLiteral(": сравнение с кодом отношения, которого язык не записывает");
inline QString UnknownClass(int code, int byte)
{
    return QStringLiteral("класс %1, номер %2").arg(code).arg(byte);
}
inline const QString UnknownAlgorithm =
    QStringLiteral(": алгоритма нет в базе алгоритмов, его параметры неизвестны");
inline QString BlockTruncated(int offset)
{
    return QStringLiteral(": код обрывается внутри инструкции на смещении %1; дальше секция "
                          "не выполняется")
        .arg(offset);
}
inline QString BlockUnknownCode(const QString &code, int offset)
{
    return QStringLiteral(": неизвестный код %1 на смещении %2; дальше секция не выполняется")
        .arg(code)
        .arg(offset);
}

// The run log.
inline QString LogScan(long long scan)
{
    return QStringLiteral("цикл %1").arg(scan);
}
inline QString Saturated(long long sum, const QString &target, int stored)
{
    return QStringLiteral("сумма %1 вне -32768…32767: в %2 записано %3")
        .arg(sum)
        .arg(target)
        .arg(stored);
}
inline QString CompareBeyond(long long sum)
{
    return QStringLiteral("сумма сравнения %1 вне -32768…32767 (сравнивается точное значение)")
        .arg(sum);
}
inline const QString FieldNotSimulated = QStringLiteral("не моделируется");
inline const QString FieldOn = QStringLiteral("вкл");
inline const QString FieldOff = QStringLiteral("откл");
inline QString LogFull(int entries)
{
    return QStringLiteral("журнал ограничен %1 записями; дальнейшие не сохраняются").arg(entries);
}

// The report's headings.
inline const QString AssumptionsHeading = QStringLiteral("Допущения:");
inline const QString NotSimulatedHeading = QStringLiteral("Не моделируется:");
inline const QString WrittenByHeading =
    QStringLiteral("Переменные, которые записывают алгоритмы (задаются пользователем):");
inline const QString LogHeading = QStringLiteral("Журнал:");
inline QString CoverageLine(int executed, int total)
{
    return QStringLiteral("Покрытие: выполнено хотя бы раз %1 из %2 инструкций")
        .arg(executed)
        .arg(total);
}
inline const QString NeverExecutedHeading = QStringLiteral("Ни разу не выполнялись:");
inline QString ScansLine(long long scans)
{
    return QStringLiteral("Выполнено циклов: %1").arg(scans);
}

// Scripts.
inline const QString CommandSet = QStringLiteral("УСТАНОВИТЬ");
inline const QString CommandLock = QStringLiteral("БЛОКИРОВАТЬ");
inline const QString CommandUnlock = QStringLiteral("РАЗБЛОКИРОВАТЬ");
inline const QString CommandCycles = QStringLiteral("ЦИКЛЫ");
inline const QString CommandExpect = QStringLiteral("ОЖИДАТЬ");
inline QString ScriptPlace(const QString &file, int line)
{
    return QStringLiteral("[%1:%2] ").arg(file).arg(line);
}
inline QString Expected(const QString &var, const QString &relation, const QString &value,
                        const QString &got)
{
    return QStringLiteral("ожидалось %1 %2 %3, получено %4").arg(var, relation, value, got);
}
inline QString UnknownCommand(const QString &word)
{
    return QStringLiteral("неизвестная команда «%1» (нужно: установить, блокировать, "
                          "разблокировать, циклы, ожидать)")
        .arg(word);
}
inline QString WrongWordCount(const QString &command, const QString &form)
{
    return QStringLiteral("команда %1 записывается так: %2").arg(command, form);
}
inline const QString FormSet = QStringLiteral("установить ПЕРЕМЕННАЯ ЗНАЧЕНИЕ");
inline const QString FormLock = QStringLiteral("блокировать ПЕРЕМЕННАЯ ЗНАЧЕНИЕ");
inline const QString FormUnlock = QStringLiteral("разблокировать ПЕРЕМЕННАЯ");
inline const QString FormCycles = QStringLiteral("циклы ЧИСЛО");
inline const QString FormExpect = QStringLiteral("ожидать ПЕРЕМЕННАЯ [= <> > < >= <=] ЗНАЧЕНИЕ");
inline QString BadCycles(const QString &text, long long most)
{
    return QStringLiteral("«%1» — не число циклов: нужно целое от 1 до %2").arg(text).arg(most);
}
inline QString UnlockBad(const QString &var)
{
    return QStringLiteral("признак %1 не блокируется: его задаёт только пользователь").arg(var);
}
inline QString ScriptNotText(const QString &file)
{
    return QStringLiteral("%1: сценарий не является текстом (в нём есть нулевые байты)").arg(file);
}
inline QString ExpectationsLine(int total, int failed)
{
    return QStringLiteral("Проверок: %1, не выполнено: %2").arg(total).arg(failed);
}

} // namespace RuntimeText
