// No global keys on this system: every key reports Unsupported.
#include "HotkeyBackend.h"

bool HotkeyBackend::available()
{
    return false;
}

std::unique_ptr<HotkeyBackend> HotkeyBackend::make(std::function<void(int)>)
{
    return nullptr;
}
