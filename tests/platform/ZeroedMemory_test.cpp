// Zeroing engine memory without touching the pages the kernel can hand back zeroed.
#include "platform/ZeroedMemory.h"
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
// Qt and gtest come with the test programs' precompiled headers.

namespace {
const std::size_t kPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));

// A dirty anonymous mapping of `pages` pages, unmapped at the end of the scope.
struct Dirty {
    explicit Dirty(std::size_t pages) : size(pages * kPage) {
        bytes = static_cast<unsigned char*>(
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        std::memset(bytes, 0xAA, size);
    }
    ~Dirty() { munmap(bytes, size); }
    // The first byte in [from, to) that does not hold `value`, or `to`.
    std::size_t firstNot(unsigned char value, std::size_t from, std::size_t to) const {
        while (from < to && bytes[from] == value)
            ++from;
        return from;
    }
    unsigned char* bytes;
    std::size_t size;
};

bool resident(const void* page) {
    unsigned char in = 0;
    mincore(const_cast<void*>(page), kPage, &in);
    return in & 1;
}
} // namespace

TEST(ZeroedMemory, FillZeroesExactlyTheRangeAtAnyOffset) {
    struct Case {
        std::size_t offset, size;
    };
    const Case cases[] = {{0, 0},
                          {5, 1},
                          {3, 4000},
                          {0, kPage},
                          {kPage - 1, 3 * kPage},
                          // large blocks, page-aligned or not at either end
                          {0, 256 * kPage},
                          {17, 300001},
                          {kPage - 1, 1 << 20},
                          {kPage, (1 << 20) + 1}};
    for (const Case& c : cases) {
        Dirty memory(512);
        ZeroedMemory::fill(memory.bytes + c.offset, c.size);
        const std::size_t end = c.offset + c.size;
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << ", size " << c.size);
        EXPECT_EQ(memory.firstNot(0xAA, 0, c.offset), c.offset);
        EXPECT_EQ(memory.firstNot(0, c.offset, end), end);
        EXPECT_EQ(memory.firstNot(0xAA, end, memory.size), memory.size);
    }
}

TEST(ZeroedMemory, LargeBlockPagesAreHandedBackNotWritten) {
    Dirty memory(1024);
    ZeroedMemory::fill(memory.bytes + 100, memory.size - 200);
    EXPECT_TRUE(resident(memory.bytes));
    EXPECT_FALSE(resident(memory.bytes + kPage));
    EXPECT_FALSE(resident(memory.bytes + memory.size / 2));
}

TEST(ZeroedMemory, LockedPagesTheKernelKeepsAreWritten) {
    Dirty memory(128);
    if (mlock(memory.bytes, memory.size) != 0)
        GTEST_SKIP() << "no memory may be locked here";
    ZeroedMemory::fill(memory.bytes, memory.size);
    EXPECT_EQ(memory.firstNot(0, 0, memory.size), memory.size);
    munlock(memory.bytes, memory.size);
}

TEST(ZeroedMemory, AllocationsAreAlignedZeroedAndBounded) {
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{3}, std::size_t{4096}, std::size_t{10} << 20}) {
        // Memory freed dirty is likely to come back.
        void* dirty = std::malloc(size + 1);
        std::memset(dirty, 0xAA, size + 1);
        std::free(dirty);
        auto* block = static_cast<unsigned char*>(ZeroedMemory::allocate(size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 64, 0u) << size;
        std::size_t zeros = 0;
        while (zeros < size && block[zeros] == 0)
            ++zeros;
        EXPECT_EQ(zeros, size);
        std::free(block);
    }
    EXPECT_EQ(ZeroedMemory::allocate(std::size_t{INT_MAX} + 1), nullptr);
}
