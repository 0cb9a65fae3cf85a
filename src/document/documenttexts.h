#pragma once
// What the open program's commands write into the message list.

#include <QString>

namespace DocumentTexts {

inline const QString LoadingFrom = QStringLiteral("Загрузка из файла ");
inline const QString ReadError = QStringLiteral("Ошибка при чтении файла");
inline const QString OkLine = QStringLiteral("Ок");
inline const QString OkLineLatin = QStringLiteral("Ok");
inline const QString SavingTo = QStringLiteral("Сохранение в файл ");
inline const QString ExportingTo = QStringLiteral("Экспорт в файл ");
inline const QString SaveError = QStringLiteral("Ошибка при записи файла");
inline const QString AlgBaseLoaded = QStringLiteral("Загружена база алгоритмов ");
inline const QString AlgBaseMissing = QStringLiteral("База алгоритмов не найдена: ");

} // namespace DocumentTexts
