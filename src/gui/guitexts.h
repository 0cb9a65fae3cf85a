#pragma once
// The texts of the desktop windows: captions, menu items, questions, messages and filters.
// The one place they are written.

#include "compiler/algbasefile.h"
#include "compiler/compilertexts.h"
#include "core/programpaths.h"
#include "document/documenttexts.h"
#include "link/configuration.h"
#include "link/sarveteldefs.h"

#include <QString>
#include <QStringList>

namespace GuiTexts {

// Window captions.
inline const QString MainCaption = QStringLiteral("Зентор");
inline const QString EditingCaption = QStringLiteral("Редактирование ");
inline const QString StartupCaption = QStringLiteral("Предварительное тестирование");
inline const QString AddSectionCaption = QStringLiteral("Добавить секцию");
inline const QString AddBlockCaption = QStringLiteral("Добавление блока");
inline const QString EditNameCaption = QStringLiteral("Введите название");
inline const QString SelectSectionCaption = QStringLiteral("Выбор секции");
inline const QString CompilerOptionsCaption = QStringLiteral("Параметры программы");
inline const QString AboutCaption = QStringLiteral("О программе");
inline const QString AlgEditCaption = QStringLiteral("База алгоритмов");
inline const QString AlgHelpCaption = QStringLiteral("Справочник по параметрам алгоритмов");
inline const QString HelpCaption = QStringLiteral("Справка Зентор");
inline const QString FindCaption = QStringLiteral("Поиск и замена");
inline const QString GoToLineCaption = QStringLiteral("Переход к строке");
inline const QString CrossRefCaption = QStringLiteral("Перекрёстные ссылки");

// Message box captions.
inline const QString Attention = QStringLiteral("Внимание!");
inline const QString Attention3 = QStringLiteral("Внимание!!!");
inline const QString ErrorCaption = QStringLiteral("Ошибка!!!");

// Buttons.
inline const QString OkButton = QStringLiteral("Ok");
inline const QString OkButtonRu = QStringLiteral("Ок");
inline const QString CancelButton = QStringLiteral("Отмена");
inline const QString CancelButton2 = QStringLiteral("Отменить");
inline const QString CloseButton = QStringLiteral("Закрыть");

// Main menu.
inline const QString MenuFile = QStringLiteral("&Файл");
inline const QString ItemNew = QStringLiteral("&Создать");
inline const QString ItemOpen = QStringLiteral("&Открыть");
inline const QString ItemSave = QStringLiteral("С&охранить");
inline const QString ItemSaveAs = QStringLiteral("Сохранить &как...");
inline const QString ItemExport = QStringLiteral("&Экспорт файлов");
inline const QString ItemExit = QStringLiteral("&Завершить работу");
inline const QString MenuEdit = QStringLiteral("&Правка");
inline const QString ItemUndo = QStringLiteral("Отменить");
inline const QString ItemRedo = QStringLiteral("Повторить");
inline const QString ItemCut = QStringLiteral("&Вырезать");
inline const QString ItemCopy = QStringLiteral("&Копировать");
inline const QString ItemPaste = QStringLiteral("Вст&авить");
inline const QString ItemSelectAll = QStringLiteral("Выделить всё");
inline const QString ItemFindInProgram = QStringLiteral("Найти в программе");
inline const QString ItemReplaceInProgram = QStringLiteral("Заменить в программе");
inline const QString ItemGoToSection = QStringLiteral("Перейти к &секции");
inline const QString ItemShowTree = QStringLiteral("Структура &ПРП");
inline const QString ItemShowErrors = QStringLiteral("Список &ошибок");
inline const QString ItemAddBlock = QStringLiteral("Добавить &блок");
inline const QString ItemDeleteBlock = QStringLiteral("&Удалить блок");
inline const QString ItemAddSection = QStringLiteral("Добавить с&екцию");
inline const QString ItemRenameSection = QStringLiteral("Пере&именовать секцию");
inline const QString ItemDeleteSection = QStringLiteral("У&далить секцию");
inline const QString ItemRenumber = QStringLiteral("Пере&нумерация фрагментов");
inline const QString ItemFind = QStringLiteral("&Найти и заменить...");
inline const QString ItemGoToLine = QStringLiteral("Перейти к с&троке...");
inline const QString ItemNextError = QStringLiteral("Следующая ошибка");
inline const QString ItemPreviousError = QStringLiteral("Предыдущая ошибка");
inline const QString MenuProgram = QStringLiteral("П&рограмма");
inline const QString ItemWrite = QStringLiteral("&Записать в Сарветел");
inline const QString ItemRead = QStringLiteral("&Считать из Сарветела");
inline const QString ItemReadTwice = QStringLiteral("Считывать ПрП &дважды");
inline const QString ItemCompare = QStringLiteral("С&равнить с контроллером");
inline const QString ItemCompile = QStringLiteral("&Компиляция");
inline const QString ItemCompileAll = QStringLiteral("Компилировать &всё");
inline const QString ItemCrossRef = QStringLiteral("&Перекрёстные ссылки");
inline const QString MenuSettings = QStringLiteral("Н&астройка");
inline const QString ItemPortSettings = QStringLiteral("Параметры COM-&порт");
inline const QString ItemCompilerOptions = QStringLiteral("Параметры &компилятора");
inline const QString ItemConsole = QStringLiteral("Консоль &Сарветела");
inline const QString ItemVariables = QStringLiteral("&Контроль переменных");
inline const QString ItemAlgLibrary = QStringLiteral("&Библиотека алгоритмов");
inline const QString MenuHelp = QStringLiteral("П&омощь");
inline const QString ItemContents = QStringLiteral("&Содержание");
inline const QString ItemAbout = QStringLiteral("&О программе");

// Pop-up menu of the tree.
inline const QString PopupAddBlock = QStringLiteral("Добавить блок");
inline const QString PopupDeleteBlock = QStringLiteral("Удалить блок");
inline const QString PopupAddSection = QStringLiteral("Добавить секцию");
inline const QString PopupRenameSection = QStringLiteral("Переименовать секцию");
inline const QString PopupDeleteSection = QStringLiteral("Удалить секцию");
inline const QString PopupCompile = QStringLiteral("Компилировать");

// File dialog filters: description and pattern pairs separated by vertical bars.
inline const QString OpenFilter = QStringLiteral(
    "Все поддерживаемые форматы (*.000, *.prp, *.prg)|*.zen; *.prg; *.prp;*.000|Программа "
    "в формате zen (*.zen)|*.zen|Программа в формате prg (*.prg)|*.prg|Образ ПрП "
    "(*.prp)|*.prp|Код секций (*.000)|*.000");
inline const QString SaveFilter = QStringLiteral("Программа в формате zen|*.zen");
inline const QString ExportFilter =
    QStringLiteral("Компилированные секции (*.000)|*.000|Образ ПрП (*.prp)|*.prp|Программа в "
                   "формате prg (*.prg)|*.prg");
inline const QString AlgOpenFilter = QStringLiteral("Описание алгоритмов (*.alg)|*.alg");
inline const QString AlgSaveFilter = QStringLiteral("Описания алгоритмов (*.alg)|*.alg");

// The connection field of the status bar and the controller items while no port is chosen.
inline const QString NoPortChosen = QStringLiteral("Порт не выбран");
inline const QString LinkLost = QStringLiteral("Нет связи");
inline const QString NoPortHint = QStringLiteral("Порт не выбран: Настройка → Параметры COM-порт");

inline const QString ExportCaption = QStringLiteral("Экспорт");

// Search across the program.
inline const QString SearchResultsCaption = QStringLiteral("Результаты поиска");
inline const QString HeaderTag = QStringLiteral("Заголовок");
inline const QString AskReplaceInProgram =
    QStringLiteral("Заменить «%1» на «%2» во всей программе?");
inline const QString ReplacedPlaces = QStringLiteral("Заменено мест: %1");
inline const QString FoundPlaces = QStringLiteral("Найдено мест: %1");

// Questions.
inline const QString AskNew = QStringLiteral("Вы уверены, что хотите создать новую программу?");
inline const QString AskOpen =
    QStringLiteral("После открытия файла, текущая программа будет недоступна. Продолжить?");
inline const QString AskOverwrite = QStringLiteral("Указанный файл существут. Переписать?");
inline const QString AskDeleteSection = QStringLiteral("Вы уверены, что хотите удалить секцию??");
inline const QString AskDeleteBlock = QStringLiteral("Вы уверены, что хотите удалить блок??");
inline const QString AskSaveChanges = QStringLiteral("Сохранить изменения в программе?");

// Notices.
inline const QString CursorMustBeOnSection =
    QStringLiteral("Курсор в окне структуры программы должен находиться на секции или блоке");
inline const QString NoFreeSections = QStringLiteral("В данном блоке нет свободных секций!!!");
inline const QString NoFreeBlocks = QStringLiteral("Все блоки программы уже существуют");
inline const QString CompileFailedBox = QStringLiteral("При компиляции были обнаружены ошибки");
inline const QString IniNotWritten = QStringLiteral("Не удалось записать файл настроек ");
inline const QString HelpMissing = QStringLiteral("Не найден файл справки ");
inline const QString TextNotFound = QStringLiteral("Текст не найден: ");
inline const QString SaveAsOtherForm =
    QStringLiteral("Программа сохраняется в формате .zen; для других форм — «Экспорт»");

// Error list lines.
inline const QString &LoadingFrom = DocumentTexts::LoadingFrom;
inline const QString &ReadError = DocumentTexts::ReadError;
inline const QString &OkLine = DocumentTexts::OkLine;
inline const QString &OkLineLatin = DocumentTexts::OkLineLatin;
inline const QString &SavingTo = DocumentTexts::SavingTo;
inline const QString &ExportingTo = DocumentTexts::ExportingTo;
inline const QString &SaveError = DocumentTexts::SaveError;

// Tree labels and status panel.
inline const QString HeaderNode = QStringLiteral("Заголовок программы");
inline const QString BlockWord = QStringLiteral("Блок ");
inline const QString SectionWord = QStringLiteral("Секция ");
inline const QString EmptySection = QStringLiteral(" ( Пустая секция! )");
inline const QString EditingSection = QStringLiteral("Редактирование секции ");

// Dialog labels.
inline const QString ChooseSectionNumber = QStringLiteral("Выберите номер секции");
inline const QString SectionName = QStringLiteral("Имя секции");
inline const QString ChooseBlockNumber = QStringLiteral("Выберите номер блока");
inline const QString ChooseBlock = QStringLiteral("Выбор блока");
inline const QString BlockRadio = QStringLiteral("Блок &");
inline const QString CompilePage = QStringLiteral("Компиляция");
inline const QString OptAutoOrder = QStringLiteral("Автоматический заказ переменных");
inline const QString OptCheckIndexes = QStringLiteral("Контроль за номерами переменных");
inline const QString OptCheckLines = QStringLiteral("Проверять номера строк");
inline const QString OptComments = QStringLiteral("Учитывать коментарии");
inline const QString AboutLine = QStringLiteral("Редактор языка Зентор ");
inline const QString AboutVersion = QStringLiteral("Версия: ");

// Start-up report.
inline const QString OsCheck = QStringLiteral("Проверка версии операционной системы:");
inline const QString OsVersion = QStringLiteral("Версия ");
inline const QString OsPlatform = QStringLiteral("Платформа ");
inline const QString KsbForbiddenSwitch = QStringLiteral("Поддержка КСБ запрещена");
inline const QString ConfigFound =
    QStringLiteral("Найден файл конфигурации. Идёт чтение параметров");
inline const QString ConfigMissing =
    QStringLiteral("Файл конфигурации не обнаружен, параметры приняты по умолчанияю");
inline const QString OpeningLog = QStringLiteral("  Открываем лог-файл ");
inline const QString NoLog = QStringLiteral("  Лог-файл не создаётся.");
inline const QString KsbAllowed = QStringLiteral("  Работа с КСБ разрешена.");
inline const QString KsbForbiddenConfig =
    QStringLiteral("  Работа с КСБ запрещена в файлах настройки.");
inline const QString ProbingPorts = QStringLiteral("Проверка доступных СОМ-портов");
inline const QString PortFound = QStringLiteral("  обнаружен порт ");
inline const QString &BadConfigValue = ConfigTexts::BadConfigValue;
inline const QString &DefaultKept = ConfigTexts::DefaultKept;
inline const QString NotChosen = QStringLiteral("Не выбран");
inline const QString &AlgBaseLoaded = DocumentTexts::AlgBaseLoaded;
inline const QString &AlgBaseMissing = DocumentTexts::AlgBaseMissing;

// Configuration file: its name and the words of its values (the sections and keys stand
// beside the values' rules in link/configuration.h).
inline const QString IniFileName = ConfigFileName;
inline const QString &AlgBaseFileName = ::AlgBaseFileName;
inline const QString HelpFileName = QStringLiteral("ZentorEditor.html");
inline const QString &Yes = ConfigTexts::Yes;
inline const QString &No = ConfigTexts::No;
inline const QString &Simulator = ConfigTexts::Simulator;

// The algorithm windows.
inline const QString AlgColNumber = QStringLiteral("Номер");
inline const QString AlgColName = QStringLiteral("Название");
inline const QString AlgColOwn = QStringLiteral("собств. память");
inline const QString AlgColPrp = QStringLiteral("память ПРП");
inline const QString AlgColKind = QStringLiteral("Тип");
inline const QString AlgColComment = QStringLiteral("Примечание");
inline const QString AlgMenuOpen = QStringLiteral("Открыть...");
inline const QString AlgMenuSaveAs = QStringLiteral("Сохранить как...");
inline const QString AlgMenuRead = QStringLiteral("Считать из контроллера");
inline const QString AlgMenuRefresh = QStringLiteral("Обновить");
inline const QString AlgMenuExit = QStringLiteral("Выход");
inline const QString AlgNumberLabel = QStringLiteral("Номер алгоритма");
inline const QString AlgLoad = QStringLiteral("Загрузить");
inline const QString AlgFileMenu = QStringLiteral("&Файл");

// The cross-reference window.
inline const QString CrossRefFilter = QStringLiteral("&Фильтр:");
inline const QString CrossRefFilterHint =
    QStringLiteral("переменная или технологическое название, или их начало");
inline const QString CrossRefOutsideOrder = QStringLiteral("Вне &заказа (%1)");
inline const QString CrossRefUnused = QStringLiteral("Не &используются в секциях (%1)");
inline const QString CrossRefNotCompiled =
    QStringLiteral("не откомпилирована: переменные не показаны");
inline const QString CrossRefHeaderErrors = QStringLiteral("ошибки в заголовке");
inline const QString CrossRefSummary =
    QStringLiteral("Использований: %1, переменных: %2, названий: %3. Не откомпилировано: %4.");
inline const QString CrossRefShown = QStringLiteral(" Показано: %1.");

// The comparison with the controller.
inline const QString CompareCaption = QStringLiteral("Сравнение с контроллером");
inline const QString CompareOnlyDiffering = QStringLiteral("&Только различия");
inline const QString CompareHint =
    QStringLiteral("Двойной щелчок по отличающейся части показывает обе стороны рядом.");
inline const QString CompareTextsCaption = QStringLiteral("%1: программа и контроллер");
inline const QStringList CompareTextColumns = {QStringLiteral("Строка"), QStringLiteral("Текст")};
inline const QString &CompareNotDone = Sarvetel::CompareNotDone;

} // namespace GuiTexts
#include "gui/guitexts_link.h"
