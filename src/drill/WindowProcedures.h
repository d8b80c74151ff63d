#pragma once

class QWidget;

// Window procedures for a window without a title bar.
namespace Module1 {

// Starts the window manager's own interactive move of `window`, as a press on a title bar would
// (Win32 move loop, X11 _NET_WM_MOVERESIZE, Wayland's move request). Returns false where there
// is none; the caller then moves the window itself while the button is held.
bool DragWindow(QWidget *window);

// Keeps `window` above all other windows (or stops doing so) and brings it to the top of that
// band, without activating it or taking the keyboard focus.
void SetTopmost(bool topmost, QWidget *window);

} // namespace Module1

namespace FloatingWindowSupport {

// Asks the desktop to leave the window out of the taskbar and the pager. Call before the window
// is first shown. (On Windows a tool window gets no taskbar button to begin with.)
void skipTaskbar(QWidget *window);

} // namespace FloatingWindowSupport
