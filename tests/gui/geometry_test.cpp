// The main window's bounds across starts, under a real X server and window manager
// (scripts/geometry-check runs this under xvfb-run with openbox; elsewhere it is skipped):
// the frame the window manager adds must not move the window at each start. Where the
// windows that open from it go: over it, beside it, never with the title bar off screen.

#include "gui/placement.h"
#include "gui/workwithprpform.h"
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

TEST(WindowPlacement, OverTheOwnerOrBesideItAndAlwaysOnScreen)
{
    const QRect screen(0, 0, 1280, 1024);
    // Centred over the owner, pushed back on screen with the title bar first.
    EXPECT_EQ(CentredOver(QRect(100, 100, 600, 400), QSize(200, 100), screen),
              QRect(300, 250, 200, 100));
    EXPECT_EQ(CentredOver(QRect(-300, -250, 400, 300), QSize(300, 200), screen).topLeft(),
              QPoint(0, 0));
    EXPECT_EQ(CentredOver(QRect(1100, 900, 400, 300), QSize(300, 200), screen).bottomRight(),
              screen.bottomRight());
    // Beside: right, left, below, above, whichever fits first; else the least cover.
    const QRect avoid(300, 120, 380, 360);
    const struct
    {
        QRect Owner;
        QRect Expected;
    } cases[] = {
        {QRect(100, 100, 600, 400), QRect(700, 100, 400, 300)},
        {QRect(800, 100, 400, 400), QRect(400, 100, 400, 300)},
        {QRect(100, 100, 1100, 400), QRect(100, 500, 400, 300)},
        {QRect(100, 600, 1100, 400), QRect(100, 300, 400, 300)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BesideOrBelow(c.Owner, avoid, QSize(400, 300), screen), c.Expected)
            << c.Owner.x();
    // A maximised owner: no place is free, the window covers as little of avoid as it can.
    EXPECT_EQ(BesideOrBelow(screen, QRect(300, 20, 980, 700), QSize(400, 300), screen),
              QRect(0, 724, 400, 300));
}

class WindowPlacementTest : public TGuiTest
{
};

TEST_F(WindowPlacementTest, TransferWindowGoesBackWhenPutWithItsTitleOffScreen)
{
    auto form = MakeForm();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    TWorkWithPRPForm *w = form->WorkWithPRPForm;
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_TRUE(form->frameGeometry().contains(w->frameGeometry().center()));
    // The window system puts it at the corner, its title bar above the screen (as a window
    // manager did with a late answer to an early request): it goes back over the main window.
    w->move(-1, -40);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->frameGeometry().contains(w->frameGeometry().center()))
        << w->frameGeometry().x() << ',' << w->frameGeometry().y();
    w->hide();
}

} // namespace
