#pragma once

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

// Moves `window` so that its frame sits in the middle of the work area of `screen`.
inline void centre(QWidget *window, const QScreen *screen)
{
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace FixedWindow
