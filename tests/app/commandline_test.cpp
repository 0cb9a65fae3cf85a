#include "app/commandline.h"
#include "core/version.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct TCase
{
    QStringList Args;
    TArgumentsStage Stage;
    bool Help;
    bool Version;
    QString File;
    QString ErrorPart; // "" when the call is understood
};

const auto Before = TArgumentsStage::BeforeApplication;
const auto After = TArgumentsStage::AfterApplication;

TEST(ZentorCommandLine, HelpVersionFileAndFaults)
{
    const TCase cases[] = {
        {{}, After, false, false, "", ""},
        {{"demo.zen"}, After, false, false, "demo.zen", ""},
        {{"/-ksb", "a b.prp"}, After, false, false, "a b.prp", ""},
        // The switch counts only as the first argument.
        {{"demo.zen", "/-KSB"}, After, false, false, "demo.zen", "«/-KSB»"},
        {{"a.zen", "b.zen"}, After, false, false, "a.zen", "Лишний аргумент «b.zen»"},
        {{"--", "-x.zen"}, After, false, false, "-x.zen", ""},
        {{"-x"}, After, false, false, "", "Неизвестный параметр «-x»"},
        // Help wins over anything wrong around it.
        {{"--bogus", "a.zen", "--help"}, After, true, false, "", ""},
        {{"a.zen", "-h"}, After, true, false, "", ""},
        {{"--version", "--help"}, After, false, true, "", ""},
        {{"--", "--help"}, After, false, false, "--help", ""},
        // Before the application object: Qt's options and operands are not judged yet,
        // an unknown long option is.
        {{"-platform", "offscreen", "a.zen", "b.zen"}, Before, false, false, "", ""},
        {{"-style", "fusion", "--version"}, Before, false, true, "", ""},
        {{"--verison"}, Before, false, false, "", "Неизвестный параметр «--verison»"},
    };
    for (const TCase &c : cases) {
        const TZentorCommandLine line = ParseZentorCommandLine(c.Args, c.Stage);
        const std::string what = c.Args.join(u' ').toStdString();
        EXPECT_EQ(line.Help, c.Help) << what;
        EXPECT_EQ(line.Version, c.Version) << what;
        EXPECT_EQ(line.FileToOpen, c.File) << what;
        if (c.ErrorPart.isEmpty())
            EXPECT_TRUE(line.Error.isEmpty()) << what << ": " << line.Error.toStdString();
        else
            EXPECT_TRUE(line.Error.contains(c.ErrorPart))
                << what << ": " << line.Error.toStdString();
    }
}

TEST(ZentorCommandLine, NoDisplayIsToldUnlessQtIsToldWhere)
{
    const struct
    {
        QStringList Args;
        TDisplaySetting Setting;
        bool Refused;
    } cases[] = {
        {{"a.zen"}, {}, true},
        {{"a.zen"}, {"", ":0", ""}, false},
        {{"a.zen"}, {"", "", "wayland-0"}, false},
        {{"a.zen"}, {"offscreen", "", ""}, false},
        {{"-platform", "offscreen", "a.zen"}, {}, false},
        {{"-display", ":1"}, {}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NoDisplayMessage(c.Args, c.Setting).contains(QStringLiteral("xvfb-run")),
                  c.Refused)
            << c.Args.join(u' ').toStdString();
}

struct TRun
{
    int Status = -1;
    QString Out;
    QString Err;
};

// Runs a program the way a terminal without any display does.
TRun RunWithoutDisplay(const QString &program, const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    TRun r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(ZentorCommandLine, ProgramsAnswerWithoutDisplayAndShareTheVersion)
{
    const std::pair<const char *, const char *> programs[] = {
        {ZENTOR_PATH, "zentor"}, {ZENTORC_PATH, "zentorc"}, {ZENTOR_SIM_PATH, "zentor-sim"}};
    for (const auto &[path, name] : programs) {
        const TRun version = RunWithoutDisplay(QString::fromUtf8(path), {"--version"});
        EXPECT_EQ(version.Status, 0) << name << ": " << version.Err.toStdString();
        EXPECT_EQ(version.Out.toStdString(), VersionText(QString::fromLatin1(name)).toStdString());
        EXPECT_TRUE(version.Out.startsWith(VersionLine(QString::fromLatin1(name)) + u'\n'));
        const TRun help = RunWithoutDisplay(QString::fromUtf8(path), {"--help"});
        EXPECT_EQ(help.Status, 0) << name << ": " << help.Err.toStdString();
        EXPECT_TRUE(help.Out.contains(QStringLiteral("--version"))) << name;
    }
    EXPECT_TRUE(ZentorVersionText().contains(QRegularExpression("^\\d+\\.\\d+\\.\\d+$")));
    EXPECT_TRUE(VersionText(QStringLiteral("zentorc"))
                    .contains(QStringLiteral("GNU GPL version 3 or later")));
    const TRun wrong = RunWithoutDisplay(QStringLiteral(ZENTOR_PATH), {"--verison"});
    EXPECT_EQ(wrong.Status, 2);
    EXPECT_TRUE(wrong.Err.contains(QStringLiteral("«--verison»"))) << wrong.Err.toStdString();
    // A start with a file but nowhere to show it says so instead of aborting in Qt.
    const TRun start = RunWithoutDisplay(QStringLiteral(ZENTOR_PATH), {"demo.zen"});
    EXPECT_EQ(start.Status, 2);
    EXPECT_TRUE(start.Err.contains(QStringLiteral("DISPLAY"))) << start.Err.toStdString();
}

} // namespace
