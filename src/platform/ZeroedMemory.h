#pragma once
#include <cstddef>

// Zeroed blocks for the engine. Opening any file, the engine's demuxer asks for a 10 MiB zeroed buffer to
// probe the format, of which it reads a few kilobytes. Writing zeros over all of it makes the kernel supply
// every page of it first: some 2,500 page faults, tens of milliseconds of CPU per file on a virtual machine.

namespace ZeroedMemory {
// Zeroes `size` bytes at `at`, which must be private anonymous memory (any block from malloc). Whole pages of
// a large block are handed back to the kernel, which gives them back zeroed when they are first touched; the
// rest, and a block where the kernel refuses, is written.
void fill(void* at, std::size_t size);

// A zeroed block with the alignment of the widest vector registers, released with free(); none for a size the
// engine's own allocator refuses (over INT_MAX). Size 0 gives a block of 1 byte, as the engine's does.
void* allocate(std::size_t size);
} // namespace ZeroedMemory
