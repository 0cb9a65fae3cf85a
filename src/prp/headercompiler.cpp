// The header compiler: the header's text (variable orders, ADC inputs, timer-generators,
// impulse outputs, technological keyboards and names) into the header fields and the
// macros table. Every problem becomes one line of the error list; a fatal one stops the
// compile with result 1 and leaves the fields set so far as they are.
#include "prp/prpheader.h"
#include "prp/variableclass.h"
#include "prp/variableorder.h"

#include "core/cp1251.h"
#include "prp/headerdeclaration.h"
#include "prp/headerentries.h"
#include "prp/headerwords.h"

#include "core/textutils.h"
#include "prp/macrostable.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// Messages of the header compiler, exactly as the user sees them.
namespace Msg {
constexpr char16_t Tag[] = u"[Заголовок.";
constexpr char16_t UnknownPart[] = u"Неправильное имя раздела";

constexpr char16_t LowerBoundZero[] = u"Должно быть восьмеричное число 0";
constexpr char16_t DashExpected[] = u"Ожидалось '-'";
constexpr char16_t UpperBound[] = u"Должно быть восьмеричное число";
// "Заказ ВД должен быть от 7 до 777.": the class and its octal bounds.
constexpr char16_t OrderRangeBegin[] = u"Заказ ";
constexpr char16_t OrderRangeFrom[] = u" должен быть от ";
constexpr char16_t OrderRangeTo[] = u" до ";
constexpr char16_t OrderRangeEnd[] = u".";
constexpr char16_t OrderClassBegin[] = u"Неправильная переменная для заказа '";
constexpr char16_t OrderClassEnd[] = u"'.";

constexpr char16_t Adc[] = u"Ошибка при заказе входов АЦП";
constexpr char16_t AdcPrefix[] = u"Ошибка при заказе входов АЦП. ";
constexpr char16_t AdcNumber[] = u"Строка должна начинаться с номера.";
constexpr char16_t AdcFirst[] = u"Неправильный минимальный номер.";
constexpr char16_t AdcFirstIndex[] = u"Неправлильный начальный индекс.";
constexpr char16_t AdcDash[] = u"Ожидалось '-'.";
constexpr char16_t AdcLast[] = u"Должно быть восьмеричное число.";
constexpr char16_t AdcModule[] = u"Неправильный номер модуля.";

constexpr char16_t TimeGenNumber[] = u"Должен быть указат номер таймер-генератора.";
constexpr char16_t TimeGenRange[] = u"Неправильный номер таймер-генератора.";
constexpr char16_t TimeGenInterval[] = u"Неправильный интервал таймер-генератора.";

constexpr char16_t ImpOutput[] = u"Должен быть указан импульсный выход.";
constexpr char16_t ImpNumber[] = u"Должен быть указан номер импульсного выхода.";
constexpr char16_t ImpRange[] = u"Недопустимый номер импульсного входа.";
constexpr char16_t ImpSource[] = u"Ошибка при укзании источника импульсного выхода.";
constexpr char16_t ImpTick[] = u"Ошибка при укзании интервала времени.";

constexpr char16_t KeyboardRead[] = u"Ошибка при чтении номера технологической клавиатуры";
constexpr char16_t KeyboardRange[] = u"Неправильный номер технологической клавиатуры";
constexpr char16_t KeyNumber[] = u"Должен быть указан номер технологической клавиатуры";
constexpr char16_t KeyRange[] = u"Некорректный номер технологической клавиши";
constexpr char16_t KeyVarName[] = u"Некорректное имя переменной";
constexpr char16_t KeyVarNumber[] = u"Некорректный номер переменной";
// "Некорректный индекс КБ": followed by the class word.
constexpr char16_t KeyIndex[] = u"Некорректный индекс ";
} // namespace Msg

namespace Word = HeadingWord;

enum class TPart { None, Variables, Adc, TimeGen, Impulse, Keyboard, Names };

constexpr int kAdcModules = 8;
constexpr int kAdcInputsPerModule = 16;
constexpr int kTimeGenerators = 8;
constexpr int kImpulseOutputs = 32;
constexpr int kKeysPerKeyboard = 16;
constexpr int kKeyboards = 4;
constexpr int kNameLength = 8;

// Numbers of the header text are checked by their digits first; their values are then
// taken without overflow: anything this large is out of every range of the header.
constexpr qint64 kNumberCap = qint64(1) << 40;

qint64 NumberValue(const QString &digits, int base)
{
    qint64 v = 0;
    for (QChar ch : digits) {
        v = v * base + (ch.unicode() - u'0');
        if (v > kNumberCap)
            return kNumberCap;
    }
    return v;
}

qint64 OctalValue(const QString &digits)
{
    return NumberValue(digits, 8);
}

qint64 DecimalValue(const QString &digits)
{
    return NumberValue(digits, 10);
}

// One line read word by word; the position after the last word read is the P of the
// messages.
struct TWords
{
    explicit TWords(const QString &text) : Line(text) {}
    QString Next()
    {
        Start = Pos < 1 ? 1 : Pos;
        while (Start <= Line.size() && Line[Start - 1] == u' ')
            ++Start;
        return NextWord(Line, Pos);
    }
    QString Rest() const { return Pos <= Line.size() ? Line.mid(Pos - 1) : QString(); }

    const QString Line;
    int Pos = 1;
    int Start = 1; // where the last word read begins
};

// "Заказ ВД должен быть от 7 до 777.": the bounds of an order's highest index.
QString OrderRangeMessage(const TVariableOrder &o)
{
    return QString::fromUtf16(Msg::OrderRangeBegin) + OrderWord(o) +
           QString::fromUtf16(Msg::OrderRangeFrom) + QString::number(OrderLowestLast(o), 8) +
           QString::fromUtf16(Msg::OrderRangeTo) + QString::number(OrderHighestLast(o), 8) +
           QString::fromUtf16(Msg::OrderRangeEnd);
}

// A technological key takes a variable of any class by its first code; ДВ and ВД (the
// classes with a second code) take any index, their second code from 256, and every other
// class an index below its count ("Некорректный индекс КБ" beyond it). A КБ beyond its count
// leaves the key without a variable.
const TVariableClass *KeyClass(const QString &word)
{
    const TVariableClassCode code = ClassOfWord(word);
    return word.size() == 2 ? FindVariableClass(code) : nullptr;
}

bool KeyIndexChecked(const TVariableClass &c)
{
    const TVariableClass *high = FindVariableClass(c.Code + 1);
    return !(high && high->IndexBase != 0);
}

class THeaderCompiler
{
public:
    THeaderCompiler(TPRPHeader &header, QStringList &errors, TMacrosTable &macros,
                    THeaderDeclarations *declarations)
        : Header(header), Errors(errors), Macros(macros), Declarations(declarations)
    {
    }

    int Run();

private:
    bool ProcessPart();
    void RecogniseHeading(const QString &line);

    bool VariableLine(const QString &line, int l);
    bool AdcLine(const QString &line, int l);
    bool TimeGenLine(const QString &line, int l);
    bool ImpulseLine(const QString &line, int l);
    void Keyboard();
    void KeyLine(const QString &line, int l, int keyboard);
    void Names();

    // "[Заголовок." L ":" P "]. " text
    void Report(int l, int p, const QString &text)
    {
        Errors.append(QString::fromUtf16(Msg::Tag) + QString::number(l) + u':' +
                      QString::number(p) + QStringLiteral("]. ") + text);
    }
    // "[Заголовок." L "]. " text
    void ReportLine(int l, const QString &text)
    {
        Errors.append(QString::fromUtf16(Msg::Tag) + QString::number(l) + QStringLiteral("]. ") +
                      text);
    }

    // What a line accepted orders or names, standing at column of the line being processed;
    // it takes the place of what an earlier line declared for the same class, module,
    // output or key.
    void Declare(THeaderDeclKind kind, int column, const QString &word, const QString &value,
                 int number, int first = 0, int last = 0);
    void Forget(const std::function<bool(const THeaderDeclaration &)> &which);

    TPRPHeader &Header;
    QStringList &Errors;
    TMacrosTable &Macros;
    THeaderDeclarations *Declarations;

    TPart Part = TPart::None;
    int HeadingLine = 0;
    QString KeyboardWord; // third word of a keyboard heading
    QStringList Collected;
    QList<int> CollectedLines; // where each collected line stands in the text
    int SourceLine = 0;        // the text line of the collected line being processed
};

void THeaderCompiler::Declare(THeaderDeclKind kind, int column, const QString &word,
                              const QString &value, int number, int first, int last)
{
    if (!Declarations)
        return;
    // Names() forgets every name at once before it declares its part's names; looking for
    // an earlier one per name would cost the whole list each time.
    if (kind != THeaderDeclKind::Name)
        Forget([&](const THeaderDeclaration &d) {
            switch (kind) {
            case THeaderDeclKind::Order:
                return d.Kind == kind && d.Word == word;
            case THeaderDeclKind::AdcInputs:
            case THeaderDeclKind::Key:
                return d.Kind == kind && d.Number == number;
            case THeaderDeclKind::ImpulseOutput:
                return (d.Kind == kind || d.Kind == THeaderDeclKind::ImpulseSource) &&
                       d.Number == number;
            default:
                return d.Kind == kind && d.Line == SourceLine && d.Column == column;
            }
        });
    Declarations->push_back({kind, SourceLine, column, word, value, number, first, last});
}

void THeaderCompiler::Forget(const std::function<bool(const THeaderDeclaration &)> &which)
{
    if (Declarations)
        std::erase_if(*Declarations, which);
}

int THeaderCompiler::Run()
{
    const qsizetype n = Header.Text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        // One extra "/" after the last line processes the last part.
        const QString line = i < n ? ControllerUpper(Header.Text[i]) : QStringLiteral("/");
        if (line.isEmpty())
            continue;
        if (line[0] != u'/') {
            Collected.append(StripComment(line));
            CollectedLines.append(static_cast<int>(i));
            continue;
        }
        if (!ProcessPart())
            return 1;
        if (line == u"/")
            continue; // the same part goes on with the same lines
        Collected.clear();
        CollectedLines.clear();
        HeadingLine = static_cast<int>(i);
        RecogniseHeading(line);
        if (Part == TPart::None) {
            ReportLine(HeadingLine, QString::fromUtf16(Msg::UnknownPart));
            return 1;
        }
    }
    Header.Valid = 1;
    return 0;
}

void THeaderCompiler::RecogniseHeading(const QString &line)
{
    int pos = 2;
    const QString w1 = NextWord(line, pos);
    const QString w2 = NextWord(line, pos);
    const QString w3 = NextWord(line, pos);
    Part = TPart::None;
    if (w1 == Word::Order) {
        if (w2 == Word::Variables && w3.isEmpty())
            Part = TPart::Variables;
        else if (w2 == Word::Inputs && w3 == Word::Adc)
            Part = TPart::Adc;
        else if (w2 == Word::TimeGen && w3.isEmpty())
            Part = TPart::TimeGen;
        else if ((w2 == ClassWord(ClassIV) && w3.isEmpty()) ||
                 (w2 == Word::Impulse && w3 == Word::Outputs))
            Part = TPart::Impulse;
    } else if (w1 == Word::TechSingular && w2 == Word::Keyboard) {
        Part = TPart::Keyboard;
        KeyboardWord = w3;
    } else if (w1 == Word::TechPlural && w2 == Word::Names && w3.isEmpty()) {
        Part = TPart::Names;
    }
}

// Processes the lines collected under the current part; false on a fatal error.
bool THeaderCompiler::ProcessPart()
{
    switch (Part) {
    case TPart::None:
        return true; // lines before the first heading are dropped
    case TPart::Keyboard:
        Keyboard();
        return true;
    case TPart::Names:
        Names();
        return true;
    default:
        break;
    }
    // The part states every timer-generator: one without a line is not in use.
    if (Part == TPart::TimeGen)
        std::memset(Header.TimeGen, 0, sizeof Header.TimeGen);
    for (qsizetype e = 0; e < Collected.size(); ++e) {
        const QString &line = Collected[e];
        const int l = CollectedLines[e];
        SourceLine = l;
        bool ok = true;
        switch (Part) {
        case TPart::Variables:
            ok = VariableLine(line, l);
            break;
        case TPart::Adc:
            ok = line.isEmpty() || AdcLine(line, l);
            break;
        case TPart::TimeGen:
            ok = TimeGenLine(line, l);
            break;
        case TPart::Impulse:
            ok = line.isEmpty() || ImpulseLine(line, l);
            break;
        default:
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

// «ВД 000 - 777» or «ВД 000-777».
bool THeaderCompiler::VariableLine(const QString &line, int l)
{
    TWords w(line);
    const QString cls = w.Next();
    const int clsColumn = w.Start;
    const QString second = w.Next();
    const qsizetype dash = second.indexOf(u'-');
    const QString lower = dash >= 0 ? second.left(dash) : second;
    if (!IsOctalText(lower) || OctalValue(lower) != 0) {
        Report(l, w.Pos, QString::fromUtf16(Msg::LowerBoundZero));
        return false;
    }
    QString upper;
    if (dash >= 0) {
        upper = second.mid(dash + 1);
    } else {
        if (w.Next() != u"-")
            Report(l, w.Pos, QString::fromUtf16(Msg::DashExpected));
        upper = w.Next();
    }
    if (!IsOctalText(upper)) {
        Report(l, w.Pos, QString::fromUtf16(Msg::UpperBound));
        return false;
    }
    const qint64 value = OctalValue(upper);
    for (const TVariableOrder &o : VariableOrders()) {
        if (cls != OrderWord(o))
            continue;
        if (value < OrderLowestLast(o) || value > OrderHighestLast(o)) {
            Report(l, w.Pos, OrderRangeMessage(o));
            return false;
        }
        Header.*o.Field = OrderByteOfLast(o, static_cast<int>(value));
        const int last = OrderLast(o, Header.*o.Field);
        Declare(THeaderDeclKind::Order, clsColumn, cls, upper, 0, 0, last);
        return true;
    }
    Report(l, w.Pos,
           QString::fromUtf16(Msg::OrderClassBegin) + cls + QString::fromUtf16(Msg::OrderClassEnd));
    return true;
}

// «1 020 - 037»: module (decimal), first and last input index (octal).
bool THeaderCompiler::AdcLine(const QString &line, int l)
{
    const QString prefix = QString::fromUtf16(Msg::AdcPrefix);
    TWords w(line);
    const QString number = w.Next();
    const int numberColumn = w.Start;
    if (!IsDecimalText(number)) {
        Report(l, w.Pos, prefix + QString::fromUtf16(Msg::AdcNumber));
        return true;
    }
    const qint64 module = DecimalValue(number);
    const QString firstText = w.Next();
    if (!IsOctalText(firstText)) {
        Report(l, w.Pos, prefix + QString::fromUtf16(Msg::AdcFirst));
        return false;
    }
    const qint64 first = OctalValue(firstText);
    if (first != kAdcInputsPerModule * module) {
        Report(l, w.Pos, prefix + QString::fromUtf16(Msg::AdcFirstIndex));
        return false;
    }
    if (w.Next() != u"-") {
        Report(l, w.Pos, prefix + QString::fromUtf16(Msg::AdcDash));
        return false;
    }
    if (!IsOctalText(w.Next())) {
        Report(l, w.Pos, prefix + QString::fromUtf16(Msg::AdcLast));
        return false;
    }
    // The last index is all of the line after its "-": a further word makes it no number,
    // and so no valid range.
    const QString lastText = TrimSpaces(line.mid(line.indexOf(u'-') + 1));
    const qint64 d = IsOctalText(lastText) ? OctalValue(lastText) - first : -1;
    if (d < 0 || d >= kAdcInputsPerModule) {
        ReportLine(l, QString::fromUtf16(Msg::Adc));
        return false;
    }
    if (module >= kAdcModules) {
        Report(l, w.Pos, prefix + QString::fromUtf16(Msg::AdcModule));
        return true;
    }
    Header.AdcOrder[module] = static_cast<std::uint8_t>(d);
    Declare(THeaderDeclKind::AdcInputs, numberColumn, number, QString(), static_cast<int>(module),
            static_cast<int>(first), static_cast<int>(first + d));
    return true;
}

// «3 100 ВА012»: timer-generator number (octal), switch-on and switch-off interval. Words
// after the second interval are ignored.
bool THeaderCompiler::TimeGenLine(const QString &line, int l)
{
    TWords w(line);
    const QString number = w.Next();
    if (!IsOctalText(number)) {
        Report(l, w.Pos, QString::fromUtf16(Msg::TimeGenNumber));
        return false;
    }
    if (OctalValue(number) >= kTimeGenerators) {
        Report(l, w.Pos, QString::fromUtf16(Msg::TimeGenRange));
        return false;
    }
    std::uint8_t interval[4];
    for (int i = 0; i < 2; ++i) {
        // A missing word stands just past the end of the line.
        if (!HeaderIntervalFromText(w.Next(), interval[2 * i], interval[2 * i + 1])) {
            Report(l, w.Start, QString::fromUtf16(Msg::TimeGenInterval));
            return false;
        }
    }
    std::memcpy(Header.TimeGen[OctalValue(number)], interval, sizeof interval);
    return true;
}

// «ИВ05 = -АВ012 0,2» or «ИВ00 +500 0,1».
bool THeaderCompiler::ImpulseLine(const QString &line, int l)
{
    TWords w(line);
    const QString output = w.Next();
    const int outputColumn = w.Start;
    if (!output.startsWith(ClassWord(ClassIV))) {
        Report(l, w.Pos, QString::fromUtf16(Msg::ImpOutput));
        return false;
    }
    const QString number = output.mid(2);
    if (!IsOctalText(number)) {
        Report(l, w.Pos, QString::fromUtf16(Msg::ImpNumber));
        return false;
    }
    const qint64 k = OctalValue(number);
    if (k >= kImpulseOutputs) {
        Report(l, w.Pos, QString::fromUtf16(Msg::ImpRange));
        return false;
    }
    QString source = w.Next();
    if (source == u"=")
        source = w.Next();
    const int sourceColumn = w.Start;
    if (Header.SetImpulseSource(static_cast<int>(k), source) != 0) {
        Report(l, w.Pos, QString::fromUtf16(Msg::ImpSource));
        return false;
    }
    const QString tick = w.Next();
    int code = -1;
    if (tick.size() >= 3 && tick.startsWith(u"0,")) {
        switch (tick[2].unicode()) {
        case u'1':
            code = 0;
            break;
        case u'2':
            code = 1;
            break;
        case u'4':
            code = 2;
            break;
        case u'8':
            code = 3;
            break;
        default:
            break;
        }
    }
    if (code < 0) {
        Report(l, w.Pos, QString::fromUtf16(Msg::ImpTick));
        return false;
    }
    Header.SetImpulseTickCode(static_cast<int>(k), code);
    const int n = static_cast<int>(k);
    Declare(THeaderDeclKind::ImpulseOutput, outputColumn, output, source + u' ' + tick, n);
    // A variable source: the sign (when written) stands before it.
    const bool signWritten = source.startsWith(u'+') || source.startsWith(u'-');
    const QString variable = signWritten ? source.mid(1) : source;
    if (variable.startsWith(ClassWord(ClassVA)) || variable.startsWith(ClassWord(ClassAV)))
        Declare(THeaderDeclKind::ImpulseSource, sourceColumn + (signWritten ? 1 : 0), variable,
                source, n);
    return true;
}

void THeaderCompiler::Keyboard()
{
    if (!IsDecimalText(KeyboardWord)) {
        ReportLine(HeadingLine, QString::fromUtf16(Msg::KeyboardRead));
        return;
    }
    const qint64 keyboard = DecimalValue(KeyboardWord);
    if (keyboard < 1 || keyboard > kKeyboards) {
        ReportLine(HeadingLine, QString::fromUtf16(Msg::KeyboardRange));
        return;
    }
    const int n = static_cast<int>(keyboard);
    for (int q = kKeysPerKeyboard * (n - 1); q < kKeysPerKeyboard * n; ++q)
        Header.TechKeys[q].Class = 0;
    Forget([n](const THeaderDeclaration &d) {
        return d.Kind == THeaderDeclKind::Key && d.Number / kKeysPerKeyboard == n - 1;
    });
    for (qsizetype e = 0; e < Collected.size(); ++e) {
        SourceLine = CollectedLines[e];
        KeyLine(Collected[e], SourceLine, n);
    }
}

// «3 ДВ400 НАСОС»: key number (decimal), variable, name.
void THeaderCompiler::KeyLine(const QString &line, int l, int keyboard)
{
    TWords w(line);
    const QString number = w.Next();
    if (!IsDecimalText(number)) {
        ReportLine(l, QString::fromUtf16(Msg::KeyNumber));
        return;
    }
    const qint64 key = DecimalValue(number);
    if (key < 1 || key > kKeysPerKeyboard) {
        ReportLine(l, QString::fromUtf16(Msg::KeyRange));
        return;
    }
    const QString variable = w.Next();
    const int variableColumn = w.Start;
    if (variable.size() < 3) {
        ReportLine(l, QString::fromUtf16(Msg::KeyVarName));
        return;
    }
    const QString digits = variable.mid(2);
    if (!IsOctalText(digits)) {
        ReportLine(l, QString::fromUtf16(Msg::KeyVarNumber));
        return;
    }
    const int q = kKeysPerKeyboard * (keyboard - 1) + static_cast<int>(key) - 1;
    TTechKey &k = Header.TechKeys[q];
    k.Name = TrimSpaces(w.Rest()).left(kNameLength).leftJustified(kNameLength, u' ');

    const TVariableClass *c = KeyClass(variable.left(2));
    if (!c)
        return; // any other class word: the key stays without a variable
    qint64 x = 0;
    int lowByte = 0;
    if (c->Code == ClassKS) {
        // A section number: group digit and two octal digits, exactly three of them.
        if (digits.size() < 3) {
            ReportLine(l, QString::fromUtf16(Msg::KeyIndex) + ClassWord(c->Code));
            return;
        }
        x = ParseSectionNumber(digits);
        lowByte = static_cast<int>(x & 0xFF);
    } else {
        x = OctalValue(digits);
        lowByte = ParseOctal(digits) & 0xFF; // exact low byte even of a huge index
    }
    std::uint8_t code = c->Code;
    if (!KeyIndexChecked(*c)) {
        code = ClassCodeForIndex(c->Code, static_cast<unsigned>(std::min<qint64>(x, c->Count)));
    } else if (x >= c->Count) {
        ReportLine(l, QString::fromUtf16(Msg::KeyIndex) + ClassWord(c->Code));
        if (c->Code == ClassKB)
            return;
    }
    k.Class = code;
    k.Index = static_cast<std::uint8_t>(lowByte);
    Declare(THeaderDeclKind::Key, variableColumn, variable, TrimSpaces(k.Name), q);
}

void THeaderCompiler::Names()
{
    Macros.Clear();
    Forget([](const THeaderDeclaration &d) { return d.Kind == THeaderDeclKind::Name; });
    for (qsizetype e = 0; e < Collected.size(); ++e) {
        TWords w(Collected[e]);
        const QString name = w.Next();
        const int nameColumn = w.Start;
        const QString value = w.Next();
        if (name.isEmpty() || value.isEmpty())
            continue;
        Macros.Add(name, value);
        SourceLine = CollectedLines[e];
        Declare(THeaderDeclKind::Name, nameColumn, name, value, 0);
    }
}

} // namespace

int TPRPHeader::Compile(QStringList &errors, TMacrosTable &macros,
                        THeaderDeclarations *declarations)
{
    // The names belong to this header alone: a header without a names part must not
    // leave the sections the names of a program compiled before.
    macros.Clear();
    if (declarations)
        declarations->clear();
    THeaderCompiler compiler(*this, errors, macros, declarations);
    const int result = compiler.Run();
    // A text that stopped the compiler is compiled again next time, and stops it again.
    CompiledText = result == 0 ? Text : QStringList();
    CompileStopped = result != 0;
    TextCompiled = true;
    return result;
}
