#include "library/file_collection_view_controller.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/drag_origin.h"
#include "library/folder_collection_view_cell.h"
#include "library/move_items_table_view_controller.h"
#include "library_screen_fixture.h"
#include "platform/ui/lists/drag_session.h"
#include "transfer/web_uploader.h"

namespace reelhaven {
namespace {

using Mode = FileCollectionViewController::Mode;
using Strings = std::vector<std::string>;

class LibraryBrowserTest : public library_testing::LibraryScreenTest {};

TEST_F(LibraryBrowserTest, TheGridShowsTheFolderInNameOrder) {
    makeFile("Episode 10.mp4");
    makeFile("Episode 2.mp4");
    makeFolder("Extras");
    makeFile("notes.srt");
    show();
    EXPECT_EQ(gridNames(), (Strings{"Episode 2", "Episode 10", "Extras"}));
    EXPECT_EQ(screen->navigationItem()->title(), "");
    EXPECT_EQ(barTitles(screen->navigationItem()->rightBarButtonItems()), Strings{"rectangle.stack"});
}

TEST_F(LibraryBrowserTest, TappingAFolderPushesItsScreenAndComingBackRefreshesIt) {
    makeFolder("Box");
    makeFile("Box/Inside.mp4");
    show();
    ASSERT_TRUE(tap("Box"));
    settle();
    auto inner = std::dynamic_pointer_cast<FileCollectionViewController>(navigation->topViewController());
    ASSERT_TRUE(inner && inner != screen);
    EXPECT_EQ(inner->navigationItem()->title(), "Box");
    EXPECT_EQ(inner->videoManager()->parent(), manager);
    settle(*inner->videoManager());
    ASSERT_EQ(inner->dataSource()->snapshot().itemIdentifiers().size(), 1u);

    makeFile("Box/Second.mp4");
    navigation->popViewController(false);
    settle();
    ASSERT_TRUE(loop.runUntil([&] { return folder("Box")->contents().size() == 2; }));
    settle();
    EXPECT_TRUE(grid()->selectedIndexPaths().empty());
}

TEST_F(LibraryBrowserTest, EditModeSelectsAndOffersMoveAndDeleteOnlyWithASelection) {
    makeFile("A.mp4");
    makeFile("B.mp4");
    show();
    ASSERT_TRUE(screen->editButton()->tap());
    EXPECT_EQ(screen->mode(), Mode::edit);
    auto item = screen->navigationItem();
    EXPECT_EQ(barTitles(item->leftBarButtonItems()), Strings{"folder.badge.plus"});
    EXPECT_EQ(barTitles(item->rightBarButtonItems()), (Strings{"Done", "Move", "Delete"}));
    EXPECT_FALSE(item->rightBarButtonItems()[1]->isEnabled());
    EXPECT_FALSE(item->rightBarButtonItems()[2]->isEnabled());

    ASSERT_TRUE(tap("A"));
    EXPECT_EQ(screen->mode(), Mode::select);
    EXPECT_TRUE(item->rightBarButtonItems()[1]->isEnabled());
    EXPECT_TRUE(item->rightBarButtonItems()[2]->isEnabled());
    EXPECT_FALSE(cellOf("A")->isHidden());

    ASSERT_TRUE(tap("A"));  // the only selected item is deselected
    EXPECT_EQ(screen->mode(), Mode::edit);
    EXPECT_FALSE(item->rightBarButtonItems()[1]->isEnabled());

    ASSERT_TRUE(item->rightBarButtonItems()[0]->tap());
    EXPECT_EQ(screen->mode(), Mode::normal);
    EXPECT_TRUE(grid()->selectedIndexPaths().empty());
    EXPECT_FALSE(grid()->allowsMultipleSelection());
}

TEST_F(LibraryBrowserTest, SearchFlattensOneLevelAndAnEmptyTextShowsNothing) {
    makeFile("Alpha.mp4");
    makeFolder("Box");
    makeFile("Box/Alpaca.mp4");
    makeFile("Box/Beta.mp4");
    makeFile("Box/Inner/Alpine.mp4");
    show();
    auto box = folder("Box");
    ASSERT_TRUE(box);
    // The contents as the manager lists them: two videos and a sub-folder.
    box->setContents(documentsClient->contents(urlOf(documents / "Box"), false));

    searchBar()->beginEditing();
    EXPECT_EQ(screen->mode(), Mode::search);
    EXPECT_FALSE(screen->editButton()->isEnabled());
    EXPECT_EQ(gridNames(), (Strings{"Alpha", "Box"}));  // not rebuilt yet

    searchBar()->type("al");
    EXPECT_EQ(gridNames(), (Strings{"Alpaca", "Alpha"}));
    searchBar()->type("");
    searchBar()->setText("");
    screen->textDidChange(*searchBar(), "");
    EXPECT_TRUE(gridNames().empty());

    searchBar()->setText("in");
    screen->textDidChange(*searchBar(), "in");
    EXPECT_EQ(gridNames(), Strings{"Inner"});  // a second-level folder is a result, not opened

    searchBar()->tapCancel();
    EXPECT_EQ(screen->mode(), Mode::normal);
    EXPECT_EQ(gridNames(), (Strings{"Alpha", "Box"}));
}

TEST_F(LibraryBrowserTest, SearchFindsNamesWrittenInEitherUnicodeForm) {
    makeFile("Re\xcc\x81sume\xcc\x81 final.mp4");  // decomposed, as another system may write it
    makeFile("\xc3\x89T\xc3\x89.mp4");             // precomposed "ÉTÉ"
    makeFile("Resume.mp4");
    show();
    searchBar()->beginEditing();
    searchBar()->type("r\xc3\xa9sum\xc3\xa9");  // precomposed "résumé"
    EXPECT_EQ(gridNames(), Strings{"Re\xcc\x81sume\xcc\x81 final"});
    searchBar()->type("e\xcc\x81te\xcc\x81");  // decomposed "été"
    EXPECT_EQ(gridNames(), Strings{"\xc3\x89T\xc3\x89"});
}

TEST_F(LibraryBrowserTest, SearchHelpersKeepOrderAndMatchWithoutCase) {
    auto make = [this](const std::string& name) -> LibraryItemPtr {
        makeFile(name);
        return Video::create(urlOf(documents / name), LibraryItemType::file, false);
    };
    makeFolder("F");
    auto folderItem = Folder::create(urlOf(documents / "F"), LibraryItemType::folder, false);
    folderItem->setContents({make("z.mp4"), make("Y.mp4")});
    const auto flat = FileCollectionViewController::flattenOneLevel({make("b.mp4"), folderItem, make("a.mp4")});
    Strings names;
    for (const auto& item : FileCollectionViewController::sortItems(flat)) names.push_back(item->displayName());
    EXPECT_EQ(names, (Strings{"a", "b", "Y", "z"}));
    EXPECT_EQ(FileCollectionViewController::filterItems(flat, "Z").size(), 1u);
}

TEST_F(LibraryBrowserTest, TheContextMenuOffersTheRightActionsOnlyInNormalMode) {
    makeFile("Clip.mp4");
    makeFolder("Folder");
    show();
    auto menu = menuOf("Clip");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), "Clip.mp4");
    EXPECT_EQ(titles(menu->children()), (Strings{"Mark Watched", "Rename", "Delete"}));
    auto remove = std::dynamic_pointer_cast<ui::Menu>(menu->children()[2]);
    ASSERT_TRUE(remove);
    EXPECT_EQ(titles(remove->children()), (Strings{"Cancel", "Delete"}));

    menu = menuOf("Folder");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), "Folder");
    EXPECT_EQ(titles(menu->children()), (Strings{"Rename", "Delete"}));

    screen->setMode(Mode::edit);
    EXPECT_EQ(menuOf("Clip"), nullptr);
    screen->setMode(Mode::search);
    EXPECT_EQ(menuOf("Clip"), nullptr);
}

TEST_F(LibraryBrowserTest, TheMenuLiftsThePlateAndADragKeepsItsRoundedOutline) {
    makeFile("Clip.mp4");
    makeFolder("Folder");
    show();
    auto video = std::dynamic_pointer_cast<VideoCollectionViewCell>(cellOf("Clip"));
    ASSERT_TRUE(menuOf("Clip"));
    auto preview = grid()->contextMenuHighlightPreview();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->view(), video->thumbnailView());
    EXPECT_EQ(preview->parameters().backgroundColor, ui::Color::clear());

    auto session = grid()->drag(*pathOf("Clip"));
    ASSERT_TRUE(session && session->previewParameters && session->previewParameters->visiblePath);
    EXPECT_EQ(*session->previewParameters->visiblePath,
              ui::BezierPath::roundedRect(video->thumbnailView()->frame(), 15));
    EXPECT_TRUE(session->allowsMoveOperation);
}

TEST_F(LibraryBrowserTest, MarkWatchedAndUnwatchedReachTheProgressFile) {
    copyClip("long.mp4", "Long.mp4");
    show();
    auto clip = video("Long");
    ASSERT_TRUE(clip && clip->duration());
    progressClient->update(*clip, 30, std::nullopt, {.playbackSpeed = 1.5, .loop = true, .volume = 80});

    ASSERT_TRUE(menuOf("Long")->selectAction("Mark Watched"));
    const auto stored = [&]() { return ProgressClient::create()->progress(*clip); };
    ASSERT_TRUE(loop.runUntil([&] {
        const auto record = stored();
        return record && record->isFinished;
    }));
    EXPECT_EQ(stored()->playbackSpeed, 1.5);

    ASSERT_EQ(titles(menuOf("Long")->children()).front(), "Mark Unwatched");
    ASSERT_TRUE(menuOf("Long")->selectAction("Mark Unwatched"));
    ASSERT_TRUE(loop.runUntil([&] {
        const auto record = stored();
        return record && !record->isFinished;
    }));
    const auto record = stored();
    EXPECT_EQ(record->progress.seconds, 0);
    EXPECT_FALSE(record->playbackSpeed);
    EXPECT_FALSE(record->loop);
    EXPECT_EQ(record->volume, 80);
}

TEST_F(LibraryBrowserTest, RenameRenamesTheFileOrSaysItFailed) {
    makeFile("Old.mp4");
    show();
    ASSERT_TRUE(menuOf("Old")->selectAction("Rename"));
    settle();
    auto shown = alert();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->alertTitle(), "Rename");
    EXPECT_EQ(shown->textFields().front()->text(), "Old");
    ASSERT_EQ(shown->actions().size(), 2u);
    EXPECT_EQ(shown->actions()[0]->title(), "Cancel");
    shown->textFields().front()->setText("New");
    ASSERT_TRUE(shown->tapAction("Confirm"));
    settle();
    EXPECT_TRUE(exists("New.mp4"));
    EXPECT_FALSE(exists("Old.mp4"));
    EXPECT_EQ(gridNames(), Strings{"New"});

    ASSERT_TRUE(menuOf("New")->selectAction("Rename"));
    settle();  // the alert is on screen before the user types
    alert()->textFields().front()->setText(".hidden");
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    settle();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->alertTitle(), "Rename Failed");
    EXPECT_EQ(alert()->message(), "There was an issue renaming this file.");
    EXPECT_TRUE(exists("New.mp4"));
}

TEST_F(LibraryBrowserTest, NewFolderCreatesItOrSaysItFailed) {
    show();
    screen->setMode(Mode::edit);
    ASSERT_TRUE(screen->navigationItem()->leftBarButtonItems()[0]->tap());
    settle();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->alertTitle(), "New Folder");
    EXPECT_EQ(alert()->textFields().front()->text().value_or(""), "");
    alert()->textFields().front()->setText("Series");
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    settle();
    EXPECT_TRUE(std::filesystem::is_directory(documents / "Series"));
    EXPECT_EQ(gridNames(), Strings{"Series"});
    EXPECT_EQ(screen->mode(), Mode::edit);

    screen->showNewFolderAlert();
    settle();
    alert()->textFields().front()->setText("a/b");
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    settle();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->alertTitle(), "Creating Folder Failed");
    EXPECT_EQ(alert()->message(), "There was an issue creating the folder.");
}

TEST_F(LibraryBrowserTest, DeletingTheSelectionCountsItemsAndRemovesTheFiles) {
    makeFile("A.mp4");
    makeFile("B.mp4");
    makeFile("C.mp4");
    show();
    screen->setMode(Mode::edit);
    tap("A");
    tap("C");
    screen->confirmDeleteSelection();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->alertTitle(), "Delete 2 items");
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    settle();
    screen->fileOperationQueue()->sync([] {});
    settle();
    EXPECT_FALSE(exists("A.mp4"));
    EXPECT_FALSE(exists("C.mp4"));
    EXPECT_TRUE(exists("B.mp4"));
    EXPECT_EQ(gridNames(), Strings{"B"});
    EXPECT_EQ(screen->mode(), Mode::normal);

    screen->setMode(Mode::edit);
    tap("B");
    screen->confirmDeleteSelection();
    EXPECT_EQ(alert()->alertTitle(), "Delete 1 item");
}

TEST_F(LibraryBrowserTest, AnUploadWhileTheMenuIsOpenNeverRedirectsTheAction) {
    makeFile("B.mp4");
    makeFile("C.mp4");
    show();
    auto menu = menuOf("B");
    ASSERT_TRUE(menu->selectAction("Rename"));
    // An upload lands in front of "B" while the alert is up: every row shifts by one.
    makeFile("A.mp4");
    screen->reloadAfterWebUpload();
    settle();
    ASSERT_EQ(gridNames(), (Strings{"A", "B", "C"}));
    alert()->textFields().front()->setText("Renamed");
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    settle();
    EXPECT_TRUE(exists("A.mp4"));
    EXPECT_TRUE(exists("Renamed.mp4"));
    EXPECT_FALSE(exists("B.mp4"));

    // The same for the menu's delete, which waits before it starts.
    auto remove = std::dynamic_pointer_cast<ui::Menu>(menuOf("C")->children().back());
    ASSERT_TRUE(remove->selectAction("Delete"));
    makeFile("0.mp4");
    screen->reloadAfterWebUpload();
    loop.advanceSeconds(0.4);
    screen->fileOperationQueue()->sync([] {});
    settle();
    EXPECT_FALSE(exists("C.mp4"));
    EXPECT_TRUE(exists("0.mp4"));
    EXPECT_TRUE(exists("Renamed.mp4"));
}

TEST_F(LibraryBrowserTest, CellsDimmedForADeleteAreWholeAgainWhenShownForOtherItems) {
    for (const char* name : {"A.mp4", "B.mp4", "C.mp4", "D.mp4"}) makeFile(name);
    show();
    auto dimmedNames = [&] {
        std::vector<std::string> dimmed;
        grid()->layoutIfNeeded();
        for (const auto& item : screen->dataSource()->snapshot().itemIdentifiers())
            if (auto cell = cellOf(item->displayName()); cell && cell->alpha() != 1.0)
                dimmed.push_back(item->displayName());
        return dimmed;
    };
    for (const char* name : {"A", "B"}) {
        auto remove = std::dynamic_pointer_cast<ui::Menu>(menuOf(name)->children().back());
        ASSERT_TRUE(remove && remove->selectAction("Delete"));
        loop.advanceSeconds(0.4);
        EXPECT_EQ(cellOf(name)->alpha(), 0.4);
        screen->fileOperationQueue()->sync([] {});
        settle();
    }
    ASSERT_EQ(gridNames(), (Strings{"C", "D"}));
    EXPECT_EQ(dimmedNames(), Strings{});

    // Files that arrive later take the cells the deleted ones left.
    makeFile("E.mp4");
    makeFile("F.mp4");
    screen->reloadAfterWebUpload();
    settle();
    ASSERT_EQ(gridNames(), (Strings{"C", "D", "E", "F"}));
    EXPECT_EQ(dimmedNames(), Strings{});

    // So do search results.
    searchBar()->beginEditing();
    searchBar()->type("e");
    ASSERT_EQ(gridNames(), Strings{"E"});
    EXPECT_EQ(dimmedNames(), Strings{});
}

TEST_F(LibraryBrowserTest, AnItemThatWentAwayIsNotActedOn) {
    makeFile("Gone.mp4");
    makeFile("Stays.mp4");
    show();
    ASSERT_TRUE(menuOf("Gone")->selectAction("Rename"));
    std::filesystem::remove(documents / "Gone.mp4");
    screen->reloadAfterWebUpload();
    settle();
    alert()->textFields().front()->setText("Other");
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    settle();
    EXPECT_TRUE(exists("Stays.mp4"));
    EXPECT_FALSE(exists("Other.mp4"));
    EXPECT_EQ(alert(), nullptr);
}

TEST_F(LibraryBrowserTest, AFailedDeleteUndimsTheCellsAndKeepsTheMode) {
    makeFile("Locked.mp4");
    makeFile("Free.mp4");
    show();
    // An immutable file cannot be removed, even by its owner.
    const int fd = ::open((documents / "Locked.mp4").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool locked = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                        (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!locked) {
        ::close(fd);
        GTEST_SKIP() << "this file system or user cannot make a file immutable";
    }
    screen->setMode(Mode::edit);
    tap("Locked");
    screen->confirmDeleteSelection();
    settle();
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    EXPECT_EQ(cellOf("Locked")->alpha(), 0.4);
    screen->fileOperationQueue()->sync([] {});
    settle();
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_TRUE(exists("Locked.mp4"));
    EXPECT_EQ(gridNames(), (Strings{"Free", "Locked"}));
    EXPECT_EQ(cellOf("Locked")->alpha(), 1.0);
    EXPECT_EQ(screen->mode(), Mode::select);
    EXPECT_TRUE(grid()->selectedIndexPaths().empty());
}

TEST_F(LibraryBrowserTest, AnUploadBeforeTheDeleteIsConfirmedDeletesTheChosenItems) {
    makeFile("B.mp4");
    makeFile("C.mp4");
    show();
    screen->setMode(Mode::edit);
    tap("C");
    screen->confirmDeleteSelection();
    settle();
    makeFile("A.mp4");
    screen->reloadAfterWebUpload();
    settle();
    ASSERT_TRUE(alert()->tapAction("Confirm"));
    screen->fileOperationQueue()->sync([] {});
    settle();
    EXPECT_FALSE(exists("C.mp4"));
    EXPECT_TRUE(exists("B.mp4"));
    EXPECT_TRUE(exists("A.mp4"));
}

TEST_F(LibraryBrowserTest, ReloadingItemsRedrawsTheCellsOfThoseShown) {
    makeFile("Clip.mp4");
    show();
    auto clip = video("Clip");
    clip->setDuration(VideoTime{65});
    screen->reloadItems({clip});
    auto cell = std::dynamic_pointer_cast<VideoCollectionViewCell>(cellOf("Clip"));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->timestampLabel()->text(), "1:05");
    // An item the grid does not show changes nothing.
    makeFile("Elsewhere.mp4");
    screen->reloadItems({Video::create(urlOf(documents / "Elsewhere.mp4"), LibraryItemType::file, false)});
    EXPECT_EQ(gridNames(), Strings{"Clip"});
}

TEST_F(LibraryBrowserTest, EveryChangeTheServerReportsRelistsTheFolder) {
    makeFile("A.mp4");
    show();
    auto uploader = WebUploader::create(documents.string());
    ASSERT_TRUE(uploader);
    std::filesystem::rename(documents / "A.mp4", documents / "B.mp4");
    screen->webUploaderDidMoveItem(*uploader, "", "");
    settle();
    EXPECT_EQ(gridNames(), Strings{"B"});
    makeFolder("New");
    screen->webUploaderDidCreateDirectory(*uploader, "");
    settle();
    EXPECT_EQ(gridNames(), (Strings{"B", "New"}));
}

TEST_F(LibraryBrowserTest, TheMoveSheetMovesTheChosenItemsEvenAfterAnUpload) {
    makeFile("B.mp4");
    makeFile("C.mp4");
    makeFolder("Target");
    show();
    screen->setMode(Mode::edit);
    tap("B");
    ASSERT_TRUE(screen->navigationItem()->rightBarButtonItems()[1]->tap());  // "Move"
    settle();
    auto sheet = std::dynamic_pointer_cast<ui::NavigationController>(screen->presentedViewController());
    ASSERT_TRUE(sheet);
    auto move = std::dynamic_pointer_cast<MoveItemsTableViewController>(sheet->topViewController());
    ASSERT_TRUE(move);
    EXPECT_EQ(move->title(), "Move 1 Item");

    makeFile("A.mp4");  // an upload shifts every row while the sheet is up
    screen->reloadAfterWebUpload();
    settle();
    move->tableView()->layoutIfNeeded();
    ASSERT_TRUE(move->tableView()->tapRow(ui::IndexPath(0, 0)));  // "Target"
    move->confirmMove();
    settle();
    EXPECT_TRUE(exists("Target/B.mp4"));
    EXPECT_TRUE(exists("A.mp4"));
    EXPECT_TRUE(exists("C.mp4"));
    EXPECT_EQ(screen->mode(), Mode::normal);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(gridNames(), (Strings{"A", "C", "Target"}));
}

// A folder's count is of the videos it holds (its previews come from them), not of its
// sub-folders: moved in with a name of emoji and CJK, it still says so after a restart.
TEST_F(LibraryBrowserTest, AFolderCountsTheVideosItHoldsAfterAMoveAndARestart) {
    const std::string film = "\xf0\x9f\x8e\xac \xe6\x9d\xb1\xe4\xba\xac";  // clapper board, Tokyo
    for (const char* name : {"Box/1.mp4", "Box/2.mp4", "Box/3.mp4", "Sub/Inner.mp4"}) makeFile(name);
    makeFile(film + ".mp4");
    makeFile("B.mp4");
    show();
    screen->setMode(Mode::edit);
    for (const std::string& name : {film, std::string("B"), std::string("Sub")}) ASSERT_TRUE(tap(name));
    std::vector<LibraryItemPtr> chosen;
    for (const auto& path : grid()->selectedIndexPaths())
        chosen.push_back(screen->dataSource()->itemIdentifier(path).value_or(nullptr));
    ASSERT_EQ(chosen.size(), 3u);
    screen->moveItems(chosen, folder("Box"), false);
    settle();
    ASSERT_TRUE(exists("Box/" + film + ".mp4"));
    const auto countOfBox = [&] {
        settle();
        auto cell = std::dynamic_pointer_cast<FolderCollectionViewCell>(cellOf("Box"));
        return cell ? cell->contentsLabel()->text().value_or("") : "no cell";
    };
    EXPECT_EQ(countOfBox(), "5 items");

    manager = VideoManager::create(documentsClient, progressClient);
    show();
    EXPECT_EQ(countOfBox(), "5 items");
    std::vector<std::string> counted;
    for (const auto& item : folder("Box")->contents()) counted.push_back(item->displayName());
    EXPECT_EQ(counted, (Strings{film, "1", "2", "3", "B"}));
}

class DropTest : public LibraryBrowserTest {
protected:
    DropTest() {
        makeFile("Clip.mp4");
        makeFile("Other.mp4");
        makeFolder("Target");
    }
    std::shared_ptr<ui::DragSession> dragOf(const std::string& name) { return grid()->drag(*pathOf(name)); }
};

TEST_F(DropTest, AnItemDroppedOnAFolderMovesThere) {
    show();
    auto session = dragOf("Clip");
    ASSERT_TRUE(session);
    EXPECT_EQ(grid()->dragOver(session, pathOf("Target")),
              (ui::DropProposal{ui::DropProposal::Operation::move,
                                ui::DropProposal::Intent::insertIntoDestinationIndexPath}));
    EXPECT_TRUE(grid()->drop(session, pathOf("Target")));
    settle();
    EXPECT_TRUE(exists("Target/Clip.mp4"));
    EXPECT_FALSE(exists("Clip.mp4"));
    EXPECT_EQ(gridNames(), (Strings{"Other", "Target"}));
}

TEST_F(DropTest, ALocalDropOnAVideoOrNowhereIsCancelled) {
    show();
    auto session = dragOf("Clip");
    EXPECT_EQ(grid()->dragOver(session, pathOf("Other")).operation, ui::DropProposal::Operation::cancel);
    EXPECT_EQ(grid()->dragOver(session, std::nullopt).operation, ui::DropProposal::Operation::cancel);
    grid()->drop(session, pathOf("Other"));
    settle();
    EXPECT_TRUE(exists("Clip.mp4"));
}

TEST_F(DropTest, ADropFromOutsideMovesNothing) {
    show();
    auto session = ui::DragSession::create({ui::DragItem{std::any(), {"public.movie"}}});
    session->isLocal = false;
    EXPECT_EQ(grid()->dragOver(session, pathOf("Other")),
              (ui::DropProposal{ui::DropProposal::Operation::move, ui::DropProposal::Intent::unspecified}));
    grid()->drop(session, pathOf("Other"));
    settle();
    EXPECT_TRUE(exists("Clip.mp4"));
    EXPECT_TRUE(exists("Other.mp4"));
}

TEST_F(DropTest, ADropOnASearchResultFolderOutsideTheListIsCancelled) {
    makeFolder("Target/Deeper");
    show();
    auto target = folder("Target");
    target->setContents(documentsClient->contents(urlOf(documents / "Target"), false));
    searchBar()->beginEditing();
    searchBar()->type("e");  // "Deeper" (inside "Target") and "Other"
    auto session = dragOf("Other");
    ASSERT_TRUE(pathOf("Deeper"));
    EXPECT_EQ(grid()->dragOver(session, pathOf("Deeper")).operation, ui::DropProposal::Operation::cancel);
    grid()->drop(session, pathOf("Deeper"));
    settle();
    EXPECT_TRUE(exists("Other.mp4"));
    EXPECT_FALSE(exists("Target/Deeper/Other.mp4"));
}

}  // namespace
}  // namespace reelhaven
