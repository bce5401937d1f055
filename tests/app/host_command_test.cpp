// The host's command lines as a person types them: each case a line and what it means, or why
// it is refused.

#include <gtest/gtest.h>

#include "app/host_command.h"

namespace reelhaven {
namespace {

using Verb = HostCommand::Verb;

struct Accepted {
    const char* line;
    Verb verb;
    std::vector<std::string> arguments;
};

TEST(HostCommandTest, LinesTheHostUnderstands) {
    const Accepted cases[] = {
        {"tap #3", Verb::tap, {"#3"}},
        {"tap \"Import from Files\"", Verb::tap, {"Import from Files"}},
        {"  tap   Edit  ", Verb::tap, {"Edit"}},
        {"menu #12", Verb::menu, {"#12"}},
        {"choose \"Rename\"", Verb::choose, {"Rename"}},
        {"type #2 \"Summer \\\"24\\\"\"", Verb::type, {"#2", "Summer \"24\""}},
        {"type #2 \"a\\\\b\\tc\\nd\"", Verb::type, {"#2", "a\\b\tc\nd"}},
        // A name as the screen prints its control characters and stray bytes.
        {"tap \"\\x1b]0;x\\x07Film\\xC2\\x9b\\xff\"",
         Verb::tap,
         {"\x1b]0;x\x07"
          "Film\xc2\x9b\xff"}},
        {"search \"beach\"", Verb::search, {"beach"}},
        {"cancel", Verb::cancel, {}},
        {"alert \"Confirm\"", Verb::alert, {"Confirm"}},
        {"pick /tmp/a.mp4 \"/tmp/with space.mkv\"", Verb::pick, {"/tmp/a.mp4", "/tmp/with space.mkv"}},
        {"drag #4 #7", Verb::drag, {"#4", "#7"}},
        {"slide #5 0.25", Verb::slide, {"#5", "0.25"}},
        {"step #6 up", Verb::step, {"#6", "up"}},
        {"step \"Speed\" down", Verb::step, {"Speed", "down"}},
        {"type #2 \"\"", Verb::type, {"#2", ""}},
        {"swipe \"Trip\" right", Verb::swipe, {"Trip", "right"}},
        {"key right", Verb::key, {"right"}},
        {"key shift-left space left", Verb::key, {"shift-left", "space", "left"}},
        {"back", Verb::back, {}},
        {"show", Verb::show, {}},
        {"open https://example.com/a.mp4", Verb::open, {"https://example.com/a.mp4"}},
        {"background", Verb::background, {}},
        {"foreground", Verb::foreground, {}},
        {"quit", Verb::quit, {}},
        {"screenshot /tmp/grid.png", Verb::screenshot, {"/tmp/grid.png"}},
        {"click \"Film\"", Verb::click, {"Film"}},
        {"resize 1024 768", Verb::resize, {"1024", "768"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = HostCommand::parse(c.line);
        ASSERT_TRUE(parsed) << parsed.error().description;
        ASSERT_TRUE(parsed.value());
        EXPECT_EQ(parsed.value()->verb, c.verb);
        EXPECT_EQ(parsed.value()->arguments, c.arguments);
    }
}

TEST(HostCommandTest, WaitAndShowReadTheirArgument) {
    auto wait = HostCommand::parse("wait 1.5");
    ASSERT_TRUE(wait && wait.value());
    EXPECT_EQ(wait.value()->seconds, 1.5);
    auto tree = HostCommand::parse("show tree");
    ASSERT_TRUE(tree && tree.value());
    EXPECT_TRUE(tree.value()->tree);
    auto slide = HostCommand::parse("slide \"Progress\" -0.5");
    ASSERT_TRUE(slide && slide.value());
    EXPECT_EQ(slide.value()->value, -0.5f);
    auto plain = HostCommand::parse("show");
    ASSERT_TRUE(plain && plain.value());
    EXPECT_FALSE(plain.value()->tree);
}

TEST(HostCommandTest, WindowInputReadsPointsKeysAndSizes) {
    auto at = HostCommand::parse("click 120.5 300");
    ASSERT_TRUE(at && at.value());
    ASSERT_TRUE(at.value()->point);
    EXPECT_EQ(*at.value()->point, std::pair(120.5, 300.0));
    auto element = HostCommand::parse("click #4");
    ASSERT_TRUE(element && element.value());
    EXPECT_FALSE(element.value()->point) << "a handle names an element, not a point";
    auto size = HostCommand::parse("resize 1024 768");
    ASSERT_TRUE(size && size.value());
    EXPECT_EQ(size.value()->size, std::pair(1024.0, 768.0));
}

TEST(HostCommandTest, BlankAndCommentLinesAreNoCommand) {
    for (const char* line : {"", "   ", "\t", "// start the server", "  // indented"}) {
        auto parsed = HostCommand::parse(line);
        ASSERT_TRUE(parsed) << line;
        EXPECT_FALSE(parsed.value()) << line;
    }
}

TEST(HostCommandTest, MalformedLinesSayWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"fly #3", "unknown command \"fly\""},
        {"tap", "usage: tap"},
        {"tap #1 #2", "usage: tap"},
        {"type #2", "usage: type"},
        {"pick", "usage: pick"},
        {"back now", "usage: back"},
        {"tap \"unclosed", "not closed"},
        {"tap \"a\"b", "runs into the next word"},
        {"tap \"a\\qb\"", "unknown escape"},
        {"tap \"\"", "an empty text names nothing"},
        {"wait soon", "wait needs a number"},
        {"wait -1", "wait needs a number"},
        {"wait nan", "wait needs a number"},
        {"wait 1e9", "wait needs a number"},
        {"show everything", "usage: show [tree]"},
        {"slide #5", "usage: slide #n VALUE"},
        {"slide #5 half", "slide needs a number"},
        {"slide #5 0.5x", "slide needs a number"},
        {"slide #5 inf", "slide needs a number"},
        {"swipe #3", "usage: swipe"},
        {"step #6", "usage: step"},
        {"step #6 left", "step goes up or down"},
        {"step \"\" up", "an empty text names nothing"},
        {"type \"\" \"text\"", "an empty text names nothing"},
        {"swipe #3 sideways", "swipe goes up, down, left or right"},
        {"key", "usage: key NAME..."},
        {"key up", "unknown key \"up\"; the keys are left, right"},
        {"key right screen", "unknown key \"screen\""},
        {"key \x1b[C", "unknown key"},
        {"tap \"a\\x1\"", "\\x needs two hex digits"},
        {"tap \"a\\xg1\"", "\\x needs two hex digits"},
        {"click 10 down", "X and Y: window points"},
        {"click -5 10", "X and Y: window points"},
        {"click 1 2 3", "usage: click"},
        {"resize 50 600", "points from 100 to 8192"},
        {"resize 800 wide", "points from 100 to 8192"},
        {"resize 800", "usage: resize"},
    };
    for (const auto& [line, message] : cases) {
        auto parsed = HostCommand::parse(line);
        ASSERT_FALSE(parsed) << line;
        EXPECT_NE(parsed.error().description.find(message), std::string::npos)
            << line << " -> " << parsed.error().description;
    }
}

}  // namespace
}  // namespace reelhaven
