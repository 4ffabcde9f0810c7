#include "platform/SdlApi.h"
#include <QLibrary>
#include <QtDebug>
#include <memory>

namespace {

template <typename F> bool resolve(QLibrary& lib, const char* name, F& slot) {
    slot = reinterpret_cast<F>(lib.resolve(name));
    if (!slot)
        qWarning("SDL lacks the function %s: no game pad can be used", name);
    return slot != nullptr;
}

std::unique_ptr<SdlApi> load() {
    QLibrary lib;
    lib.setFileNameAndVersion(QStringLiteral("SDL2-2.0"), 0);
    if (!lib.load()) {
        qWarning("SDL could not be loaded, so no game pad can be used: %s", qPrintable(lib.errorString()));
        return nullptr;
    }
    auto api = std::make_unique<SdlApi>();
    bool ok = true;
    ok &= resolve(lib, "SDL_SetMainReady", api->SetMainReady);
    ok &= resolve(lib, "SDL_SetHint", api->SetHint);
    ok &= resolve(lib, "SDL_InitSubSystem", api->InitSubSystem);
    ok &= resolve(lib, "SDL_JoystickEventState", api->JoystickEventState);
    ok &= resolve(lib, "SDL_JoystickClose", api->JoystickClose);
    ok &= resolve(lib, "SDL_JoystickUpdate", api->JoystickUpdate);
    ok &= resolve(lib, "SDL_JoystickGetAttached", api->JoystickGetAttached);
    ok &= resolve(lib, "SDL_NumJoysticks", api->NumJoysticks);
    ok &= resolve(lib, "SDL_JoystickOpen", api->JoystickOpen);
    ok &= resolve(lib, "SDL_JoystickNumButtons", api->JoystickNumButtons);
    ok &= resolve(lib, "SDL_JoystickNumAxes", api->JoystickNumAxes);
    ok &= resolve(lib, "SDL_JoystickNumHats", api->JoystickNumHats);
    ok &= resolve(lib, "SDL_JoystickGetAxis", api->JoystickGetAxis);
    ok &= resolve(lib, "SDL_JoystickGetButton", api->JoystickGetButton);
    ok &= resolve(lib, "SDL_JoystickGetHat", api->JoystickGetHat);
    // The library stays loaded for the rest of the run: QLibrary does not unload on destruction.
    return ok ? std::move(api) : nullptr;
}

} // namespace

const SdlApi* loadSdlApi() {
    // Only the window's thread reads the pad.
    static const std::unique_ptr<SdlApi> api = load();
    return api.get();
}
