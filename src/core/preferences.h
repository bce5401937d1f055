#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/global_setting.h"

namespace reelhaven {

// Every user setting, one GlobalSetting per user-defaults key, read once when the object is made
// and served from memory afterwards. Values may be read on any thread while another sets them.
class Preferences {
public:
    // The one instance over the standard user defaults of the current container, made on first
    // use (thread safe) and never released; the app has one container, so one instance.
    static Preferences& shared();
    // A separate instance over `defaults`, for tests and tools.
    static std::shared_ptr<Preferences> create(std::shared_ptr<foundation::UserDefaults> defaults);

    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    GlobalSetting<bool> icloudBackup;
    GlobalSetting<bool> continueAudioBackground;
    GlobalSetting<std::string> audioLanguage;
    GlobalSetting<std::string> subtitleLanguage;
    GlobalSetting<bool> screenshotWithSubtitles;
    GlobalSetting<bool> continuousPlayback;
    GlobalSetting<bool> highQualityVideo;
    GlobalSetting<bool> useEDR;
    GlobalSetting<bool> seekGestures;
    GlobalSetting<bool> volumeGestures;
    GlobalSetting<bool> brightnessGestures;
    GlobalSetting<bool> playPauseTapGestures;
    GlobalSetting<std::string> progressLabelStyle;  // a ProgressLabelStyle raw value
    GlobalSetting<std::int64_t> playExternalFileIndex;
    GlobalSetting<std::string> skipInterval;  // seconds as text: "5", "10", "15" or "30"
    GlobalSetting<bool> reduceHaptics;
    GlobalSetting<bool> preferLandscape;
    GlobalSetting<std::string> subtitleFont;
    GlobalSetting<bool> subtitlePositionAuto;
    GlobalSetting<std::int64_t> subtitlePosition;
    GlobalSetting<double> subtitleScale;
    GlobalSetting<double> subtitleDelay;
    GlobalSetting<std::string> subtitleTextColor;    // a colour string
    GlobalSetting<std::string> subtitleBorderColor;  // a colour string
    GlobalSetting<double> subtitleBorderSize;
    GlobalSetting<bool> subtitleShadow;

private:
    explicit Preferences(const std::shared_ptr<foundation::UserDefaults>& defaults);
};

}  // namespace reelhaven
