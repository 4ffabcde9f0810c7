#pragma once
#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

// Gives memory that was freed back to the system. The engine decodes on threads of its own, and the C library
// keeps what each thread frees in a pool for that thread's later use: over a long queue of short files tens
// of megabytes stay resident that nothing uses. After a file closes, the pools are trimmed on a worker thread
// (trimming takes the pools' locks, which the window's thread must never wait for), at most once per
// interval. Once the engine has loaded and opened its first file, the pages of libraries that were read
// once go as well (see LibraryPages.h): once only, as the pages in use then come back at a cost, and in a few
// steps, so that the window's thread never brings back all of its code for one event.
class FreedMemory : public QObject {
public:
    // Called on a worker thread; `cancelled` is set when the owner goes, and a release stops soon after.
    using Release = std::function<void(bool libraryPages, const std::atomic<bool>& cancelled)>;
    explicit FreedMemory(std::chrono::milliseconds interval, Release release = releaseToSystem,
                         QObject* parent = nullptr);
    ~FreedMemory() override;

    // Something large was freed: release it within the interval.
    void releaseSoon();
    // As releaseSoon, and the library pages read once with it.
    void releaseLibraryPagesSoon();

    // Returns the free whole pages of every pool to the system, and with `libraryPages` the library pages
    // still as their files hold them.
    static void releaseToSystem(bool libraryPages, const std::atomic<bool>& cancelled);

private:
    void startRelease();

    QTimer timer_;
    Release release_;
    bool libraryPagesDue_ = false;
    // Shared with a release under way, which may outlive this object.
    std::shared_ptr<std::atomic<bool>> running_ = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
};
