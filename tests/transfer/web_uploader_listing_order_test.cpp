#include "transfer/web_uploader_listing_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace reelhaven {
namespace {

WebUploaderFileSystem::DirectoryContents contentsOf(const std::vector<std::string>& names) {
    WebUploaderFileSystem::DirectoryContents contents;
    for (const auto& name : names) contents.add(name, WebUploaderFileSystem::EntryType::file, 1);
    return contents;
}

std::vector<std::string> ordered(const WebUploaderFileSystem::DirectoryContents& contents,
                                 const std::vector<std::size_t>& order) {
    std::vector<std::string> names;
    for (std::size_t index : order) names.emplace_back(contents.name(contents.entries[index]));
    return names;
}

TEST(WebUploaderListingOrder, AnUnchangedFolderReusesItsOrder) {
    WebUploaderListingOrder cache;
    auto contents = contentsOf({"b 10.mp4", "b 9.mp4", "A.mp4"});
    auto first = cache.orderFor("/docs", contents);
    auto second = cache.orderFor("/docs", contents);
    EXPECT_EQ(ordered(contents, *second), (std::vector<std::string>{"A.mp4", "b 9.mp4", "b 10.mp4"}));
    EXPECT_EQ(first, second);
    EXPECT_EQ(cache.reuses(), 1u);
}

TEST(WebUploaderListingOrder, AnyChangeOfNamesOrOfTheirOrderIsOrderedAfresh) {
    WebUploaderListingOrder cache;
    (void)cache.orderFor("/docs", contentsOf({"b.mp4", "c.mp4"}));
    for (const std::vector<std::string>& names : std::vector<std::vector<std::string>>{
             {"b.mp4", "c.mp4", "a.mp4"},  // one more
             {"b.mp4", "a.mp4"},           // one renamed
             {"a.mp4", "b.mp4"},           // the same names, read in another order
         }) {
        auto contents = contentsOf(names);
        auto order = cache.orderFor("/docs", contents);
        auto expected = names;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ordered(contents, *order), expected);
    }
    EXPECT_EQ(cache.reuses(), 0u);
}

TEST(WebUploaderListingOrder, RemembersEachOfTheLastFewFoldersOnItsOwn) {
    WebUploaderListingOrder cache(2);
    auto one = contentsOf({"y", "x"});
    auto two = contentsOf({"q", "p", "r"});
    (void)cache.orderFor("/one", one);
    (void)cache.orderFor("/two", two);
    // The same names under another path are another folder.
    (void)cache.orderFor("/three", one);
    EXPECT_EQ(cache.reuses(), 0u);
    EXPECT_EQ(ordered(two, *cache.orderFor("/two", two)), (std::vector<std::string>{"p", "q", "r"}));
    EXPECT_EQ(cache.reuses(), 1u);
    (void)cache.orderFor("/one", one);  // forgotten: only two are kept
    EXPECT_EQ(cache.reuses(), 1u);
}

}  // namespace
}  // namespace reelhaven
