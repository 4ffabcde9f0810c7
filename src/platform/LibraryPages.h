#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Loading a shared library reads pages of it that are seldom wanted again: symbol and relocation tables,
// constructors, the code of formats probed once. The engine alone brings some 250 libraries, and those
// pages stay mapped, counted in the player's memory, for the whole run.

namespace LibraryPages {
// Batched hands the kernel many ranges a call where it takes them so; OnePerRange is the way of older
// kernels.
enum class Calls { Batched, OnePerRange };

// Bits of a page's entry in /proc/self/pagemap.
constexpr std::uint64_t present = 1ULL << 63;
constexpr std::uint64_t swapped = 1ULL << 62;
constexpr std::uint64_t fileOrShared = 1ULL << 61;

struct Run {
    std::size_t first;
    std::size_t count;
};

// The runs of pages, by index into `entries`, that may be unmapped: each starts and ends with a present page
// of the file and holds no private copy (a present page that is not the file's, or a swapped one).
std::vector<Run> releasableRuns(const std::vector<std::uint64_t>& entries);
} // namespace LibraryPages

// Unmaps from this process every page of a loaded library's read-only segments that still holds the file's
// own content. Such a page stays in the system's page cache: touched again, it comes back without reading the
// disk. A page the process has written (its private copy) is never unmapped, nor anything of a writable
// segment or of a library whose code is patched when it loads.
//
// The release goes in steps of a given number of pages, in the loader's order of the libraries, each step
// going on where the last one stopped; pausing between steps spreads out the moments where the program's
// running threads fault back the code they use. A step that finds a library loaded or unloaded since the
// release began ends the release: what is left stays mapped.
class LibraryPageRelease {
public:
    explicit LibraryPageRelease(LibraryPages::Calls calls = LibraryPages::Calls::Batched);
    ~LibraryPageRelease();
    LibraryPageRelease(const LibraryPageRelease&) = delete;
    LibraryPageRelease& operator=(const LibraryPageRelease&) = delete;

    // Unmaps about `pages` more mapped pages (SIZE_MAX: all); returns whether any are left for a later step.
    bool step(std::size_t pages);
    // The bytes unmapped by the steps so far.
    std::size_t released() const;

    struct State; // where the last step stopped
private:
    std::unique_ptr<State> state_;
};

