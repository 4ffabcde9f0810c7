#include "platform/LibraryPreload.h"
#include <dlfcn.h>

LibraryPreload::LibraryPreload(std::initializer_list<const char*> names) {
    handles_.reserve(names.size());
    for (const char* name : names) {
        // Lazily, as the later load binds: a function is bound at its first call, unless the library asks
        // for all of them at load. Most of a codec or crypto library's functions are never called here.
        if (void* handle = dlopen(name, RTLD_LAZY | RTLD_LOCAL))
            handles_.push_back(handle);
        else
            dlerror(); // not left for the next caller of dlerror to find
    }
}

LibraryPreload::~LibraryPreload() {
    for (auto it = handles_.rbegin(); it != handles_.rend(); ++it)
        dlclose(*it);
}
