// The Win32 side of the floating window, cross-compiled and run under Wine: the topmost band is
// entered and left without moving, sizing or activating the window. Plain Win32, no Qt.
#include "drill/Win32Window.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

namespace {

int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok)
        ++failures;
}

HWND makeWindow(const wchar_t *title, int x, int y, DWORD exStyle)
{
    HWND hwnd = CreateWindowExW(exStyle, L"STATIC", title, WS_POPUP | WS_BORDER, x, y, 300, 60, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    return hwnd;
}

RECT rectOf(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool sameRect(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

int main()
{
    HWND user = makeWindow(L"user", 0, 0, 0);
    HWND floating = makeWindow(L"floating", 40, 400, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    check(user && floating, "windows created");
    ShowWindow(user, SW_SHOW);
    SetForegroundWindow(user);
    ShowWindow(floating, SW_SHOWNOACTIVATE);
    const RECT before = rectOf(floating);

    check(!Win32Window::isTopmost(floating), "not topmost at first");
    Win32Window::setTopmost(floating, true);
    check(Win32Window::isTopmost(floating), "topmost after setTopmost(true)");
    check(sameRect(before, rectOf(floating)), "neither moved nor sized");
    check(GetForegroundWindow() != floating, "not activated");

    // Asserting it again at the next word changes nothing else.
    Win32Window::setTopmost(floating, true);
    check(Win32Window::isTopmost(floating), "still topmost");
    check(!Win32Window::isTopmost(user), "the user's window is not made topmost");

    Win32Window::setTopmost(floating, false);
    check(!Win32Window::isTopmost(floating), "left the topmost band");
    check(sameRect(before, rectOf(floating)), "still in place");

    DestroyWindow(floating);
    DestroyWindow(user);
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
