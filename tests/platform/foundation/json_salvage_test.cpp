// Damaged JSON object texts read member by member: the members that stand whole, never a wrong one.

#include "platform/foundation/json_salvage.h"

#include <gtest/gtest.h>

namespace foundation {
namespace {

struct Case {
    const char* text;
    int depth;
    const char* object;  // the members kept, as JSON
    std::vector<std::string> lost;
    bool complete;
};

TEST(JsonSalvageTest, KeepsTheMembersThatStandWhole) {
    const Case cases[] = {
        {R"({"a":1,"b":[2]})", 1, R"({"a":1,"b":[2]})", {}, true},
        {R"( {"a":1,"b":{"x":1},"c":{"y")", 1, R"({"a":1,"b":{"x":1}})", {"c"}, false},
        {R"({"a":1,"b":2.5)", 1, R"({"a":1})", {"b"}, false},  // 2.5 could have gone on: 2.57
        {R"({"a":1,)", 1, R"({"a":1})", {}, false},
        {R"({"a":1,"b":1e400,"c":NaN,"d":[1,2]})", 1, R"({"a":1,"d":[1,2]})", {"b", "c"}, true},
        {R"({"r":{"p":1,"q":NaN},"s":2})", 1, R"({"r":{"p":1},"s":2})", {"r"}, true},
        {R"({"r":{"p":1,"q":NaN},"s":2})", 0, R"({"s":2})", {"r"}, true},
        {R"({"r":{"p":{"t":-Infinity}},"s":2})", 1, R"({"r":{},"s":2})", {"r"}, true},
        {R"({"a":"},{\"","b":NaN,"c":3})", 1, R"({"a":"},{\"","c":3})", {"b"}, true},
        {R"({"a":"x,y})", 1, R"({})", {"a"}, false},
        {R"({"k\u0041":1,"z":tru})", 1, R"({"kA":1})", {"z"}, true},
        {R"({"a":1} trailing)", 1, R"({"a":1})", {}, false},
        {R"({"a":1,oops,"b":2,"":[}]})", 1, R"({"a":1,"b":2})", {"", ""}, true},
        {R"({"a" 1,"b":2})", 1, R"({"b":2})", {"a"}, true},
    };
    for (const auto& c : cases) {
        auto salvaged = salvageJsonObject(c.text, c.depth);
        ASSERT_TRUE(salvaged) << c.text;
        EXPECT_EQ(salvaged->object, Json::parse(c.object)) << c.text;
        EXPECT_EQ(salvaged->lost, c.lost) << c.text;
        EXPECT_EQ(salvaged->complete, c.complete) << c.text;
        EXPECT_EQ(salvaged->damaged(), !c.complete || !c.lost.empty()) << c.text;
    }
}

// A value nesting past the limit in the whole text is lost like one that does not parse, even
// where it would parse on its own, so nothing salvaged nests deeper than a whole parse allows.
TEST(JsonSalvageTest, AValueNestedPastTheLimitIsLostAndTheRestKept) {
    const int limit = JsonCoding::kMaximumDepth;
    auto arrays = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    struct DeepCase {
        std::string text;
        int depth;
        Json object;
        std::vector<std::string> lost;
    };
    const DeepCase cases[] = {
        {R"({"a":1,"deep":)" + arrays(limit) + "}", 1, Json{{"a", 1}}, {"deep"}},
        {R"({"a":1,"deep":)" + arrays(limit - 1) + "}",
         1,
         Json{{"a", 1}, {"deep", Json::parse(arrays(limit - 1))}},
         {}},
        {R"({"r":{"p":1,"q":)" + arrays(limit - 1) + R"(},"s":2})", 1, Json{{"r", {{"p", 1}}}, {"s", 2}}, {"r"}},
        {R"({"r":{"p":1,"q":)" + arrays(limit - 1) + R"(},"s":2})", 0, Json{{"s", 2}}, {"r"}},
        {R"({"ICLOUD_BACKUP":)" + arrays(160'000) + R"(,"SKIP_INTERVAL":"30"})",
         0,
         Json{{"SKIP_INTERVAL", "30"}},
         {"ICLOUD_BACKUP"}},
    };
    for (const auto& c : cases) {
        auto salvaged = salvageJsonObject(c.text, c.depth);
        ASSERT_TRUE(salvaged) << c.text.substr(0, 60);
        EXPECT_EQ(salvaged->object, c.object) << c.text.substr(0, 60);
        EXPECT_EQ(salvaged->lost, c.lost) << c.text.substr(0, 60);
        EXPECT_TRUE(salvaged->complete) << c.text.substr(0, 60);
    }
}

TEST(JsonSalvageTest, TextThatIsNoObjectGivesNothing) {
    for (const char* text : {"", "   ", "[1,2]", "7", "nul", "\"{\"", "x{\"a\":1}"})
        EXPECT_FALSE(salvageJsonObject(text)) << text;
}

// Wherever a crash cuts the file, what is read back is a part of what was written, value for value.
TEST(JsonSalvageTest, EveryCutOfAWrittenFileGivesOnlyMembersAsWritten) {
    const Json written = Json::parse(
        R"({"0a":{"progress":{"seconds":61.25},"duration":{"seconds":1432.5},"isFinished":false,"volume":40},)"
        R"("1b":{"progress":{"seconds":12},"duration":{"seconds":3600},"isFinished":true,"aspectRatio":"a,}"},)"
        R"("2c":{"progress":{"seconds":0.5},"duration":{"seconds":10.25},"isFinished":false}})");
    const std::string text = JsonCoding::dump(written);
    for (std::size_t length = 0; length <= text.size(); ++length) {
        auto salvaged = salvageJsonObject(std::string_view(text).substr(0, length));
        if (!salvaged) {
            EXPECT_EQ(length, 0u);
            continue;
        }
        for (const auto& [key, value] : salvaged->object.items()) {
            ASSERT_TRUE(written.contains(key)) << length;
            for (const auto& [field, fieldValue] : value.items())
                EXPECT_EQ(fieldValue, written[key][field]) << "cut at " << length << ": " << key << "." << field;
        }
        EXPECT_EQ(salvaged->complete, length == text.size());
    }
}

}  // namespace
}  // namespace foundation
