#pragma once
#include "platform/FreedMemory.h"
#include "platform/MediaPlayer.h"
#include "platform/PositionEstimate.h"
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <thread>
#include <vector>

struct MpvApi;
struct mpv_handle;
struct mpv_event;
struct mpv_event_property;
struct mpv_node;
class QTimer;

// MediaPlayer on libmpv. Make it when it is first needed: making it loads libmpv and starts mpv's core on a
// thread of its own (loading libmpv and the many libraries it needs takes a fifth of a second), and calls
// made meanwhile are carried out, in order, once the engine runs; started() then tells the outcome.
// When the start fails the object still works as a silent player that does nothing and never reports an end
// (so a queue is not emptied by a broken engine); lastError() then says why, for the user.
//
// mpv's core cannot close a file while the file's opening or reading hangs (a hung network mount): when it
// has not closed one a short while after being asked to, the player leaves that engine to end on its own and
// goes on with a new one (aboutToShutDown, then started again). Its destruction waits for the engine a
// bounded time only.
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
    MediaTags tags() const override { return tags_; }
    void setReplayGain(const ReplayGain& gain) override;
    void setNext(const QString& path) override;

    // Why the engine could not start; empty when it runs or is still starting.
    QString lastError() const { return starting_ ? QString() : error_; }
    bool isStarting() const { return starting_; }
    bool isReady() const { return !starting_ && handle_ != nullptr; }

    // For a video surface: the engine (null while starting and when it did not start) and the libmpv
    // functions.
    mpv_handle* handle() const { return starting_ ? nullptr : handle_; }
    const MpvApi* api() const { return starting_ ? nullptr : api_; }
    // A surface calls this with true once its render context exists and with false after freeing it.
    void attachVideoOutput(bool attached);

    // mpv's cubic volume (0..100) for -5000..0 hundredths of a dB.
    static double mpvVolume(int hundredthsOfDb);

signals:
    // The start has finished, well (isReady) or not (lastError).
    void started();
    // Emitted first thing in the destructor and before a hung engine is left behind, while the engine still
    // runs: render contexts must be freed now (started() follows for the new engine).
    void aboutToShutDown();

private:
    // Starts an engine on a thread of its own.
    void startEngine();
    // Runs on the starting thread: touches nothing the user-interface thread uses while starting_ holds.
    void start(const Options& options);
    void finishStart();
    // After a command that closes the loaded file: checkClose() once mpv has had a short while for it.
    void watchClose();
    // Replaces the engine when it has not closed what it was asked to close.
    void checkClose();
    bool engineBehind() const;
    void replaceEngine();
    // On a new engine: the volume and the media as they were.
    void takeOver();
    // While the engine starts, keeps the call for later and returns true.
    bool deferWhileStarting(std::function<void()> call);
    void setOption(const char* name, const QString& value);
    void applyReplayGain();
    void setPaused(bool paused);
    // The position runs on between mpv's reports while the media plays.
    void updateRunning();
    // Forgets the loaded media: a new generation, nothing known about it yet.
    void reset();
    void load(double startAt);
    // Hands the next file to mpv's own playlist, after the loaded media, in place of the one it held.
    void queueNext();
    void forgetNext();
    // The loaded media ended where mpv goes on with the next file: that is the loaded media now.
    bool advance();
    void seek(double seconds);
    void failLater();
    void command(std::initializer_list<const char*> args, std::uint64_t reply = 0);
    static void onWakeup(void* player);
    void drainEvents();
    // These return false when a connected slot deleted the player.
    bool handleEvent(const mpv_event& event);
    bool handleReply(const mpv_event& event);
    bool handleLoadReply(const mpv_event& event);
    void handleLoadNextReply(const mpv_event& event);
    bool handlePropertyChange(const mpv_event& event);
    bool handleEndFile(const mpv_event& event);
    bool handleValue(std::uint64_t reply, const mpv_event_property& property);
    // The loaded media ended (Finished or Failed).
    bool end(int reason);
    bool updateDuration(double seconds);
    bool updateVideoSize(std::int64_t width, std::int64_t height);
    bool updateTags(const mpv_node& metadata);
    bool isCurrent() const { return current_ != 0 && active_ == current_; }

    Options options_;
    bool starting_ = true;
    std::thread starter_;
    std::vector<std::function<void()>> pending_;
    const MpvApi* api_ = nullptr;
    mpv_handle* handle_ = nullptr;
    QString error_;
    QString forcedVo_;
    std::atomic<bool> drainQueued_{false};

    QString path_;
    std::int64_t current_ = 0; // mpv's playlist entry of the loaded media; 0 until mpv has named it
    bool loadPending_ = false; // the media was handed over and mpv has not yet named its entry
    std::int64_t active_ = 0;  // the entry mpv's events are about at present (its last start-file)
    std::int64_t open_ = 0;    // the entry mpv started and has not yet ended
    int loadsUnanswered_ = 0;  // loadfile commands mpv has not yet replied to
    quint64 generation_ = 0;   // counts setMedia calls, to drop a queued failure of a replaced file
    bool ended_ = false;       // the loaded media reached its end or failed
    bool fileLoaded_ = false;
    bool openedAFile_ = false; // since the engine's libraries were loaded
    std::optional<double> startAt_;      // the next play() begins here
    std::optional<double> deferredSeek_; // asked for before the file was open
    std::optional<double> seekTarget_;   // reported as the position until mpv has finished seeking
    PositionEstimate position_;          // from mpv's last report of the position
    mutable bool positionAsked_ = false; // a request for the position is on its way
    bool paused_ = false;                // as last asked of mpv
    double duration_ = 0;
    QSize videoSize_;
    MediaTags tags_;
    std::int64_t displayWidth_ = 0; // mpv's dwidth and dheight as last reported for the loaded media
    std::int64_t displayHeight_ = 0;
    FreedMemory freedMemory_{std::chrono::seconds(2)}; // what mpv freed, or read once
    QTimer* closeWatch_ = nullptr;
    QString nextPath_;             // the file to follow the loaded media (setNext); empty: none
    std::int64_t next_ = 0;        // mpv's playlist entry of nextPath_; 0 until mpv has named it
    quint64 nextCount_ = 0;        // counts setNext calls, to drop a reply about a next file since replaced
    std::optional<double> volume_; // as last asked, for a new engine
    std::optional<ReplayGain> replayGain_; // as last asked, for a new engine
};
