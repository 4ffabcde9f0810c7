#pragma once
#include "platform/MpvPlayer.h"
#include "support/WaitUntil.h"

// The engine starts on a thread of its own; tests that look at it directly wait for that first.
inline bool waitForStart(const MpvPlayer& player) {
    return waitUntil([&] { return !player.isStarting(); }, 20000);
}
