#pragma once

#include <QApplication>
#include <QCursor>

// Shows the busy cursor for as long as it lives (or until release()), e.g. while a large text is
// read, laid out or imported. Release it before a message box so the box gets the normal cursor.
class BusyCursor
{
public:
    BusyCursor() : BusyCursor(true) {}
    // Only when `show`: a command that is over at once needs no cursor.
    explicit BusyCursor(bool show) : m_active(show)
    {
        if (m_active)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    void release()
    {
        if (m_active) {
            m_active = false;
            QApplication::restoreOverrideCursor();
        }
    }

private:
    bool m_active;
};
