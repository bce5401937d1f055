#include "playback/reelhaven_view_controller.h"

// Screenshots saved to the photo library; filled in with the screenshot work.
namespace reelhaven {

void ReelhavenViewController::takeScreenshot(bool) {}

void ReelhavenViewController::saveScreenshots(int) {}

}  // namespace reelhaven
