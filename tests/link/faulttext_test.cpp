// The controller's fault words as text.

#include "link/sarvetelerrors.h"

#include <gtest/gtest.h>

namespace {
QString T(int c, int d)
{
    return SarvetelFaultText(std::uint16_t(c + 256 * d));
}
} // namespace

TEST(FaultTexts, SectionAndProgrammedFaults)
{
    EXPECT_EQ(SarvetelFaultText(0x0305), QStringLiteral("Сбой секции 3 в блоке 5"));
    EXPECT_EQ(T(0, 200), QStringLiteral("Сбой секции 200 в блоке 0"));
    EXPECT_EQ(T(16, 8), QStringLiteral("Программируемый отказ"));
    EXPECT_EQ(T(16, 9), QStringLiteral("Программируемая ошибка 9"));
}

TEST(FaultTexts, ModulesAndMemory)
{
    EXPECT_EQ(T(17, 1), QStringLiteral("Неисправен модуль КЕР7.Невозможен вывод информации на "
                                       "индикаторы модуля КЕР7"));
    EXPECT_EQ(T(17, 2),
              QStringLiteral("Неисправен модуль КЕР7.Нет прерывания от таймера модуля КЕР7"));
    EXPECT_EQ(T(17, 0), QStringLiteral("Неисправен модуль КЕР7."));
    EXPECT_EQ(T(18, 0), QStringLiteral("Сбой информации в системной памяти."));
    EXPECT_EQ(T(18, 2),
              QStringLiteral("Неисправность резервного модуля дублированной системной памяти"));
    EXPECT_EQ(T(18, 3), QString());
    EXPECT_EQ(T(19, 1), QStringLiteral("Нет ответа при обращении к модулю КВА6"));
    EXPECT_EQ(T(19, 7), QString());
    EXPECT_EQ(T(20, 12), QStringLiteral("Постоянный сбой или отсутствие связи при дублировании"));
    // The controller's text carries a Latin "e" in "комплектe".
    EXPECT_EQ(T(20, 0), QString::fromUtf8("Неисправность в резервном комплект") + QChar(u'e') +
                            QStringLiteral(" аппаратуры"));
    EXPECT_EQ(T(22, 7), QStringLiteral("Сбой блока ПрП 7"));
    EXPECT_EQ(T(22, 8), QStringLiteral("Полный сбой ПрП"));
    EXPECT_EQ(T(22, 16), QStringLiteral("Не отвечает память ПрП"));
    EXPECT_EQ(T(22, 12), QString());
}

TEST(FaultTexts, InputGroupsChannelsAndUnknownCodes)
{
    EXPECT_EQ(SarvetelFaultText(0x0521),
              QStringLiteral("Не отвечает модуль ВХА7 (группа входов 12 и 13)"));
    EXPECT_EQ(T(32, 3),
              QStringLiteral("Дрейф нуля в модуле ВХА7 (группа входов 06 и 07) превышает 2%"));
    EXPECT_EQ(T(34, 9), QStringLiteral("Не отвечает модуль ВХД7 (группа входов 11)"));
    EXPECT_EQ(T(35, 1), QStringLiteral("Не отвечает модуль ВЫА7 (группа входов 01)"));
    EXPECT_EQ(T(36, 2), QStringLiteral("Не отвечает модуль ВЫД7 (группа входов 02)"));
    EXPECT_EQ(T(37, 8), QStringLiteral("Не отвечает модуль ВХИ7 (группа входов 10)"));
    EXPECT_EQ(T(38, 64), QStringLiteral("Не отвечает модуль ВЫИ7 (группа входов 00)"));
    EXPECT_EQ(T(48, 0), QStringLiteral("Нет связи по КЛ6 С-сеть"));
    EXPECT_EQ(T(49, 3), QStringLiteral("В С-сети попытка в Сарветеле-абоненте изменить/запросить "
                                       "переменные вне заказанного диапазона"));
    EXPECT_EQ(SarvetelFaultText(0x002A), QStringLiteral("Неизвестная ощибка 2A:052"));
    EXPECT_EQ(T(255, 1), QStringLiteral("Неизвестная ощибка FF:377"));
    for (int c : {8, 15, 21, 23, 31, 39, 47, 50})
        EXPECT_TRUE(T(c, 0).startsWith(QStringLiteral("Неизвестная ощибка "))) << c;
}
