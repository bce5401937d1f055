#pragma once

#include <cstdint>
#include <string>

#include "playback/model/track.h"

struct mpv_handle;

namespace reelhaven {

// How the popovers and the renderer change mpv state. Implemented by the player screen; every
// holder keeps it weakly. The setters return at once: each write runs later on the player's
// command queue and is dropped when the player's mpv session is gone. Failures are not reported.
class MPVOptionsDelegate {
public:
    virtual ~MPVOptionsDelegate() = default;

    // The client handle, null before set-up and after teardown. The renderer creates its render
    // context from it; no other client call may be made through it (writes go through the
    // setters, so none races the handle's destruction).
    virtual mpv_handle* mpv() const = 0;

    virtual void setFlagProperty(const std::string& name, bool value) = 0;
    virtual void setIntProperty(const std::string& name, std::int64_t value) = 0;
    virtual void setDoubleProperty(const std::string& name, double value) = 0;
    virtual void setStringProperty(const std::string& name, const std::string& value) = 0;
    // The high-quality scalers on, or the plain set that suits the decoder's pixel format.
    virtual void setHighQualityVideo(bool on) = 0;
    // "sub-font" from the subtitle font setting.
    virtual void updateSubtitleFont() = 0;
    // "sub-pos" from the control bar's height and the safe area.
    virtual void updateSubtitlePosition() = 0;
    // Selects the track in mpv and records it as chosen for this video ("None": no track).
    virtual void selectTrack(const Track& track) = 0;
};

}  // namespace reelhaven
