#pragma once

class QWidget;

// What the floating window asks of the platform's own window system. One implementation per
// platform, chosen by CMake: NativeWindow_win.cpp (Win32), NativeWindow_x11.cpp (X11 through
// xcb), NativeWindow_none.cpp (anything else: Qt alone).
namespace NativeWindow {

// Starts the platform's own interactive move of `window`. False where this platform has none
// that works better than Qt's own startSystemMove().
bool startMove(QWidget *window);

// Keeps the shown `window` above all others (or stops doing so) and brings it to the top of that
// band, without activating it.
void keepAbove(QWidget *window, bool topmost);

// Asks the desktop to leave the window out of the taskbar and the pager, before it is first shown.
void skipTaskbar(QWidget *window);

} // namespace NativeWindow
