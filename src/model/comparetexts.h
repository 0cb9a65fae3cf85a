#pragma once
// The texts of the comparison of the program's PRP with a controller's, shared by the
// desktop's window and zentorc diff.

#include <QString>
#include <QStringList>

namespace CompareText {

inline const QString Same = QStringLiteral("совпадает");
inline const QString Differs = QStringLiteral("отличается");
inline const QString OnlyController = QStringLiteral("только в контроллере");
inline const QString OnlyProgram = QStringLiteral("только в программе");

inline const QString Orders = QStringLiteral("Заказ переменных");
inline const QString AdcInputs = QStringLiteral("Входы АЦП");
inline const QString ImpulseOutputs = QStringLiteral("Импульсные выходы");
inline const QString TimerGenerators = QStringLiteral("Таймер-генераторы");
inline const QString TechKeys = QStringLiteral("Технологические клавиши");
inline const QString Section = QStringLiteral("Секция ");

inline const QStringList Columns = {QStringLiteral("Часть ПрП"), QStringLiteral("Результат"),
                                    QStringLiteral("Что отличается")};
inline const QString ProgramSide = QStringLiteral("Программа");
inline const QString ControllerSide = QStringLiteral("Контроллер");

inline const QString Heading = QStringLiteral("Сравнение ПрП с контроллером");
inline const QString AllSame = QStringLiteral("ПрП в контроллере совпадает с программой");
inline QString Found(int n)
{
    return QStringLiteral("Найдено различий: %1").arg(n);
}
inline QString BlockBytes(int length)
{
    return QStringLiteral("%1 байт").arg(length);
}
inline QString BlockLengths(int program, int controller)
{
    return QStringLiteral("длина в программе %1 байт, в контроллере %2 байт")
        .arg(program)
        .arg(controller);
}
inline QString BytesDiffer(int n)
{
    return QStringLiteral("различаются байты: %1").arg(n);
}
// What a section's lines cannot show.
inline const QString FrameOnly =
    QStringLiteral("Команды блока совпадают; различаются его служебные байты (длина, номер "
                   "секции, контрольная сумма).");
inline const QString HiddenBytes =
    QStringLiteral("Отмеченные команды различаются байтами, которых их текст не показывает "
                   "(например, адресом собственной памяти алгоритма).");
inline const QString ProgramLinesUnmatched =
    QStringLiteral("Текст секции в программе не даёт её блока кода; слева её блок, "
                   "декомпилированный, как и справа.");
inline const QString ProgramSideLine = QStringLiteral("  программа:  ");
inline const QString ControllerSideLine = QStringLiteral("  контроллер: ");

} // namespace CompareText
