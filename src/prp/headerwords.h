#pragma once
// The words of the header text's part headings ("/ ЗАКАЗ ПЕРЕМЕННЫХ", "/ ТЕХНОЛОГИЧЕСКИЕ
// НАЗВАНИЯ"), compared on upper-cased text. The header compiler reads them, the header
// decompiler writes them, and the old text format and the editor's colouring recognise the
// parts by them. The impulse-output part's short heading uses the class word "ИВ"
// (prp/variableclass.h).

#include <QString>

namespace HeadingWord {

inline const QString Order = QStringLiteral("ЗАКАЗ");
inline const QString Variables = QStringLiteral("ПЕРЕМЕННЫХ");
inline const QString Inputs = QStringLiteral("ВХОДОВ");
inline const QString Adc = QStringLiteral("АЦП");
inline const QString TimeGen = QStringLiteral("ТМГ");
inline const QString Impulse = QStringLiteral("ИМПУЛЬСНЫХ"); // "ИМПУЛЬСНЫХ ВЫХОДОВ"
inline const QString Outputs = QStringLiteral("ВЫХОДОВ");
inline const QString TechSingular = QStringLiteral("ТЕХНОЛОГИЧЕСКАЯ"); // "... КЛАВИАТУРА n"
inline const QString Keyboard = QStringLiteral("КЛАВИАТУРА");
inline const QString TechPlural = QStringLiteral("ТЕХНОЛОГИЧЕСКИЕ"); // "... НАЗВАНИЯ"
inline const QString Names = QStringLiteral("НАЗВАНИЯ");

// A heading line of the words: "/ ЗАКАЗ ПЕРЕМЕННЫХ".
inline QString HeadingLine(std::initializer_list<QString> words)
{
    QString line = QStringLiteral("/");
    for (const QString &w : words)
        line += u' ' + w;
    return line;
}

} // namespace HeadingWord
