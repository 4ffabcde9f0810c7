#pragma once
#include <QString>
#include <mpv/client.h>
#include <mpv/render.h>

// The libmpv functions the program calls. libmpv and the many libraries it pulls in are loaded when the
// first player is made, not when the program starts, so a session that never plays pays nothing for them
// (and a machine without libmpv still starts and can report the problem).
struct MpvApi {
    decltype(&::mpv_client_api_version) client_api_version;
    decltype(&::mpv_error_string) error_string;
    decltype(&::mpv_free) free;
    decltype(&::mpv_free_node_contents) free_node_contents;
    decltype(&::mpv_create) create;
    decltype(&::mpv_initialize) initialize;
    decltype(&::mpv_terminate_destroy) terminate_destroy;
    decltype(&::mpv_set_option_string) set_option_string;
    decltype(&::mpv_set_property) set_property;
    decltype(&::mpv_set_property_string) set_property_string;
    decltype(&::mpv_get_property) get_property;
    decltype(&::mpv_command) command;
    decltype(&::mpv_command_ret) command_ret;
    decltype(&::mpv_command_async) command_async;
    decltype(&::mpv_set_property_async) set_property_async;
    decltype(&::mpv_get_property_async) get_property_async;
    decltype(&::mpv_observe_property) observe_property;
    decltype(&::mpv_wait_event) wait_event;
    decltype(&::mpv_set_wakeup_callback) set_wakeup_callback;
    decltype(&::mpv_render_context_create) render_context_create;
    decltype(&::mpv_render_context_set_update_callback) render_context_set_update_callback;
    decltype(&::mpv_render_context_render) render_context_render;
    decltype(&::mpv_render_context_report_swap) render_context_report_swap;
    decltype(&::mpv_render_context_free) render_context_free;
};

// Loads the library on the first call for a name and keeps it for the rest of the run. An empty name means
// the libmpv whose major version matches the headers. Returns null, with a readable reason in `error`, when
// the library is missing, lacks a function or has an incompatible version.
const MpvApi* loadMpvApi(const QString& library, QString* error);
