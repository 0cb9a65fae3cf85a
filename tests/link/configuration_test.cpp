// The configuration file's values: the port, numbers that cannot be read, the log file.

#include "../utf8text.h"
#include "link/configuration.h"

#include <gtest/gtest.h>

TEST(Configuration, PortValues)
{
    EXPECT_EQ(ParsePortValue(S("com3")), S("COM3"));
    EXPECT_EQ(ParsePortValue(S("COM3")), S("COM3"));
    EXPECT_EQ(ParsePortValue(S("Com12")), S("COM12")); // two digits survive a restart
    EXPECT_EQ(ParsePortValue(S("com31")), S("COM31"));
    EXPECT_EQ(ParsePortValue(S("com32")), QString());
    EXPECT_EQ(ParsePortValue(S("com0")), QString());
    EXPECT_EQ(ParsePortValue(S("com123")), QString());
    EXPECT_EQ(ParsePortValue(S("нет")), QString());
    EXPECT_EQ(ParsePortValue(S("/dev/ttyUSB0")), S("/dev/ttyUSB0")); // case kept
    EXPECT_EQ(ParsePortValue(S("СИМУЛЯТОР")), S("симулятор"));
    EXPECT_EQ(PortValueText(QString()), S("нет"));
    EXPECT_EQ(PortValueText(S("COM12")), S("COM12"));
}

TEST(Configuration, UnreadableNumbersKeepTheDefaultAndAreReported)
{
    TIniFile ini;
    ini.LoadFromLines({S("[Параметры связи]"), S("Скорость=быстро"), S("Стоп-биты=1"),
                       S("Чётность=300"), S("Размер байта= 7 ")});
    QStringList report;
    TConfigReader reader(ini, report);
    EXPECT_EQ(reader.Number(S("Параметры связи"), S("Скорость"), 4800, 1, 4000000), 4800);
    EXPECT_EQ(reader.Number(S("Параметры связи"), S("Стоп-биты"), 2, 0, 2), 1);
    EXPECT_EQ(reader.Number(S("Параметры связи"), S("Чётность"), 1, 0, 4), 1); // not a byte
    EXPECT_EQ(reader.Number(S("Параметры связи"), S("Размер байта"), 8, 5, 8), 7);
    EXPECT_EQ(reader.Number(S("Параметры связи"), S("Канал КСБ"), -1, -1, 15), -1);
    ASSERT_EQ(report.size(), 2);
    EXPECT_TRUE(report[0].contains(S("Скорость")));
    EXPECT_TRUE(report[0].contains(S("быстро")));
    EXPECT_TRUE(report[1].contains(S("Чётность")));
}

TEST(Configuration, LogFileName)
{
    EXPECT_EQ(CompleteLogFileName(S("log"), S("/p/")), S("/p/log"));
    EXPECT_EQ(CompleteLogFileName(S("журнал.txt"), S("/p/")), S("/p/журнал.txt"));
    EXPECT_EQ(CompleteLogFileName(S("/var/tmp/z.log"), S("/p/")), S("/var/tmp/z.log"));
    EXPECT_EQ(CompleteLogFileName(S("//srv/z.log"), S("/p/")), S("//srv/z.log"));
}
