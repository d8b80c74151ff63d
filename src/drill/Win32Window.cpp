#include "Win32Window.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace Win32Window {

void dragWindow(void *hwnd)
{
    // SC_MOVE + HTCAPTION: move as if the title bar had been pressed. Posted rather than sent,
    // so the move loop does not run nested inside the mouse handler that started it.
    constexpr WPARAM kMoveByCaption = 0xF012;
    ReleaseCapture();
    PostMessageW(static_cast<HWND>(hwnd), WM_SYSCOMMAND, kMoveByCaption, 0);
}

void setTopmost(void *hwnd, bool topmost)
{
    // SWP_NOACTIVATE keeps the keyboard with the program the user is typing in.
    SetWindowPos(static_cast<HWND>(hwnd), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool isTopmost(void *hwnd)
{
    return (GetWindowLongPtrW(static_cast<HWND>(hwnd), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

} // namespace Win32Window
