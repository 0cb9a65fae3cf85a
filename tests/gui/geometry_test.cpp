// The main window's bounds across starts, under a real X server and window manager
// (scripts/geometry-check runs this under xvfb-run with openbox; elsewhere it is skipped):
// the frame the window manager adds must not move the window at each start.

#include "guitestutil.h"

#include <QGuiApplication>
#include <QTest>

namespace {

class WindowGeometry : public TGuiTest
{
protected:
    // One run of the program: start, wait until the window manager has placed the window,
    // close. The bounds the window had.
    QRect StartAndClose()
    {
        auto form = MakeForm();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTest::qWait(500); // the window manager's frame and placement settle
        const QRect shown = form->geometry();
        form->close();
        return shown;
    }
};

TEST_F(WindowGeometry, KeptAcrossStartsUnderAWindowManager)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server with a window manager (scripts/geometry-check)";
    const QRect first = StartAndClose();
    EXPECT_EQ(first, QRect(164, 102, 569, 443));
    const QRect second = StartAndClose();
    const QRect third = StartAndClose();
    EXPECT_EQ(second, first);
    EXPECT_EQ(third, first);
    const QStringList ini = ReadLines(Home() + QStringLiteral("ZentorEditor.ini"));
    EXPECT_TRUE(ini.contains(QStringLiteral("Верхний край=102")));
}

} // namespace
