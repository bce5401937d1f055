#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/media_helper_channel.h"

namespace gfx {
class Image;
}

namespace reelhaven {

// The helper processes FFmpeg reads library files in: the app's own executable started again
// (see mediaHelperMain), a few at most, each reused file after file and started again when it
// dies. Each holds at most `memoryBytes` of data and each file gets `timePerFile`: a file that
// would take more costs one helper (killed and replaced), never the app, and no shape of file,
// counted or not, takes the app and its helpers together past their bound. Any thread; a call
// waits for a free helper and its answer, so never call it on the main thread.
class MediaHelperPool {
public:
    struct Limits {
        std::size_t workers;
        std::int64_t memoryBytes;
        std::chrono::milliseconds timePerFile;
    };
    // Four helpers of 192 MiB: with the app's own memory, one hostile file stays within 400 MiB and
    // eight read side by side within 1 GiB, while a 4K picture still decodes.
    static Limits defaultLimits();

    struct Answer {
        media_helper_channel::Outcome outcome = media_helper_channel::Outcome::unreadable;
        double duration = -1;
        std::shared_ptr<gfx::Image> thumbnail;
    };

    // The pool the app's library and player share. Never destroyed: jobs may still ask while the
    // process exits; its helpers end when the app's end closes their sockets.
    static MediaHelperPool& shared();

    explicit MediaHelperPool(Limits limits);
    MediaHelperPool(const MediaHelperPool&) = delete;
    MediaHelperPool& operator=(const MediaHelperPool&) = delete;
    // Ends every helper; no call may be running.
    ~MediaHelperPool();

    // Has a helper do `request` with the file open at `descriptor` (which stays the caller's).
    // `name` is a hint for the demuxers only. A helper that dies or outlasts the time limit on it
    // gives `refused`; `unreadable` when no helper can be started.
    Answer ask(media_helper_channel::Request request, int descriptor, const std::string& name);

    // The helpers alive now, and the files handed to helpers so far (counted once sent).
    std::vector<pid_t> processes() const;
    std::uint64_t filesAsked() const;

private:
    struct Worker {
        pid_t pid = -1;
        int socket = -1;
    };

    // An idle helper, a new one while fewer than `workers` run, else waits for one.
    std::optional<Worker> take();
    void giveBack(const Worker& worker);
    // Kills and reaps a helper and frees its place.
    void retire(const Worker& worker);
    std::optional<Worker> start() const;
    std::optional<media_helper_channel::Answer> askOnce(const Worker& worker, media_helper_channel::Request request,
                                                        int descriptor, const std::string& name, bool& sent);

    Limits m_limits;
    mutable std::mutex m_mutex;
    std::condition_variable m_freed;
    std::vector<Worker> m_idle;
    std::vector<pid_t> m_running;
    std::uint64_t m_filesAsked = 0;
};

// The hidden argument the app's executable is started with to serve as a helper.
inline constexpr const char* kMediaHelperArgument = "--media-helper";

// Call first thing in main(): serves as a helper and returns the process's exit status when started
// as one; otherwise keeps the executable at hand for starting helpers later (a rebuilt or moved
// executable still starts the same program) and returns -1.
int mediaHelperMain(int argc, char** argv);

}  // namespace reelhaven
