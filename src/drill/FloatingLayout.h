#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Sizes of the floating word window, designed in twips (1/1440 inch) and applied in logical
// pixels (15 twips each), so a high-DPI screen shows the same layout.
namespace Twips {
constexpr int perPixel = 15;
int toPixels(int twips);
} // namespace Twips

// Where the text, the backdrop and the window go for a text of a given size. Positions are in the
// window's client area (inside its one-pixel border); the window size is its outer size.
struct FloatingLayout
{
    QRect label;
    QRect backdrop;
    QSize window;
};

namespace FloatingWindow {

// The text sits 20 twips right of the stop button at the top; the backdrop covers it and
// 50 twips more below; the window ends 100 twips right of the backdrop and is as high as it.
FloatingLayout layoutFor(const QRect &stopButton, const QSize &labelSize);

// The largest window (outer size) a text may make in `workArea`: two thirds of its width, so the
// window never spans a monitor, and its whole height.
QSize largestWindow(const QRect &workArea);

// The most lines a text may take: a few, and only as many of `lineHeight` as fit a window at
// most `maxWindowHeight` high (at least one). A text that needs more ends in "…".
constexpr int kMaxLines = 3;
int linesThatFit(int lineHeight, int maxWindowHeight);

// The widest text whose window is at most `maxWindowWidth` wide (outer size, pixels); a wider text
// is wrapped to this width.
int widestLabel(const QRect &stopButton, int maxWindowWidth);

// Where a window of `size` at `pos` goes to lie inside `workArea`, moved as little as possible; a
// window larger than the area keeps its top-left corner inside it.
QPoint keepInside(const QPoint &pos, const QSize &size, const QRect &workArea);

// Where a drill puts the window before its first word: 500 twips right of the work area's left
// edge, its bottom edge (at the given height) 100 twips above the work area's bottom.
QPoint startPosition(const QRect &workArea, int windowHeight);

// Which of the `screens` a drill starts on: the one where the learner left the floating window
// (the screen holding `lastCentre`, or the nearest one when that screen is gone), else `primary`.
qsizetype startScreen(const QList<QRect> &screens, const QPoint *lastCentre, qsizetype primary);

} // namespace FloatingWindow
