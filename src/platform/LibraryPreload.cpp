#include "platform/LibraryPreload.h"
#include <dlfcn.h>

LibraryPreload::LibraryPreload(std::initializer_list<const char*> names) {
    handles_.reserve(names.size());
    for (const char* name : names) {
        if (void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL))
            handles_.push_back(handle);
        else
            dlerror(); // not left for the next caller of dlerror to find
    }
}

LibraryPreload::~LibraryPreload() {
    for (auto it = handles_.rbegin(); it != handles_.rend(); ++it)
        dlclose(*it);
}
