#pragma once

namespace reelhaven {

// How a file ended, as mpv reports it: its end reason and error code.
struct EndFileEvent {
    int reason = 0;       // mpv_end_file_reason
    int error = 0;        // mpv_error; 0 unless the reason is an error
    bool played = false;  // the file had loaded and its playback had started
    bool operator==(const EndFileEvent&) const = default;
};

// What the player does when a file ends.
enum class EndFileAction {
    none,             // another file replaced it, or playback was stopped
    playNext,         // played to its end, continuous playback on
    closeFinished,    // played to its end: close and mark it watched
    closeUnfinished,  // could not be played: close, mark nothing, do not advance
};

// The decision: a file that failed is no file watched to its end, unless only an output failed
// after it had loaded and played.
EndFileAction endFileAction(const EndFileEvent& event, bool changedVideo, bool continuousPlayback);

}  // namespace reelhaven
