#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/foundation/uniform_type.h"
#include "platform/ui/controllers/document_picker_view_controller.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"
#include "support/temp_dir.h"

namespace ui {
namespace {

using testing_support::readFile;
using testing_support::writeFile;

class Picks : public DocumentPickerDelegate {
public:
    void didPickDocuments(DocumentPickerViewController&, const std::vector<foundation::URL>& urls) override {
        picked.push_back(urls);
    }
    std::vector<std::vector<foundation::URL>> picked;
};

class DocumentPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(outside / "a.mp4", "first");
        writeFile(outside / "b.mkv", "second");
        writeFile(outside / "notes.txt", "text");
        // As the app declares its own video types: no parent, the extension it opens.
        foundation::UniformType::declare({"test.matroska", {"mkv"}, {}});
    }
    foundation::URL file(const std::string& name) const {
        return foundation::URL::fileURLWithPath((outside / name).string());
    }
    // Serves the main queue until `count` picks have been handed (the copies come from the
    // picker's queue, a real thread).
    bool handed(size_t count) {
        return loop.runUntil([&] { return picks->picked.size() >= count; });
    }
    std::vector<std::string> inboxEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home / "tmp" / "Inbox"))
            names.push_back(std::filesystem::relative(entry.path(), home / "tmp" / "Inbox").string());
        return names;
    }

    // Shows `picker` browsing `folder` in a phone's window, settled; the driver acts on it.
    ScreenDriver& show(const std::shared_ptr<DocumentPickerViewController>& picker,
                       const std::filesystem::path& folder) {
        picker->setDirectoryURL(foundation::URL::fileURLWithPath(folder.string()));
        auto window = Window::create(Rect(0, 0, 390, 844));
        window->setRootViewController(picker);
        window->makeKeyAndVisible();
        shownDriver.emplace(window);
        shownDriver->settle();
        return *shownDriver;
    }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir home;
    testing_support::TempDir outside;
    std::shared_ptr<Picks> picks = std::make_shared<Picks>();
    std::optional<ScreenDriver> shownDriver;
};

TEST_F(DocumentPickerTest, ACopyingPickerHandsCopiesInTheInboxAndKeepsTheOriginals) {
    foundation::ScopedContainer container(home.path());
    auto picker = DocumentPickerViewController::create({"public.movie", "test.matroska"}, true);
    picker->setAllowsMultipleSelection(true);
    picker->setDelegate(picks);
    EXPECT_FALSE(picker->canPick(file("notes.txt")));
    EXPECT_FALSE(picker->canPick(foundation::URL::fileURLWithPath(outside.path().string())));  // a folder
    const int settled = TransitionsInFlight::count();
    picker->pick({file("a.mp4"), file("missing.mp4"), file("notes.txt"), file("b.mkv")});
    picker->pick({file("a.mp4")});  // the same name again, before the first copy is taken away
    // The copies are made off the main thread: nothing is handed until the main queue serves them,
    // and until then a host waiting for the screen to settle waits for them.
    EXPECT_TRUE(picks->picked.empty());
    EXPECT_EQ(TransitionsInFlight::count(), settled + 2);
    ASSERT_TRUE(handed(2));
    EXPECT_EQ(TransitionsInFlight::count(), settled);

    ASSERT_EQ(picks->picked.size(), 2u);
    const auto& copies = picks->picked[0];
    ASSERT_EQ(copies.size(), 2u);  // the missing one and the text are left out
    const auto inbox = (home / "tmp" / "Inbox").string() + "/";
    for (const auto& copy : copies) EXPECT_EQ(copy.path().rfind(inbox, 0), 0u) << copy.path();
    EXPECT_EQ(copies[0].lastPathComponent(), "a.mp4");
    EXPECT_EQ(readFile(copies[0].path()), "first");
    EXPECT_EQ(readFile(copies[1].path()), "second");
    ASSERT_EQ(picks->picked[1].size(), 1u);
    EXPECT_NE(picks->picked[1][0], copies[0]);
    EXPECT_EQ(readFile(picks->picked[1][0].path()), "first");

    std::filesystem::remove(copies[0].path());  // what an import does with a copy
    EXPECT_EQ(readFile(outside / "a.mp4"), "first");
}

TEST_F(DocumentPickerTest, AnOpeningPickerHandsTheOriginalsAndACopyNeedsAContainer) {
    auto open = DocumentPickerViewController::create({"public.movie"}, false);
    open->setDelegate(picks);
    open->pick({file("notes.txt"), file("a.mp4"), file("b.mkv")});  // single selection: the first pickable
    ASSERT_EQ(picks->picked.size(), 1u);
    EXPECT_EQ(picks->picked[0], std::vector<foundation::URL>{file("a.mp4")});

    foundation::Container::setCurrent(nullptr);
    auto copying = DocumentPickerViewController::create({"public.movie"}, true);
    copying->setDelegate(picks);
    copying->pick({file("a.mp4")});
    ASSERT_TRUE(handed(2));
    ASSERT_EQ(picks->picked.size(), 2u);
    EXPECT_TRUE(picks->picked[1].empty());  // never the original in place of a copy
}

TEST_F(DocumentPickerTest, AFailedCopyIsLeftOutAndLeavesNothingHalfCopiedInTheInbox) {
    foundation::ScopedContainer container(home.path());
    // A folder that copies halfway: a file, then a named pipe, which cannot be copied.
    writeFile(outside / "Season" / "01.mp4", "episode");
    ASSERT_EQ(::mkfifo((outside / "Season" / "02.mp4").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((outside / "pipe.mp4").c_str(), 0600), 0);
    auto picker = DocumentPickerViewController::create({"public.movie", "test.matroska", "public.folder"}, true);
    picker->setAllowsMultipleSelection(true);
    picker->setDelegate(picks);
    picker->pick({file("a.mp4"), file("Season"), file("pipe.mp4"), file("b.mkv")});
    ASSERT_TRUE(handed(1));

    ASSERT_EQ(picks->picked[0].size(), 2u);  // all the copies at once, the failed ones left out
    EXPECT_EQ(picks->picked[0][0].lastPathComponent(), "a.mp4");
    EXPECT_EQ(picks->picked[0][1].lastPathComponent(), "b.mkv");
    std::vector<std::string> kept;
    for (const auto& copy : picks->picked[0]) {
        const auto folder = std::filesystem::path(copy.path()).parent_path().filename().string();
        kept.push_back(folder);
        kept.push_back(folder + "/" + copy.lastPathComponent());
    }
    auto entries = inboxEntries();
    std::sort(entries.begin(), entries.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(entries, kept);  // no folder of a failed copy, no part of the season
    EXPECT_EQ(readFile(outside / "Season" / "01.mp4"), "episode");
}

TEST_F(DocumentPickerTest, ThePickerIsDismissedAtOnceAndHandsItsCopiesEvenWhenLetGo) {
    foundation::ScopedContainer container(home.path());
    auto window = Window::create(Rect(0, 0, 390, 844));
    auto root = ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto picker = DocumentPickerViewController::create({"public.movie"}, true);
    picker->setDelegate(picks);
    root->present(picker, false);
    picker->pick({file("a.mp4")});
    EXPECT_EQ(root->presentedViewController(), nullptr);
    std::weak_ptr<DocumentPickerViewController> weak = picker;
    picker.reset();  // as when its presenter held it only while it showed
    ASSERT_TRUE(handed(1));
    ASSERT_EQ(picks->picked[0].size(), 1u);
    EXPECT_EQ(readFile(picks->picked[0][0].path()), "first");
    loop.runUntilIdle();
    EXPECT_TRUE(weak.expired());
}

// A person in the window: folders first and only pickable files, folders open and go up, files
// selected by touch (one, or several), Open hands them on; all through taps as a finger gives them.
TEST_F(DocumentPickerTest, APersonBrowsesFoldersSelectsFilesAndOpensThem) {
    std::filesystem::create_directories(outside / "Zebra");
    std::filesystem::create_directories(outside / "alpha");
    std::filesystem::create_directories(outside / ".hidden");
    writeFile(outside / "alpha" / "c.mp4", "third");
    writeFile(outside / ".secret.mp4", "hidden");
    auto picker = DocumentPickerViewController::create({"public.movie", "test.matroska"}, false);
    picker->setDelegate(picks);
    auto& driver = show(picker, outside.path());

    const auto screen = driver.screen();
    // Folders first by name ignoring case, then the files of the types; nothing hidden, no text.
    const auto at = [&](const std::string& text) { return screen.find("\"" + text + "\""); };
    ASSERT_NE(at("alpha"), std::string::npos) << screen;
    EXPECT_LT(at("alpha"), at("Zebra")) << screen;
    EXPECT_LT(at("Zebra"), at("a.mp4")) << screen;
    EXPECT_LT(at("a.mp4"), at("b.mkv")) << screen;
    EXPECT_EQ(screen.find("notes.txt"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("\".hidden\""), std::string::npos) << screen;
    EXPECT_EQ(screen.find("secret"), std::string::npos) << screen;
    EXPECT_FALSE(driver.tap("Open")) << "nothing selected yet";

    ASSERT_TRUE(driver.tap("alpha"));
    EXPECT_NE(driver.screen().find("\"c.mp4\""), std::string::npos) << driver.screen();
    ASSERT_TRUE(driver.tap("Up"));
    // One at a time: a second file replaces the first.
    ASSERT_TRUE(driver.tap("a.mp4"));
    ASSERT_TRUE(driver.tap("b.mkv"));
    ASSERT_TRUE(driver.tap("Open"));
    ASSERT_EQ(picks->picked.size(), 1u);
    EXPECT_EQ(picks->picked[0], std::vector<foundation::URL>{file("b.mkv")});

    // Several: each touch toggles its file (a folder shown afresh starts with none).
    picker->setAllowsMultipleSelection(true);
    ASSERT_TRUE(driver.tap("alpha"));
    ASSERT_TRUE(driver.tap("Up"));
    ASSERT_TRUE(driver.tap("a.mp4"));
    ASSERT_TRUE(driver.tap("b.mkv"));
    ASSERT_TRUE(driver.tap("a.mp4"));
    ASSERT_TRUE(driver.tap("a.mp4"));
    ASSERT_TRUE(driver.tap("Open"));
    ASSERT_EQ(picks->picked.size(), 2u);
    EXPECT_EQ(picks->picked[1], (std::vector<foundation::URL>{file("b.mkv"), file("a.mp4")}));
}

// A folder entered from far down a long list, and the way back up, start at the top.
TEST_F(DocumentPickerTest, EveryFolderOpensAtItsTop) {
    for (int index = 0; index < 40; ++index) {
        const std::string name = "Folder " + std::string(index < 10 ? "0" : "") + std::to_string(index);
        std::filesystem::create_directories(outside / name);
    }
    for (int index = 0; index < 10; ++index)
        std::filesystem::create_directories(outside / "Folder 39" / ("Inner " + std::to_string(index)));
    auto picker = DocumentPickerViewController::create({"public.movie"}, false);
    auto& driver = show(picker, outside.path());
    const auto shows = [&](const std::string& name) {
        return driver.screen().find("\"" + name + "\"") != std::string::npos;
    };
    ASSERT_TRUE(shows("Folder 00"));
    ASSERT_FALSE(shows("Folder 39"));
    const auto lastShown = [&] {
        std::string last;
        for (int index = 0; index < 40; ++index) {
            const std::string name = "Folder " + std::string(index < 10 ? "0" : "") + std::to_string(index);
            if (shows(name)) last = name;
        }
        return last;
    };
    for (int swipes = 0; swipes < 12 && !shows("Folder 39"); ++swipes)
        ASSERT_TRUE(driver.swipe(lastShown(), ScreenDriver::Direction::up));
    ASSERT_TRUE(shows("Folder 39")) << driver.screen();
    ASSERT_FALSE(shows("Folder 00"));

    ASSERT_TRUE(driver.tap("Folder 39"));
    for (int index = 0; index < 10; ++index) EXPECT_TRUE(shows("Inner " + std::to_string(index))) << driver.screen();
    ASSERT_TRUE(driver.tap("Up"));
    EXPECT_TRUE(shows("Folder 00")) << driver.screen();
}

TEST_F(DocumentPickerTest, AFolderThatCannotBeReadSaysSoAndStillGoesUp) {
    // Gone since it was chosen: it cannot be listed.
    auto picker = DocumentPickerViewController::create({"public.movie"}, false);
    auto& driver = show(picker, outside / "gone");
    EXPECT_NE(driver.screen().find("This folder cannot be read."), std::string::npos) << driver.screen();
    ASSERT_TRUE(driver.tap("Up"));
    EXPECT_NE(driver.screen().find("\"a.mp4\""), std::string::npos) << driver.screen();
}

}  // namespace
}  // namespace ui
