#include "platform/LibraryPages.h"
#include <algorithm>
#if defined(__linux__)
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/mman.h>
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

constexpr std::size_t kPiece = 64; // pages unmapped by one call

struct Walk {
    int pagemap;
    std::uintptr_t pageSize;
    std::uintptr_t vdso;
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

void releaseRange(Walk& walk, std::uintptr_t begin, std::uintptr_t end) {
    const std::size_t pages = (end - begin) / walk.pageSize;
    std::vector<std::uint64_t> entries(pages);
    const off_t offset = static_cast<off_t>(begin / walk.pageSize * sizeof(std::uint64_t));
    const ssize_t bytes = pages * sizeof(std::uint64_t);
    if (pread(walk.pagemap, entries.data(), bytes, offset) != bytes)
        return;
    for (const LibraryPages::Run& run : LibraryPages::releasableRuns(entries)) {
        // In small pieces: each call holds the process's memory map, which a thread mapping memory (the
        // window's thread too) must wait for.
        for (std::size_t first = run.first; first < run.first + run.count; first += kPiece) {
            const std::size_t count = std::min(kPiece, run.first + run.count - first);
            if (madvise(reinterpret_cast<void*>(begin + first * walk.pageSize), count * walk.pageSize,
                        MADV_DONTNEED) != 0)
                continue;
            for (std::size_t i = first; i < first + count; ++i)
                walk.released += (entries[i] & LibraryPages::present) ? walk.pageSize : 0;
        }
    }
}

// Called with the loader's list locked: no library can be unloaded, and its pages unmapped, meanwhile.
int releaseObject(dl_phdr_info* info, size_t, void* data) {
    Walk& walk = *static_cast<Walk*>(data);
    if (info->dlpi_phnum == 0 || (walk.vdso != 0 && holds(info, walk.vdso)) || patchedWhenLoaded(info))
        return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_W) != 0)
            continue;
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        // Whole pages inside the segment only: a page shared with a neighbour is left alone.
        const std::uintptr_t begin = (start + walk.pageSize - 1) & ~(walk.pageSize - 1);
        const std::uintptr_t end = (start + segment.p_memsz) & ~(walk.pageSize - 1);
        if (end > begin)
            releaseRange(walk, begin, end);
    }
    return 0;
}

} // namespace

std::size_t releaseUnmodifiedLibraryPages() {
    Walk walk{open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC), static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)),
              getauxval(AT_SYSINFO_EHDR)};
    if (walk.pagemap < 0)
        return 0;
    dl_iterate_phdr(&releaseObject, &walk);
    close(walk.pagemap);
    return walk.released;
}
#else
std::size_t releaseUnmodifiedLibraryPages() {
    return 0;
}
#endif
