#pragma once

// The Win32 side of the floating window: plain Win32, no Qt types, so it builds with any Windows
// compiler and can be tried on its own.
namespace Win32Window {

// Hands a press on the window to the system's own move loop, as a press on a title bar would:
// the window follows the mouse until the button is released.
void dragWindow(void *hwnd);

// Puts the window into the topmost band (or out of it) without moving, sizing or activating it.
void setTopmost(void *hwnd, bool topmost);

// True when the window is in the topmost band.
bool isTopmost(void *hwnd);

} // namespace Win32Window
