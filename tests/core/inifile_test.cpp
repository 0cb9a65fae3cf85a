// The configuration file's reader and writer: Windows-1251 on disk, names without regard to
// case, unknown lines kept.

#include "../utf8text.h"
#include "core/cp1251.h"
#include "core/inifile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(IniFile, CyrillicKeysSurviveTheRoundTripAsWindows1251)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/ZentorEditor.ini");
    TIniFile ini;
    ini.WriteString(S("Отладка"), S("Записывать лог"), S("да"));
    ini.WriteString(S("Параметры связи"), S("Чётность"), S("1"));
    ini.WriteString(S("Отладка"), S("Лог-файл"), S("log"));
    QString error;
    ASSERT_TRUE(ini.Save(path, error)) << error.toStdString();

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QByteArray expected;
    ASSERT_TRUE(EncodeCp1251(S("[Отладка]\r\nЗаписывать лог=да\r\nЛог-файл=log\r\n\r\n"
                               "[Параметры связи]\r\nЧётность=1\r\n"),
                             expected));
    EXPECT_EQ(bytes, expected); // the keys of one section stay together, CR LF, one byte a letter

    TIniFile back;
    ASSERT_TRUE(back.Load(path, error));
    // The older tools compare names without regard to case, Cyrillic included.
    EXPECT_EQ(back.ReadString(S("ОТЛАДКА"), S("записывать ЛОГ"), S("?")), S("да"));
    EXPECT_EQ(back.ReadString(S("Параметры связи"), S("Чётность"), S("?")), S("1"));
    EXPECT_EQ(back.ReadString(S("Параметры связи"), S("Порт"), S("нет")), S("нет"));
    EXPECT_FALSE(back.HasKey(S("История"), S("Файл1")));
}

TEST(IniFile, KeepsWhatItDoesNotKnowAndReplacesInPlace)
{
    TIniFile ini;
    ini.LoadFromLines({S("; заметка"), S("[История]"), S("Файл1 = /a.zen"), S("Чужой=x"), QString(),
                       S("[Другое]"), S("k=\"v\"")});
    EXPECT_EQ(ini.ReadString(S("История"), S("Файл1"), QString()), S("/a.zen"));
    EXPECT_EQ(ini.ReadString(S("Другое"), S("k"), QString()), S("v")); // quotes dropped
    ini.WriteString(S("история"), S("ФАЙЛ1"), S("/b.zen"));
    ini.WriteString(S("История"), S("Файл2"), S("/c.zen"));
    EXPECT_EQ(ini.Lines(),
              QStringList({S("; заметка"), S("[История]"), S("Файл1=/b.zen"), S("Чужой=x"),
                           S("Файл2=/c.zen"), QString(), S("[Другое]"), S("k=\"v\"")}));
}
