#pragma once
// The texts that reading and writing program files add to the program's messages or give
// back as the reason of a failure: the one place they are written.

#include <QString>

namespace FileTexts {

inline QString BadSectionLine(int line)
{
    return QStringLiteral("Неправильный номер секции в строке %1").arg(line);
}
inline QString LoadingSection(const QString &path)
{
    return QStringLiteral("Загрузка из файла ") + path;
}
inline QString LoadingHeader(const QString &path)
{
    return QStringLiteral("Загрузка заголовка ПрП из файла ") + path;
}
inline QString SectionFileDamaged(const QString &path)
{
    return QStringLiteral("Файл секции %1 повреждён и не загружен").arg(path);
}
inline QString PrpFileTooLong()
{
    return QStringLiteral("Файл ПрП длиннее 20000 байт: прочитаны первые 20000 байт");
}
inline QString SectionFileOfOtherSection(const QString &path, const QString &byte2,
                                         const QString &byte3)
{
    return QStringLiteral("Файл секции %1 не загружен: номер секции в его блоке (%2, %3) не "
                          "совпадает с именем файла")
        .arg(path, byte2, byte3);
}
// A section file set checked against its header file.
inline QString SetWithoutHeader(const QString &set, const QString &header)
{
    return QStringLiteral("Набор секций %1 неполон: нет файла заголовка %2").arg(set, header);
}
inline QString HeaderFileDamaged(const QString &path)
{
    return QStringLiteral("Файл заголовка %1 повреждён:").arg(path);
}
inline QString HeaderFileLength(int fileLength, int headerLength)
{
    return QStringLiteral("Ошибка в заголовке ПрП: файл длиной %1 байт, а заголовок в нём — "
                          "%2 байт и ещё один байт за ним")
        .arg(fileLength)
        .arg(headerLength);
}
inline QString SetGroupShort(const QString &set, int group, int missing)
{
    return QStringLiteral("Набор секций %1 неполон: в группе %2 не хватает %3 байт")
        .arg(set)
        .arg(group)
        .arg(missing);
}
inline QString SetGroupLong(const QString &set, int group, int extra)
{
    return QStringLiteral("Набор секций %1 повреждён: в группе %2 на %3 байт больше, чем "
                          "записано в заголовке")
        .arg(set)
        .arg(group)
        .arg(extra);
}
// What an interrupted save of a set left behind, found when the set is next read or saved.
inline QString SetSaveFinished(const QString &set)
{
    return QStringLiteral("Набор секций %1: запись, прерванная при замене файлов, завершена")
        .arg(set);
}
inline QString SetSaveRemoved(const QString &set, const QString &staging)
{
    return QStringLiteral("Набор секций %1: удалены остатки прерванной записи (%2)")
        .arg(set, staging);
}
inline QString SetStagingInTheWay(const QString &staging)
{
    return QStringLiteral("Папка %1 осталась от прерванной записи набора секций и содержит чужие "
                          "файлы: уберите её")
        .arg(staging);
}
inline QString NotASectionName(const QString &path)
{
    return QStringLiteral("Файл %1 не загружен: его расширение не номер секции (000–737)")
        .arg(path);
}
// reason: "… — не файл, а папка" and the like.
inline QString NotLoaded(const QString &reason)
{
    return reason + QStringLiteral(": не загружен");
}
inline QString CannotRemove(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось удалить устаревший файл секции %1: %2").arg(path, reason);
}
inline QString OldFormatNeedsCompiler(const QString &path)
{
    return QStringLiteral("Файл %1: для программы старого формата (.prg) нужен компилятор, а он "
                          "не подключён")
        .arg(path);
}
inline QString NoCompiler(const QString &path)
{
    return QStringLiteral("Файл %1 не записан: программа не откомпилирована, а компилятор "
                          "для записи образа не подключён")
        .arg(path);
}
inline QString CompileFailed(const QString &path)
{
    return QStringLiteral("Файл %1 не записан: программа откомпилирована с ошибками").arg(path);
}

} // namespace FileTexts
