// Global keys on Windows: RegisterHotKey on a message-only window of our own. Its window
// procedure gets WM_HOTKEY through DispatchMessage, so a key works also while a modal loop runs
// (a menu, a message box, the system's move loop while the floating window is dragged), which
// would drop a message posted to the thread alone.
#include "HotkeyBackend.h"
#include "HotkeyCodes.h"

#include <QHash>

#include <windows.h>

static_assert(HotkeyCodes::WinAlt == MOD_ALT && HotkeyCodes::WinControl == MOD_CONTROL
              && HotkeyCodes::WinShift == MOD_SHIFT && HotkeyCodes::WinWin == MOD_WIN);

#ifndef MOD_NOREPEAT
#define MOD_NOREPEAT 0x4000
#endif

namespace {

const wchar_t windowClass[] = L"TanvicQuorvelHotkeys";

class WinBackend final : public HotkeyBackend
{
public:
    explicit WinBackend(std::function<void(int)> activated)
        : m_activated(std::move(activated))
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &WinBackend::windowProc;
        wc.hInstance = instance;
        wc.lpszClassName = windowClass;
        RegisterClassExW(&wc); // fails harmlessly when a second instance registers it again
        m_window = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
        if (m_window)
            SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~WinBackend() override
    {
        const QList<int> ids = m_native.keys();
        for (int id : ids)
            release(id);
        if (m_window)
            DestroyWindow(m_window);
    }

    GlobalHotkeys::State grab(int id, QKeyCombination key) override
    {
        const HotkeyCodes::WinKey win = HotkeyCodes::win(key);
        if (!m_window)
            return GlobalHotkeys::State::Unsupported;
        // The system takes an application's key ids from 0 to 0xBFFF only, and the caller's ids
        // may be anything: each key gets the lowest free one.
        int native = 1;
        while (m_actions.contains(native))
            ++native;
        // Held down, the key activates once (MOD_NOREPEAT).
        if (!RegisterHotKey(m_window, native, win.modifiers | MOD_NOREPEAT, win.vk)) {
            // ERROR_HOTKEY_ALREADY_REGISTERED: another program holds it.
            return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? GlobalHotkeys::State::Taken
                                                                     : GlobalHotkeys::State::Invalid;
        }
        m_native.insert(id, native);
        m_actions.insert(native, id);
        return GlobalHotkeys::State::Registered;
    }

    void release(int id) override
    {
        const auto it = m_native.constFind(id);
        if (it == m_native.cend())
            return;
        UnregisterHotKey(m_window, *it);
        m_actions.remove(*it);
        m_native.erase(it);
    }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_HOTKEY) {
            auto *self = reinterpret_cast<WinBackend *>(GetWindowLongPtrW(window, GWLP_USERDATA));
            const int native = static_cast<int>(wParam);
            if (self && self->m_actions.contains(native)) {
                self->m_activated(self->m_actions.value(native));
                return 0;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::function<void(int)> m_activated;
    HWND m_window = nullptr;
    QHash<int, int> m_native;  // action id -> the system's id
    QHash<int, int> m_actions; // the system's id -> action id
};

} // namespace

bool HotkeyBackend::available()
{
    return true;
}

std::unique_ptr<HotkeyBackend> HotkeyBackend::make(std::function<void(int)> activated)
{
    return std::make_unique<WinBackend>(std::move(activated));
}
