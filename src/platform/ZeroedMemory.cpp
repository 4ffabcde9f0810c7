#include "platform/ZeroedMemory.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

namespace {
// Below this, writing zeros costs less than the system call.
constexpr std::size_t kHandBackFrom = 256 * 1024;
// The engine's own allocator aligns for AVX-512.
constexpr std::size_t kAlignment = 64;

// Valgrind does not know that the kernel zeroes pages handed back, and would report each read of them as a
// read of unwritten memory: under it (when the build found its header), the zeros are written.
bool underValgrind() {
#if defined(RUNNING_ON_VALGRIND)
    return RUNNING_ON_VALGRIND;
#else
    return false;
#endif
}
} // namespace

void ZeroedMemory::fill(void* at, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(at);
    if (size < kHandBackFrom || underValgrind()) {
        std::memset(bytes, 0, size);
        return;
    }
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(bytes);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t last = (start + size) & ~(page - 1);
    auto* pages = reinterpret_cast<unsigned char*>(first);
    std::memset(bytes, 0, first - start);
    std::memset(reinterpret_cast<unsigned char*>(last), 0, start + size - last);
    // Refused for locked memory, for one: then the pages are written like the rest.
    if (madvise(pages, last - first, MADV_DONTNEED) != 0)
        std::memset(pages, 0, last - first);
}

void* ZeroedMemory::allocate(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX))
        return nullptr;
    void* block = nullptr;
    if (posix_memalign(&block, kAlignment, size == 0 ? 1 : size) != 0)
        return nullptr;
    fill(block, size);
    return block;
}
