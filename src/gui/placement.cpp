#include "gui/placement.h"

#include <QGuiApplication>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {

// Moves r inside screen; a window larger than the screen keeps its top-left corner on it.
QRect Inside(QRect r, const QRect &screen)
{
    r.moveRight(std::min(r.right(), screen.right()));
    r.moveBottom(std::min(r.bottom(), screen.bottom()));
    r.moveLeft(std::max(r.left(), screen.left()));
    r.moveTop(std::max(r.top(), screen.top()));
    return r;
}

qint64 Area(const QRect &r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

// The frame around a window's client area, as the window manager draws it for owner. A
// window never shown nor sized yet takes the size its contents ask for first.
QSize FrameOf(QWidget *window, const QWidget *owner)
{
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QSize extra = window->frameGeometry().size() - window->geometry().size();
    if (!window->isVisible() || extra.isEmpty())
        extra = owner->frameGeometry().size() - owner->geometry().size();
    return window->size() + extra;
}

QRect ScreenOf(const QWidget *owner)
{
    const QScreen *screen = owner->screen();
    return screen ? screen->availableGeometry() : owner->frameGeometry();
}

// A window placed over its owner may still be put by the window system where its title bar
// is off the screen (a late answer to an earlier request: seen with openbox on a slow
// line): whenever it moves there, it goes back over its owner.
class TTitleKeeper : public QObject
{
public:
    using QObject::QObject;
    static void Watch(QWidget *window)
    {
        static TTitleKeeper *keeper = nullptr;
        if (!keeper)
            keeper = new TTitleKeeper(qApp);
        window->removeEventFilter(keeper);
        window->installEventFilter(keeper);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Move && window && window->isVisible() &&
            window->parentWidget() &&
            !ScreenOf(window->parentWidget()->window()).contains(window->frameGeometry().topLeft()))
            PlaceOver(window, window->parentWidget());
        return false;
    }
};

} // namespace

QRect CentredOver(const QRect &owner, const QSize &frame, const QRect &screen)
{
    QRect r(QPoint(0, 0), frame);
    r.moveCenter(owner.center());
    return Inside(r, screen);
}

QRect BesideOrBelow(const QRect &owner, const QRect &avoid, const QSize &frame, const QRect &screen)
{
    const int w = frame.width(), h = frame.height();
    const std::array<QRect, 4> places = {
        QRect(owner.right() + 1, owner.top(), w, h), QRect(owner.left() - w, owner.top(), w, h),
        QRect(owner.left(), owner.bottom() + 1, w, h), QRect(owner.left(), owner.top() - h, w, h)};
    for (const QRect &r : places)
        if (screen.contains(r))
            return r;
    QRect best;
    qint64 covered = -1;
    for (const QRect &r : places) {
        const QRect moved = Inside(r, screen);
        const qint64 c = Area(moved & avoid);
        if (covered < 0 || c < covered) {
            best = moved;
            covered = c;
        }
    }
    return best;
}

void PlaceOver(QWidget *window, const QWidget *owner)
{
    if (!window || !owner)
        return;
    TTitleKeeper::Watch(window);
    owner = owner->window();
    window->move(
        CentredOver(owner->frameGeometry(), FrameOf(window, owner), ScreenOf(owner)).topLeft());
}

void PlaceBeside(QWidget *window, const QWidget *owner, const QWidget *avoid)
{
    if (!window || !owner || !avoid)
        return;
    owner = owner->window();
    const QRect avoidRect(avoid->mapToGlobal(QPoint(0, 0)), avoid->size());
    window->move(
        BesideOrBelow(owner->frameGeometry(), avoidRect, FrameOf(window, owner), ScreenOf(owner))
            .topLeft());
}

int CaptionWidth(const QString &caption)
{
    // The title bar's font is the window manager's; the application's own, bold, is no
    // narrower in practice. The frame adds the window's icon and three buttons.
    constexpr int FrameAllowance = 130;
    QFont font = QApplication::font();
    font.setBold(true);
    QString shown = caption;
    const QString program = QGuiApplication::applicationDisplayName();
    if (!program.isEmpty() && !caption.endsWith(program))
        shown += QStringLiteral(" — ") + program;
    return QFontMetrics(font).horizontalAdvance(shown) + FrameAllowance;
}

void TCaptionKeeper::Install()
{
    static TCaptionKeeper *keeper = nullptr;
    if (!keeper && qApp) {
        keeper = new TCaptionKeeper(qApp);
        qApp->installEventFilter(keeper);
    }
}

bool TCaptionKeeper::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::WindowTitleChange)
        return false;
    auto *dialog = qobject_cast<QDialog *>(watched);
    // A message box sizes itself when it is shown (its own width is set where it is made).
    if (!dialog || !dialog->isWindow() || qobject_cast<QMessageBox *>(dialog))
        return false;
    const int wanted = CaptionWidth(dialog->windowTitle());
    if (dialog->minimumWidth() < wanted && dialog->maximumWidth() >= wanted) {
        dialog->setMinimumWidth(wanted);
        if (dialog->width() < wanted)
            dialog->resize(wanted, dialog->height());
    }
    return false;
}

QRect OnScreenBounds(const QRect &wanted, const QSize &minimum)
{
    // The bounds are the window's own area without the frame the window manager adds, read
    // and set the same way, so a start after a close puts the window where it was. A
    // screen too small for them gets the window whole.
    QRect bounds = wanted;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        bounds.setWidth(std::clamp(bounds.width(), minimum.width(), std::max(area.width(), 1)));
        bounds.setHeight(std::clamp(bounds.height(), minimum.height(), std::max(area.height(), 1)));
        bounds.moveLeft(std::clamp(bounds.left(), area.left(),
                                   std::max(area.left(), area.right() + 1 - bounds.width())));
        bounds.moveTop(std::clamp(bounds.top(), area.top(),
                                  std::max(area.top(), area.bottom() + 1 - bounds.height())));
    }
    return bounds;
}
