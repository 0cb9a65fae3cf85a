#include "prp/variableclass.h"

#include "core/textutils.h"

namespace {

constexpr int kItem = static_cast<int>(TIndexUse::Item);
constexpr int kField = static_cast<int>(TIndexUse::Field);
constexpr int kDump = static_cast<int>(TIndexUse::Dump);
constexpr int kList = static_cast<int>(TIndexUse::List);

const TVariableClass kClasses[] = {
    {ClassDV, u"ДВ", 0, {3, 3, 3, 3}},       {ClassDVHigh, u"ДВ", 256, {3, 3, 3, 3}},
    {ClassKB, u"КБ", 0, {1, 1, 3, 1}},       {ClassKS, u"КС", 0, {0, 0, 0, 0}},
    {ClassTM, u"ТМ", 0, {2, 2, 3, 2}},       {ClassVD, u"ВД", 0, {3, 3, 3, 3}},
    {ClassVDHigh, u"ВД", 256, {3, 3, 3, 3}}, {ClassVA, u"ВА", 0, {3, 3, 3, 3}},
    {ClassAV, u"АВ", 0, {3, 3, 3, 3}},       {ClassIV, u"ИВ", 0, {3, 2, 3, 2}},
};
static_assert(kItem == 0 && kField == 1 && kDump == 2 && kList == 3);

} // namespace

const TVariableClass *FindVariableClass(int code)
{
    for (const TVariableClass &c : kClasses)
        if (c.Code == code)
            return &c;
    return nullptr;
}

QString ClassVariableText(int code, int indexByte, TIndexUse use)
{
    const TVariableClass *c = FindVariableClass(code);
    if (!c)
        return QString();
    const int index = ClassIndex(code, indexByte);
    const int digits = c->Digits[static_cast<int>(use)];
    return QString::fromUtf16(c->Word) +
           (digits == 0 ? SectionNumberText(index) : OctalText(index, digits));
}

TVariableClassCode VariableClassCode(const QString &word, unsigned index)
{
    for (const TVariableClass &c : kClasses) {
        if (!word.startsWith(QString::fromUtf16(c.Word)))
            continue;
        return ClassCodeForIndex(c.Code, index);
    }
    return ClassNone;
}

TVariableClassCode FirstClassCode(int code)
{
    const TVariableClass *c = FindVariableClass(code);
    if (!c)
        return ClassNone;
    // The table lists a second code right after its first.
    return c->IndexBase == 0 ? c->Code : static_cast<TVariableClassCode>(c->Code - 1);
}

TVariableClassCode ClassCodeForIndex(TVariableClassCode first, unsigned index)
{
    const TVariableClass *high = FindVariableClass(first + 1);
    if (index >= 256 && high && high->IndexBase == 256)
        return high->Code;
    return first;
}

int ClassIndex(int code, int indexByte)
{
    const TVariableClass *c = FindVariableClass(code);
    return indexByte + (c ? c->IndexBase : 0);
}

QStringList VariableClassWords()
{
    QStringList words;
    for (const TVariableClass &c : kClasses)
        if (!words.contains(QString::fromUtf16(c.Word)))
            words.append(QString::fromUtf16(c.Word));
    return words;
}
