#pragma once
#include <chrono>

struct MpvApi;
struct mpv_handle;

// Destroys an mpv instance on a thread of its own and waits at most `wait` for it. mpv's core cannot be
// interrupted while a file is being opened or read, and a file on a hung network mount never answers: the
// thread is then left to finish (or not) on its own. Returns true when the instance was gone in time.
bool destroyMpvWithin(const MpvApi* api, mpv_handle* handle, std::chrono::milliseconds wait);
