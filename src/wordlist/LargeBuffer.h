#pragma once

#include <cstddef>

// Large buffers (a decoded word bank, the list's entry table and index) are touched page by
// page right after they are allocated. On Linux, asking for transparent huge pages cuts the cost
// of that first touch many times over; elsewhere, and when the system declines, nothing changes.
namespace LargeBuffer {

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

} // namespace LargeBuffer
