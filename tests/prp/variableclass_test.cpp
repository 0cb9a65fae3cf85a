// The variable-class table: class words, the second codes from 256 and the index width of
// each place a variable is written.

#include "prp/variableclass.h"

#include "qtprint.h"

#include <gtest/gtest.h>

TEST(VariableClass, TextByCodeIndexAndUse)
{
    struct TCase
    {
        int Code;
        int Index;
        TIndexUse Use;
        const char16_t *Text;
    };
    const TCase cases[] = {
        {ClassDV, 1, TIndexUse::Item, u"ДВ001"},
        {ClassDVHigh, 1, TIndexUse::Item, u"ДВ401"},
        {ClassVDHigh, 255, TIndexUse::Field, u"ВД777"},
        {ClassKB, 5, TIndexUse::Item, u"КБ5"},
        {ClassKB, 5, TIndexUse::Dump, u"КБ005"},
        {ClassKS, 0101, TIndexUse::Field, u"КС201"},
        {ClassTM, 9, TIndexUse::Field, u"ТМ11"},
        {ClassTM, 9, TIndexUse::Dump, u"ТМ011"},
        {ClassVA, 8, TIndexUse::Item, u"ВА010"},
        {ClassAV, 8, TIndexUse::Field, u"АВ010"},
        {ClassIV, 3, TIndexUse::Item, u"ИВ003"},
        {ClassIV, 3, TIndexUse::Field, u"ИВ03"},
        {ClassIV, 3, TIndexUse::Dump, u"ИВ003"},
        {ClassIV, 3, TIndexUse::List, u"ИВ03"},
        {ClassKB, 5, TIndexUse::List, u"КБ5"},
        {ClassNone, 3, TIndexUse::Item, u""},
        {11, 3, TIndexUse::Item, u""},
    };
    for (const TCase &c : cases)
        EXPECT_EQ(ClassVariableText(c.Code, c.Index, c.Use), QString::fromUtf16(c.Text))
            << c.Code << " " << c.Index;
}

TEST(VariableClass, CodeOfEveryTextIsTheCodeItCameFrom)
{
    for (int code = ClassDV; code <= ClassIV; ++code) {
        for (int x : {0, 1, 0x7F, 0xFF}) {
            const QString text = ClassVariableText(code, x, TIndexUse::Item);
            const int index = x + FindVariableClass(code)->IndexBase;
            EXPECT_EQ(VariableClassCode(text, static_cast<unsigned>(index)), code)
                << text.toStdString();
        }
    }
    EXPECT_EQ(VariableClassCode(QStringLiteral("ББ1"), 1), ClassNone);
    EXPECT_EQ(VariableClassCode(QStringLiteral("Д"), 1), ClassNone);
}

TEST(VariableClass, FirstAndSecondCodesAndTheFullIndex)
{
    struct TCase
    {
        int Code;
        TVariableClassCode First;
        int IndexByte;
        int FullIndex;
    };
    const TCase cases[] = {
        {ClassDV, ClassDV, 7, 7},     {ClassDVHigh, ClassDV, 7, 263},
        {ClassVD, ClassVD, 255, 255}, {ClassVDHigh, ClassVD, 255, 511},
        {ClassKS, ClassKS, 33, 33},   {ClassIV, ClassIV, 31, 31},
        {ClassNone, ClassNone, 5, 5}, {11, ClassNone, 5, 5},
    };
    for (const TCase &c : cases) {
        EXPECT_EQ(FirstClassCode(c.Code), c.First) << c.Code;
        EXPECT_EQ(ClassIndex(c.Code, c.IndexByte), c.FullIndex) << c.Code;
        // The full index leads back to the code it came from.
        if (c.First != ClassNone) {
            EXPECT_EQ(ClassCodeForIndex(c.First, static_cast<unsigned>(c.FullIndex)), c.Code);
        }
    }
    // A class without a second code keeps its code for any index.
    EXPECT_EQ(ClassCodeForIndex(ClassKS, 300), ClassKS);
    EXPECT_EQ(VariableClassWords(),
              QStringList({QStringLiteral("ДВ"), QStringLiteral("КБ"), QStringLiteral("КС"),
                           QStringLiteral("ТМ"), QStringLiteral("ВД"), QStringLiteral("ВА"),
                           QStringLiteral("АВ"), QStringLiteral("ИВ")}));
}
