#include "WindowProcedures.h"

#include "NativeWindow.h"

#include <QWidget>
#include <QWindow>

namespace Module1 {

bool DragWindow(QWidget *window)
{
    if (!window)
        return false;
    if (NativeWindow::startMove(window))
        return true;
    QWindow *handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

void SetTopmost(bool topmost, QWidget *window)
{
    if (!window)
        return;
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != topmost) {
        // Changing a flag re-creates a shown window hidden; show it again without activating it.
        const bool wasVisible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        if (wasVisible)
            window->show();
    }
    if (window->isVisible())
        NativeWindow::keepAbove(window, topmost);
}

} // namespace Module1

namespace FloatingWindowSupport {

void skipTaskbar(QWidget *window)
{
    if (window)
        NativeWindow::skipTaskbar(window);
}

} // namespace FloatingWindowSupport
