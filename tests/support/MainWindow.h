#pragma once

#include "TestEnv.h"

#include "app/Form1.h"

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The main window on a throw-away world of its own (`env`), and its controls by the names the
// window gives them. `start()` runs the start-up sequence as the program does; `restart()` closes
// the window as its close box does and starts another on the same files.
class MainWindow
{
public:
    // Writes `bank` (word-pair text, in the bank's own format) as the word bank.
    void writeBank(const QString &bank) const;

    // The window made but its start-up not run: for what must be in place before it (a signal
    // spy, a smaller memory limit).
    Form1 &create();
    Form1 &create(const AppContext &context);
    // Made (unless create() did) and started.
    Form1 &start();
    Form1 &restart();
    // Shown as at start-up and active, with the keyboard in the list.
    void showActive();
    // Closes the window (the close box: settings and bank saved) and returns the bank's bytes.
    QByteArray closeAndReadBank();

    Form1 &form() const { return *m_form; }
    Form1 *operator->() const { return m_form.get(); }

    QTableView *list() const;
    QString countText() const;
    QComboBox *combo(const char *name) const;
    QString comboText(const char *name) const;
    // Chooses `text` in the box; fails the test when the box does not offer it.
    void choose(const char *name, const QString &text) const;
    QPushButton *button(const char *name) const;
    QAction *menuAction(const char *name) const;

    TestEnv env;

private:
    std::unique_ptr<Form1> m_form;
};

// Runs `act`, which opens a modal window of type W, and `drive` while that window is open. A window
// `drive` leaves open is rejected afterwards. False when no such window opened while `act` ran.
template <class W>
bool whileModal(const std::function<void()> &act, const std::function<void(W &)> &drive)
{
    bool ran = false;
    // Gone when this returns, so it never fires into a later test step.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *window = qobject_cast<W *>(QApplication::activeModalWidget());
        if (!window)
            return;
        ran = true;
        drive(*window);
        if (window->isVisible())
            window->reject();
    });
    timer.start(0);
    act();
    return ran;
}
