#pragma once

#include "GlobalHotkeys.h"

#include <QKeyCombination>

#include <functional>
#include <memory>

// The system's side of GlobalHotkeys, one implementation per platform file. It sees only keys
// that can be global and that no other action of the same GlobalHotkeys holds.
class HotkeyBackend
{
public:
    virtual ~HotkeyBackend() = default;
    // Registered or Taken (or Invalid where the system has no such key).
    virtual GlobalHotkeys::State grab(int id, QKeyCombination key) = 0;
    virtual void release(int id) = 0;

    static bool available();
    // Null where global keys are unavailable. `activated` is called on the window thread.
    static std::unique_ptr<HotkeyBackend> make(std::function<void(int)> activated);
};
