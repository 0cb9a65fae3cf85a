#pragma once
// Every text that the section decompiler, the re-layout of section texts and the old text
// format write, in one place. They are the system's own words, byte for byte.

#include <QString>

namespace DecompilerText {

// Driver: progress window and message list.
inline const QString ProgressCaption = QStringLiteral("Декомпиляция ПрП");
inline const QString ProgressHeader = QStringLiteral("Декомпиляция заголовка ПрП");
inline const QString ProgressSection = QStringLiteral("Декомпиляция секции ");

// A block that cannot be read to its end.
inline const QString ErrorBegin = QStringLiteral("Ошибка декомпиляции секции ");
inline const QString Truncated =
    QStringLiteral(": блок кода обрывается внутри инструкции на смещении ");
inline const QString UnknownCode = QStringLiteral(": неизвестный код ");
inline const QString AtOffset = QStringLiteral(" на смещении ");

// Fragment lines.
// The decompiler writes these words in its own spellings; the keywords it shares with the
// lexer (ВСК, ИЛИ, АЛГ, Б, О, В, ТС) come from compiler/compilertexts.h.
inline const QString Then = QStringLiteral("Тогда ");
inline const QString Else = QStringLiteral("Иначе ");
inline const QString If = QStringLiteral("Если ");
inline const QString ParamIndent = QStringLiteral("   ");
inline const QString ParamOn = QStringLiteral("вкл");
inline const QString ParamOff = QStringLiteral("откл");
// The bytes of a call whose algorithm the base does not describe (a comment line).
inline const QString CallBytes = QStringLiteral("   ! байты вызова: ");

} // namespace DecompilerText

namespace OldFormatText {

// Export to the old format.
inline const QString ProgressCaption = QStringLiteral("Конвертация ПрП");
inline const QString ProgressHeader = QStringLiteral("Конвертация заголовка ПрП");
inline const QString ProgressSection = QStringLiteral("Конвертация секции ");
inline const QString BadPartInLine = QStringLiteral("Неправильное имя раздела в строке ");
inline const QString VariablesComment = QStringLiteral(" !Заказ переменных");
inline const QString ImpulseComment = QStringLiteral(" !Заказ импульсных выходов");
inline const QString NotCompilingBegin = QStringLiteral("Секция ");
inline const QString NotCompilingEnd =
    QStringLiteral(" не компилируется: её строки записаны как комментарии");
// The header parts a program read back from the old format lacks, after HeaderNotKept.
inline const QString HeaderNotKept =
    QStringLiteral("Формат .prg не хранит заголовок: прочитанная из файла программа будет без ");
inline const QString LostOrders = QStringLiteral("заказа переменных");
inline const QString LostAdc = QStringLiteral("заказа входов АЦП");
inline const QString LostImpulse = QStringLiteral("импульсных выходов");
inline const QString LostTimeGen = QStringLiteral("таймер-генераторов");
inline const QString LostKeys = QStringLiteral("технологических клавиш");
inline const QString LostNames = QStringLiteral("технологических названий");

// Import from the old format.
inline const QString Converting = QStringLiteral("Преобразование формата");

} // namespace OldFormatText
