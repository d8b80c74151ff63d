#include "LargeBuffer.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace LargeBuffer {

// Windows has no advice of this kind that would help a buffer touched once, front to back.
void adviseHugePages(void *, std::size_t) {}
void discard(void *, std::size_t) {}

// A process's address space has no limit of its own here; a job object limits committed memory,
// which a reservation does not take.
std::size_t reservationRoom(std::size_t wanted)
{
    return wanted;
}

void *reserve(std::size_t bytes, std::size_t)
{
    // Reservations start on 64 KiB boundaries; that is enough.
    return VirtualAlloc(nullptr, SIZE_T(bytes), MEM_RESERVE, PAGE_NOACCESS);
}

bool commit(void *at, std::size_t bytes)
{
    return VirtualAlloc(at, SIZE_T(bytes), MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

void decommit(void *at, std::size_t bytes)
{
    VirtualFree(at, SIZE_T(bytes), MEM_DECOMMIT);
}

void unreserve(void *at, std::size_t)
{
    VirtualFree(at, 0, MEM_RELEASE);
}

} // namespace LargeBuffer
