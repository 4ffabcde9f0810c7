#pragma once
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdint>

// The player's commands and its event handling tell mpv's replies apart by these tags.
namespace MpvReplies {

// What an mpv reply or property event is about: the kind in the top byte, the setMedia generation it belongs
// to in the rest (0 for the properties observed for the player's whole life). Observed properties travel in
// mpv's event queue, so their values arrive even when the file has already been closed by the time the event
// is handled (a very short file).
enum class Reply : std::uint64_t {
    Duration = 1, // observed
    Width,        // observed
    Height,       // observed
    GetTime,      // asked for when the position is read, at most one request at a time
    Load,         // the loadfile command
    Seek,         // a seek command
    GetDuration,  // asked for once the file is open: an unchanged length is not reported as a change
    GetWidth,     // asked for at each video reconfiguration, for the same reason
    GetHeight,
    GetTags,  // the file's tags, asked for once it is open
    LoadNext, // the loadfile command that appends the next file; tagged with setNext's count, not setMedia's
};
inline constexpr std::uint64_t generationMask = (std::uint64_t(1) << 56) - 1;

inline std::uint64_t tag(Reply kind, quint64 generation = 0) {
    return (static_cast<std::uint64_t>(kind) << 56) | (generation & generationMask);
}
inline Reply kindOf(std::uint64_t userdata) {
    return static_cast<Reply>(userdata >> 56);
}
inline quint64 generationOf(std::uint64_t userdata) {
    return userdata & generationMask;
}

// A position as mpv may be given it: not before the start, and a finite number.
inline double validPosition(double seconds) {
    return std::isfinite(seconds) ? std::max(0.0, seconds) : 0.0;
}

} // namespace MpvReplies
