#include "GlobalHotkeys.h"

#include "HotkeyBackend.h"
#include "HotkeyCodes.h"

GlobalHotkeys::GlobalHotkeys(QObject *parent)
    : QObject(parent)
    , m_backend(HotkeyBackend::make([this](int id) { Q_EMIT activated(id); }))
{
}

GlobalHotkeys::~GlobalHotkeys()
{
    releaseAll();
}

bool GlobalHotkeys::available()
{
    return HotkeyBackend::available();
}

GlobalHotkeys::State GlobalHotkeys::set(int id, const QKeySequence &key)
{
    release(id);
    Binding binding{key, State::Off};
    if (key.isEmpty()) {
        m_bindings.remove(id);
        return State::Off;
    }
    const QKeyCombination combination = key[0];
    if (!m_backend) {
        binding.state = State::Unsupported;
    } else if (key.count() != 1 || !HotkeyCodes::isGlobalKey(combination)) {
        binding.state = State::Invalid;
    } else {
        // Two actions on one key: the second would never be told apart from the first. Compared
        // as the system sees keys, so Ctrl+Shift+! and Ctrl+Shift+1 are one key.
        bool heldHere = false;
        for (auto it = m_bindings.cbegin(); it != m_bindings.cend(); ++it) {
            heldHere = heldHere
                || (it->state == State::Registered && HotkeyCodes::win(it->key[0]) == HotkeyCodes::win(combination));
        }
        binding.state = heldHere ? State::Taken : m_backend->grab(id, combination);
    }
    m_bindings.insert(id, binding);
    return binding.state;
}

GlobalHotkeys::State GlobalHotkeys::state(int id) const
{
    return m_bindings.value(id).state;
}

QKeySequence GlobalHotkeys::key(int id) const
{
    return m_bindings.value(id).key;
}

void GlobalHotkeys::releaseAll()
{
    const QList<int> ids = m_bindings.keys();
    for (int id : ids)
        release(id);
    m_bindings.clear();
}

void GlobalHotkeys::release(int id)
{
    auto it = m_bindings.find(id);
    if (it == m_bindings.end())
        return;
    if (it->state == State::Registered && m_backend)
        m_backend->release(id);
    it->state = State::Off;
}
