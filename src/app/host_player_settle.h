#pragma once

namespace reelhaven {

class ReelhavenViewController;

// Lets the player come to rest before the host prints it: what it queued for mpv has run, a seek
// mpv is carrying out has landed (waiting at most `kLongestSeekWait` of real time: a stream that
// never answers is shown as it is), its events are handed to the main queue, and time labels that
// lag the position (after a skip) show where it is now, as the next tick of its clock would.
// It serves the main run loop meanwhile and reads only what the session observed; a player whose
// mpv keeps a call waiting (its core busy for seconds) is shown as it is, not waited for.
// Main thread only.
void settlePlayer(ReelhavenViewController& player);

}  // namespace reelhaven
