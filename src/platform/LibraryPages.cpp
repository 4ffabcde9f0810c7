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
constexpr std::size_t kBatchRanges =
    1024; // ranges handed to one call of process_madvise (the kernel's limit)

struct Range {
    iovec pages;
    std::size_t present; // bytes of it mapped
};

struct Walk {
    int pagemap = -1;
    int self = -1; // this process as a pidfd, while the kernel takes many ranges in one call
    std::uintptr_t pageSize = 0;
    std::uintptr_t vdso = 0;
    // What the loader had when the walk began: while it still has that, the ranges wait for the last library,
    // or for a full batch, so that the kernel is called as few times as it can be.
    unsigned long long adds = 0;
    unsigned long long subs = 0;
    std::size_t libraries = 0;
    std::size_t seen = 0;
    std::vector<Range> ranges;
    std::size_t released = 0;
};

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

void collectRange(Walk& walk, std::uintptr_t begin, std::uintptr_t end) {
    const std::size_t pages = (end - begin) / walk.pageSize;
    std::vector<std::uint64_t> entries(pages);
    const off_t offset = static_cast<off_t>(begin / walk.pageSize * sizeof(std::uint64_t));
    const ssize_t bytes = pages * sizeof(std::uint64_t);
    if (pread(walk.pagemap, entries.data(), bytes, offset) != bytes)
        return;
    for (const LibraryPages::Run& run : LibraryPages::releasableRuns(entries)) {
        for (std::size_t first = run.first; first < run.first + run.count; first += kPiece) {
            const std::size_t count = std::min(kPiece, run.first + run.count - first);
            std::size_t present = 0;
            for (std::size_t i = first; i < first + count; ++i)
                present += (entries[i] & LibraryPages::present) ? walk.pageSize : 0;
            walk.ranges.push_back(
                {{reinterpret_cast<void*>(begin + first * walk.pageSize), count * walk.pageSize}, present});
        }
    }
}

// Each call of madvise ends by making every processor that ran one of the program's threads drop the
// unmapped pages from its address cache, and waiting for it: some 30 microseconds in a virtual machine,
// a thousand times over for the engine's libraries. process_madvise does that once for all the ranges it is
// handed. Where the kernel does not take MADV_DONTNEED that way (before Linux 6.15), one madvise per range
// of at most kPiece pages: each call holds the process's memory map, which a thread mapping memory (the
// window's thread too) must wait for.
void releaseRanges(Walk& walk) {
    std::size_t done = 0;
    while (walk.self >= 0 && done < walk.ranges.size()) {
        const std::size_t count = std::min(kBatchRanges, walk.ranges.size() - done);
        std::vector<iovec> batch(count);
        for (std::size_t i = 0; i < count; ++i)
            batch[i] = walk.ranges[done + i].pages;
        ssize_t advised = syscall(SYS_process_madvise, walk.self, batch.data(), count, MADV_DONTNEED, 0);
        if (advised <= 0) {
            close(walk.self);
            walk.self = -1;
            break;
        }
        // The kernel stops at the first range it cannot advise and tells the bytes done before it; that range
        // is left as it is.
        const std::size_t end = done + count;
        for (; done < end && advised >= static_cast<ssize_t>(walk.ranges[done].pages.iov_len); ++done) {
            advised -= static_cast<ssize_t>(walk.ranges[done].pages.iov_len);
            walk.released += walk.ranges[done].present;
        }
        if (done < end)
            ++done;
    }
    for (; done < walk.ranges.size(); ++done) {
        const Range& range = walk.ranges[done];
        if (madvise(range.pages.iov_base, range.pages.iov_len, MADV_DONTNEED) == 0)
            walk.released += range.present;
    }
    walk.ranges.clear();
}

int countObject(dl_phdr_info* info, size_t, void* data) {
    Walk& walk = *static_cast<Walk*>(data);
    walk.adds = info->dlpi_adds;
    walk.subs = info->dlpi_subs;
    ++walk.libraries;
    return 0;
}

void collectObject(Walk& walk, const dl_phdr_info* info) {
    if (info->dlpi_phnum == 0 || (walk.vdso != 0 && holds(info, walk.vdso)) || patchedWhenLoaded(info))
        return;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_W) != 0)
            continue;
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        // Whole pages inside the segment only: a page shared with a neighbour is left alone.
        const std::uintptr_t begin = (start + walk.pageSize - 1) & ~(walk.pageSize - 1);
        const std::uintptr_t end = (start + segment.p_memsz) & ~(walk.pageSize - 1);
        if (end > begin)
            collectRange(walk, begin, end);
    }
}

// Called with the loader's list locked for the whole walk: no library can be unloaded, and its pages
// unmapped, meanwhile. Ranges are released before the walk ends, never after it, and after the headers of
// the libraries they belong to have been read: a header read after its page was unmapped would map it again,
// with its neighbours.
int releaseObject(dl_phdr_info* info, size_t, void* data) {
    Walk& walk = *static_cast<Walk*>(data);
    collectObject(walk, info);
    const bool unchanged = info->dlpi_adds == walk.adds && info->dlpi_subs == walk.subs;
    if (++walk.seen >= walk.libraries || !unchanged || walk.ranges.size() >= kBatchRanges)
        releaseRanges(walk);
    return 0;
}

} // namespace

std::size_t releaseUnmodifiedLibraryPages(LibraryPages::Calls calls) {
    Walk walk;
    walk.pagemap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    walk.pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    walk.vdso = getauxval(AT_SYSINFO_EHDR);
    if (walk.pagemap < 0)
        return 0;
#if defined(SYS_process_madvise) && defined(SYS_pidfd_open)
    if (calls == LibraryPages::Calls::Batched)
        walk.self = static_cast<int>(syscall(SYS_pidfd_open, getpid(), 0));
#endif
    dl_iterate_phdr(&countObject, &walk);
    dl_iterate_phdr(&releaseObject, &walk);
    if (walk.self >= 0)
        close(walk.self);
    close(walk.pagemap);
    return walk.released;
}
#else
std::size_t releaseUnmodifiedLibraryPages(LibraryPages::Calls) {
    return 0;
}
#endif
