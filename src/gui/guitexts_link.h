#pragma once
// The texts of the controller windows: the port dialog, the write and read commands, the
// transfer window, the console, the header edit dialogs and the variables window.

#include <QString>
#include <QStringList>

namespace GuiTexts {

// The port dialog.
inline const QString PortSetupCaption = QStringLiteral("Настройка связи с контроллером");
inline const QString SimulatorEntry = QStringLiteral("Симулятор Сарветела");
inline const QString Offline = QStringLiteral("Автономная работа");
inline const QString PortLabel = QStringLiteral("Порт");
inline const QString PortChange = QStringLiteral("Изменить");
inline const QString ReadIntervalLabel = QStringLiteral("ReadIntervalTimeOut");
inline const QString ReadMultiplierLabel = QStringLiteral("ReadTotalTimeoutMultiplier");
inline const QString ReadConstantLabel = QStringLiteral("ReadTotalTimeoutConstant");
inline const QString MemoByteSize = QStringLiteral("Размер байта:");
inline const QString MemoParity = QStringLiteral("Чётность:");
inline const QString MemoStopBits = QStringLiteral("Количество стоп-бит:");
inline const QString MemoBaud = QStringLiteral("Скорость:");
inline const QString PortOpenFailedLog = QStringLiteral("Не удалось открыть ");
inline const QString ErrorCodeLog = QStringLiteral("; код ошибки ");
inline const QString MultiGroup = QStringLiteral("Многоканальный режим");
inline const QString MultiAllow = QStringLiteral("Разрешить");
inline const QString MultiAllowHint = QStringLiteral("Разрешить использование модуля КСБ");
inline const QString MultiUpdate = QStringLiteral("Обновить");
inline const QString ChannelPrefix = QStringLiteral("Канал ");
inline const QString TimeoutNotNumber = QStringLiteral("Время ожидания должно быть целым "
                                                       "неотрицательным числом: ");
// The line settings dialog behind "Изменить".
inline const QString LineCaption = QStringLiteral("Параметры линии");
inline const QString LineBaud = QStringLiteral("Скорость (бит/с)");
inline const QString LineDataBits = QStringLiteral("Биты данных");
inline const QString LineParity = QStringLiteral("Чётность");
inline const QString LineStopBits = QStringLiteral("Стоп-биты");
inline const QString LineBadBaud = QStringLiteral("Скорость должна быть целым числом от 50 до "
                                                  "4000000 бит/с");
inline const QString LineRefused = QStringLiteral("Порт не принял эти параметры: ");

// Writing and reading the PRP.
inline const QString WritingPrp = QStringLiteral("Запись ПрП в Сарветел...");
inline const QString ReadQuestion = QStringLiteral(
    "При загрузке программы из контроллера, текущая программа будет недоступна. Продолжить?");
inline const QString ReadCaptionTitle = QStringLiteral("Редактирование ПРП из Сарветела ");
inline const QString ImageNotSplit =
    QStringLiteral("ПрП, считанный из Сарветела, не разбирается на заголовок и секции");
inline const QString ReadingPrp = QStringLiteral("Чтение ПрП из Сарветела");

} // namespace GuiTexts

namespace GuiTexts {

// The header edit dialogs.
inline const QString TimeGenCaption = QStringLiteral("Настройка таймер-генератора");
inline const QString TimeGenOn = QStringLiteral("Интервал включения");
inline const QString TimeGenOff = QStringLiteral("Интервал отключения");
inline const QString ResetButton = QStringLiteral("Сброс");
inline const QString BadFieldValue = QStringLiteral("Неверное значение в поле \"");
inline const QString BadFieldValueEnd = QStringLiteral("\": ");
inline const QString ErrorCaption1 = QStringLiteral("Ошибка!");
inline const QString ImpCaption = QStringLiteral("Импульсный выход");
inline const QString ImpCaptionPrefix = QStringLiteral("Импульсный выход ИВ");
inline const QString ImpSource = QStringLiteral("Источник");
inline const QString ImpMinTick = QStringLiteral("Продолжительность");
inline const QStringList ImpTicks = {QStringLiteral("0,1 сек"), QStringLiteral("0,2 сек"),
                                     QStringLiteral("0,4 сек"), QStringLiteral("0,8 сек")};
inline const QString ImpSourceError =
    QStringLiteral("Ошибка при задании источника импульсного выхода.");
inline const QString TechKeyCaption = QStringLiteral("Редактирование клавиши");
inline const QString TechKeyVariable = QStringLiteral("Переменная");
inline const QString TechKeyText = QStringLiteral("Текст");
inline const QStringList TechKeyClasses = {
    QStringLiteral("нет"), QStringLiteral("ДВ"), QStringLiteral("КБ"),
    QStringLiteral("КС"),  QStringLiteral("ТМ"), QStringLiteral("ВД"),
    QStringLiteral("ВА"),  QStringLiteral("АВ"), QStringLiteral("ИВ")};
inline const QString TechKeyBadNumber = QStringLiteral("Неверный номер переменной: ");

} // namespace GuiTexts
