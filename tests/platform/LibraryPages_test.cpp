// Unmapping the pages of loaded libraries that still hold the file's own content.
#include "platform/LibraryPages.h"
#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <unistd.h>
// Qt and gtest come with the test programs' precompiled headers.

namespace {
using namespace LibraryPages;
constexpr std::uint64_t F = present | fileOrShared; // the file's page, mapped
constexpr std::uint64_t C = present;                // a private copy
constexpr std::uint64_t S = swapped;                // a private copy, swapped out
constexpr std::uint64_t A = 0;                      // not mapped

std::string runsOf(const std::vector<std::uint64_t>& entries) {
    std::string text;
    for (const Run& run : releasableRuns(entries))
        text += std::to_string(run.first) + "+" + std::to_string(run.count) + " ";
    return text;
}

// The pagemap entry of the page holding `address`.
std::uint64_t entryOf(const void* address) {
    const int pagemap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    std::uint64_t entry = 0;
    const off_t at = reinterpret_cast<std::uintptr_t>(address) / sysconf(_SC_PAGESIZE) * sizeof entry;
    EXPECT_EQ(pread(pagemap, &entry, sizeof entry, at), static_cast<ssize_t>(sizeof entry));
    close(pagemap);
    return entry;
}

// Two pages of constants of this program, in a read-only segment.
alignas(4096) const unsigned char constants[2 * 4096] = {1, 2, 3};
} // namespace

TEST(LibraryPages, RunsHoldTheFilesPagesAndNeverAPrivateCopy) {
    const struct {
        std::vector<std::uint64_t> entries;
        std::string runs;
    } rows[] = {
        {{}, ""},
        {{A, A}, ""},
        {{F, F, A, F}, "0+4 "},  // a gap not mapped joins the run
        {{A, F, A}, "1+1 "},     // a run starts and ends on a mapped page
        {{F, C, F}, "0+1 2+1 "}, // a private copy splits
        {{S, F, F}, "1+2 "},     // a swapped-out copy too
        {{F, A, C, A, F}, "0+1 4+1 "},
        {{C, S, C}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(runsOf(row.entries), row.runs) << ::testing::PrintToString(row.entries);
}

// The loader writes a read-only page when it relocates code: such a copy must survive the release.
TEST(LibraryPages, APageTheProgramWroteKeepsItsContentAndTheOthersAreUnmapped) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    ASSERT_EQ(pageSize, 4096);
    auto* written = const_cast<unsigned char*>(constants);
    ASSERT_EQ(mprotect(written, pageSize, PROT_READ | PROT_WRITE), 0);
    *static_cast<volatile unsigned char*>(written) = 42;
    ASSERT_EQ(mprotect(written, pageSize, PROT_READ), 0);
    // Both ways of calling the kernel (this one's, and the one of kernels that take a range a call), and a
    // release in steps of a few pages, each going on where the last one stopped.
    const struct {
        Calls calls;
        std::size_t step;
    } ways[] = {{Calls::Batched, SIZE_MAX}, {Calls::OnePerRange, SIZE_MAX}, {Calls::Batched, 7}};
    for (const auto& way : ways) {
        const volatile unsigned char* read = constants + pageSize;
        ASSERT_EQ(read[0], 0);
        ASSERT_EQ(entryOf(constants + pageSize) & F, F);

        LibraryPageRelease release(way.calls);
        int steps = 1;
        while (release.step(way.step))
            ++steps;
        EXPECT_GT(release.released(), 0u);
        EXPECT_EQ(steps > 1, way.step < SIZE_MAX);
        // Nor is a library's first page, its headers, read again once unmapped.
        EXPECT_EQ(entryOf(reinterpret_cast<const void*>(getauxval(AT_PHDR))) & present, 0u);
        EXPECT_EQ(entryOf(constants + pageSize) & present, 0u);
        EXPECT_EQ(*static_cast<const volatile unsigned char*>(constants), 42);
        EXPECT_EQ(static_cast<const volatile unsigned char*>(constants)[1], 2);
    }
}
