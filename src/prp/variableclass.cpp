#include "prp/variableclass.h"

#include "core/textutils.h"

#include <iterator>

namespace {

constexpr int kItem = static_cast<int>(TIndexUse::Item);
constexpr int kField = static_cast<int>(TIndexUse::Field);
constexpr int kDump = static_cast<int>(TIndexUse::Dump);
constexpr int kList = static_cast<int>(TIndexUse::List);
constexpr int kParam = static_cast<int>(TIndexUse::Param);

// Listed in code order: a second code stands right after its first.
constexpr TVariableClass kClasses[] = {
    {ClassDV, u"ДВ", 0, 512, {3, 3, 3, 3, 3}},
    {ClassDVHigh, u"ДВ", 256, 512, {3, 3, 3, 3, 3}},
    {ClassKB, u"КБ", 0, 8, {1, 1, 3, 1, 2}},
    {ClassKS, u"КС", 0, 256, {0, 0, 0, 0, 0}},
    {ClassTM, u"ТМ", 0, 64, {2, 2, 3, 2, 2}},
    {ClassVD, u"ВД", 0, 512, {3, 3, 3, 3, 3}},
    {ClassVDHigh, u"ВД", 256, 512, {3, 3, 3, 3, 3}},
    {ClassVA, u"ВА", 0, 128, {3, 3, 3, 3, 3}},
    {ClassAV, u"АВ", 0, 128, {3, 3, 3, 3, 3}},
    {ClassIV, u"ИВ", 0, 32, {3, 2, 3, 2, 3}},
};
static_assert(kItem == 0 && kField == 1 && kDump == 2 && kList == 3 && kParam == 4);

constexpr bool ListedInCodeOrder()
{
    int code = 1;
    for (const TVariableClass &c : kClasses)
        if (c.Code != code++)
            return false;
    return true;
}
static_assert(ListedInCodeOrder());

bool BeginsWith(QStringView text, const char16_t *word)
{
    return text.size() >= 2 && text[0] == QChar(word[0]) && text[1] == QChar(word[1]);
}

} // namespace

const TVariableClass *FindVariableClass(int code)
{
    if (code < 1 || code > static_cast<int>(std::size(kClasses)))
        return nullptr;
    return &kClasses[code - 1];
}

QString ClassWord(int code)
{
    const TVariableClass *c = FindVariableClass(code);
    return c ? QString::fromUtf16(c->Word) : QString();
}

TVariableClassCode ClassOfWord(QStringView text)
{
    for (const TVariableClass &c : kClasses)
        if (BeginsWith(text, c.Word))
            return c.Code;
    return ClassNone;
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

TVariableClassCode VariableClassCode(QStringView word, unsigned index)
{
    const TVariableClassCode first = ClassOfWord(word);
    return first == ClassNone ? ClassNone : ClassCodeForIndex(first, index);
}

TVariableClassCode FirstClassCode(int code)
{
    const TVariableClass *c = FindVariableClass(code);
    if (!c)
        return ClassNone;
    return c->IndexBase == 0 ? c->Code : static_cast<TVariableClassCode>(c->Code - 1);
}

TVariableClassCode ClassCodeForIndex(TVariableClassCode first, unsigned index)
{
    const TVariableClass *high = FindVariableClass(first + 1);
    if (high && high->IndexBase != 0 && index >= static_cast<unsigned>(high->IndexBase))
        return high->Code;
    return first;
}

int ClassIndex(int code, int indexByte)
{
    const TVariableClass *c = FindVariableClass(code);
    return indexByte + (c ? c->IndexBase : 0);
}

std::uint8_t ClassIndexByte(TVariableClassCode code, unsigned index)
{
    const TVariableClass *c = FindVariableClass(code);
    return static_cast<std::uint8_t>((index - static_cast<unsigned>(c ? c->IndexBase : 0)) & 0xFFu);
}

QStringList VariableClassWords()
{
    QStringList words;
    for (const TVariableClass &c : kClasses)
        if (c.IndexBase == 0)
            words.append(QString::fromUtf16(c.Word));
    return words;
}
