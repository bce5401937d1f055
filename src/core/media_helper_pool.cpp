#include "core/media_helper_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#include "core/media_helper_worker.h"
#include "platform/base/log.h"
#include "platform/base/parsed_number.h"
#include "platform/base/sanitized_build.h"
#include "platform/graphics/image.h"

extern char** environ;

namespace reelhaven {

namespace {

namespace channel = media_helper_channel;

constexpr bool kSanitized = REELHAVEN_SANITIZED_BUILD;

// Where a helper finds its socket, and the executable it was started from, once started.
constexpr int kSocketSlot = 3;
constexpr int kExecutableSlot = 4;
// Descriptors below this are left to the standard streams and the slots above while a helper is
// being started.
constexpr int kFirstFreeSlot = 10;

// The executable this process runs, opened when main() starts, so helpers are the same program
// even when the file at its path is replaced (a rebuild) or moved meanwhile. Only a program whose
// main() gave its arguments to mediaHelperMain starts helpers: any other would run its own main
// again in each, and they would start helpers of their own.
std::atomic<bool> g_servesAsHelper{false};

int executableDescriptor() {
    if (!g_servesAsHelper.load()) return -1;
    static const int descriptor = [] {
        const int opened = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
        if (opened < 0) return -1;
        const int kept = ::fcntl(opened, F_DUPFD_CLOEXEC, kFirstFreeSlot);
        ::close(opened);
        return kept;
    }();
    return descriptor;
}

void closeSocket(int socket) {
    if (socket >= 0) ::close(socket);
}

}  // namespace

MediaHelperPool::Limits MediaHelperPool::defaultLimits() {
    // A sanitizer's allocator keeps freed memory back (256 MiB by default) and pads every block,
    // and its checks make reading slower: its helpers get the room and the time those take.
    if (kSanitized) return {4, std::int64_t{832} << 20, std::chrono::seconds(120)};
    return {4, std::int64_t{192} << 20, std::chrono::seconds(30)};
}

MediaHelperPool& MediaHelperPool::shared() {
    static auto* pool = new MediaHelperPool(defaultLimits());
    return *pool;
}

MediaHelperPool::MediaHelperPool(Limits limits) : m_limits(limits) {
    if (m_limits.workers == 0) m_limits.workers = 1;
}

MediaHelperPool::~MediaHelperPool() {
    for (const Worker& worker : m_idle) {
        ::kill(worker.pid, SIGKILL);
        ::waitpid(worker.pid, nullptr, 0);
        closeSocket(worker.socket);
    }
}

MediaHelperPool::Answer MediaHelperPool::ask(channel::Request request, int descriptor, const std::string& name) {
    // A helper that died while idle (killed, or out of memory in its own start) is found out by
    // the request it could not take, and the file goes to a fresh one once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto worker = take();
        if (!worker) return {};
        bool sent = false;
        auto answer = askOnce(*worker, request, descriptor, name, sent);
        if (!answer) {
            retire(*worker);
            if (!sent) continue;
            // Died on the file, or outlasted its time.
            return Answer{channel::Outcome::refused, -1, nullptr};
        }
        if (answer->leaving)
            retire(*worker);
        else
            giveBack(*worker);
        Answer result{answer->outcome, answer->duration, nullptr};
        if (answer->width > 0 && answer->height > 0)
            result.thumbnail = std::make_shared<gfx::Image>(
                answer->width, answer->height, static_cast<std::size_t>(answer->width) * 4, std::move(answer->pixels));
        return result;
    }
    return {};
}

std::optional<channel::Answer> MediaHelperPool::askOnce(const Worker& worker, channel::Request request, int descriptor,
                                                        const std::string& name, bool& sent) {
    // An idle helper has nothing to say: a socket with something to read (its end) is a helper
    // that died since its last file, and the file goes to another.
    pollfd idle{worker.socket, POLLIN, 0};
    if (::poll(&idle, 1, 0) != 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + m_limits.timePerFile;
    sent = channel::sendRequest(worker.socket, request, descriptor, name);
    if (!sent) return std::nullopt;
    {
        std::lock_guard lock(m_mutex);
        ++m_filesAsked;
    }
    return channel::receiveAnswer(worker.socket, deadline);
}

std::vector<pid_t> MediaHelperPool::processes() const {
    std::lock_guard lock(m_mutex);
    // Not the places held for helpers still starting.
    std::vector<pid_t> alive;
    std::copy_if(m_running.begin(), m_running.end(), std::back_inserter(alive), [](pid_t pid) { return pid > 0; });
    return alive;
}

std::uint64_t MediaHelperPool::filesAsked() const {
    std::lock_guard lock(m_mutex);
    return m_filesAsked;
}

std::optional<MediaHelperPool::Worker> MediaHelperPool::take() {
    {
        std::unique_lock lock(m_mutex);
        m_freed.wait(lock, [this] { return !m_idle.empty() || m_running.size() < m_limits.workers; });
        if (!m_idle.empty()) {
            const Worker worker = m_idle.back();
            m_idle.pop_back();
            return worker;
        }
        // The place is held while the helper starts, outside the lock.
        m_running.push_back(-1);
    }
    const auto worker = start();
    std::lock_guard lock(m_mutex);
    const auto place = std::find(m_running.begin(), m_running.end(), -1);
    if (worker) {
        *place = worker->pid;
    } else {
        m_running.erase(place);
        m_freed.notify_one();
    }
    return worker;
}

void MediaHelperPool::giveBack(const Worker& worker) {
    std::lock_guard lock(m_mutex);
    m_idle.push_back(worker);
    m_freed.notify_one();
}

void MediaHelperPool::retire(const Worker& worker) {
    ::kill(worker.pid, SIGKILL);
    while (::waitpid(worker.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    closeSocket(worker.socket);
    std::lock_guard lock(m_mutex);
    if (const auto place = std::find(m_running.begin(), m_running.end(), worker.pid); place != m_running.end())
        m_running.erase(place);
    m_freed.notify_one();
}

std::optional<MediaHelperPool::Worker> MediaHelperPool::start() const {
    const int executable = executableDescriptor();
    if (executable < 0) {
        base::log(base::LogLevel::error, "FFmpeg", "No media helper can be started: main() does not serve as one");
        return std::nullopt;
    }
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) return std::nullopt;
    // Above the slots it is moved to, so moving one descriptor cannot overwrite the other.
    const int helperEnd = ::fcntl(sockets[1], F_DUPFD_CLOEXEC, kFirstFreeSlot);
    ::close(sockets[1]);
    if (helperEnd < 0) {
        ::close(sockets[0]);
        return std::nullopt;
    }
    const std::string memory = std::to_string(m_limits.memoryBytes);
    // The helper's own alarm is the stop of last resort, for a helper whose app is gone: later
    // than the app's own limit, which ends a helper first.
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_limits.timePerFile).count();
    const std::string alarm = std::to_string(std::max<long long>(2, 2 * seconds + 1));
    std::string program = "reelhaven";
    std::string argument = kMediaHelperArgument;
    char* argv[] = {program.data(), argument.data(), const_cast<char*>(memory.c_str()),
                    const_cast<char*>(alarm.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The helper's standard output is not the app's: a listing writes its lines there.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, helperEnd, kSocketSlot);
    posix_spawn_file_actions_adddup2(&actions, executable, kExecutableSlot);
    // Nothing else of the app's goes with it (descriptors other threads opened meanwhile).
    posix_spawn_file_actions_addclosefrom_np(&actions, kExecutableSlot + 1);
    // A group of its own: a Ctrl-C at the terminal is the app's to handle, and would otherwise end
    // the helpers mid-file and have their files remembered as refused. No signal blocked or
    // handled as the starting thread has them: its own alarm must end it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    const std::string path = "/proc/self/fd/" + std::to_string(kExecutableSlot);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(helperEnd);
    if (spawned != 0) {
        ::close(sockets[0]);
        return std::nullopt;
    }
    return Worker{pid, sockets[0]};
}

int mediaHelperMain(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], kMediaHelperArgument) != 0) {
        g_servesAsHelper = true;
        executableDescriptor();
        return -1;
    }
    ::close(kExecutableSlot);
    const auto memory = base::parsedNumber<std::int64_t>(argv[2], 1, std::numeric_limits<std::int64_t>::max());
    const auto seconds = base::parsedNumber<unsigned>(argv[3], 1, std::numeric_limits<unsigned>::max());
    if (!memory || !seconds) return 2;
    return MediaHelperWorker(kSocketSlot, *memory, *seconds).serve();
}

}  // namespace reelhaven
