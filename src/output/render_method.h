#pragma once

namespace reelhaven {

// Where the renderer sends the next frame.
enum class RenderMethod { openGL, metal, pictureInPicture, legacyExternalDisplay };

// The offscreen framebuffer: its GL name and its size in pixels.
struct FBOInfo {
    int identifier = 0;
    int renderWidth = 0;
    int renderHeight = 0;
    bool operator==(const FBOInfo&) const = default;
};

}  // namespace reelhaven
