#include "core/preferences.h"

#include <map>
#include <mutex>

#include "core/color_hex_string.h"
#include "platform/graphics/color.h"

namespace reelhaven {

Preferences& Preferences::shared() {
    // One instance per standard store: a process that changes its container (each test of a
    // program makes its own) must not go on writing into the folder of an earlier one. The
    // stores live for the process, so their addresses are stable keys. Never released: settings
    // are read from any thread until the process ends.
    static std::mutex mutex;
    static std::map<const foundation::UserDefaults*, Preferences*> instances;
    auto defaults = foundation::UserDefaults::standard();
    std::lock_guard lock(mutex);
    auto& instance = instances[defaults.get()];
    if (!instance) instance = new Preferences(defaults);
    return *instance;
}

std::shared_ptr<Preferences> Preferences::create(std::shared_ptr<foundation::UserDefaults> defaults) {
    return std::shared_ptr<Preferences>(new Preferences(defaults));
}

Preferences::Preferences(const std::shared_ptr<foundation::UserDefaults>& d)
    : icloudBackup("ICLOUD_BACKUP", false, d),
      continueAudioBackground("CONTINUE_AUDIO_BACKGROUND", true, d),
      audioLanguage("AUDIO_LANGUAGE", "", d),
      subtitleLanguage("SUBTITLE_LANGUAGE", "", d),
      screenshotWithSubtitles("SCREENSHOT_WITH_SUBTITLES", true, d),
      continuousPlayback("CONTINUOUS_PLAYBACK", false, d),
      highQualityVideo("HIGH_QUALITY_VIDEO", false, d),
      useEDR("USE_EDR", true, d),
      seekGestures("SEEK_GESTURES", true, d),
      volumeGestures("VOLUME_GESTURES", true, d),
      brightnessGestures("BRIGHTNESS_GESTURES", true, d),
      playPauseTapGestures("PLAY_PAUSE_TAP_GESTURES", true, d),
      progressLabelStyle("PROGRESS_LABEL_STYLE", "progressTimeRemaining", d),
      playExternalFileIndex("PLAY_EXTERNAL_FILE_INDEX", 0, d),
      skipInterval("SKIP_INTERVAL", "15", d),
      reduceHaptics("REDUCE_HAPTICS", false, d),
      preferLandscape("PREFER_LANDSCAPE", false, d),
      subtitleFont("SUBTITLE_FONT", "sans-serif", d),
      subtitlePositionAuto("SUBTITLE_POSITION_AUTO", true, d),
      subtitlePosition("SUBTITLE_POSITION", 100, d),
      subtitleScale("SUBTITLE_SCALE", 1.0, d),
      subtitleDelay("SUBTITLE_DELAY", 0.0, d),
      subtitleTextColor("SUBTITLE_TEXT_COLOR", hexString(gfx::Color::white()), d),
      subtitleBorderColor("SUBTITLE_BORDER_COLOR", hexString(gfx::Color::black()), d),
      subtitleBorderSize("SUBTITLE_BORDER_SIZE", 3.0, d),
      subtitleShadow("SUBTITLE_SHADOW", false, d) {}

}  // namespace reelhaven
