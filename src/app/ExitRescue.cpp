#include "ExitRescue.h"

#include <cstdlib>
#include <thread>

namespace ExitRescue {

namespace {
std::function<void()> g_save;
std::thread::id g_thread;
bool g_registered = false;

extern "C" void saveOnExit()
{
    if (!g_save || std::this_thread::get_id() != g_thread)
        return;
    const std::function<void()> save = std::move(g_save);
    g_save = nullptr;
    try {
        save();
    } catch (...) {
        // Nothing more can be done on the way out.
    }
}
} // namespace

void arm(std::function<void()> save)
{
    g_save = std::move(save);
    g_thread = std::this_thread::get_id();
    // Registered late (after Qt's own objects exist), so it runs before their clean-up does.
    if (!g_registered)
        g_registered = std::atexit(saveOnExit) == 0;
}

void disarm()
{
    g_save = nullptr;
}

} // namespace ExitRescue
