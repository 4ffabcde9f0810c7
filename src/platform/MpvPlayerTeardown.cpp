#include "platform/MpvPlayerTeardown.h"
#include "platform/MpvApi.h"
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

bool destroyMpvWithin(const MpvApi* api, mpv_handle* handle, std::chrono::milliseconds wait) {
    struct Done {
        std::mutex lock;
        std::condition_variable changed;
        bool done = false;
    };
    // Shared with the thread, which may outlive the caller.
    const auto state = std::make_shared<Done>();
    std::thread([state, destroy = api->terminate_destroy, handle] {
        destroy(handle);
        const std::lock_guard<std::mutex> hold(state->lock);
        state->done = true;
        state->changed.notify_all();
    }).detach();
    std::unique_lock<std::mutex> hold(state->lock);
    return state->changed.wait_for(hold, wait, [&] { return state->done; });
}
