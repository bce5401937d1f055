#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/error.h"

namespace reelhaven {

// Where the host's command lines come from. The main thread takes lines without ever blocking,
// so the app keeps running while a person thinks.
class HostInput {
public:
    // Longer than any command (a typed text of a few hundred thousand characters fits), and few
    // enough bytes that an endless line (/dev/zero) is given up early instead of read on.
    static constexpr std::size_t kMaxLineBytes = 1024 * 1024;

    virtual ~HostInput() = default;
    // The next line when one is ready.
    virtual std::optional<std::string> next() = 0;
    // No line will come any more.
    virtual bool finished() const = 0;
};

// The lines of a script file, all there from the start.
class ScriptInput final : public HostInput {
public:
    // Reads a regular file or a pipe to its end. Anything else is refused unread (a device such
    // as /dev/zero never ends), and so is a line longer than kMaxLineBytes, when it is met.
    static foundation::Result<std::unique_ptr<ScriptInput>> open(const std::filesystem::path& file);
    std::optional<std::string> next() override;
    bool finished() const override { return m_next == m_lines.size(); }

private:
    explicit ScriptInput(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    std::vector<std::string> m_lines;
    size_t m_next = 0;
};

// Lines read from a descriptor (the terminal) by a thread of its own, which calls `onReady` after
// each line and at the end of input so the main thread can come and take them. A line longer
// than kMaxLineBytes is dropped, with a warning in the log, and the next one comes as usual.
class StreamInput final : public HostInput {
public:
    // The descriptor stays open; it is read until its end or until this object goes.
    static foundation::Result<std::unique_ptr<StreamInput>> start(int fd, std::function<void()> onReady);
    ~StreamInput() override;

    std::optional<std::string> next() override;
    bool finished() const override;

private:
    StreamInput(int fd, int wakeRead, int wakeWrite, std::function<void()> onReady);
    void read();
    static void warnLineDropped();

    const int m_fd;
    const int m_wakeRead;  // written to on destruction, so the reader stops waiting
    const int m_wakeWrite;
    // Kept here, not in the reader's closure, so whatever it holds is let go on the thread that
    // destroys this object, never on the reader (which cannot join itself).
    const std::function<void()> m_onReady;
    mutable std::mutex m_mutex;  // guards the two below
    std::deque<std::string> m_lines;
    bool m_ended = false;
    std::thread m_thread;
};

// The lines of another input that never counts as finished: a transfer server run as a service
// (standard input closed or /dev/null) keeps serving after the input ends, until `quit` or a
// signal. `onEnd` runs once, on the thread taking lines, when the other input has ended.
class EndlessInput final : public HostInput {
public:
    EndlessInput(std::unique_ptr<HostInput> input, std::function<void()> onEnd)
        : m_input(std::move(input)), m_onEnd(std::move(onEnd)) {}
    std::optional<std::string> next() override;
    bool finished() const override { return false; }

private:
    std::unique_ptr<HostInput> m_input;
    std::function<void()> m_onEnd;
};

}  // namespace reelhaven
