#include "joystick/JoystickAssignment.h"
#include "core/AppState.h"
#include "platform/SettingsStore.h"
#include "playlist/Playlists.h"
#include "settings/SettingValue.h"
#include "settings/SettingsTable.h"
#include <algorithm>
#include <cmath>

namespace JoystickAssignment {

QString captionFor(int code) {
    return code <= 0 ? QStringLiteral("?") : QString::number(code);
}

void ClearDuplicateButtons(Captions& captions, int code) {
    using A = JoystickAction;
    for (const A action :
         {A::PlayStop, A::Exit, A::Special1, A::Pause, A::BringToTop, A::Special2, A::Skip}) {
        QString& caption = captions[static_cast<int>(action)];
        if (caption == QLatin1String("?"))
            continue;
        try {
            if (SettingValue::toNumber(caption) == code)
                caption = QStringLiteral("?");
        } catch (const SettingFormatError&) {
        }
    }
}

Codes codesFrom(const Captions& captions) {
    Codes codes{};
    int counter = -8;
    for (int i = 0; i < kJoystickActionCount; ++i) {
        const QString& caption = captions[i];
        if (caption == QLatin1String("99") || caption == QLatin1String("?")) {
            codes[i] = counter++;
            continue;
        }
        try {
            codes[i] = SettingValue::toInt16(caption);
        } catch (const SettingFormatError&) {
            codes[i] = counter++; // a caption that is no number cannot match a button either
        }
    }
    return codes;
}

void store(SettingsStore& store, const SettingsTable& table, bool joystickUsed, const Codes& codes) {
    const SettingsBatch batch(store);
    writeSetting(store, table.joystickUsed(), joystickUsed ? QStringLiteral("T") : QStringLiteral("F"));
    for (int i = 0; i < kJoystickActionCount; ++i)
        writeSetting(store, table.joystickCode(i), QString::number(codes[i]));
}

bool copyPlayingToOther(Playlists& playlists, const AppState& state, bool playing) {
    if (!playing)
        return false;
    const PlaylistModel& from = playlists.at(state.playingPlaylist);
    const int entry = from.positionOf(state.playingEntry);
    if (entry < 0)
        return false; // a browser file plays, or the entry has gone
    int to = Playlists::other(state.playingPlaylist);
    // With the device tab every copy goes to the device list, one of its own entries too.
    if (playlists.tabCount() == 3) {
        if (playlists.shownIndex() == Playlists::kDevice)
            return false;
        to = Playlists::kDevice;
    }
    return playlists.at(to).append(from.name(entry), from.path(entry));
}

} // namespace JoystickAssignment
