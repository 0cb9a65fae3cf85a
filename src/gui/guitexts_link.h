#pragma once
// The texts of the controller windows: the port dialog, the write and read commands, the
// transfer window, the console, the header edit dialogs and the variables window.

#include "compiler/compilertexts.h"
#include "link/sarveteldefs.h"

#include <QString>
#include <QStringList>

namespace GuiTexts {

// The port dialog.
inline const QString PortSetupCaption = QStringLiteral("Настройка связи с контроллером");
inline const QString SimulatorEntry = QStringLiteral("Симулятор Сарветела");
inline const QString Offline = QStringLiteral("Автономная работа");
inline const QString PortLabel = QStringLiteral("Порт");
inline const QString DevicePathHint =
    QStringLiteral("Порт из списка или путь устройства (/dev/ttyUSB0, /dev/serial/by-id/…, "
                   "/dev/pts/N) и Enter");
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
inline const QString EmptyProgramQuestion =
    QStringLiteral("В программе нет ни одной секции с кодом. Записать её в контроллер?");
inline const QString ReadQuestion = QStringLiteral(
    "При загрузке программы из контроллера, текущая программа будет недоступна. Продолжить?");
inline const QString ReadCaptionTitle = QStringLiteral("Редактирование ПРП из Сарветела ");
inline const QString ImageNotSplit = QStringLiteral("ПрП, считанный из Сарветела, повреждён");
inline const QString &ReadingPrp = Sarvetel::ReadProgramHeading;
inline const QString ReadNotTaken =
    QStringLiteral("ПрП из контроллера не прочитана целиком: открытая программа не изменена");

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

namespace GuiTexts {

// The console.
inline const QString ConsoleCaption = QStringLiteral("Консоль Сарветела");
inline const QString NoLink = QStringLiteral("Нет связи с Сарветелом!!!");
// The status line while an exchange with the controller is waited for.
inline const QString WaitingForController = QStringLiteral("Обмен с контроллером...");
inline const QString ModeStopButton = QStringLiteral("Ост");
inline const QString ModeRunButton = QStringLiteral("Пуск");
inline const QString ModeFailButton = QStringLiteral("НП");
inline const QString ModeTestButton = QStringLiteral("ТСТ");
inline const QString ModeCopyButton = QStringLiteral("КП");
inline const QString ModeSetupButton = QStringLiteral("НСТ");
inline const QString ModeProgramButton = QStringLiteral("ПРГ");
inline const QString ResetSarvetel = QStringLiteral("Сброс Сарветела");
inline const QString ResetSarvetelQuestion =
    QStringLiteral("Вы уверены, что хотите сбросить память контроллера?");
inline const QString AttentionPlain = QStringLiteral("Внимание");
inline const QString AttentionSpaced = QStringLiteral("Внимание !!!");
inline const QString &ErrorsPresent = Sarvetel::ErrorsPresent;
inline const QString &NoErrors = Sarvetel::NoErrors;
inline const QString StoppedLine1 = QStringLiteral("Сарветел в");
inline const QString StoppedLine2 = QStringLiteral("режиме останов");
inline const QString NoFaults = QStringLiteral("Нет неисправностей");
inline const QString SettingsChanged = QStringLiteral("Настройки были изменены. Сохранить?");
inline const QString SetupModeFailed = QStringLiteral("Не удалось перейти в режим НАСТРОЙКА");
// Setup pages.
inline const QStringList SetupPages = {QStringLiteral("Настройка"), QStringLiteral("Память"),
                                       QStringLiteral("Заказ УСО"), QStringLiteral("Каналы связи"),
                                       QStringLiteral("Настройка каналов")};
inline const QString ResetVariablesButton = QStringLiteral("Сброс переменных");
inline const QString ResetLocksButton = QStringLiteral("Сброс блокировок");
inline const QString ResetCoefficientsButton = QStringLiteral("Сброс коэффициентов");
inline const QString ResetSystemMemoryButton = QStringLiteral("Сброс системной памяти");
inline const QString ResetVariablesQuestion =
    QStringLiteral("Вы хотите сбросить значения переменных?");
inline const QString ResetLocksQuestion =
    QStringLiteral("Вы хотите сбросить блокировки переменных?");
inline const QString ResetCoefficientsQuestion = QStringLiteral("Вы хотите сбросить коэффициенты?");
inline const QString ResetSystemMemoryQuestion =
    QStringLiteral("Вы хотите сбросить системную память?");
inline const QString SysMemDuplicated = QStringLiteral("Дублирована");
inline const QString SysMemNotDuplicated = QStringLiteral("Не дублирована");
inline const QString PrpInRam = QStringLiteral("ОЗУ");
inline const QString PrpInRom = QStringLiteral("ППЗУ");
inline const QString SysMemLabel = QStringLiteral("Системная память");
inline const QString PrpMemLabel = QStringLiteral("Память ПрП");
inline const QString ChangeButton = QStringLiteral("Изменить");
inline const QStringList ModuleTabs = {QStringLiteral("ДЦП"), QStringLiteral("ЦДП"),
                                       QStringLiteral("АЦП"), QStringLiteral("ЦАП"),
                                       QStringLiteral("ЦИП")};
inline const QStringList ModuleColumns = {QStringLiteral("Группа"), QStringLiteral("Заказ"),
                                          QStringLiteral("Индекс1"), QStringLiteral("Индекс2")};
inline const QString OrderYes = QStringLiteral("Есть");
inline const QString OrderNo = QStringLiteral("Нет");
inline const QString AutoOrderButton = QStringLiteral("Автозаказ");
inline const QString ApplyButton = QStringLiteral("Применить");
inline const QStringList LogicalChannels = {
    QStringLiteral("0 - Пульт (ЭВМ)"),  QStringLiteral("1- TC, ПРП (ПЧ)"),
    QStringLiteral("2 - ТС, ИРПР (Т)"), QStringLiteral("3 - ДБЛ, ПРП (К)"),
    QStringLiteral("4 - ЭВМ"),          QStringLiteral("5 - ЭВМ"),
    QStringLiteral("6 - С-сеть"),       QStringLiteral("7 - С-сеть")};
inline const QString ChannelUnused = QStringLiteral("Не используется");
inline const QStringList ChannelSpeeds = {
    QStringLiteral("9600 бит/с"), QStringLiteral("4800 бит/с"), QStringLiteral("2400 бит/с"),
    QStringLiteral("1200 бит/с")};
inline const QStringList ChannelChecks = {QStringLiteral("Нет контроля"),
                                          QStringLiteral("По нечётности"), QStringLiteral("-"),
                                          QStringLiteral("По чётности")};
inline const QStringList ChannelStops = {QStringLiteral("-"), QStringLiteral("1"),
                                         QStringLiteral("1.5"), QStringLiteral("2")};
inline const QString IrprGroup = QStringLiteral("Параметры ИРПР");
inline const QStringList IrprChoices = {QStringLiteral("без иверсии"),
                                        QStringLiteral("с инверсией")};
inline const QString ChannelLabel = QStringLiteral("Канал");
inline const QString SpeedLabel = QStringLiteral("Скорость");
inline const QString CheckLabel = QStringLiteral("Контроль");
inline const QString StopLabel = QStringLiteral("Стоп-биты");
// Program pages.
inline const QStringList ProgramPages = {QStringLiteral("Заказ"), QStringLiteral("Программа"),
                                         QStringLiteral("Технологическая клавиатура")};
inline const QStringList OrderTabs = {QStringLiteral("Переменные"), QStringLiteral("АЦП"),
                                      QStringLiteral("Таймеры"), QStringLiteral("Имп. выходы")};
inline const QStringList VarColumns = {
    QStringLiteral("Наименование"), QStringLiteral("мин. индекс"), QStringLiteral("макс. индекс")};
inline const QStringList AdcColumns = {
    QStringLiteral("Номер группы"), QStringLiteral("нач. индекс"), QStringLiteral("кон. индекс")};
inline const QStringList TimerColumns = {QStringLiteral("Номер ТГ"),
                                         QStringLiteral("интервал включения"),
                                         QStringLiteral("интервал выключения")};
inline const QStringList ImpColumns = {QStringLiteral("Имп. выход"), QStringLiteral("источник"),
                                       QStringLiteral("продолжительность")};
inline const QString NotOrdered = QStringLiteral("Не заказаны");
inline const QString NotDefined = QStringLiteral("Не определён");
inline const QString WriteButton = QStringLiteral("Запись");
inline const QString ResetPrpButton = QStringLiteral("Сброс ПрП");
inline const QString ResetPrpQuestion = QStringLiteral("Вы уверены, что хотите сбросить ПрП?");
inline const QString SectionSize = QStringLiteral("Размер секции ");
inline const QString ReadButton = QStringLiteral("Считать");
inline const QString CompileButton = QStringLiteral("Компиляция");
inline const QString WriteSectionButton = QStringLiteral("Записать");
inline const QString DeleteButton = QStringLiteral("Удалить");
inline const QString ReadingSection = QStringLiteral("Чтение секции ");
inline const QString &CompilingSection = CompilerText::ProgressSection;
inline const QString WritingSectionLog = QStringLiteral("Запись секции ");
inline const QString DeletingSection = QStringLiteral("Удаление секции ");
inline const QString ConsoleHeaderWrite = QStringLiteral("Запись заказа");
inline const QString ConsoleHeaderRead = QStringLiteral("Чтение заказа");
inline const QString TechKeyWrite = QStringLiteral("Запись технологической клавиши ");
// Between what was asked and the link's words for why it was not taken.
inline const QString ConsoleNotTaken = QStringLiteral(": ");
inline const QString SectionNotCompiled =
    QStringLiteral("Секция не откомпилирована после изменения текста: запись не выполнена");
inline const QString Success = QStringLiteral("Успешно.");
inline const QString SectionDeleteQuestion = QStringLiteral(" будет удалена. Продлжить?");
inline const QString BlockLabel = QStringLiteral("Блок");
inline const QString SectionLabel = QStringLiteral("Секция");
inline const QString PopupDeleteProgram = QStringLiteral("Удалить программу");
inline const QString PopupRefresh = QStringLiteral("Обновить информацию");
inline const QString PopupEditSection = QStringLiteral("Редактировать секцию");
inline const QString DeleteBlockQuestion =
    QStringLiteral("Все секции блока %1 будут удалены. Продолжить?");
inline const QString DeleteProgramQuestion =
    QStringLiteral("Все секции программы будут удалены. Продолжить?");
inline const QString TechKeyboardPrefix = QStringLiteral("ТК ");

// The variables window.
inline const QString VarsCaption = QStringLiteral("Контроль переменных Сарветела");
inline const QString AllVariables = QStringLiteral("Все переменные");
inline const QStringList VariableGroups = {
    QStringLiteral("КБ"), QStringLiteral("КС"), QStringLiteral("ВД"), QStringLiteral("ДВ"),
    QStringLiteral("ВА"), QStringLiteral("АВ"), QStringLiteral("ТМ")};

} // namespace GuiTexts
