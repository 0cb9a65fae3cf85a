#pragma once
// Every text the compiler writes into the message list or reads as a keyword, in one place.
// They are the system's own words, byte for byte: the message list of the main window, the
// command-line tool and the tests all compare them literally.

#include <QString>

namespace CompilerText {

// Lexer: two-line errors.
inline const QString LexErrorAt = QStringLiteral("] Ошибка в строке ");
inline const QString InPosition = QStringLiteral(" в позиции ");
inline const QString BadCharacter = QStringLiteral("Недопустимый символ ");
inline const QString BadWord = QStringLiteral("Недопустимое слово ");
inline const QString PointAtLineEnd =
    QStringLiteral(" После точки должно быть число либо точка лишняя");
inline const QString PointWithoutDigit =
    QStringLiteral("После точки должно быть число либо точка лишняя");
inline const QString CommaWithoutDigit =
    QStringLiteral("После запятой должно быть число либо запятая лишняя");
inline const QString BadTimeConstant = QStringLiteral("Ошибка при описании константы времени");

// LL(1) walk.
inline const QString SyntaxErrorInLine = QStringLiteral("Синтаксическая ошибка в строке ");

// Code generator (each follows a position tag).
inline const QString SectionTooLong = QStringLiteral("]. Превышен размер секции, ");
inline const QString Bytes = QStringLiteral(" байт");
inline const QString TooManyFragments = QStringLiteral("]. Слишком много фрагментов, ");
inline const QString Fragments = QStringLiteral(" фрагментов");
inline const QString NoFragmentsBegin = QStringLiteral("Предупреждение. Секция ");
inline const QString NoFragmentsEnd = QStringLiteral(" не содержит фрагментов.");
inline const QString TextTooLong = QStringLiteral("] Длина ТС превышает 64 символа");
inline const QString TextFieldError = QStringLiteral("] Ошибка в тексте ТС");
inline const QString WrongTimeInCondition = QStringLiteral("]. Неправильная константа времени");
inline const QString WrongTimeInSetting = QStringLiteral(". Неправильная константа времени");
inline const QString NoSuchAlgorithm =
    QStringLiteral(". Данный алгоритм отсутсвует в базе данных.");
inline const QString AlgMemoryExhausted = QStringLiteral(". Превышен объём памяти алгоритмов");
inline const QString MustBeOnOff = QStringLiteral(". Должно быть ВКЛ или ОТКЛ.");
inline const QString BadOutputParam =
    QStringLiteral("] Недопустимый параметр в качестве выхода в строке ");
inline const QString BadParamNoPoint = QStringLiteral("] Недопустимый параметр в строке ");
inline const QString BadParamPoint = QStringLiteral("]. Недопустимый параметр в строке ");
inline const QString SignRequired = QStringLiteral("]. Должен указыватся знак");
inline const QString BadParamInLine = QStringLiteral("Недопустимый параметр в строке ");
inline const QString BadConstant = QStringLiteral("]. Недопустимая константа");
inline const QString TooManyTerms = QStringLiteral("]. Слишком много слагаемых в сравнении");
inline const QString UnknownParamKindBegin = QStringLiteral("]. Параметр ");
inline const QString UnknownParamKindAlgorithm = QStringLiteral(" алгоритма ");
inline const QString UnknownParamKindType = QStringLiteral(" имеет в базе неизвестный тип ");

// Compile driver.
inline const QString ProgressCaption = QStringLiteral("Компиляция ПрП");
inline const QString ProgressHeader = QStringLiteral("Компиляция заголовка ПрП");
inline const QString ProgressSection = QStringLiteral("Компиляция секции ");
inline const QString SummaryTitle = QStringLiteral("Сведения о переменных");
inline const QString SummaryVD = QStringLiteral("  максимальный индекс ВД: ");
inline const QString SummaryDV = QStringLiteral("  максимальный индекс ДВ: ");
inline const QString SummaryVA = QStringLiteral("  максимальный индекс ВА: ");
inline const QString SummaryAV = QStringLiteral("  максимальный индекс АВ: ");
inline const QString SummaryTM = QStringLiteral("  максимальный индекс ТМ: ");
inline const QString SummaryMemoryBegin = QStringLiteral("Использовано ");
inline const QString SummaryMemoryEnd = QStringLiteral(" байт памяти алгоритмов");
inline const QString ImageTooLargeToRead = QStringLiteral(
    "Предупреждение. Размер ПрП больше 16384 байт: из контроллера его нельзя будет считать "
    "целиком");

// The compile command's own opening and closing lines (main window and command-line tool).
inline const QString CompileStarted = QStringLiteral("Компиляция...");
inline const QString CompileSucceededBegin =
    QStringLiteral("Компиляция завершена успешно. Размер ПрП ");
inline const QString CompileSucceededEnd = QStringLiteral(" байт.");
inline const QString CompileFailed = QStringLiteral("Обнаружены ошибки");

} // namespace CompilerText

// Keywords of the statement language (compared on upper-cased text); the variable classes
// are in prp/variableclass.h.
namespace Keyword {

inline const QString If = QStringLiteral("ЕСЛИ");
inline const QString IfShort = QStringLiteral("Е");
inline const QString Then = QStringLiteral("ТОГДА");
inline const QString ThenShort = QStringLiteral("Т");
inline const QString Else = QStringLiteral("ИНАЧЕ");
inline const QString ElseShort = QStringLiteral("И");
inline const QString Or = QStringLiteral("ИЛИ");
inline const QString On = QStringLiteral("ВКЛ");
inline const QString OnShort = QStringLiteral("В");
inline const QString Off = QStringLiteral("ОТКЛ");
inline const QString OffShort = QStringLiteral("О");
inline const QString Bit = QStringLiteral("Б");
inline const QString Skip = QStringLiteral("ВСК");
inline const QString Text = QStringLiteral("ТС"); // then the flags: "ТС1.0.1"
inline const QString TextOn = Text + u'1';
inline const QString TextOff = Text + u'0';
inline const QString Algorithm = QStringLiteral("АЛГ");

} // namespace Keyword
