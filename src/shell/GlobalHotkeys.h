#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>

#include <memory>

class HotkeyBackend;

// Keys that work in any program: each action (an id of the caller's choosing) can be bound to
// one key combination, held for the program while it is bound, and `activated(id)` is emitted
// when it is pressed, whichever program has the focus. Holding a key down activates it once.
// Made and used on the window thread. The system part is one file per platform
// (GlobalHotkeys_x11.cpp, _win.cpp, _none.cpp).
class GlobalHotkeys : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Off,         // no key bound
        Registered,  // the key is ours
        Taken,       // another program (or another action here) holds the key
        Unsupported, // this desktop allows no global keys (a Wayland session, no X server)
        Invalid,     // not a key that can be global (no Ctrl, Alt or Meta; more than one chord)
    };
    Q_ENUM(State)

    explicit GlobalHotkeys(QObject *parent = nullptr);
    ~GlobalHotkeys() override; // releases every key

    // False where no global key can work (a Wayland session, no X connection, offscreen).
    static bool available();

    // Binds (or rebinds) action `id` to `key`, releasing its old key first; an empty key turns
    // the action off. The key and its state are kept whatever the outcome, for the options window.
    State set(int id, const QKeySequence &key);
    State state(int id) const;
    QKeySequence key(int id) const;
    // Releases every key; every action is Off afterwards.
    void releaseAll();

Q_SIGNALS:
    void activated(int id);

private:
    struct Binding
    {
        QKeySequence key;
        State state = State::Off;
    };
    void release(int id);

    std::unique_ptr<HotkeyBackend> m_backend; // null where global keys are unavailable
    QHash<int, Binding> m_bindings;
};
