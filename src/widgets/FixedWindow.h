#pragma once

#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QWidget>

// The program's windows keep the size they were designed with: a title bar with the given
// buttons, never resized, placed in the middle of the screen.
namespace FixedWindow {

// Gives `window` the flags and fixes its size to the designed one.
inline void setUp(QWidget *window, Qt::WindowFlags flags)
{
    window->setWindowFlags(flags);
    window->setFixedSize(window->size());
}

// Where a frame of even width or height has no middle pixel, the spare pixel goes after the
// work area's centre (the dialogs) or before it (the main window); each window keeps its place.
enum class SparePixel { After, Before };

// Moves `window` so that its frame sits in the middle of the work area of `screen`.
inline void centre(QWidget *window, const QScreen *screen, SparePixel spare = SparePixel::After)
{
    if (!screen)
        return;
    const QPoint middle = screen->availableGeometry().center();
    QRect frame = window->frameGeometry();
    if (spare == SparePixel::After) {
        frame.moveCenter(middle);
        window->move(frame.topLeft());
    } else {
        window->move(middle - QPoint(frame.width() / 2, frame.height() / 2) + (window->pos() - frame.topLeft()));
    }
}

} // namespace FixedWindow
