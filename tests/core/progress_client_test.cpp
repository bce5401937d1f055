#include "core/progress_client.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "core/video.h"
#include "platform/foundation/container.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using foundation::URL;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

class ProgressClientTest : public ::testing::Test {
protected:
    TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::filesystem::path supportFolder =
        container.container().folder(foundation::SearchPathDirectory::applicationSupport);
    std::filesystem::path file = supportFolder / "progressData";

    std::shared_ptr<Video> video(const std::string& relativePath, std::optional<double> duration, bool scoped = false) {
        auto path = dir / "home" / "Documents" / relativePath;
        writeFile(path, "x");
        auto item = Video::create(URL::fileURLWithPath(path.string()), LibraryItemType::file, scoped);
        if (duration) item->setDuration(VideoTime{*duration});
        return item;
    }

    nlohmann::json savedJson() { return nlohmann::json::parse(readFile(file)); }

    // Oldest first.
    std::vector<std::filesystem::path> damagedCopies() const {
        std::vector<std::filesystem::path> copies;
        for (const auto& entry : std::filesystem::directory_iterator(supportFolder))
            if (entry.path().filename().string().starts_with("progressData.corrupt-")) copies.push_back(entry.path());
        std::sort(copies.begin(), copies.end());
        return copies;
    }

    std::vector<std::string> directoryNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(supportFolder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ProgressClientTest, KeysAreTheMD5OfTheDecodedNameWithoutExtension) {
    EXPECT_EQ(ProgressClient::progressKey(URL::fileURLWithPath("/x/Film.mkv")), "bae9023301664a3ea829a63c67d6f882");
    EXPECT_EQ(ProgressClient::progressKey(*URL::parse("file:///x/My%20Film.mp4")), "20def6a82590b195c061ee6b8c090239");
    EXPECT_EQ(ProgressClient::progressKey(URL::fileURLWithPath("/y/Film.mp4")), "bae9023301664a3ea829a63c67d6f882");
}

TEST_F(ProgressClientTest, FirstLaunchStartsEmptyAndTheFirstSaveCreatesTheFolder) {
    std::filesystem::remove_all(supportFolder);
    auto client = ProgressClient::create();
    EXPECT_TRUE(client->records().empty());
    client->save();
    EXPECT_EQ(readFile(file), "{}");
}

TEST_F(ProgressClientTest, WritesExactlyTheRecordUnderItsKey) {
    auto client = ProgressClient::create();
    auto film = video("My Film.mkv", 1432.5);
    VideoProgress::Choices choices;
    choices.playbackSpeed = 1.5;
    client->update(*film, 61.25, std::nullopt, choices);
    client->save();
    EXPECT_EQ(readFile(file),
              R"({"20def6a82590b195c061ee6b8c090239":{"duration":{"seconds":1432.5},"isFinished":false,)"
              R"("playbackSpeed":1.5,"progress":{"seconds":61.25}}})");
}

TEST_F(ProgressClientTest, SaveAndLoadRoundTrip) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    VideoProgress::Choices choices;
    choices.selectedAudio = 2;
    choices.contentMode = ContentMode::aspectFill;
    choices.aspectRatio = 2.39;
    client->update(*film, 120.5, std::nullopt, choices);
    client->update(*video("Other.mp4", 30), 12, std::nullopt, {});
    client->save();

    auto reloaded = ProgressClient::create();
    EXPECT_EQ(reloaded->records(), client->records());
    auto record = reloaded->progress(*film);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->progress, VideoTime{120.5});
    EXPECT_EQ(record->contentMode, ContentMode::aspectFill);
}

TEST_F(ProgressClientTest, LoadReplacesTheRecordsInMemory) {
    auto client = ProgressClient::create();
    client->update(*video("Film.mkv", 600), 100, std::nullopt, {});
    client->save();
    client->update(*video("Other.mkv", 600), 100, std::nullopt, {});
    client->load();
    EXPECT_EQ(client->records().size(), 1u);
}

TEST_F(ProgressClientTest, ABadRecordIsDroppedAloneAndABadChoiceAloneFromItsRecord) {
    writeFile(file,
              R"({"a":{"progress":{"seconds":5},"duration":{"seconds":60},"isFinished":false},)"
              R"("b":{"progress":{"seconds":7},"duration":{"seconds":60},"isFinished":false,"aspectRatio":"zoom",)"
              R"("volume":40},"c":7,"d":{"duration":{"seconds":60},"isFinished":false}})");
    auto client = ProgressClient::create();
    auto records = client->records();
    ASSERT_EQ(records.size(), 3u) << "only a member that is no record is dropped";
    EXPECT_EQ(records.at("d").progress, VideoTime{0}) << "a record without a position starts over";
    EXPECT_EQ(records.at("d").duration, VideoTime{60});
    EXPECT_EQ(records.at("a").progress, VideoTime{5});
    EXPECT_EQ(records.at("b").progress, VideoTime{7});
    EXPECT_EQ(records.at("b").contentMode, std::nullopt);
    EXPECT_EQ(records.at("b").volume, 40);

    // The next save keeps the record, without the value nothing could use.
    client->save();
    auto saved = savedJson();
    ASSERT_TRUE(saved.contains("b"));
    EXPECT_FALSE(saved["b"].contains("aspectRatio"));
    EXPECT_EQ(saved["b"]["volume"], 40);
}

TEST_F(ProgressClientTest, AFileThatIsNotAnObjectIsKeptAsideBeforeTheNextSave) {
    for (std::string corrupt :
         {std::string("[1,2,3]"), std::string("{\"a\":{\"progress\""), std::string("\x00\x01", 2)}) {
        for (const auto& copy : damagedCopies()) std::filesystem::remove(copy);
        writeFile(file, corrupt);
        auto client = ProgressClient::create();
        EXPECT_TRUE(client->records().empty());
        ASSERT_EQ(damagedCopies().size(), 1u);
        EXPECT_EQ(readFile(damagedCopies()[0]), corrupt);
        client->update(*video("Film.mkv", 600), 100, std::nullopt, {});
        client->save();
        EXPECT_EQ(savedJson().size(), 1u);
        ASSERT_EQ(damagedCopies().size(), 1u);
        EXPECT_EQ(readFile(damagedCopies()[0]), corrupt);
    }
}

TEST_F(ProgressClientTest, AFileCutOffKeepsTheRecordsThatStandWhole) {
    const std::string whole = R"({"a":{"progress":{"seconds":5},"duration":{"seconds":60},"isFinished":false},)"
                              R"("b":{"progress":{"seconds":7},"duration":{"seconds":60},"isFinished":true},)"
                              R"("c":{"progress":{"seconds":9},"duration":{"seconds":6)";
    writeFile(file, whole);
    auto records = ProgressClient::create()->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records.at("a").progress, VideoTime{5});
    EXPECT_TRUE(records.at("b").isFinished);
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(readFile(damagedCopies()[0]), whole);
}

TEST_F(ProgressClientTest, ANumberJSONCannotHoldCostsOnlyItsValueOrItsRecord) {
    writeFile(file,
              R"({"a":{"progress":{"seconds":5},"duration":{"seconds":60},"isFinished":false,"volume":NaN},)"
              R"("b":{"progress":{"seconds":1e400},"duration":{"seconds":60},"isFinished":false},)"
              R"("c":{"progress":{"seconds":8},"duration":{"seconds":60},"isFinished":false,"playbackSpeed":1e400}})");
    auto records = ProgressClient::create()->records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records.at("b").progress, VideoTime{0}) << "a position that cannot be read is the start";
    EXPECT_EQ(records.at("b").duration, VideoTime{60});
    EXPECT_EQ(records.at("a").progress, VideoTime{5});
    EXPECT_EQ(records.at("a").volume, std::nullopt);
    EXPECT_EQ(records.at("c").progress, VideoTime{8});
    EXPECT_EQ(records.at("c").playbackSpeed, std::nullopt);
}

TEST_F(ProgressClientTest, ADamagedLengthOrWatchedMarkKeepsThePositionAndTheChoices) {
    const std::string film = ProgressClient::progressKey(URL::fileURLWithPath("/Film.mkv"));
    writeFile(file,
              R"({")" + film +
                  R"(":{"progress":{"seconds":61.2},"duration":{"seconds":NaN},"isFinished":false,)"
                  R"("volume":40},)"
                  R"("text":{"progress":{"seconds":30},"duration":{"seconds":600},"isFinished":"no","loop":true},)"
                  R"("huge":{"progress":{"seconds":45},"duration":{"seconds":1e308},"isFinished":true},)"
                  R"("negative":{"progress":{"seconds":12},"duration":{"seconds":-5}},)"
                  R"("late":{"progress":{"seconds":1e10},"duration":{"seconds":600},"isFinished":false},)"
                  R"("early":{"progress":{"seconds":-5},"duration":{"seconds":600},"isFinished":false}})");
    auto client = ProgressClient::create();
    auto records = client->records();
    ASSERT_EQ(records.size(), 6u);
    for (const char* key : {"late", "early"}) {
        EXPECT_EQ(records.at(key).progress, VideoTime{0}) << key << ": a position outside any media is the start";
        EXPECT_EQ(records.at(key).duration, VideoTime{600}) << key;
    }
    EXPECT_EQ(records.at(film).progress, VideoTime{61.2});
    EXPECT_EQ(records.at(film).duration, VideoTime{0}) << "unknown";
    EXPECT_EQ(records.at(film).volume, 40);
    EXPECT_EQ(records.at("text").progress, VideoTime{30});
    EXPECT_EQ(records.at("text").duration, VideoTime{600});
    EXPECT_FALSE(records.at("text").isFinished);
    EXPECT_EQ(records.at("text").loop, true);
    EXPECT_EQ(records.at("huge").duration, VideoTime{0});
    EXPECT_TRUE(records.at("huge").isFinished);
    EXPECT_EQ(records.at("negative").progress, VideoTime{12});
    EXPECT_EQ(records.at("negative").duration, VideoTime{0});
    EXPECT_EQ(damagedCopies().size(), 1u) << "what was dropped is kept aside";

    // The next update with the video's real length mends the record; the position and the
    // choices stand.
    auto played = video("Film.mkv", 600);
    client->update(*played, 62, std::nullopt, records.at(film).choices());
    client->save();
    const auto saved = savedJson()[film];
    EXPECT_EQ(saved["progress"]["seconds"], 62.0);
    EXPECT_EQ(saved["duration"]["seconds"], 600.0);
    EXPECT_EQ(saved["isFinished"], false);
    EXPECT_EQ(saved["volume"], 40);
}

TEST_F(ProgressClientTest, ARecordAHairBeforeTheStartIsReadWholeAndWrittenBackWhole) {
    const std::string film = ProgressClient::progressKey(URL::fileURLWithPath("/Film.mkv"));
    writeFile(file, R"({")" + film +
                        R"(":{"progress":{"seconds":-2.8e-07},"duration":{"seconds":600},"isFinished":true,)"
                        R"("playbackSpeed":1.5,"selectedAudio":2,"selectedSubtitle":3,"volume":150}})");
    auto client = ProgressClient::create();
    auto record = client->progress(*video("Film.mkv", 600));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->progress, VideoTime{0});
    EXPECT_TRUE(record->isFinished);
    EXPECT_EQ(record->playbackSpeed, 1.5);
    EXPECT_EQ(record->selectedAudio, 2);
    EXPECT_EQ(record->selectedSubtitle, 3);
    EXPECT_EQ(record->volume, 150);
    EXPECT_TRUE(damagedCopies().empty()) << "nothing was damaged";
    client->save();
    EXPECT_EQ(savedJson()[film]["progress"]["seconds"], 0.0);
    EXPECT_EQ(savedJson()[film].size(), 7u);
}

TEST_F(ProgressClientTest, AnUpdateAHairBeforeTheStartIsAnUpdateAtTheStart) {
    auto client = ProgressClient::create();
    auto fresh = video("Fresh.mkv", 600);
    client->update(*fresh, -2.8e-07, std::nullopt, VideoProgress::Choices{.playbackSpeed = 1.5});
    auto first = client->progress(*fresh);
    ASSERT_TRUE(first) << "a first record";
    EXPECT_EQ(first->progress, VideoTime{0});
    EXPECT_EQ(first->playbackSpeed, 1.5);

    auto film = video("Film.mkv", 600);
    client->update(*film, 120, std::nullopt, {});
    client->update(*film, -2.8e-07, std::nullopt, VideoProgress::Choices{.selectedAudio = 2, .volume = 50});
    auto record = client->progress(*film);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->progress, VideoTime{0});
    EXPECT_EQ(record->selectedAudio, 2);
    EXPECT_EQ(record->volume, 50);

    client->update(*film, -5, std::nullopt, {});
    EXPECT_EQ(client->progress(*film), record) << "a position far before the start changes nothing";
}

TEST_F(ProgressClientTest, ChoicesThePlayerDoesNotOfferAreReadAsAbsentAndNotWrittenBack) {
    writeFile(file, R"({"a":{"progress":{"seconds":30},"duration":{"seconds":600},"isFinished":false,)"
                    R"("playbackSpeed":1e308,"volume":2147483647,"selectedAudio":-2147483648,"loop":true},)"
                    R"("b":{"progress":{"seconds":40},"duration":{"seconds":600},"isFinished":false,)"
                    R"("playbackSpeed":-1,"volume":-100,"selectedSubtitle":4}})");
    auto client = ProgressClient::create();
    const auto records = client->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records.at("a").choices(), (VideoProgress::Choices{.loop = true}));
    EXPECT_EQ(records.at("a").progress, VideoTime{30});
    EXPECT_EQ(records.at("b").choices(), (VideoProgress::Choices{.selectedSubtitle = 4}));
    EXPECT_EQ(damagedCopies().size(), 1u) << "what was dropped is kept aside";

    auto film = video("Film.mkv", 600);
    client->update(*film, 60, std::nullopt, VideoProgress::Choices{.playbackSpeed = 8, .volume = 151});
    client->save();
    const auto saved = savedJson();
    for (const char* key : {"playbackSpeed", "volume", "selectedAudio"}) {
        EXPECT_FALSE(saved["a"].contains(key)) << key;
        EXPECT_FALSE(saved["b"].contains(key)) << key;
    }
    EXPECT_EQ(saved["a"]["loop"], true);
    EXPECT_EQ(saved["b"]["selectedSubtitle"], 4);
    EXPECT_EQ(saved[ProgressClient::progressKey(film->url())].size(), 3u) << "only the required keys";
}

// An unsigned number past the signed range used to wrap: 18446744073709551615 was read as -1, the
// "None" track, and written back as a choice the user never made.
TEST_F(ProgressClientTest, AnIntegerFieldHoldingWhatItsTypeCannotIsReadAsAbsentAndNotWrittenBack) {
    struct Case {
        const char* key;
        const char* stored;
    };
    const Case unusable[] = {
        {"selectedAudio", "18446744073709551615"},  // 2^64 - 1, which wrapped to -1
        {"selectedSubtitle", "18446744073709551615"},
        {"selectedAudio", "18446744073709551614"},    // wrapped to -2
        {"selectedSubtitle", "9223372036854775808"},  // 2^63, wrapped to the lowest 64-bit value
        {"selectedAudio", "4294967295"},              // 2^32 - 1, -1 when cut to 32 bits
        {"selectedSubtitle", "4294967298"},           // 2 when cut to 32 bits
        {"selectedAudio", "2147483648"},              // one past the largest int
        {"selectedSubtitle", "-9223372036854775808"},
        {"selectedAudio", "-18446744073709551615"},  // beyond 64 bits: read as a fraction-less double
        {"selectedSubtitle", "1.5"},
        {"selectedAudio", "\"2\""},
        {"selectedSubtitle", "true"},
        {"selectedAudio", "[2]"},
        {"volume", "18446744073709551615"},
        {"volume", "4294967346"},  // 50 when cut to 32 bits
        {"volume", "50.5"},
        {"volume", "{\"percent\":50}"},
        {"aspectRatio", "1"},  // the content mode is stored by name
        {"aspectRatio", "18446744073709551615"},
    };
    const Case usable[] = {{"selectedAudio", "2"}, {"selectedSubtitle", "-1"}, {"volume", "50.0"}};

    std::string text = "{";
    auto add = [&text](const std::string& name, const Case& c) {
        if (text.size() > 1) text += ",";
        text += "\"" + name + R"(":{"progress":{"seconds":30},"duration":{"seconds":600},"isFinished":false,)" +
                R"("loop":true,")" + c.key + "\":" + c.stored + "}";
    };
    for (std::size_t i = 0; i < std::size(unusable); ++i) add("bad" + std::to_string(i), unusable[i]);
    for (std::size_t i = 0; i < std::size(usable); ++i) add("good" + std::to_string(i), usable[i]);
    writeFile(file, text + "}");

    auto client = ProgressClient::create();
    client->save();
    const auto saved = savedJson();
    for (std::size_t i = 0; i < std::size(unusable); ++i) {
        const auto name = "bad" + std::to_string(i);
        const auto what = std::string(unusable[i].key) + " " + unusable[i].stored;
        ASSERT_TRUE(client->records().contains(name)) << what << ": only the value is dropped";
        EXPECT_EQ(client->records().at(name).choices(), (VideoProgress::Choices{.loop = true})) << what;
        EXPECT_EQ(client->records().at(name).progress, VideoTime{30}) << what;
        EXPECT_FALSE(saved[name].contains(unusable[i].key)) << what << " was written back";
        EXPECT_EQ(saved[name]["loop"], true) << what;
    }
    EXPECT_EQ(client->records().at("good0").selectedAudio, 2);
    EXPECT_EQ(client->records().at("good1").selectedSubtitle, -1);
    EXPECT_EQ(client->records().at("good2").volume, 50);
    EXPECT_EQ(saved["good0"]["selectedAudio"], 2);
    EXPECT_EQ(saved["good1"]["selectedSubtitle"], -1);
    EXPECT_EQ(saved["good2"]["volume"], 50);
}

// Such a file used to be read whole into memory, where one copy of the value would overflow the stack.
TEST_F(ProgressClientTest, AFileNestedTooDeepIsDamageKeptAsideAndTheRecordsThatStandAreRead) {
    const std::string deep = std::string(160'000, '[') + std::string(160'000, ']');
    const std::string text = R"({"a":{"progress":{"seconds":5},"duration":{"seconds":60},"isFinished":false},)"
                             R"("b":{"progress":{"seconds":7},"duration":{"seconds":60},"isFinished":false,)"
                             R"("future":)" +
                             deep + R"(,"volume":50}})";
    writeFile(file, text);
    auto client = ProgressClient::create();
    const auto records = client->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records.at("a").progress, VideoTime{5});
    EXPECT_EQ(records.at("b").progress, VideoTime{7});
    EXPECT_EQ(records.at("b").volume, 50);
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(readFile(damagedCopies()[0]), text);
    client->save();
    EXPECT_EQ(ProgressClient::create()->records(), records);
    EXPECT_EQ(damagedCopies().size(), 1u) << "the file saved is whole";
}

TEST_F(ProgressClientTest, ABogusLengthOfTheVideoIsNeverWrittenIntoItsRecord) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    client->update(*film, 100, std::nullopt, {});
    for (double bogus : {1e10, 1e308, -5.0}) {
        film->setDuration(VideoTime{bogus});
        client->update(*film, 120, std::nullopt, {});
        auto record = client->progress(*film);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->duration, VideoTime{600}) << bogus;
        EXPECT_EQ(record->progress, VideoTime{120}) << bogus;
    }
    auto fresh = video("Fresh.mkv", 1e10);
    client->update(*fresh, 50, std::nullopt, {});
    EXPECT_FALSE(client->progress(*fresh)) << "no first record without a real length";
    client->update(*film, 2e8, std::nullopt, {});
    EXPECT_EQ(client->progress(*film)->progress, VideoTime{120}) << "a position beyond any media";
}

TEST_F(ProgressClientTest, EachDamagedFileIsKeptAndOnlyTheNewestFew) {
    for (int i = 0; i < 5; ++i) {
        writeFile(file, "{\"damaged\":" + std::to_string(i));
        (void)ProgressClient::create();
    }
    auto copies = damagedCopies();
    ASSERT_EQ(copies.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(readFile(copies[i]), "{\"damaged\":" + std::to_string(i + 2));
}

TEST_F(ProgressClientTest, ADamagedFileReadAtEveryStartIsKeptOnceAndPushesOutNoOlderCopy) {
    const std::string older = R"({"lost":{"progress":{"seconds":5},"duration":{"seconds":60},"isFinished":false}} x)";
    writeFile(file, older);
    (void)ProgressClient::create();
    const std::string damaged = "{\"damaged\":";
    writeFile(file, damaged);
    for (int start = 0; start < 4; ++start) (void)ProgressClient::create();
    auto copies = damagedCopies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(readFile(copies[0]), older) << "the only copy of the dropped record stays";
    EXPECT_EQ(readFile(copies[1]), damaged);

    // Damage that differs from the newest copy is kept again, even when an older copy holds it.
    writeFile(file, older);
    (void)ProgressClient::create();
    copies = damagedCopies();
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(readFile(copies[2]), older);
}

TEST_F(ProgressClientTest, APipeOrADeviceUnderTheFileNameIsNotReadAndTheNextSaveReplacesIt) {
    for (bool fifo : {true, false}) {
        std::filesystem::remove(file);
        if (fifo)
            ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        else
            std::filesystem::create_symlink("/dev/zero", file);
        auto client = ProgressClient::create();  // would block for ever, or read without end
        EXPECT_TRUE(client->records().empty());
        client->update(*video("Film.mkv", 600), 100, std::nullopt, {});
        client->save();
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file)));
        EXPECT_EQ(savedJson().size(), 1u);
    }
}

TEST_F(ProgressClientTest, TemporariesOfKilledSavesAreRemovedAtStartAndAFailedSaveLeavesNone) {
    writeFile(supportFolder / ".progressData.k1LLed", "half a save");
    auto client = ProgressClient::create();
    EXPECT_FALSE(std::filesystem::exists(supportFolder / ".progressData.k1LLed"));

    client->update(*video("Film.mkv", 600), 100, std::nullopt, {});
    client->save();
    const std::string saved = readFile(file);
    for (int i = 0; i < 200; ++i) client->update(*video("v" + std::to_string(i) + ".mkv", 600), 50, std::nullopt, {});
    {
        testing_support::ScopedFullDisk full(saved.size() + 10);
        client->save();
    }
    EXPECT_EQ(readFile(file), saved) << "the old file stands";
    EXPECT_EQ(directoryNames(), std::vector<std::string>{"progressData"});
}

TEST_F(ProgressClientTest, SavesLeaveNoTemporaryFilesAndAlwaysAWholeFile) {
    auto client = ProgressClient::create();
    for (int i = 0; i < 50; ++i)
        client->update(*video("v" + std::to_string(i) + ".mp4", 600), i + 30, std::nullopt, {});
    std::vector<std::thread> savers;
    for (int i = 0; i < 4; ++i)
        savers.emplace_back([&] {
            for (int j = 0; j < 20; ++j) client->save();
        });
    for (int j = 0; j < 40; ++j) {
        // Readers always find a whole JSON object.
        if (std::filesystem::exists(file)) {
            EXPECT_NO_THROW((void)savedJson());
        }
    }
    for (auto& t : savers) t.join();
    EXPECT_EQ(savedJson().size(), 50u);
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(supportFolder)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(ProgressClientTest, DeleteAllForgetsEverythingAndRemovesTheFile) {
    auto client = ProgressClient::create();
    client->update(*video("Film.mkv", 600), 100, std::nullopt, {});
    client->save();
    client->deleteAll();
    EXPECT_TRUE(client->records().empty());
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(ProgressClientTest, VideosWithTheSameStemShareOneRecord) {
    auto client = ProgressClient::create();
    client->update(*video("a/Film.mkv", 600), 100, std::nullopt, {});
    EXPECT_TRUE(client->progress(*video("b/Film.mp4", 600)));
    EXPECT_FALSE(client->progress(*video("a/Film2.mkv", 600)));
}

TEST_F(ProgressClientTest, LibraryVideosAreRememberedFromTheirFirstSave) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    client->update(*film, 3, std::nullopt, {});
    ASSERT_TRUE(client->progress(*film));
    EXPECT_EQ(client->progress(*film)->progress, VideoTime{3});
}

TEST_F(ProgressClientTest, AVideoWithoutDurationGetsNoFirstRecord) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", std::nullopt);
    client->update(*film, 100, std::nullopt, {});
    client->update(*film, 100, true, {});
    EXPECT_FALSE(client->progress(*film));
}

TEST_F(ProgressClientTest, MarkingANewVideoWatchedCreatesAFinishedRecordAtOnce) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    client->update(*film, 0, true, {});
    ASSERT_TRUE(client->progress(*film));
    EXPECT_TRUE(client->progress(*film)->isFinished);

    client->update(*film, 0, false, {});
    EXPECT_FALSE(client->progress(*film)->isFinished);
    EXPECT_EQ(client->progress(*film)->progress, VideoTime{0});
}

TEST_F(ProgressClientTest, ExistingRecordsFollowTheUpdateRuleWithTheVideosDuration) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    client->update(*film, 30, std::nullopt, {});
    client->update(*film, 590, std::nullopt, {});
    auto record = client->progress(*film);
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->isFinished);
    EXPECT_EQ(record->progress, VideoTime{0});
}

TEST_F(ProgressClientTest, FilesFromElsewhereAreRememberedOnlyPastTwentySecondsAndUnfinished) {
    auto client = ProgressClient::create();
    auto outside = video("Outside.mp4", 600, true);
    client->update(*outside, 3, std::nullopt, {});
    EXPECT_FALSE(client->progress(*outside));
    client->update(*outside, 19.99, std::nullopt, {});
    EXPECT_FALSE(client->progress(*outside));
    client->update(*outside, 30, true, {});
    EXPECT_FALSE(client->progress(*outside));
    client->update(*outside, 20.0, std::nullopt, {});
    ASSERT_TRUE(client->progress(*outside));

    client->update(*outside, 30, std::nullopt, {});
    client->update(*outside, 19, std::nullopt, {});
    EXPECT_FALSE(client->progress(*outside)) << "an existing record under 20 s is removed";

    client->update(*outside, 30, std::nullopt, {});
    client->update(*outside, 590, std::nullopt, {});
    EXPECT_FALSE(client->progress(*outside)) << "finished by the update rule";

    client->update(*outside, 30, std::nullopt, {});
    client->update(*outside, 300, true, {});
    EXPECT_FALSE(client->progress(*outside)) << "marked finished";
}

TEST_F(ProgressClientTest, AFileFromElsewhereKeepsTheWatchedMarkOfItsLibraryNamesake) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 3000);
    client->update(*film, 0, true, {});
    auto outside = video("../Elsewhere/Film.mp4", 3000, true);
    // 40 s of 3000 is under 2 %: the record stays finished, and it is past 20 s.
    client->update(*outside, 40, std::nullopt, {});
    auto record = client->progress(*film);
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->isFinished);
    EXPECT_EQ(record->progress, VideoTime{40});
}

TEST_F(ProgressClientTest, PositionsThatAreNotNumbersChangeNothingAndTheRecordSurvivesALoad) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    client->update(*film, 120, std::nullopt, VideoProgress::Choices{.selectedAudio = 2});
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) client->update(*film, bad, std::nullopt, {});
    auto fresh = video("Fresh.mkv", 600);
    client->update(*fresh, std::nan(""), std::nullopt, {});
    EXPECT_FALSE(client->progress(*fresh));

    auto unknownLength = video("Endless.mkv", HUGE_VAL);
    client->update(*unknownLength, 5, std::nullopt, {});
    EXPECT_FALSE(client->progress(*unknownLength)) << "an infinite duration counts as none";

    client->save();
    auto reloaded = ProgressClient::create();
    auto record = reloaded->progress(*film);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->progress, VideoTime{120});
    EXPECT_EQ(record->selectedAudio, 2);
}

TEST_F(ProgressClientTest, RemoveDropsOnlyThatRecord) {
    auto client = ProgressClient::create();
    auto film = video("Film.mkv", 600);
    auto other = video("Other.mkv", 600);
    client->update(*film, 100, std::nullopt, {});
    client->update(*other, 100, std::nullopt, {});
    client->remove(*film);
    EXPECT_FALSE(client->progress(*film));
    EXPECT_TRUE(client->progress(*other));
}

}  // namespace
}  // namespace reelhaven
