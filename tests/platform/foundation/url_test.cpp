#include "platform/foundation/url.h"

#include <gtest/gtest.h>

#include <unordered_set>

#include "platform/foundation/security_scope.h"
#include "support/temp_dir.h"

namespace foundation {
namespace {

TEST(URLTest, FileURLKeepsDecodedPathAndEncodesAbsoluteString) {
    URL url = URL::fileURLWithPath("/media/My Films/été #1?.mkv");
    EXPECT_TRUE(url.isFileURL());
    EXPECT_EQ(url.path(), "/media/My Films/été #1?.mkv");
    EXPECT_EQ(url.absoluteString(), "file:///media/My%20Films/%C3%A9t%C3%A9%20%231%3F.mkv");
    EXPECT_EQ(URL::parse(url.absoluteString()), url);
}

TEST(URLTest, ParsingAFileURLDecodesPercentEscapes) {
    auto url = URL::parse("file:///Documents/Season%201/Ep%C3%A9.mp4");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->path(), "/Documents/Season 1/Epé.mp4");
    EXPECT_EQ(url->lastPathComponent(), "Epé.mp4");
    EXPECT_EQ(URL::parse("file://localhost/a")->path(), "/a");
}

TEST(URLTest, ParsesNetworkURLParts) {
    auto url = URL::parse("HTTP://user@Example.com:8080/a%20b/c.mp4?x=1&y=%20#frag");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "http");
    EXPECT_EQ(url->user(), "user");
    EXPECT_EQ(url->host(), "example.com");
    EXPECT_EQ(url->port(), 8080);
    EXPECT_EQ(url->path(), "/a b/c.mp4");
    EXPECT_EQ(url->encodedPath(), "/a%20b/c.mp4");
    EXPECT_EQ(url->query(), "x=1&y=%20");
    EXPECT_EQ(url->fragment(), "frag");
    EXPECT_EQ(url->pathExtension(), "mp4");
    EXPECT_EQ(url->absoluteString(), "http://user@example.com:8080/a%20b/c.mp4?x=1&y=%20#frag");
}

TEST(URLTest, ParsesIPv6HostsAndOpaqueURLs) {
    auto v6 = URL::parse("http://[fe80::1]:80/");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host(), "fe80::1");
    EXPECT_EQ(v6->port(), 80);
    EXPECT_EQ(v6->absoluteString(), "http://[fe80::1]:80/");
    auto mail = URL::parse("mailto:someone@example.com");
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->scheme(), "mailto");
    EXPECT_EQ(mail->host(), "");
    EXPECT_EQ(mail->absoluteString(), "mailto:someone@example.com");
}

TEST(URLTest, RejectsMalformedText) {
    for (const char* text :
         {"", "relative/path", "://x", "1http://x", "http://a b/", "http://x/%zz", "http://x/%4", "http://x:99999/",
          "http://x:12a/", "http://[::1/", "file://otherhost/a", "file:///a%00b", "http://x/\x01", "http://x/{}"}) {
        EXPECT_FALSE(URL::parse(text)) << text;
    }
}

TEST(URLTest, PercentDecodingRejectsBrokenEscapes) {
    EXPECT_EQ(URL::percentDecode("a%20b%2F"), "a b/");
    EXPECT_FALSE(URL::percentDecode("%"));
    EXPECT_FALSE(URL::percentDecode("%2"));
    EXPECT_FALSE(URL::percentDecode("%g0"));
    EXPECT_EQ(URL::percentEncode("a b/ü", "/"), "a%20b/%C3%BC");
}

TEST(URLTest, LastComponentAndExtensionEdgeCases) {
    EXPECT_EQ(URL::fileURLWithPath("/x/a.tar.gz").pathExtension(), "gz");
    EXPECT_EQ(URL::fileURLWithPath("/x/.hidden").pathExtension(), "");
    EXPECT_EQ(URL::fileURLWithPath("/x/name.").pathExtension(), "");
    EXPECT_EQ(URL::fileURLWithPath("/x/Movie.MKV").pathExtension(), "MKV");
    EXPECT_EQ(URL::fileURLWithPath("/x/folder.d/").lastPathComponent(), "folder.d");
    EXPECT_EQ(URL::fileURLWithPath("/x/folder.d/").pathExtension(), "d");
    EXPECT_EQ(URL::fileURLWithPath("/").lastPathComponent(), "/");
    EXPECT_EQ(URL::fileURLWithPath("").lastPathComponent(), "");
    EXPECT_EQ(URL::fileURLWithPath("").path(), "");
}

TEST(URLTest, DeletingAndAppendingExtensions) {
    EXPECT_EQ(URL::fileURLWithPath("/x/a.tar.gz").deletingPathExtension().path(), "/x/a.tar");
    EXPECT_EQ(URL::fileURLWithPath("/x/.hidden").deletingPathExtension().path(), "/x/.hidden");
    URL folder = URL::fileURLWithPath("/x/pack.d/").deletingPathExtension();
    EXPECT_EQ(folder.path(), "/x/pack");
    EXPECT_TRUE(folder.hasDirectoryPath());
    EXPECT_EQ(URL::fileURLWithPath("/x/clip").appendingPathExtension("mp4").path(), "/x/clip.mp4");
}

TEST(URLTest, AppendingComponents) {
    URL documents = URL::fileURLWithPath("/home/Documents", PathKind::directory);
    EXPECT_EQ(documents.appendingPathComponent("Inbox").path(), "/home/Documents/Inbox");
    EXPECT_EQ(documents.appendingPathComponent("/a//b").path(), "/home/Documents/a/b");
    URL sub = documents.appendingPathComponent("Films", PathKind::directory);
    EXPECT_TRUE(sub.hasDirectoryPath());
    EXPECT_EQ(sub.absoluteString(), "file:///home/Documents/Films/");
    EXPECT_EQ(sub.appendingPathComponent("a b.mp4").absoluteString(), "file:///home/Documents/Films/a%20b.mp4");

    auto web = URL::parse("http://host/list");
    ASSERT_TRUE(web);
    URL item = web->appendingPathComponent("a b?.mp4");
    EXPECT_EQ(item.absoluteString(), "http://host/list/a%20b%3F.mp4");
    EXPECT_EQ(item.lastPathComponent(), "a b?.mp4");
}

TEST(URLTest, DeletingLastComponent) {
    URL parent = URL::fileURLWithPath("/a/b/c.mp4").deletingLastPathComponent();
    EXPECT_EQ(parent.path(), "/a/b");
    EXPECT_TRUE(parent.hasDirectoryPath());
    EXPECT_EQ(URL::fileURLWithPath("/a/b/").deletingLastPathComponent().path(), "/a");
    EXPECT_EQ(URL::fileURLWithPath("/a").deletingLastPathComponent().path(), "/");
    EXPECT_EQ(URL::fileURLWithPath("/").deletingLastPathComponent().path(), "/");
}

TEST(URLTest, StandardizedResolvesDotComponents) {
    EXPECT_EQ(URL::fileURLWithPath("/a/./b/../c").standardized().path(), "/a/c");
    EXPECT_EQ(URL::fileURLWithPath("/../a").standardized().path(), "/a");
    EXPECT_EQ(URL::fileURLWithPath("/a/b/..").standardized().absoluteString(), "file:///a/");
}

TEST(URLTest, RelativeFilePathsResolveAgainstTheCurrentFolder) {
    URL url = URL::fileURLWithPath("some//file.txt");
    EXPECT_EQ(url.path(), std::filesystem::current_path().string() + "/some/file.txt");
}

TEST(URLTest, FileURLEqualityIgnoresTheTrailingSlash) {
    URL plain = URL::fileURLWithPath("/docs/Inbox");
    URL directory = URL::fileURLWithPath("/docs/Inbox", PathKind::directory);
    EXPECT_EQ(plain, directory);
    EXPECT_EQ(std::hash<URL>()(plain), std::hash<URL>()(directory));
    EXPECT_NE(plain, URL::fileURLWithPath("/docs/inbox"));
    EXPECT_NE(*URL::parse("http://h/a"), *URL::parse("http://h/a/"));
    std::unordered_set<URL> set{plain, directory, URL::fileURLWithPath("/other")};
    EXPECT_EQ(set.size(), 2u);
}

TEST(URLTest, BookmarkDataResolvesBackAndNoticesReplacement) {
    testing_support::TempDir dir;
    testing_support::writeFile(dir / "a.mp4", "one");
    URL url = URL::fileURLWithPath((dir / "a.mp4").string());
    auto bookmark = url.bookmarkData();
    ASSERT_TRUE(bookmark);
    bool stale = true;
    auto resolved = URL::resolvingBookmarkData(*bookmark, &stale);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(*resolved, url);
    EXPECT_FALSE(stale);

    std::filesystem::rename(dir / "a.mp4", dir / "b.mp4");
    testing_support::writeFile(dir / "a.mp4", "another file");
    resolved = URL::resolvingBookmarkData(*bookmark, &stale);
    ASSERT_TRUE(resolved);
    EXPECT_TRUE(stale);

    std::filesystem::remove(dir / "a.mp4");
    EXPECT_FALSE(URL::resolvingBookmarkData(*bookmark, &stale));
    EXPECT_FALSE(URL::resolvingBookmarkData("garbage", &stale));
    EXPECT_FALSE(URL::parse("http://x/y")->bookmarkData());
}

TEST(URLTest, SecurityScopedAccessIsCounted) {
    URL url = URL::fileURLWithPath("/scoped/video.mp4");
    EXPECT_TRUE(url.startAccessingSecurityScopedResource());
    EXPECT_TRUE(url.startAccessingSecurityScopedResource());
    EXPECT_EQ(SecurityScope::accessCount("/scoped/video.mp4"), 2);
    url.stopAccessingSecurityScopedResource();
    url.stopAccessingSecurityScopedResource();
    EXPECT_EQ(SecurityScope::accessCount("/scoped/video.mp4"), 0);
    EXPECT_FALSE(SecurityScope::stop("/scoped/video.mp4"));
    EXPECT_FALSE(URL::parse("http://x/")->startAccessingSecurityScopedResource());
}

}  // namespace
}  // namespace foundation
