// The engine's libraries are loaded after this program and look a symbol up in it first: this definition
// serves every call of the engine's zeroed allocation made from outside its own utility library (exported by
// engine-exports.list). It keeps that allocation's contract: aligned, zeroed, released with the engine's
// free.
#include "platform/ZeroedMemory.h"

extern "C" void* av_mallocz(std::size_t size) {
    return ZeroedMemory::allocate(size);
}
