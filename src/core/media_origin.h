#pragma once

namespace reelhaven {

// Where an address the app plays (or reads a thumbnail of) came from, which decides how far it
// is trusted: see `mediaLimits`.
enum class MediaOrigin {
    // A file of the library: anyone on the network can upload one, under any name.
    libraryFile,
    // A "reelhaven:" link from another app or a web page.
    link,
    // An entry a playlist names: whoever wrote or served the playlist chose it.
    playlistEntry,
    // What the user asked for themselves: an address typed into Open URL, a file picked to play
    // where it lies, a path or URL given to --play or --open (or the host's `open`).
    chosenByUser,
};

}  // namespace reelhaven
