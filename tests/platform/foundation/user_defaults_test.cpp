#include "platform/foundation/user_defaults.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "platform/base/log.h"
#include "platform/foundation/container.h"
#include "support/temp_dir.h"

namespace foundation {
namespace {

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

class UserDefaultsTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return dir / "Preferences" / "suite.json"; }
    // Oldest first.
    std::vector<std::filesystem::path> damagedCopies() const {
        std::vector<std::filesystem::path> copies;
        for (const auto& entry : std::filesystem::directory_iterator(file().parent_path()))
            if (entry.path().filename().string().starts_with("suite.json.corrupt-")) copies.push_back(entry.path());
        std::sort(copies.begin(), copies.end());
        return copies;
    }
    TempDir dir;
};

TEST_F(UserDefaultsTest, TypedValuesPersistAcrossInstances) {
    {
        auto defaults = UserDefaults::create(file());
        EXPECT_FALSE(std::filesystem::exists(file()));
        defaults->setBool("flag", true);
        defaults->setInteger("count", 100);
        defaults->setDouble("scale", 1.5);
        defaults->setDouble("whole", 3.0);
        defaults->setString("name", "sans-serif");
        defaults->setData("blob", std::string("\0\xff\x01", 3));
        defaults->setObject("list", Json::array({1, "two"}));
        defaults->setObject("dict", Json{{"a", 1}});
        EXPECT_TRUE(defaults->lastWriteSucceeded());
    }
    auto reread = UserDefaults::create(file());
    EXPECT_EQ(reread->boolean("flag"), true);
    EXPECT_EQ(reread->integer("count"), 100);
    EXPECT_EQ(reread->real("scale"), 1.5);
    EXPECT_EQ(reread->type("whole"), DefaultsValueType::real);
    EXPECT_EQ(reread->string("name"), "sans-serif");
    EXPECT_EQ(reread->data("blob"), std::string("\0\xff\x01", 3));
    EXPECT_EQ(reread->array("list"), Json::array({1, "two"}));
    EXPECT_EQ(reread->dictionary("dict"), (Json{{"a", 1}}));
    EXPECT_EQ(reread->type("blob"), DefaultsValueType::data);
    EXPECT_FALSE(reread->dictionary("blob"));
    EXPECT_EQ(reread->keys().size(), 8u);
}

TEST_F(UserDefaultsTest, WrongTypedValuesAreDetectableAndLeftAlone) {
    writeFile(file(), R"({"SUBTITLE_POSITION": 55.5, "SEEK_GESTURES": 1, "SKIP_INTERVAL": 15, "FLAG": "true"})");
    auto defaults = UserDefaults::create(file());
    EXPECT_EQ(defaults->type("SUBTITLE_POSITION"), DefaultsValueType::real);
    EXPECT_FALSE(defaults->integer("SUBTITLE_POSITION"));
    EXPECT_FALSE(defaults->boolean("SEEK_GESTURES"));
    EXPECT_EQ(defaults->integer("SEEK_GESTURES"), 1);
    EXPECT_EQ(defaults->real("SEEK_GESTURES"), 1.0);
    EXPECT_FALSE(defaults->string("SKIP_INTERVAL"));
    EXPECT_FALSE(defaults->boolean("FLAG"));
    EXPECT_FALSE(defaults->boolean("MISSING"));
    EXPECT_EQ(defaults->type("MISSING"), DefaultsValueType::none);

    // Writing another key keeps the mistyped ones as they were.
    defaults->setBool("OTHER", false);
    auto stored = Json::parse(readFile(file()));
    EXPECT_EQ(stored["SUBTITLE_POSITION"], 55.5);
    EXPECT_EQ(stored["SKIP_INTERVAL"], 15);
}

TEST_F(UserDefaultsTest, RemovingAKeyPersists) {
    auto defaults = UserDefaults::create(file());
    defaults->setString("a", "x");
    defaults->removeObject("a");
    defaults->removeObject("never-set");
    EXPECT_FALSE(defaults->contains("a"));
    EXPECT_FALSE(UserDefaults::create(file())->contains("a"));
}

TEST_F(UserDefaultsTest, AnUnreadableFileIsKeptAsideNotOverwritten) {
    writeFile(file(), "{not json");
    base::ScopedLogSink quiet([](base::LogLevel, std::string_view, std::string_view) {});
    auto defaults = UserDefaults::create(file());
    EXPECT_TRUE(defaults->keys().empty());
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(readFile(damagedCopies()[0]), "{not json");
    defaults->setBool("a", true);
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(readFile(damagedCopies()[0]), "{not json");
}

TEST_F(UserDefaultsTest, AFileCutOffKeepsTheSettingsBeforeTheCut) {
    writeFile(file(), R"({"SKIP_INTERVAL":"30","SUBTITLE_SCALE":1.5,"SUBTITLE_FONT":"Del)");
    base::ScopedLogSink quiet([](base::LogLevel, std::string_view, std::string_view) {});
    auto defaults = UserDefaults::create(file());
    EXPECT_EQ(defaults->string("SKIP_INTERVAL"), "30");
    EXPECT_EQ(defaults->real("SUBTITLE_SCALE"), 1.5);
    EXPECT_FALSE(defaults->contains("SUBTITLE_FONT"));
    EXPECT_EQ(damagedCopies().size(), 1u);
}

// Reading such a value used to overflow the stack at every start, and writing any setting beside it
// did so under any other key.
TEST_F(UserDefaultsTest, AValueNestedTooDeepIsDamageKeptAsideAndTheOtherSettingsStay) {
    const std::string deep = std::string(160'000, '[') + std::string(160'000, ']');
    for (const std::string key : {"ICLOUD_BACKUP", "SOMETHING_UNKNOWN"}) {
        const std::string text = R"({"SUBTITLE_SCALE":1.5,")" + key + R"(":)" + deep + "}";
        writeFile(file(), text);
        for (const auto& copy : damagedCopies()) std::filesystem::remove(copy);
        base::ScopedLogSink quiet([](base::LogLevel, std::string_view, std::string_view) {});
        auto defaults = UserDefaults::create(file());
        EXPECT_FALSE(defaults->object(key)) << key;
        EXPECT_FALSE(defaults->boolean(key)) << key;
        EXPECT_EQ(defaults->real("SUBTITLE_SCALE"), 1.5) << key;
        ASSERT_EQ(damagedCopies().size(), 1u) << key;
        EXPECT_EQ(readFile(damagedCopies()[0]), text) << key;

        defaults->setBool("SEEK_GESTURES", false);
        EXPECT_TRUE(defaults->lastWriteSucceeded()) << key;
        auto stored = Json::parse(readFile(file()));
        EXPECT_EQ(stored, (Json{{"SUBTITLE_SCALE", 1.5}, {"SEEK_GESTURES", false}})) << key;
    }
}

TEST_F(UserDefaultsTest, APipeUnderTheFileNameIsNotReadAndTemporariesOfKilledWritesGo) {
    std::filesystem::create_directories(file().parent_path());
    ASSERT_EQ(::mkfifo(file().c_str(), 0644), 0);
    writeFile(file().parent_path() / ".suite.json.Xy12Zw", "half a write");
    base::ScopedLogSink quiet([](base::LogLevel, std::string_view, std::string_view) {});
    auto defaults = UserDefaults::create(file());  // would block for ever on the pipe
    EXPECT_TRUE(defaults->keys().empty());
    EXPECT_FALSE(std::filesystem::exists(file().parent_path() / ".suite.json.Xy12Zw"));
    defaults->setString("a", "b");
    EXPECT_TRUE(std::filesystem::is_regular_file(file()));
    EXPECT_EQ(UserDefaults::create(file())->string("a"), "b");
}

TEST_F(UserDefaultsTest, WritesAreAtomicAndLeaveNoTemporaries) {
    auto defaults = UserDefaults::create(file());
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) defaults->setInteger("key" + std::to_string(t), i);
        });
    }
    for (auto& writer : writers) writer.join();
    auto stored = Json::parse(readFile(file()));
    for (int t = 0; t < 4; ++t) EXPECT_EQ(stored["key" + std::to_string(t)], 24);
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(file().parent_path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(UserDefaultsTest, AFailedWriteIsReportedAndLeavesNoTemporaries) {
    auto defaults = UserDefaults::create(file());
    defaults->setString("a", "old");
    ASSERT_TRUE(defaults->lastWriteSucceeded());
    // A folder in the file's place makes the final rename fail, for root too.
    std::filesystem::remove(file());
    std::filesystem::create_directories(file() / "blocker");
    base::ScopedLogSink quiet([](base::LogLevel, std::string_view, std::string_view) {});
    defaults->setString("a", "new");
    EXPECT_FALSE(defaults->lastWriteSucceeded());
    EXPECT_EQ(defaults->string("a"), "new");
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(file().parent_path())) ++entries;
    EXPECT_EQ(entries, 1);  // only the blocking folder
    std::filesystem::remove_all(file());
    defaults->setString("a", "newer");
    EXPECT_TRUE(defaults->lastWriteSucceeded());
    EXPECT_EQ(UserDefaults::create(file())->string("a"), "newer");
}

TEST_F(UserDefaultsTest, StandardIsOnePerContainer) {
    ScopedContainer container(dir / "home");
    auto standard = UserDefaults::standard();
    EXPECT_EQ(standard, UserDefaults::standard());
    EXPECT_EQ(standard->file(), dir / "home" / "Library" / "Preferences" / "com.qvrm.reelhaven.json");
    TempDir other;
    ScopedContainer second(other / "home");
    EXPECT_NE(UserDefaults::standard(), standard);
}

}  // namespace
}  // namespace foundation
