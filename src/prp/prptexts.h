#pragma once
// What the image check and the header's byte form say about a damaged PRP, and how the
// header decompiler names the values its text cannot carry: the one place these texts are
// written.

#include "core/textutils.h"

#include <QString>

namespace PrpTexts {

inline QString Hex(int byte)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

// The image.
inline QString HeaderPastData(int length)
{
    return QStringLiteral("Ошибка в образе ПрП: заголовок длиной %1 байт выходит за пределы "
                          "загруженных данных")
        .arg(length);
}
inline QString HeaderTooLong(int length, int limit)
{
    return QStringLiteral("Ошибка в образе ПрП: заголовок длиной %1 байт длиннее %2 байт")
        .arg(length)
        .arg(limit);
}
inline QString BlockPastData(int offset)
{
    return QStringLiteral("Ошибка в образе ПрП: блок по смещению %1 выходит за пределы "
                          "загруженных данных")
        .arg(offset);
}
inline QString BlockTooShort(int offset, int minimum)
{
    return QStringLiteral("Ошибка в образе ПрП: блок по смещению %1 короче %2 байт")
        .arg(offset)
        .arg(minimum);
}
inline QString BlockPastGroup(int offset, int length, int group, int groupEnd)
{
    return QStringLiteral("Ошибка в образе ПрП: блок по смещению %1 длиной %2 байт выходит за "
                          "конец группы %3 (смещение %4 по словам групп)")
        .arg(offset)
        .arg(length)
        .arg(group)
        .arg(groupEnd);
}
inline QString BlockInOtherGroup(int section, int offset, int group)
{
    return QStringLiteral("Ошибка в образе ПрП: блок секции %1 (смещение %2) стоит среди блоков "
                          "группы %3")
        .arg(SectionNumberText(section))
        .arg(offset)
        .arg(group);
}
inline QString BlockRepeated(int section, int offset)
{
    return QStringLiteral("Ошибка в образе ПрП: блок секции %1 повторяется (смещение %2)")
        .arg(SectionNumberText(section))
        .arg(offset);
}
inline QString BlockOutOfOrder(int section, int offset, int previous)
{
    return QStringLiteral("Ошибка в образе ПрП: блок секции %1 (смещение %2) стоит после блока "
                          "секции %3")
        .arg(SectionNumberText(section))
        .arg(offset)
        .arg(SectionNumberText(previous));
}
inline QString BlockTwoSections(int offset, int byte2, int byte3)
{
    return QStringLiteral("Ошибка в образе ПрП: блок по смещению %1 помечен двумя номерами "
                          "секции, %2 и %3")
        .arg(offset)
        .arg(SectionNumberText(byte2), SectionNumberText(byte3));
}
inline const QString ImageTooLarge = QStringLiteral("Размер ПрП превышает 20000 байт");
inline const QString ImageSumBroken =
    QStringLiteral("Ошибка в образе ПрП: контрольная сумма образа неверна");
inline const QString HeaderSumBroken =
    QStringLiteral("Ошибка в образе ПрП: контрольная сумма заголовка неверна");

// A section's code block.
inline QString BlockSumBroken(int section)
{
    return QStringLiteral("Ошибка в секции %1: контрольная сумма блока кода неверна")
        .arg(SectionNumberText(section));
}
inline QString BlockLengthCopy(int section, int byte0, int byte1)
{
    return QStringLiteral("Ошибка в секции %1: байт 1 блока кода (%2) не повторяет его длину "
                          "(%3)")
        .arg(SectionNumberText(section))
        .arg(byte1)
        .arg(byte0);
}
inline QString BlockTerminator(int section, int value)
{
    return QStringLiteral("Ошибка в секции %1: последний байт блока кода равен %2, а должен "
                          "быть 0x00")
        .arg(SectionNumberText(section), Hex(value));
}

// The header.
inline QString HeaderTooShort(int length, int minimum)
{
    return QStringLiteral("Ошибка в заголовке ПрП: заголовок длиной %1 байт короче %2 байт")
        .arg(length)
        .arg(minimum);
}
inline QString HeaderLengthOdd(int length)
{
    return QStringLiteral("Ошибка в заголовке ПрП: длина заголовка %1 байт не равна 162 байтам "
                          "и 11 байтам на каждую технологическую клавишу")
        .arg(length);
}
inline QString FixedByte(int offset, int value, int expected)
{
    return QStringLiteral("Ошибка в заголовке ПрП: байт %1 равен %2, а должен быть %3")
        .arg(offset)
        .arg(Hex(value), Hex(expected));
}
inline const QString KeyRecordsPastHeader =
    QStringLiteral("Ошибка в заголовке ПрП: записи технологических клавиш выходят за пределы "
                   "заголовка");
inline QString BadKeyNumber(int key)
{
    return QStringLiteral("Ошибка в заголовке ПрП: неправильный номер технологической клавиши ") +
           QString::number(key);
}

// Header values the header text cannot carry: the prefix, then what and which value.
inline const QString NotInText = QStringLiteral("Значение заголовка не переносится в текст: ");
inline QString OrderValue(int value)
{
    return QStringLiteral("порядок %1").arg(value);
}
inline QString AdcValue(int value, bool outsideVaOrder)
{
    return QStringLiteral("порядок АЦП %1").arg(value) +
           (outsideVaOrder ? QStringLiteral(" вне заказа ВА") : QString());
}
inline QString SourceWord(int word)
{
    return QStringLiteral("слово источника 0x") +
           QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}
inline QString IntervalWords(int on, int off)
{
    const auto word = [](int w) {
        return QStringLiteral("0x") +
               QStringLiteral("%1").arg(w, 4, 16, QLatin1Char('0')).toUpper();
    };
    return QStringLiteral("слова интервалов ") + word(on) + u' ' + word(off);
}
inline QString KeyValue(int cls, int index, const QString &name)
{
    return QStringLiteral("класс %1, индекс %2, имя «%3»").arg(cls).arg(index).arg(name);
}
inline QString KeyName(int keyboard, int key)
{
    return QStringLiteral("клавиатура %1, клавиша %2").arg(keyboard).arg(key);
}
inline const QString KeyRecordedTwice = QStringLiteral(": записана дважды");
inline const QString KeyWithoutClass = QStringLiteral(": запись без класса переменной");
inline QString NameByte(int byte)
{
    return QStringLiteral(": в имени байт %1, которого текст не передаёт").arg(Hex(byte));
}

} // namespace PrpTexts
