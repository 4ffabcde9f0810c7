#include "platform/MpvApi.h"
#include "platform/LibraryPreload.h"
#include <QHash>
#include <QLibrary>
#include <memory>
#include <mutex>

namespace {

constexpr int headerMajor = MPV_CLIENT_API_VERSION >> 16;

struct Loaded {
    std::unique_ptr<MpvApi> api;
    QString error;
};

template <typename F> bool resolve(QLibrary& lib, const char* name, F& slot, QString& error) {
    slot = reinterpret_cast<F>(lib.resolve(name));
    if (!slot && error.isEmpty())
        error = QStringLiteral("libmpv lacks the function %1").arg(QLatin1String(name));
    return slot != nullptr;
}

// Dependencies of Debian's libmpv that refer to their own symbols the most, loaded first each on its own
// (see LibraryPreload): counted with every function bound at load, they make some 23,000 of the 55,000 symbol
// bindings of libmpv's load, which otherwise search past some 180 libraries each. Loading libmpv takes a
// sixth less processor time. A library comes before those of the list that depend on it, so that it is bound
// in a search of its own too.
bool loadEngineWithItsLibraries(QLibrary& lib) {
    const LibraryPreload first(
        {"libunistring.so.2",  "libgmp.so.10",         "libgnutls.so.30",    "libcrypto.so.3",
         "libssl.so.3",        "libepoxy.so.0",        "libdb-5.3.so",       "liblapack.so.3",
         "libmbedcrypto.so.7", "libsrt-gnutls.so.1.5", "libkrb5.so.3",       "libgssapi_krb5.so.2",
         "libslang.so.2",      "libflite.so.1",        "libcodec2.so.1.0",   "libopenal.so.1",
         "libasound.so.2",     "libFLAC.so.12",        "librubberband.so.2", "libpocketsphinx.so.3",
         "librsvg-2.so.2",     "libmount.so.1"});
    return lib.load();
}

Loaded load(const QString& library) {
    Loaded result;
    QLibrary lib;
    bool loaded;
    if (library.isEmpty()) {
        lib.setFileNameAndVersion(QStringLiteral("mpv"), headerMajor);
        loaded = loadEngineWithItsLibraries(lib);
    } else {
        lib.setFileName(library);
        loaded = lib.load();
    }
    if (!loaded) {
        result.error =
            QStringLiteral("The playback library libmpv could not be loaded: %1").arg(lib.errorString());
        return result;
    }
    auto api = std::make_unique<MpvApi>();
    QString& error = result.error;
    bool ok = true;
    ok &= resolve(lib, "mpv_client_api_version", api->client_api_version, error);
    ok &= resolve(lib, "mpv_error_string", api->error_string, error);
    ok &= resolve(lib, "mpv_free", api->free, error);
    ok &= resolve(lib, "mpv_free_node_contents", api->free_node_contents, error);
    ok &= resolve(lib, "mpv_create", api->create, error);
    ok &= resolve(lib, "mpv_initialize", api->initialize, error);
    ok &= resolve(lib, "mpv_terminate_destroy", api->terminate_destroy, error);
    ok &= resolve(lib, "mpv_set_option_string", api->set_option_string, error);
    ok &= resolve(lib, "mpv_set_property", api->set_property, error);
    ok &= resolve(lib, "mpv_set_property_string", api->set_property_string, error);
    ok &= resolve(lib, "mpv_get_property", api->get_property, error);
    ok &= resolve(lib, "mpv_command", api->command, error);
    ok &= resolve(lib, "mpv_command_ret", api->command_ret, error);
    ok &= resolve(lib, "mpv_command_async", api->command_async, error);
    ok &= resolve(lib, "mpv_set_property_async", api->set_property_async, error);
    ok &= resolve(lib, "mpv_get_property_async", api->get_property_async, error);
    ok &= resolve(lib, "mpv_observe_property", api->observe_property, error);
    ok &= resolve(lib, "mpv_wait_event", api->wait_event, error);
    ok &= resolve(lib, "mpv_set_wakeup_callback", api->set_wakeup_callback, error);
    ok &= resolve(lib, "mpv_render_context_create", api->render_context_create, error);
    ok &= resolve(lib, "mpv_render_context_set_update_callback", api->render_context_set_update_callback,
                  error);
    ok &= resolve(lib, "mpv_render_context_render", api->render_context_render, error);
    ok &= resolve(lib, "mpv_render_context_report_swap", api->render_context_report_swap, error);
    ok &= resolve(lib, "mpv_render_context_free", api->render_context_free, error);
    if (!ok)
        return result;
    const unsigned long version = api->client_api_version();
    if (static_cast<int>(version >> 16) != headerMajor) {
        error = QStringLiteral("libmpv has client API %1.%2; this program needs %3.x")
                    .arg(version >> 16)
                    .arg(version & 0xffff)
                    .arg(headerMajor);
        return result;
    }
    // The library stays loaded for the rest of the run: QLibrary does not unload on destruction.
    result.api = std::move(api);
    return result;
}

} // namespace

const MpvApi* loadMpvApi(const QString& library, QString* error) {
    // Players start on threads of their own.
    static std::mutex lock;
    const std::lock_guard<std::mutex> hold(lock);
    static QHash<QString, std::shared_ptr<Loaded>> cache;
    auto it = cache.find(library);
    if (it == cache.end())
        it = cache.insert(library, std::make_shared<Loaded>(load(library)));
    if (!it.value()->api && error)
        *error = it.value()->error;
    return it.value()->api.get();
}
