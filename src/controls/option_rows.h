#pragma once

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "controls/options_controls.h"
#include "controls/options_item.h"
#include "controls/options_row_kinds.h"

namespace reelhaven {

class PlaybackInfo;

// What the options popover's rows are built from, read when they are built.
struct OptionRowsState {
    std::optional<bool> isInterlaced;  // none counts as progressive
    bool isPad = false;
    bool subtitlePositionAuto = true;
    const std::map<OptionsRowKind, bool>* expansion = nullptr;  // a missing key is collapsed
};

using OptionSections = std::vector<std::pair<OptionsSection, std::vector<OptionsItem>>>;

// The rows of the options popover, section by section, for the video of `info`: the
// subtitles section only when the video has a subtitle track (more entries than "None"), the
// deinterlacing row only for an interlaced picture, prefer landscape only off an iPad, and the
// children of Position and Appearance under them (the manual position only while the automatic
// one is off). The controls are the popover's own, the same records on every build.
OptionSections makeOptionRows(PlaybackInfo& info, OptionsControls& controls, const OptionRowsState& state);

}  // namespace reelhaven
