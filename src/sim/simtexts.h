#pragma once
// The texts of the simulated controller's run of its stored program and of the options that
// set it.

#include "core/textutils.h"

#include <QString>

namespace SimText {

// The scan clock.
inline const QString CycleOption = QStringLiteral("--cycle-ms");
inline QString BadCycle(const QString &text, int most)
{
    return QStringLiteral("Неверный период цикла «%1»: нужно целое число миллисекунд от 1 до %2")
        .arg(text)
        .arg(most);
}

// What zentor-sim says when the stored program is made ready to run or cannot be.
inline QString ProgramReady(int sections, int instructions)
{
    return QStringLiteral("zentor-sim: ПрП готова к выполнению (секций: %1, инструкций: %2); "
                          "циклы выполняются в режиме «Пуск»")
        .arg(sections)
        .arg(instructions);
}
inline const QString ProgramNotRun =
    QStringLiteral("zentor-sim: ПрП не выполняется, пока её не запишут заново:");

// Why a stored program is not run.
inline QString BlockUnknownCode(int section, int code, int offset)
{
    return QStringLiteral("Секция %1 повреждена: неизвестный код %2 на смещении %3")
        .arg(SectionNumberText(section))
        .arg(QStringLiteral("%1").arg(code, 2, 16, QChar(u'0')).toUpper())
        .arg(offset);
}
inline QString BlockTruncated(int section, int offset)
{
    return QStringLiteral("Секция %1 повреждена: код обрывается внутри инструкции на "
                          "смещении %2")
        .arg(SectionNumberText(section))
        .arg(offset);
}

// What the access for the windows refuses.
inline const QString NoRun =
    QStringLiteral("Программа контроллера сейчас не выполняется: она записывается или "
                   "повреждена");
inline QString NotAVariable(const QString &var)
{
    return QStringLiteral("%1 — нет такой переменной у контроллера").arg(var);
}

} // namespace SimText
