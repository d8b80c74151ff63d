// Global keys on X11: a passive grab of each key on the root window, so the X server hands the
// key press to this program whichever window has the focus. A grab matches the modifier state
// exactly, so every key is grabbed once per combination of Num Lock and Caps Lock; otherwise it
// would stop working while either is on.
#include "HotkeyBackend.h"
#include "HotkeyCodes.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr uint8_t BadAccess = 10; // the error of a grab another client holds

xcb_connection_t *x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

template <typename T>
struct Reply
{
    T *p;
    ~Reply() { std::free(p); }
};

// Every key code the keysym is on, first level, then second (the key as a user finds it).
xcb_keycode_t keycodeOf(xcb_connection_t *c, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> map{xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr)};
    if (!map.p)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map.p);
    const int perCode = map.p->keysyms_per_keycode;
    for (int level = 0; level < std::min(perCode, 2); ++level) {
        for (int i = 0; i < count; ++i) {
            if (syms[i * perCode + level] == keysym)
                return static_cast<xcb_keycode_t>(first + i);
        }
    }
    return 0;
}

// The modifier bit Num Lock is on (Mod2 on every common keyboard map, but it is the map's to say).
uint16_t numLockMask(xcb_connection_t *c)
{
    const xcb_keycode_t numLock = keycodeOf(c, 0xff7f); // XK_Num_Lock
    Reply<xcb_get_modifier_mapping_reply_t> map{
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr)};
    if (!map.p || !numLock)
        return XCB_MOD_MASK_2;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(map.p);
    const int perModifier = map.p->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == numLock)
                return static_cast<uint16_t>(1u << modifier);
        }
    }
    return XCB_MOD_MASK_2;
}

class X11Backend final : public HotkeyBackend, public QAbstractNativeEventFilter
{
public:
    X11Backend(xcb_connection_t *c, std::function<void(int)> activated)
        : m_c(c)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root)
        , m_activated(std::move(activated))
    {
        const uint16_t numLock = numLockMask(c);
        m_locks = {0, XCB_MOD_MASK_LOCK, numLock, static_cast<uint16_t>(numLock | XCB_MOD_MASK_LOCK)};
        m_ignored = static_cast<uint16_t>(numLock | XCB_MOD_MASK_LOCK);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11Backend() override
    {
        // Once the application is gone, so is its X connection, and the server has given every
        // grab of it back.
        QCoreApplication *app = QCoreApplication::instance();
        if (!app || !x11Connection())
            return;
        app->removeNativeEventFilter(this);
        const QList<int> ids = m_keys.keys();
        for (int id : ids)
            release(id);
    }

    GlobalHotkeys::State grab(int id, QKeyCombination key) override
    {
        const HotkeyCodes::X11Key x11 = HotkeyCodes::x11(key);
        const xcb_keycode_t keycode = keycodeOf(m_c, x11.keysym);
        if (!keycode)
            return GlobalHotkeys::State::Invalid; // not on this keyboard
        // All four grabs are sent, then all four answers read: one round trip, not four.
        std::array<xcb_void_cookie_t, 4> cookies;
        for (size_t i = 0; i < m_locks.size(); ++i) {
            cookies[i] = xcb_grab_key_checked(m_c, 0, m_root, static_cast<uint16_t>(x11.modifiers | m_locks[i]),
                                              keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        }
        bool taken = false;
        bool refused = false;
        for (const xcb_void_cookie_t &cookie : cookies) {
            if (xcb_generic_error_t *error = xcb_request_check(m_c, cookie)) {
                (error->error_code == BadAccess ? taken : refused) = true;
                std::free(error);
            }
        }
        const Key grabbed{keycode, x11.modifiers};
        if (taken || refused) {
            // A key that works only with Num Lock off (or on) would look like a broken key.
            ungrab(grabbed);
            return taken ? GlobalHotkeys::State::Taken : GlobalHotkeys::State::Invalid;
        }
        m_keys.insert(id, grabbed);
        return GlobalHotkeys::State::Registered;
    }

    void release(int id) override
    {
        const auto it = m_keys.constFind(id);
        if (it == m_keys.cend())
            return;
        ungrab(*it);
        if (m_down == it->keycode)
            m_down = 0;
        m_keys.erase(it);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const uint8_t kind = event->response_type & 0x7f;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE)
            return false;
        const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (key->event != m_root)
            return false;
        if (kind == XCB_KEY_RELEASE) {
            if (key->detail != m_down)
                return false;
            m_down = 0;
            m_released = {key->detail, key->time};
            return true;
        }
        const uint16_t modifiers = key->state & static_cast<uint16_t>(~m_ignored) & 0xff;
        for (auto it = m_keys.cbegin(); it != m_keys.cend(); ++it) {
            if (it->keycode != key->detail || it->modifiers != modifiers)
                continue;
            // Held down, the key repeats: as a release and a press with the same time, or (with
            // detectable auto-repeat) as presses without releases between them. Only the first
            // press counts.
            const bool repeat = m_down == key->detail
                || (m_released.keycode == key->detail && m_released.time == key->time);
            m_down = key->detail;
            if (!repeat)
                m_activated(it.key());
            return true;
        }
        return false;
    }

private:
    struct Key
    {
        xcb_keycode_t keycode;
        uint16_t modifiers;
    };

    void ungrab(const Key &key)
    {
        for (uint16_t lock : m_locks)
            xcb_ungrab_key(m_c, key.keycode, m_root, static_cast<uint16_t>(key.modifiers | lock));
        xcb_flush(m_c);
    }

    xcb_connection_t *m_c;
    xcb_window_t m_root;
    std::function<void(int)> m_activated;
    std::array<uint16_t, 4> m_locks{};
    uint16_t m_ignored = 0;
    QHash<int, Key> m_keys;
    xcb_keycode_t m_down = 0; // the grabbed key held down now, if any
    struct
    {
        xcb_keycode_t keycode = 0;
        xcb_timestamp_t time = 0;
    } m_released; // the last release of a grabbed key
};

} // namespace

bool HotkeyBackend::available()
{
    return x11Connection() != nullptr;
}

std::unique_ptr<HotkeyBackend> HotkeyBackend::make(std::function<void(int)> activated)
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return nullptr;
    return std::make_unique<X11Backend>(c, std::move(activated));
}
