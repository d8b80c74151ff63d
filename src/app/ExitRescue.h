#pragma once

#include <functional>

// The last chance to keep the words when the process ends through exit() without the shutdown
// sequence: Qt's X11 plugin does that when the X server goes away (a crashed desktop), printing
// "The X11 connection broke". No window may be touched then, so the saving is handed over as a
// function that uses logic only (the list and the bank).
//
// arm() makes an exit() on this thread call `save` once, from an atexit handler, until disarm().
// The shutdown sequence disarms it before it saves, so the words are never written twice; an
// exit() on another thread saves nothing (the list may be in use there).
namespace ExitRescue {

void arm(std::function<void()> save);
void disarm();

} // namespace ExitRescue
