#pragma once

namespace reelhaven {

// Told after the OpenGL video view lays out (main thread): the player re-places subtitles and
// redraws a paused picture at the new size.
class VideoLayoutDelegate {
public:
    virtual ~VideoLayoutDelegate() = default;
    virtual void videoViewDidLayoutSubviews() = 0;
};

}  // namespace reelhaven
