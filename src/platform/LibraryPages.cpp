#include "platform/LibraryPages.h"
#include <algorithm>
#if defined(__linux__)
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace LibraryPages {

std::vector<Run> releasableRuns(const std::vector<std::uint64_t>& entries) {
    std::vector<Run> runs;
    bool open = false;
    Run run{0, 0};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint64_t entry = entries[i];
        const bool isPresent = (entry & present) != 0;
        const bool privateCopy = (isPresent && (entry & fileOrShared) == 0) || (entry & swapped) != 0;
        if (privateCopy) {
            if (open)
                runs.push_back(run);
            open = false;
        } else if (isPresent) {
            if (!open)
                run.first = i;
            run.count = i - run.first + 1;
            open = true;
        }
    }
    if (open)
        runs.push_back(run);
    return runs;
}

} // namespace LibraryPages

#if defined(__linux__)
namespace {

constexpr std::size_t kPiece = 64; // pages unmapped by one call of madvise
// Ranges handed to one call of process_madvise (the kernel's limit).
constexpr std::size_t kBatchRanges = 1024;

struct Range {
    iovec pages;
    std::size_t present; // bytes of it mapped
};

struct Span {
    std::uintptr_t begin;
    std::uintptr_t end;
};

} // namespace

struct LibraryPageRelease::State {
    int pagemap = -1;
    int self = -1; // this process as a pidfd, while the kernel takes many ranges in one call
    std::uintptr_t pageSize = 0;
    std::uintptr_t vdso = 0;
    bool begun = false;
    bool finished = false;
    // What the loader had when the release began: a library loaded or unloaded since ends it.
    unsigned long long adds = 0;
    unsigned long long subs = 0;
    // The library to go on with, by its place in the loader's list (the same list while adds and subs are
    // unchanged), and, when the last step stopped inside it, its spans still to do.
    std::size_t library = 0;
    bool inside = false;
    std::vector<Span> rest;
    std::size_t released = 0;
    // The step under way: the libraries in the list, those seen, the mapped pages it may still unmap, and
    // the ranges waiting for the kernel, handed over together so that it is called as few times as it can.
    std::size_t libraries = 0;
    bool listChanged = false; // since the release began
    std::size_t seen = 0;
    std::size_t budget = 0;
    bool stopped = false; // where the pages it may unmap ran out
    std::vector<Range> ranges;
};

namespace {
using State = LibraryPageRelease::State;

// The kernel's own page of code for fast system calls is not a file.
bool holds(const dl_phdr_info* info, std::uintptr_t address) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && address >= start && address - start < segment.p_memsz)
            return true;
    }
    return false;
}

bool patchedWhenLoaded(const dl_phdr_info* info) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_DYNAMIC)
            continue;
        const auto* entry = reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + segment.p_vaddr);
        for (; entry->d_tag != DT_NULL; ++entry) {
            if (entry->d_tag == DT_TEXTREL || (entry->d_tag == DT_FLAGS && (entry->d_un.d_val & DF_TEXTREL)))
                return true;
        }
    }
    return false;
}

// The whole pages of a library's read-only segments: a page shared with a neighbour is left alone.
std::vector<Span> spansOf(const State& state, const dl_phdr_info* info) {
    std::vector<Span> spans;
    if (info->dlpi_phnum == 0 || (state.vdso != 0 && holds(info, state.vdso)) || patchedWhenLoaded(info))
        return spans;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_W) != 0)
            continue;
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        const std::uintptr_t begin = (start + state.pageSize - 1) & ~(state.pageSize - 1);
        const std::uintptr_t end = (start + segment.p_memsz) & ~(state.pageSize - 1);
        if (end > begin)
            spans.push_back({begin, end});
    }
    return spans;
}

// As collectRange, for a window of pages read from the page map at once.
std::uintptr_t collectWindow(State& state, std::uintptr_t begin, std::uintptr_t end) {
    const std::size_t pages = (end - begin) / state.pageSize;
    std::vector<std::uint64_t> entries(pages);
    const off_t offset = static_cast<off_t>(begin / state.pageSize * sizeof(std::uint64_t));
    const ssize_t bytes = pages * sizeof(std::uint64_t);
    if (pread(state.pagemap, entries.data(), bytes, offset) != bytes)
        return end;
    for (const LibraryPages::Run& run : LibraryPages::releasableRuns(entries)) {
        for (std::size_t first = run.first; first < run.first + run.count; first += kPiece) {
            if (state.budget == 0)
                return begin + first * state.pageSize;
            const std::size_t count = std::min(kPiece, run.first + run.count - first);
            std::size_t present = 0;
            for (std::size_t i = first; i < first + count; ++i)
                present += (entries[i] & LibraryPages::present) ? 1 : 0;
            state.budget -= std::min(state.budget, present);
            state.ranges.push_back(
                {{reinterpret_cast<void*>(begin + first * state.pageSize), count * state.pageSize},
                 present * state.pageSize});
        }
    }
    return end;
}

// Collects the releasable pieces of [begin, end) while the step may unmap more; returns where it stopped
// (`end` when it got through).
std::uintptr_t collectRange(State& state, std::uintptr_t begin, std::uintptr_t end) {
    // The kernel walks the page tables for every entry read: a step reads a library's entries a window at
    // a time, as far as its pages to unmap go, not the whole rest of a large library at every step.
    constexpr std::size_t kWindow = 4 * kPiece;
    const std::uintptr_t span = kWindow * state.pageSize;
    while (end - begin > span) {
        const std::uintptr_t stop = collectWindow(state, begin, begin + span);
        if (stop < begin + span || state.budget == 0)
            return stop;
        begin += span;
    }
    return collectWindow(state, begin, end);
}

// Each call of madvise ends by making every processor that ran one of the program's threads drop the
// unmapped pages from its address cache, and waiting for it: some 30 microseconds in a virtual machine,
// a thousand times over for the engine's libraries. process_madvise does that once for all the ranges it is
// handed. Where the kernel does not take MADV_DONTNEED that way (before Linux 6.15), one madvise per range
// of at most kPiece pages: each call holds the process's memory map, which a thread mapping memory (the
// window's thread too) must wait for.
void releaseRanges(State& state) {
    std::size_t done = 0;
    while (state.self >= 0 && done < state.ranges.size()) {
        const std::size_t count = std::min(kBatchRanges, state.ranges.size() - done);
        std::vector<iovec> batch(count);
        for (std::size_t i = 0; i < count; ++i)
            batch[i] = state.ranges[done + i].pages;
        ssize_t advised = syscall(SYS_process_madvise, state.self, batch.data(), count, MADV_DONTNEED, 0);
        if (advised <= 0) {
            close(state.self);
            state.self = -1;
            break;
        }
        // The kernel stops at the first range it cannot advise and tells the bytes done before it; that range
        // is left as it is.
        const std::size_t end = done + count;
        for (; done < end && advised >= static_cast<ssize_t>(state.ranges[done].pages.iov_len); ++done) {
            advised -= static_cast<ssize_t>(state.ranges[done].pages.iov_len);
            state.released += state.ranges[done].present;
        }
        if (done < end)
            ++done;
    }
    for (; done < state.ranges.size(); ++done) {
        const Range& range = state.ranges[done];
        if (madvise(range.pages.iov_base, range.pages.iov_len, MADV_DONTNEED) == 0)
            state.released += range.present;
    }
    state.ranges.clear();
}

int countObject(dl_phdr_info* info, size_t, void* data) {
    State& state = *static_cast<State*>(data);
    if (!state.begun) {
        state.adds = info->dlpi_adds;
        state.subs = info->dlpi_subs;
    }
    state.listChanged = state.listChanged || info->dlpi_adds != state.adds || info->dlpi_subs != state.subs;
    ++state.libraries;
    return 0;
}

// Called with the loader's list locked for the whole walk: no library can be unloaded, and its pages
// unmapped, meanwhile. Ranges are released before the walk ends, never after it, and after the headers of
// the libraries they belong to have been read: a header read after its page was unmapped would map it again,
// with its neighbours. So a library a step stopped inside is gone on with from the spans kept, and the
// libraries before it are passed over without a look at their headers.
int releaseObject(dl_phdr_info* info, size_t, void* data) {
    State& state = *static_cast<State*>(data);
    const std::size_t index = state.seen++;
    const bool changed = info->dlpi_adds != state.adds || info->dlpi_subs != state.subs;
    if (changed) {
        releaseRanges(state);
        state.finished = true;
        return 1;
    }
    if (index < state.library)
        return 0;
    std::vector<Span> spans =
        index == state.library && state.inside ? std::move(state.rest) : spansOf(state, info);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        spans[i].begin = collectRange(state, spans[i].begin, spans[i].end);
        if (spans[i].begin < spans[i].end) {
            state.library = index;
            state.inside = true;
            state.rest.assign(spans.begin() + static_cast<std::ptrdiff_t>(i), spans.end());
            releaseRanges(state);
            state.stopped = true;
            return 1;
        }
    }
    state.library = index + 1;
    state.inside = false;
    state.rest.clear();
    if (state.seen >= state.libraries || state.ranges.size() >= kBatchRanges)
        releaseRanges(state);
    return 0;
}

} // namespace

LibraryPageRelease::LibraryPageRelease(LibraryPages::Calls calls) : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.pagemap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    state.pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    state.vdso = getauxval(AT_SYSINFO_EHDR);
    state.finished = state.pagemap < 0;
#if defined(SYS_process_madvise) && defined(SYS_pidfd_open)
    if (calls == LibraryPages::Calls::Batched && !state.finished)
        state.self = static_cast<int>(syscall(SYS_pidfd_open, getpid(), 0));
#else
    (void)calls;
#endif
}

LibraryPageRelease::~LibraryPageRelease() {
    if (state_->self >= 0)
        close(state_->self);
    if (state_->pagemap >= 0)
        close(state_->pagemap);
}

bool LibraryPageRelease::step(std::size_t pages) {
    State& state = *state_;
    if (state.finished)
        return false;
    state.libraries = 0;
    state.listChanged = false;
    dl_iterate_phdr(&countObject, &state);
    state.begun = true;
    if (state.listChanged) {
        state.finished = true;
        return false;
    }
    state.seen = 0;
    state.budget = std::max<std::size_t>(pages, 1); // a step of none would never get on
    state.stopped = false;
    dl_iterate_phdr(&releaseObject, &state);
    // Every range was handed over inside the walk; one left now could belong to a library unloaded since.
    state.ranges.clear();
    state.finished = state.finished || !state.stopped;
    return !state.finished;
}

std::size_t LibraryPageRelease::released() const {
    return state_->released;
}
#else
struct LibraryPageRelease::State {};

LibraryPageRelease::LibraryPageRelease(LibraryPages::Calls) : state_(std::make_unique<State>()) {}
LibraryPageRelease::~LibraryPageRelease() = default;

bool LibraryPageRelease::step(std::size_t) {
    return false;
}

std::size_t LibraryPageRelease::released() const {
    return 0;
}
#endif
