// The least a libmpv program does to play a file: no window, no settings, no scripts, the null audio
// output paced like a sound card, the engine's zeroed allocation served as the player serves it. The
// engine's share of the player's cost to play a file, for bench/versus_audacious.sh.
// Usage: kivo_floor_engine FILE
#include <mpv/client.h>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    mpv_handle* mpv = mpv_create();
    if (!mpv)
        return 1;
    const char* const options[][2] = {{"config", "no"},
                                      {"load-scripts", "no"},
                                      {"ytdl", "no"},
                                      {"osc", "no"},
                                      {"load-stats-overlay", "no"},
                                      {"load-osd-console", "no"},
                                      {"load-auto-profiles", "no"},
                                      {"terminal", "no"},
                                      {"ao", "null"},
                                      {"vo", "null"},
                                      {"idle", "no"},
                                      {"audio-display", "no"},
                                      {"input-default-bindings", "no"},
                                      {"ao-null-outburst", "4096"},
                                      {"ao-null-buffer", "0.75"}};
    for (const auto& option : options)
        mpv_set_option_string(mpv, option[0], option[1]);
    int status = 1;
    if (mpv_initialize(mpv) >= 0) {
        const char* load[] = {"loadfile", argv[1], nullptr};
        mpv_command(mpv, load);
        for (;;) {
            const mpv_event* event = mpv_wait_event(mpv, -1);
            if (event->event_id == MPV_EVENT_END_FILE) {
                status =
                    static_cast<const mpv_event_end_file*>(event->data)->reason == MPV_END_FILE_REASON_EOF
                        ? 0
                        : 1;
                break;
            }
            if (event->event_id == MPV_EVENT_SHUTDOWN)
                break;
        }
    }
    mpv_terminate_destroy(mpv);
    return status;
}
