#pragma once
// The texts of the windows that watch the built-in simulator's run: the watch table, the
// values beside the code and the trend plot.

#include <QString>
#include <QStringList>

namespace GuiTexts {

// The watch table ("Контроль переменных" over the built-in simulator).
inline const QString WatchListNode = QStringLiteral("Список наблюдения");
inline const QStringList WatchColumns = {
    QStringLiteral("Переменная"), QStringLiteral("Технологическое имя"),
    QStringLiteral("Значение"),   QStringLiteral("Б"),
    QStringLiteral("Блокировка"), QStringLiteral("Где используется"),
    QStringLiteral("Примечание")};
inline const QString LockedMark = QStringLiteral("да");
inline const QString LockButton = QStringLiteral("Блокировать");
inline const QString UnlockButton = QStringLiteral("Разблокировать");
inline const QString WatchAddButton = QStringLiteral("Добавить");
inline const QString WatchRemoveButton = QStringLiteral("Убрать");
inline const QString WatchAddHint = QStringLiteral("переменная или технологическое имя");
inline const QString TrendButton = QStringLiteral("Тренд");
// An algorithm output: the engine leaves it as it is, the user sets it.
inline const QString NotSimulatedNote = QStringLiteral("не моделируется: пишет АЛГ%1");
inline const QString WatchTimeWord = QStringLiteral("время");
inline const QString WatchPending =
    QStringLiteral("Программа симулятора ещё не подготовлена (запишите ПрП и выйдите из "
                   "режима программирования)");
inline const QString WatchDamaged = QStringLiteral("Программа симулятора не выполняется: ");
inline const QString WatchRunning = QStringLiteral("Пуск, сканов: %1");
inline const QString WatchStopped =
    QStringLiteral("Программа не выполняется (не Пуск), сканов: %1");
inline const QString WatchNoRow = QStringLiteral("Выберите переменную в таблице");
inline const QString WatchListUnsaved = QStringLiteral("Список наблюдения не сохранён: ");
// The watch list beside the program file.
inline const QString WatchListSuffix = QStringLiteral(".watch");

// The values beside the code.
inline const QString ItemValuesInText = QStringLiteral("&Значения в тексте");
inline const QString ItemTrend = QStringLiteral("&Тренд переменных");

// The trend plot.
inline const QString TrendCaption = QStringLiteral("Тренд переменных симулятора");
inline const QString TrendPause = QStringLiteral("Пауза");
inline const QString TrendResume = QStringLiteral("Продолжить");
inline const QString TrendZoomIn = QStringLiteral("Крупнее");
inline const QString TrendZoomOut = QStringLiteral("Мельче");
inline const QString TrendZoomReset = QStringLiteral("Всё");
inline const QString TrendExport = QStringLiteral("Экспорт в CSV...");
inline const QString TrendFollow = QStringLiteral("Следить");
inline const QString TrendTimeAxis = QStringLiteral("Время, с");
inline const QString TrendCsvScan = QStringLiteral("Скан");
inline const QString TrendCsvTime = QStringLiteral("Время, мс");
inline const QString TrendCsvFilter = QStringLiteral("Таблицы CSV (*.csv)");
inline const QString TrendExportFailed = QStringLiteral("Файл не записан: ");

} // namespace GuiTexts
