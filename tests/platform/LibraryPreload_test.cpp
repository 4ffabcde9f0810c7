// Loading libraries ahead of one that needs them.
#include "platform/LibraryPreload.h"
#include <dlfcn.h>
// Qt and gtest come with the test programs' precompiled headers.

namespace {
const char* const kProbe = KIVO_PRELOAD_PROBE;

bool probeLoaded() {
    void* handle = dlopen(kProbe, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}
} // namespace

// What no later load took up is unloaded again; what one did stays with it; a missing name is skipped
// without leaving an error behind.
TEST(LibraryPreload, KeepsOnlyWhatALaterLoadHolds) {
    {
        const LibraryPreload preload({"libkivo-no-such-library.so.9", kProbe});
        EXPECT_EQ(preload.loaded(), 1);
        EXPECT_EQ(dlerror(), nullptr);
        EXPECT_TRUE(probeLoaded());
    }
    EXPECT_FALSE(probeLoaded());

    void* later = nullptr;
    {
        const LibraryPreload preload({kProbe});
        later = dlopen(kProbe, RTLD_NOW | RTLD_LOCAL);
    }
    EXPECT_TRUE(probeLoaded());
    dlclose(later);
    EXPECT_FALSE(probeLoaded());
}
