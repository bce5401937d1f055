#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/foundation/uniform_type.h"
#include "platform/ui/controllers/document_picker_view_controller.h"
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

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir home;
    testing_support::TempDir outside;
    std::shared_ptr<Picks> picks = std::make_shared<Picks>();
};

TEST_F(DocumentPickerTest, ACopyingPickerHandsCopiesInTheInboxAndKeepsTheOriginals) {
    foundation::ScopedContainer container(home.path());
    auto picker = DocumentPickerViewController::create({"public.movie", "test.matroska"}, true);
    picker->setAllowsMultipleSelection(true);
    picker->setDelegate(picks);
    EXPECT_FALSE(picker->canPick(file("notes.txt")));
    EXPECT_FALSE(picker->canPick(foundation::URL::fileURLWithPath(outside.path().string())));  // a folder
    picker->pick({file("a.mp4"), file("missing.mp4"), file("notes.txt"), file("b.mkv")});
    picker->pick({file("a.mp4")});  // the same name again, before the first copy is taken away

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
    ASSERT_EQ(picks->picked.size(), 2u);
    EXPECT_TRUE(picks->picked[1].empty());  // never the original in place of a copy
}

}  // namespace
}  // namespace ui
