#include "LargeBuffer.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/mman.h>
#endif

namespace LargeBuffer {

void adviseHugePages([[maybe_unused]] void *data, [[maybe_unused]] std::size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
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
#if defined(Q_OS_LINUX) && defined(MADV_DONTNEED)
    // Whole huge pages only, so that none is split.
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_DONTNEED);
#endif
}

} // namespace LargeBuffer
