#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reelhaven {

// The messages between the app and a media helper process over one stream socket: a request
// carries the open file itself (SCM_RIGHTS), so the helper reads what the app opened whatever its
// name leads to meanwhile; the answer carries the duration and the thumbnail's pixels. Writes
// never raise SIGPIPE: a helper that died is an error like any other.
namespace media_helper_channel {

// What a helper is asked to do with a file.
enum class Request : std::uint32_t {
    // Its length alone.
    duration = 1,
    // Its length and its thumbnail, from one opening.
    metadata = 2,
    // Open and probe it as the player's demuxer would.
    clearance = 3,
};

// What the helper found.
enum class Outcome : std::int32_t {
    // It read the file within its limits (the length or the picture may still be missing, as
    // for any file FFmpeg cannot make sense of).
    read = 0,
    // Reading it took the helper to its memory limit, or a count refused it unopened.
    refused = 1,
    // Not a file FFmpeg opens.
    unreadable = 2,
};

struct IncomingRequest {
    Request request = Request::duration;
    // Received, owned by the receiver.
    int descriptor = -1;
    std::string name;
};

struct Answer {
    Outcome outcome = Outcome::unreadable;
    double duration = -1;
    // RGBA, rows packed; empty: no thumbnail.
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    // The helper ends after this answer (its memory came near its limit): it takes no more files.
    bool leaving = false;
};

// The largest thumbnail an answer may carry: anything larger is a broken helper's answer.
constexpr int kLargestSide = 4096;
// A longer name is cut: the helper needs only its end (the extension) as a hint.
constexpr std::size_t kLongestName = 4096;

bool sendRequest(int socket, Request request, int descriptor, const std::string& name);
// Nothing at the end of the stream or on a broken request.
std::optional<IncomingRequest> receiveRequest(int socket);

bool sendAnswer(int socket, const Answer& answer);
// Nothing when the helper closed the stream, sent a broken answer, or did not answer by
// `deadline`.
std::optional<Answer> receiveAnswer(int socket, std::chrono::steady_clock::time_point deadline);

}  // namespace media_helper_channel

}  // namespace reelhaven
