#pragma once

#include <cstddef>

// Large buffers: the list's text arena, a decoded word bank, the list's entry table and index.
// This is the one place that talks to the system's virtual memory; each platform has its own file
// (LargeBuffer_posix.cpp, LargeBuffer_win.cpp).
namespace LargeBuffer {

// Buffers are touched page by page right after they are allocated. On Linux, asking for
// transparent huge pages cuts the cost of that first touch many times over; elsewhere, and when
// the system declines, nothing changes.
void adviseHugePages(void *data, std::size_t bytes);

// Gives the memory of the whole huge pages inside [data, data + bytes) back to the system: the
// caller will not read it again (it reads as zeros if it does). A buffer read front to back can so
// shrink as it is consumed. Does nothing where the system has no such call.
void discard(void *data, std::size_t bytes);

template<typename Container>
void advise(Container &c)
{
    adviseHugePages(const_cast<void *>(static_cast<const void *>(c.data())), c.capacity() * sizeof(*c.data()));
}

// Address space that never moves: reserved once (no memory yet), then committed and given back in
// steps as what lives in it grows and shrinks.
//
// How much of `wanted` one reservation may take: all of it, unless the process has a limit on its
// address space (ulimit -v), where a reservation counts in full although no memory backs it; then
// a share of what is left under the limit, so the rest of the program keeps room to work.
std::size_t reservationRoom(std::size_t wanted);
// Reserves `bytes` starting on a multiple of `alignment` where the system allows (Windows reserves
// on its own 64 KiB boundaries); null when the system grants no such range.
void *reserve(std::size_t bytes, std::size_t alignment);
// Makes [at, at + bytes) inside a reservation readable and writable; false when the system has
// no memory to commit.
bool commit(void *at, std::size_t bytes);
// Gives the memory of [at, at + bytes) back; the range stays reserved.
void decommit(void *at, std::size_t bytes);
// Gives a whole reservation back.
void unreserve(void *at, std::size_t bytes);

} // namespace LargeBuffer
