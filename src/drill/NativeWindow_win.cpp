#include "NativeWindow.h"

#include "Win32Window.h"

#include <QGuiApplication>
#include <QWidget>

namespace {
// A window id is a Win32 window only under the platform plugins that make real windows (not, for
// example, offscreen).
bool win32Windows()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("windows") || platform == QLatin1String("direct2d");
}
} // namespace

namespace NativeWindow {

bool startMove(QWidget *window)
{
    // The system move loop works on a window without a system menu too, where Qt's own
    // startSystemMove() declines.
    if (!win32Windows())
        return false;
    Win32Window::dragWindow(reinterpret_cast<void *>(window->winId()));
    return true;
}

void keepAbove(QWidget *window, bool topmost)
{
    if (win32Windows())
        Win32Window::setTopmost(reinterpret_cast<void *>(window->winId()), topmost);
    else
        window->raise();
}

void skipTaskbar(QWidget *)
{
    // A tool window gets no taskbar button to begin with.
}

} // namespace NativeWindow
