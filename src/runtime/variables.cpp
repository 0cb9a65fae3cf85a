#include "runtime/variables.h"

#include "compiler/compilertexts.h"
#include "core/cp1251.h"
#include "core/textutils.h"
#include "prp/macrostable.h"
#include "prp/variableclass.h"
#include "runtime/runtimetexts.h"

#include <array>

namespace {

namespace R = RuntimeText;

// The controller's class of each TVarClass, in its order.
constexpr TVariableClassCode kClassCodes[VarClassCount] = {ClassVD, ClassDV, ClassKB, ClassKS,
                                                           ClassTM, ClassVA, ClassAV};

struct TClassRow
{
    TVarClass Class;
    QString Word;
    int Size;
    int Digits; // octal digits of the index as the language writes it; 0: a section number
};

const std::array<TClassRow, VarClassCount> &Classes()
{
    static const std::array<TClassRow, VarClassCount> rows = [] {
        std::array<TClassRow, VarClassCount> r;
        for (int i = 0; i < VarClassCount; ++i) {
            const TVariableClass *c = FindVariableClass(kClassCodes[i]);
            r[i] = {static_cast<TVarClass>(i), ClassWord(c->Code), c->Count,
                    c->Digits[static_cast<int>(TIndexUse::List)]};
        }
        return r;
    }();
    return rows;
}

const TClassRow &Row(TVarClass c)
{
    return Classes()[static_cast<std::size_t>(c)];
}

QString Two(int x)
{
    return QString::number(x).rightJustified(2, u'0');
}

// "HH.MM.SS" or ".HH.MM.SS", each field a decimal number of a byte.
bool ParseTime(const QString &text, int &value)
{
    const QStringList parts = (text.startsWith(u'.') ? text.mid(1) : text).split(u'.');
    if (parts.size() != 3)
        return false;
    int f[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        f[i] = parts[i].toInt(&ok);
        if (!ok || !IsDecimalText(parts[i]) || f[i] > 255)
            return false;
    }
    value = PackTime(f[0], f[1], f[2]);
    return true;
}

} // namespace

int VarClassSize(TVarClass c)
{
    return Row(c).Size;
}

QString VarClassWord(TVarClass c)
{
    return Row(c).Word;
}

bool IsAnalogClass(TVarClass c)
{
    return c == TVarClass::VA || c == TVarClass::AV;
}

QString VarText(const TVarRef &v)
{
    const TClassRow &row = Row(v.Class);
    QString index;
    if (row.Digits == 0) {
        index = SectionNumberText(v.Index);
    } else {
        index = QString::number(v.Index, 8);
        if (index.size() < row.Digits)
            index = index.rightJustified(row.Digits, u'0');
    }
    return (v.Part == TVarPart::Bad ? R::BadPrefix : QString()) + row.Word + index;
}

QString ValueText(const TVarRef &v, int value)
{
    if (v.Part == TVarPart::Time)
        return Two(TimeHours(value)) + u'.' + Two(TimeMinutes(value)) + u'.' +
               Two(TimeSeconds(value));
    return QString::number(value);
}

bool ParseVariable(const QString &word, const TMacrosTable *names, TVarRef &v, QString &error)
{
    const QString upper = ControllerUpper(word);
    for (const TClassRow &row : Classes()) {
        if (!upper.startsWith(row.Word) || upper.size() == row.Word.size())
            continue;
        const QString digits = upper.mid(row.Word.size());
        if (!IsOctalText(digits))
            break;
        // A section number has exactly three digits; other indexes any number of them.
        const bool section = row.Digits == 0;
        if ((section && digits.size() != 3) || (!section && digits.size() > 6))
            break;
        const int index = section ? ParseSectionNumber(digits) : ParseOctal(digits);
        if (index >= row.Size) {
            error = R::OutOfRange(word, row.Word, row.Size);
            return false;
        }
        v = {row.Class, index, TVarPart::Value};
        return true;
    }
    // A technological name stands for the variable it names.
    if (names) {
        const QString value = names->Find(upper).trimmed();
        if (!value.isEmpty()) {
            QString inner;
            if (ParseVariable(value, nullptr, v, inner))
                return true;
            error = R::NameNotVariable(word, value);
            return false;
        }
    }
    error = R::NoSuchVariable(word);
    return false;
}

bool ParseValue(const QString &text, TVarRef &v, int &value, QString &error, const QString &written)
{
    const QString upper = ControllerUpper(text);
    const bool bit = v.Part == TVarPart::Bad || !IsAnalogClass(v.Class);
    if (bit && v.Part != TVarPart::Time) {
        if (upper == QStringLiteral("1") || upper == Keyword::On) {
            value = 1;
            return true;
        }
        if (upper == QStringLiteral("0") || upper == Keyword::Off) {
            value = 0;
            return true;
        }
    }
    if (v.Class == TVarClass::TM && v.Part != TVarPart::Bad && ParseTime(upper, value)) {
        v.Part = TVarPart::Time;
        return true;
    }
    if (!bit) {
        bool ok = false;
        const int n = upper.toInt(&ok);
        const QString digits =
            upper.startsWith(u'+') || upper.startsWith(u'-') ? upper.mid(1) : upper;
        if (ok && IsDecimalText(digits) && n >= -32768 && n <= 32767) {
            value = n;
            return true;
        }
    }
    const QString var = VarText(v);
    const QString name = written.isEmpty() || ControllerUpper(written) == var
                             ? var
                             : written + QStringLiteral(" (") + var + u')';
    error = R::BadValue(text, name, v.Class == TVarClass::TM && v.Part != TVarPart::Bad, bit);
    return false;
}
