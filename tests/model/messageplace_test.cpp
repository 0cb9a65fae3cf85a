// The places compiler messages point at: the section and header tags.

#include "../utf8text.h"
#include "model/messageplace.h"
#include "model/zentorprogram.h"

#include <gtest/gtest.h>

TEST(MessagePlace, SectionAndHeaderTags)
{
    TMessagePlace p;
    ASSERT_TRUE(
        ParseMessagePlace(S("[101.7:12] Синтаксическая ошибка в строке 7 в позиции 12"), p));
    EXPECT_EQ(p.Code, 33);
    EXPECT_EQ(p.Line, 7);
    EXPECT_EQ(p.Column, 12);
    ASSERT_TRUE(ParseMessagePlace(S("[Заголовок.4:9]. Должно быть восьмеричное число"), p));
    EXPECT_EQ(p.Code, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(p.Line, 4);
    // The header compiler's form without a column still names the line.
    ASSERT_TRUE(ParseMessagePlace(S("[Заголовок.2]. Неправильное имя раздела"), p));
    EXPECT_EQ(p.Line, 2);
    EXPECT_EQ(p.Column, -1);
    EXPECT_FALSE(ParseMessagePlace(S("Компиляция..."), p));
    EXPECT_FALSE(ParseMessagePlace(S("[Секция.1:1] x"), p));
    EXPECT_FALSE(ParseMessagePlace(S("[801.1:1] x"), p)); // 8 is no octal digit
    EXPECT_FALSE(ParseMessagePlace(S("[001.x:1] x"), p));
    EXPECT_FALSE(ParseMessagePlace(S("[.1:1]"), p));

    const auto places = MessagesByPlace(
        {S("Компиляция..."), S("[000.3:5] Ошибка в строке 3 в позиции 5"),
         S("Недопустимое слово ДВ8"), S("[000.3:9] Синтаксическая ошибка в строке 3 в позиции 9"),
         S("[Заголовок.1:2]. Ожидалось '-'"), S("Обнаружены ошибки")});
    ASSERT_TRUE(places.contains(0));
    EXPECT_EQ(places[0][3],
              QStringList({S("Ошибка в строке 3 в позиции 5"), S("Недопустимое слово ДВ8"),
                           S("Синтаксическая ошибка в строке 3 в позиции 9")}));
    EXPECT_EQ(places[TTreeItemInfo::HeaderCode][1], QStringList({S("Ожидалось '-'")}));
}
