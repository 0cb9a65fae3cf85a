#pragma once
// The texts of the cross-reference: its columns, kinds, details and checks, shared by the
// desktop window and zentorc.

#include <QString>
#include <QStringList>

namespace CrossRefText {

inline const QStringList Columns = {
    QStringLiteral("Переменная"), QStringLiteral("Название"), QStringLiteral("Где"),
    QStringLiteral("Строка"),     QStringLiteral("Позиция"),  QStringLiteral("Использование"),
    QStringLiteral("Подробно"),   QStringLiteral("Проверка"),
};

inline const QString Header = QStringLiteral("заголовок");
inline const QString Section = QStringLiteral("секция ");

inline const QString Written = QStringLiteral("запись");
inline const QString Read = QStringLiteral("чтение");
inline const QString Passed = QStringLiteral("передача");
inline const QString Declared = QStringLiteral("описание");

inline const QString On = QStringLiteral("ВКЛ");
inline const QString Off = QStringLiteral("ОТКЛ");
inline const QString Assigned = QStringLiteral("присваивание");
inline const QString Condition = QStringLiteral("условие");
inline const QString RightSide = QStringLiteral("правая часть");
inline const QString Parameter = QStringLiteral(", параметр ");
inline const QString NotTaken = QStringLiteral(" (алгоритм его не берёт)");
inline const QString OrderPart = QStringLiteral("заказ переменных");
inline const QString AdcPart = QStringLiteral("заказ входов АЦП, модуль ");
inline const QString ImpulseOutput = QStringLiteral("импульсный выход: ");
inline const QString ImpulseSource = QStringLiteral("источник импульсного выхода ");
inline const QString KeyBoard = QStringLiteral("технологическая клавиатура ");
inline const QString Key = QStringLiteral(", клавиша ");
inline const QString TechName = QStringLiteral("технологическое название = ");

inline const QString OutsideOrder = QStringLiteral("вне заказа");
inline const QString Unused = QStringLiteral("не используется в секциях");
inline const QString OrderedRange = QStringLiteral("заказано ");
inline const QString AdcRange = QStringLiteral("заказаны входы АЦП модуля ");
inline const QString AdcNone = QStringLiteral("нет такого модуля АЦП");

// zentorc's lines after the table.
inline const QString FailedSection =
    QStringLiteral(" не откомпилирована, её переменные не показаны:");
inline const QString FailedHeader = QStringLiteral("Заголовок: ошибки компиляции:");
inline const QString CheckOutsideOrder = QStringLiteral("Переменные секций вне заказа заголовка: ");
inline const QString CheckUnused =
    QStringLiteral("Переменные, названные в заголовке, которых не использует ни одна секция: ");
inline const QString None = QStringLiteral("нет");
inline const QString Compile = QStringLiteral("ошибка компиляции");

} // namespace CrossRefText
