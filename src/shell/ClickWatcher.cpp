#include "ClickWatcher.h"

#include <QMouseEvent>
#include <QWidget>

ClickWatcher::ClickWatcher(QWidget *watched) : QObject(watched), m_watched(watched)
{
    watched->installEventFilter(this);
}

bool ClickWatcher::eventFilter(QObject *object, QEvent *event)
{
    if (object != m_watched)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A double-click acts through its first click only.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_pressed = event->type() == QEvent::MouseButtonPress;
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_pressed) {
            m_pressed = false;
            if (m_watched->rect().contains(mouse->position().toPoint()))
                Q_EMIT clicked();
        }
        break;
    }
    default:
        break;
    }
    return false;
}
