#pragma once
// Where a window goes when it opens and how wide it is: a transfer or progress window over
// the window it works for, a list that leads into the editor (search results,
// cross-references) beside or below the main window so that the line it opens stays in
// sight, and no window narrower than its caption. A title bar is never put off the screen.
// The rules are plain geometry, so that a test can ask them directly.

#include <QObject>
#include <QRect>

class QWidget;

// The frame of a window of size frame, centred over owner and moved inside screen (its
// top-left corner, and with it the title bar, first).
QRect CentredOver(const QRect &owner, const QSize &frame, const QRect &screen);

// The frame of a window of size frame that leaves avoid in sight: to the right of owner,
// to its left, below it or above it, the first place that lies wholly on screen; when none
// does, the one of these, moved inside screen, that covers the least of avoid.
QRect BesideOrBelow(const QRect &owner, const QRect &avoid, const QSize &frame,
                    const QRect &screen);

// The same for real windows: window's frame before it is shown is taken as its size plus the
// frame the window manager gave owner.
void PlaceOver(QWidget *window, const QWidget *owner);
void PlaceBeside(QWidget *window, const QWidget *owner, const QWidget *avoid);

// A main window's bounds (its own area, without the frame) moved and shrunk to lie wholly on
// the primary screen, never below minimum.
QRect OnScreenBounds(const QRect &wanted, const QSize &minimum);

// The width a window needs for the window manager to show its whole caption (the program's
// name that the title bar adds, the frame's icon and buttons included).
int CaptionWidth(const QString &caption);

// Keeps every dialog at least as wide as its caption asks, when it is shown and when its
// caption changes (installed on the application).
class TCaptionKeeper : public QObject
{
public:
    using QObject::QObject;
    static void Install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
