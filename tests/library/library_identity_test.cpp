// Files that arrive carrying another file's identity (a copy made with its attributes, a restored
// backup) are shown, searched and acted on as the separate files they are.

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include "core/file_identity.h"
#include "library_screen_fixture.h"

namespace reelhaven {
namespace {

using Strings = std::vector<std::string>;

class LibraryIdentityTest : public library_testing::LibraryScreenTest {
protected:
    // `copy` gets the identity attribute of `source`, as `cp -a` leaves it; returns that identity.
    foundation::UUID copyAttributes(const std::string& source, const std::string& copy) {
        const auto uuid = FileIdentity::identify((documents / source).string());
        const auto id = uuid.uuidString();
        [&] {
            ASSERT_EQ(::setxattr((documents / copy).c_str(), FileIdentity::kAttributeName, id.data(), id.size(), 0), 0);
        }();
        return uuid;
    }

    LibraryItemPtr shownItem(const std::string& lastPathComponent) {
        for (const auto& entry : screen->dataSource()->snapshot().itemIdentifiers())
            if (entry->url().lastPathComponent() == lastPathComponent) return entry;
        return nullptr;
    }

    void deleteFromMenu(const LibraryItemPtr& target) {
        const auto path = screen->dataSource()->indexPath(target);
        ASSERT_TRUE(path);
        auto configuration = grid()->contextMenu(*path);
        ASSERT_TRUE(configuration);
        auto remove = std::dynamic_pointer_cast<ui::Menu>(configuration->makeMenu()->children().back());
        ASSERT_TRUE(remove && remove->selectAction("Delete"));
        loop.advanceSeconds(0.4);
        screen->fileOperationQueue()->sync([] {});
        settle();
    }
};

TEST_F(LibraryIdentityTest, CopiesSharingAnIdentityAreListedSearchedAndDeletedApart) {
    makeFile("Film.mkv");
    makeFile("Film.mp4");
    makeFolder("Box");
    makeFile("Box/Film.mp4");
    copyAttributes("Film.mkv", "Film.mp4");
    copyAttributes("Film.mkv", "Box/Film.mp4");

    show();
    EXPECT_EQ(gridNames(), (Strings{"Box", "Film", "Film"}));
    const auto mkv = shownItem("Film.mkv");
    const auto mp4 = shownItem("Film.mp4");
    ASSERT_TRUE(mkv && mp4);
    EXPECT_NE(mkv->id(), mp4->id());

    // Search lists the folder's copy beside the two at the top.
    auto box = folder("Box");
    ASSERT_TRUE(box);
    box->setContents(documentsClient->contents(urlOf(documents / "Box"), false));
    searchBar()->beginEditing();
    searchBar()->type("film");
    EXPECT_EQ(gridNames(), (Strings{"Film", "Film", "Film"}));
    searchBar()->tapCancel();
    settle();

    // The file the user chose is the one that goes.
    deleteFromMenu(shownItem("Film.mp4"));
    EXPECT_FALSE(exists("Film.mp4"));
    EXPECT_TRUE(exists("Film.mkv"));
    EXPECT_TRUE(exists("Box/Film.mp4"));
    EXPECT_EQ(gridNames(), (Strings{"Box", "Film"}));
    EXPECT_EQ(shownItem("Film.mkv").get(), mkv.get());
}

TEST_F(LibraryIdentityTest, TheIdentitiesGivenToCopiesAreStoredSoTheNextRunFindsThemApart) {
    makeFile("Film.mkv");
    makeFile("Film.mp4");
    const auto copied = copyAttributes("Film.mkv", "Film.mp4");
    show();
    const auto mkv = shownItem("Film.mkv");
    const auto mp4 = shownItem("Film.mp4");
    ASSERT_TRUE(mkv && mp4);
    // The first by name keeps the identity it had; the other is given a new one.
    EXPECT_EQ(mkv->id(), copied);
    EXPECT_NE(mp4->id(), copied);
    EXPECT_EQ(FileIdentity::readUUID((documents / "Film.mkv").string()), mkv->id());
    EXPECT_EQ(FileIdentity::readUUID((documents / "Film.mp4").string()), mp4->id());

    // Another listing (as after a restart) gives the same two identities and changes nothing.
    listDocuments();
    settle();
    EXPECT_EQ(shownItem("Film.mkv").get(), mkv.get());
    EXPECT_EQ(shownItem("Film.mp4").get(), mp4.get());
}

}  // namespace
}  // namespace reelhaven
