#include "LargeBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace LargeBuffer {

namespace {
constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
}

void adviseHugePages([[maybe_unused]] void *data, [[maybe_unused]] std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    if (!data || bytes < 2 * kHugePage)
        return;
    // Only whole pages inside the buffer; the advice is a hint and its result does not matter.
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + 4095) & ~std::uintptr_t(4095);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~std::uintptr_t(4095);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void discard([[maybe_unused]] void *data, [[maybe_unused]] std::size_t bytes)
{
    // Only where the system has huge pages: there the advice frees the pages at once.
#if defined(MADV_HUGEPAGE) && defined(MADV_DONTNEED)
    // Whole huge pages only, so that none is split.
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_DONTNEED);
#endif
}

namespace {
// Bytes of address space the process holds now, where the system says (Linux); else 0.
std::size_t addressSpaceInUse()
{
    std::FILE *f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    unsigned long pages = 0;
    const bool read = std::fscanf(f, "%lu", &pages) == 1;
    std::fclose(f);
    return read ? std::size_t(pages) * std::size_t(::sysconf(_SC_PAGESIZE)) : 0;
}
} // namespace

std::size_t reservationRoom(std::size_t wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return wanted;
    const std::size_t used = addressSpaceInUse();
    const std::size_t left = limit.rlim_cur > used ? std::size_t(limit.rlim_cur) - used : 0;
    // A quarter: a file being imported takes several times its size while it is decoded.
    return std::min(wanted, left / 4);
}

void *reserve(std::size_t bytes, std::size_t alignment)
{
    const std::size_t span = bytes + alignment;
    void *p = ::mmap(nullptr, span, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    // Keep the part that starts on the boundary; give back what lies before and after it.
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const auto aligned = (start + alignment - 1) & ~std::uintptr_t(alignment - 1);
    const std::size_t head = aligned - start;
    if (head)
        ::munmap(p, head);
    if (span - head > bytes)
        ::munmap(reinterpret_cast<void *>(aligned + bytes), span - head - bytes);
    adviseHugePages(reinterpret_cast<void *>(aligned), bytes);
    return reinterpret_cast<void *>(aligned);
}

bool commit(void *at, std::size_t bytes)
{
    return ::mprotect(at, bytes, PROT_READ | PROT_WRITE) == 0;
}

void decommit(void *at, std::size_t bytes)
{
    // A fresh mapping in its place frees the pages and the commitment at once.
    ::mmap(at, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
}

void unreserve(void *at, std::size_t bytes)
{
    ::munmap(at, bytes);
}

} // namespace LargeBuffer
