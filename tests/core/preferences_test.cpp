#include "core/preferences.h"

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "platform/foundation/container.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using testing_support::TempDir;
using Value = std::variant<bool, std::int64_t, double, std::string>;

struct Row {
    const char* key;
    Value defaultValue;
    Value other;
};

// Every setting with its key, its default and another value of its type.
const std::vector<Row>& rows() {
    static const std::vector<Row> table{
        {"ICLOUD_BACKUP", false, true},
        {"CONTINUE_AUDIO_BACKGROUND", true, false},
        {"AUDIO_LANGUAGE", std::string(""), std::string("jpn")},
        {"SUBTITLE_LANGUAGE", std::string(""), std::string("eng")},
        {"SCREENSHOT_WITH_SUBTITLES", true, false},
        {"CONTINUOUS_PLAYBACK", false, true},
        {"HIGH_QUALITY_VIDEO", false, true},
        {"USE_EDR", true, false},
        {"SEEK_GESTURES", true, false},
        {"VOLUME_GESTURES", true, false},
        {"BRIGHTNESS_GESTURES", true, false},
        {"PLAY_PAUSE_TAP_GESTURES", true, false},
        {"PROGRESS_LABEL_STYLE", std::string("progressTimeRemaining"), std::string("progressDuration")},
        {"PLAY_EXTERNAL_FILE_INDEX", std::int64_t{0}, std::int64_t{2}},
        {"SKIP_INTERVAL", std::string("15"), std::string("30")},
        {"REDUCE_HAPTICS", false, true},
        {"PREFER_LANDSCAPE", false, true},
        {"SUBTITLE_FONT", std::string("sans-serif"), std::string("Inter-Bold")},
        {"SUBTITLE_POSITION_AUTO", true, false},
        {"SUBTITLE_POSITION", std::int64_t{100}, std::int64_t{40}},
        {"SUBTITLE_SCALE", 1.0, 1.25},
        {"SUBTITLE_DELAY", 0.0, -0.5},
        {"SUBTITLE_TEXT_COLOR", std::string("#FFFFFFFF"), std::string("#80FF0000")},
        {"SUBTITLE_BORDER_COLOR", std::string("#FF000000"), std::string("#FF00FF00")},
        {"SUBTITLE_BORDER_SIZE", 3.0, 4.5},
        {"SUBTITLE_SHADOW", false, true},
    };
    return table;
}

// Reads and writes a setting of Preferences by its key, whatever its type.
template <typename F>
void withSetting(Preferences& p, const std::string& key, F&& f) {
    auto visit = [&](auto& setting) {
        if (setting.key() == key) f(setting);
    };
    visit(p.icloudBackup), visit(p.continueAudioBackground), visit(p.audioLanguage), visit(p.subtitleLanguage);
    visit(p.screenshotWithSubtitles), visit(p.continuousPlayback), visit(p.highQualityVideo), visit(p.useEDR);
    visit(p.seekGestures), visit(p.volumeGestures), visit(p.brightnessGestures), visit(p.playPauseTapGestures);
    visit(p.progressLabelStyle), visit(p.playExternalFileIndex), visit(p.skipInterval), visit(p.reduceHaptics);
    visit(p.preferLandscape), visit(p.subtitleFont), visit(p.subtitlePositionAuto), visit(p.subtitlePosition);
    visit(p.subtitleScale), visit(p.subtitleDelay), visit(p.subtitleTextColor), visit(p.subtitleBorderColor);
    visit(p.subtitleBorderSize), visit(p.subtitleShadow);
}

Value read(Preferences& p, const std::string& key) {
    Value value{false};
    bool found = false;
    withSetting(p, key, [&](auto& setting) {
        value = setting.wrappedValue();
        found = true;
    });
    if (!found) ADD_FAILURE() << "no setting for " << key;
    return value;
}

void write(Preferences& p, const std::string& key, const Value& value) {
    withSetting(p, key, [&](auto& setting) {
        using T = std::decay_t<decltype(setting.wrappedValue())>;
        setting.setWrappedValue(std::get<T>(value));
    });
}

class PreferencesTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "defaults.json";
    std::shared_ptr<foundation::UserDefaults> defaults = foundation::UserDefaults::create(file);
};

TEST_F(PreferencesTest, AFreshInstallHasEveryDefaultAndStoresNothing) {
    auto preferences = Preferences::create(defaults);
    for (const auto& row : rows()) EXPECT_EQ(read(*preferences, row.key), row.defaultValue) << row.key;
    EXPECT_TRUE(defaults->keys().empty());
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PreferencesTest, EverySettingPersistsUnderItsKey) {
    {
        auto preferences = Preferences::create(defaults);
        for (const auto& row : rows()) write(*preferences, row.key, row.other);
    }
    EXPECT_EQ(defaults->keys().size(), 26u);
    auto reopened = Preferences::create(foundation::UserDefaults::create(file));
    for (const auto& row : rows()) EXPECT_EQ(read(*reopened, row.key), row.other) << row.key;
}

TEST_F(PreferencesTest, StoredFormsAreTheValueTypes) {
    auto preferences = Preferences::create(defaults);
    preferences->subtitlePosition.setWrappedValue(40);
    preferences->subtitleScale.setWrappedValue(2.0);
    preferences->skipInterval.setWrappedValue("5");
    preferences->useEDR.setWrappedValue(false);
    EXPECT_EQ(defaults->type("SUBTITLE_POSITION"), foundation::DefaultsValueType::integer);
    EXPECT_EQ(defaults->type("SUBTITLE_SCALE"), foundation::DefaultsValueType::real);
    EXPECT_EQ(defaults->type("SKIP_INTERVAL"), foundation::DefaultsValueType::string);
    EXPECT_EQ(defaults->type("USE_EDR"), foundation::DefaultsValueType::boolean);
}

TEST_F(PreferencesTest, AStoredValueOfAnotherTypeReadsAsTheDefaultAndStaysStored) {
    defaults->setDouble("SUBTITLE_POSITION", 42.5);
    defaults->setString("USE_EDR", "yes");
    defaults->setInteger("SKIP_INTERVAL", 30);
    defaults->setBool("SUBTITLE_SCALE", true);
    auto preferences = Preferences::create(defaults);
    EXPECT_EQ(preferences->subtitlePosition.wrappedValue(), 100);
    EXPECT_TRUE(preferences->useEDR.wrappedValue());
    EXPECT_EQ(preferences->skipInterval.wrappedValue(), "15");
    EXPECT_EQ(preferences->subtitleScale.wrappedValue(), 1.0);
    EXPECT_EQ(defaults->real("SUBTITLE_POSITION"), 42.5);
    EXPECT_EQ(defaults->string("USE_EDR"), "yes");

    preferences->subtitlePosition.setWrappedValue(70);
    EXPECT_EQ(defaults->integer("SUBTITLE_POSITION"), 70);
}

TEST_F(PreferencesTest, AnIntegerStoredForADoubleReadsAsThatNumber) {
    defaults->setInteger("SUBTITLE_BORDER_SIZE", 2);
    EXPECT_EQ(Preferences::create(defaults)->subtitleBorderSize.wrappedValue(), 2.0);
}

TEST_F(PreferencesTest, SubscribersHearANewValueBeforeItIsStored) {
    auto preferences = Preferences::create(defaults);
    std::vector<std::string> heard;
    std::vector<bool> storedWhenHeard;
    auto subscription = preferences->subtitleFont.publisher().sink([&](const std::string& font) {
        heard.push_back(font);
        storedWhenHeard.push_back(defaults->string("SUBTITLE_FONT") == font);
    });
    preferences->subtitleFont.setWrappedValue("Inter-Medium");
    EXPECT_EQ(heard, (std::vector<std::string>{"sans-serif", "Inter-Medium"}));
    EXPECT_EQ(storedWhenHeard, (std::vector<bool>{false, false}));
    EXPECT_EQ(defaults->string("SUBTITLE_FONT"), "Inter-Medium");
}

TEST_F(PreferencesTest, ChangesBehindItsBackAreNotSeen) {
    auto preferences = Preferences::create(defaults);
    defaults->setDouble("SUBTITLE_SCALE", 3.0);
    EXPECT_EQ(preferences->subtitleScale.wrappedValue(), 1.0);
}

TEST_F(PreferencesTest, TheSharedInstanceBelongsToTheContainerInUse) {
    // A program that runs one app after another in one process (a test program) must not carry
    // the settings of an earlier container into the next one, nor write them into its folder.
    TempDir first, second;
    const auto stored = [](const TempDir& home) {
        return foundation::UserDefaults::create(home / "Library/Preferences/com.qvrm.reelhaven.json")
            ->boolean("REDUCE_HAPTICS");
    };
    {
        foundation::ScopedContainer container(first.path());
        Preferences::shared().reduceHaptics.setWrappedValue(true);
        EXPECT_EQ(stored(first), true);
    }
    {
        foundation::ScopedContainer container(second.path());
        EXPECT_FALSE(Preferences::shared().reduceHaptics.wrappedValue());
        Preferences::shared().reduceHaptics.setWrappedValue(true);
        EXPECT_EQ(stored(second), true);
    }
    // The first container's instance is still the one it had.
    foundation::ScopedContainer again(first.path());
    EXPECT_TRUE(Preferences::shared().reduceHaptics.wrappedValue());
}

}  // namespace
}  // namespace reelhaven
