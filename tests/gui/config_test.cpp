// The program directory and the recent files list.

#include "../utf8text.h"
#include "core/programpaths.h"
#include "gui/recentfiles.h"
#include "guitestutil.h"

#include <QFile>
#include <QSet>

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
