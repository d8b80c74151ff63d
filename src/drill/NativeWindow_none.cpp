#include "NativeWindow.h"

#include <QWidget>

// Qt alone: its own move request, its own stay-on-top flag, no taskbar hint.
namespace NativeWindow {

bool startMove(QWidget *)
{
    return false;
}

void keepAbove(QWidget *window, bool)
{
    // Top of its band; raising never activates.
    window->raise();
}

void skipTaskbar(QWidget *)
{
}

} // namespace NativeWindow
