#pragma once
#include "platform/MediaPlayer.h"
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <optional>

struct MpvApi;
struct mpv_handle;
struct mpv_event;

// MediaPlayer on libmpv. Make it when it is first needed: making it loads libmpv and starts mpv's core.
// When that fails the object still works as a silent player that does nothing and never reports an end
// (so a queue is not emptied by a broken engine); lastError() then says why, for the user.
//
// Video is shown only while a video surface has attached itself (attachVideoOutput); otherwise mpv decodes
// no picture for the screen (vo=null).
class MpvPlayer : public MediaPlayer {
    Q_OBJECT
public:
    struct Options {
        QString ao; // mpv's audio output; empty: its own choice, falling back to no sound device
        QString vo; // forces mpv's video output; empty: "libmpv" with a surface attached, else "null"
        bool untimed = false; // play as fast as decoding allows (test clips end at once)
        QString library;      // the libmpv to load; empty: the one matching the headers
        // KIVO_MPV_AO, KIVO_MPV_VO, KIVO_MPV_UNTIMED=1 and KIVO_MPV_LIBRARY, for tests and troubleshooting.
        static Options fromEnvironment();
    };

    explicit MpvPlayer(QObject* parent = nullptr);
    explicit MpvPlayer(const Options& options, QObject* parent = nullptr);
    ~MpvPlayer() override;

    void setMedia(const QString& path) override;
    void play() override;
    void pause() override;
    void stop() override;
    double duration() const override { return duration_; }
    double currentPosition() const override;
    void setCurrentPosition(double seconds) override;
    void setStartPosition(double seconds) override;
    void setVolume(int hundredthsOfDb) override;
    QSize videoSize() const override { return videoSize_; }

    // Why the engine could not start; empty when it runs.
    QString lastError() const { return error_; }
    bool isReady() const { return handle_ != nullptr; }

    // For a video surface: the engine (null when it did not start) and the libmpv functions.
    mpv_handle* handle() const { return handle_; }
    const MpvApi* api() const { return api_; }
    // A surface calls this with true once its render context exists and with false after freeing it.
    void attachVideoOutput(bool attached);

    // mpv's cubic volume (0..100) for -5000..0 hundredths of a dB.
    static double mpvVolume(int hundredthsOfDb);

signals:
    // Emitted first thing in the destructor, while the engine still runs: render contexts must be freed now.
    void aboutToShutDown();

private:
    void start(const Options& options);
    void setOption(const char* name, const QString& value);
    void setPaused(bool paused);
    void load(double startAt);
    void seek(double seconds);
    void failLater();
    int command(std::initializer_list<const char*> args);
    static void onWakeup(void* player);
    void drainEvents();
    // Returns false when a connected slot deleted the player.
    bool handleEvent(const mpv_event& event);
    bool updateDuration(double seconds);
    bool updateVideoSize(std::int64_t width, std::int64_t height);
    bool isCurrent() const { return current_ != 0 && active_ == current_; }

    const MpvApi* api_ = nullptr;
    mpv_handle* handle_ = nullptr;
    QString error_;
    QString forcedVo_;
    std::atomic<bool> drainQueued_{false};

    QString path_;
    std::int64_t current_ = 0; // mpv's playlist entry of the loaded media; 0 when none was handed over
    std::int64_t active_ = 0;  // the entry mpv's events are about at present (its last start-file)
    quint64 generation_ = 0;   // counts setMedia calls, to drop a queued failure of a replaced file
    bool ended_ = false;       // the loaded media reached its end or failed
    bool fileLoaded_ = false;
    std::optional<double> startAt_;      // the next play() begins here
    std::optional<double> deferredSeek_; // asked for before the file was open
    std::optional<double> seekTarget_;   // reported as the position until mpv has finished seeking
    double duration_ = 0;
    QSize videoSize_;
    std::int64_t displayWidth_ = 0; // mpv's dwidth and dheight as last reported for the loaded media
    std::int64_t displayHeight_ = 0;
};
