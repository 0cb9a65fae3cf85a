// The configuration file, its values, the program directory and the recent files list.

#include "core/cp1251.h"
#include "core/programpaths.h"
#include "core/textfile.h"
#include "gui/configuration.h"
#include "gui/inifile.h"
#include "gui/recentfiles.h"
#include "guitestutil.h"

#include <QFile>
#include <QSet>

namespace {

QString S(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

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

TEST(ProgramPaths, HomeOverridesPortableOverridesXdg)
{
    QTemporaryDir dir;
    const QString exe = dir.path() + QStringLiteral("/bin");
    QDir().mkpath(exe);
    // No configuration beside the executable: the XDG folder, else ~/.config.
    EXPECT_EQ(TProgramPaths::Resolve(exe, QString(), S("/x/cfg"), S("/h")).ProgramDir,
              S("/x/cfg/zentor/"));
    EXPECT_EQ(TProgramPaths::Resolve(exe, QString(), QString(), S("/h")).ProgramDir,
              S("/h/.config/zentor/"));
    EXPECT_EQ(TProgramPaths::Resolve(exe, QString(), S("relative"), S("/h")).ProgramDir,
              S("/h/.config/zentor/"));
    // Portable use.
    QFile ini(exe + QStringLiteral("/ZentorEditor.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.close();
    EXPECT_EQ(TProgramPaths::Resolve(exe, QString(), S("/x/cfg"), S("/h")).ProgramDir, exe + u'/');
    EXPECT_EQ(TProgramPaths::Resolve(exe, S("/z/home"), S("/x/cfg"), S("/h")).ProgramDir,
              S("/z/home/"));

    // Files are looked up in the program directory, then beside the executable.
    TProgramPaths p =
        TProgramPaths::Resolve(exe, dir.path() + QStringLiteral("/home"), QString(), S("/h"));
    QFile alg(exe + QStringLiteral("/BaseAlgs.alg"));
    ASSERT_TRUE(alg.open(QIODevice::WriteOnly));
    alg.close();
    EXPECT_EQ(p.Find(S("BaseAlgs.alg")), exe + QStringLiteral("/BaseAlgs.alg"));
    EXPECT_EQ(p.Find(S("Нет.alg")), p.ProgramDir + S("Нет.alg"));
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesOrVanishedFiles)
{
    QSet<QString> disk{S("/a"), S("/b"), S("/c")};
    TRecentFiles r;
    r.Exists = [&disk](const QString &n) { return disk.contains(n); };
    r.Add(S("/a"));
    r.Add(S("/b"));
    r.Add(S("/c"));
    EXPECT_EQ(r.Count, 3);
    EXPECT_EQ(r.Entries[1], S("/c"));
    EXPECT_EQ(r.Entries[3], S("/a"));
    r.Add(S("/a")); // moves to the top, no duplicate
    EXPECT_EQ(r.Count, 3);
    EXPECT_EQ(r.Entries[1], S("/a"));
    EXPECT_EQ(r.Entries[2], S("/c"));
    EXPECT_EQ(r.Entries[3], S("/b"));
    disk.remove(S("/c"));
    r.Normalise();
    EXPECT_EQ(r.Count, 2);
    EXPECT_EQ(r.Entries[2], S("/b"));
    EXPECT_TRUE(r.Entries[3].isEmpty());

    // At most nine: the oldest falls off.
    for (int i = 0; i < 12; ++i) {
        disk.insert(QStringLiteral("/f%1").arg(i));
        r.Add(QStringLiteral("/f%1").arg(i));
    }
    EXPECT_EQ(r.Count, 9);
    EXPECT_EQ(r.Entries[1], S("/f11"));
    EXPECT_EQ(r.Entries[9], S("/f3"));
}
