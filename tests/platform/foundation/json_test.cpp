#include "platform/foundation/json.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "platform/foundation/base64.h"

namespace foundation {
namespace {

TEST(JsonTest, DoublesAreWrittenInTheShortestRoundTripForm) {
    EXPECT_EQ(JsonCoding::dump(Json(0.1)), "0.1");
    EXPECT_EQ(JsonCoding::dump(Json(1e21)), "1e+21");
    EXPECT_EQ(JsonCoding::dump(Json(5.0)), "5.0");
    EXPECT_EQ(JsonCoding::dump(Json(123.456)), "123.456");
    EXPECT_EQ(JsonCoding::dump(Json(-0.000123)), "-0.000123");
    for (double value : {0.1, 1.0 / 3.0, 1e21, 2.5e-300, 1234567.891, std::numeric_limits<double>::max()}) {
        std::string text = JsonCoding::dump(Json(value));
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
}

TEST(JsonTest, OptionalKeysAreOmittedNeverNull) {
    Json object = Json::object();
    JsonCoding::encodeIfPresent(object, "duration", std::optional<double>());
    JsonCoding::encodeIfPresent(object, "speed", std::optional<double>(1.5));
    JsonCoding::encodeIfPresent(object, "name", std::optional<std::string>("a"));
    EXPECT_EQ(JsonCoding::dump(object), R"({"name":"a","speed":1.5})");
}

TEST(JsonTest, DecodeIfPresentChecksTypes) {
    auto object = *JsonCoding::parse(R"({"i": 3, "big": 4294967296, "neg": -1, "d": 2.5, "b": true, "s": "x",
                                         "n": null})");
    EXPECT_EQ(JsonCoding::decodeIfPresent<int>(object, "i"), 3);
    EXPECT_EQ(JsonCoding::decodeIfPresent<double>(object, "i"), 3.0);
    EXPECT_FALSE(JsonCoding::decodeIfPresent<int>(object, "d"));
    EXPECT_FALSE(JsonCoding::decodeIfPresent<int>(object, "big"));
    EXPECT_EQ(JsonCoding::decodeIfPresent<std::int64_t>(object, "big"), 4294967296);
    EXPECT_FALSE(JsonCoding::decodeIfPresent<unsigned>(object, "neg"));
    EXPECT_FALSE(JsonCoding::decodeIfPresent<bool>(object, "i"));
    EXPECT_EQ(JsonCoding::decodeIfPresent<bool>(object, "b"), true);
    EXPECT_FALSE(JsonCoding::decodeIfPresent<std::string>(object, "i"));
    EXPECT_FALSE(JsonCoding::decodeIfPresent<double>(object, "n"));
    EXPECT_FALSE(JsonCoding::decodeIfPresent<double>(object, "missing"));
    EXPECT_FALSE(JsonCoding::decodeIfPresent<double>(Json::array(), "i"));
    EXPECT_EQ(JsonCoding::decode<std::string>(object, "s").value(), "x");
    EXPECT_FALSE(JsonCoding::decode<std::string>(object, "i"));
}

TEST(JsonTest, ParsingNeverThrows) {
    EXPECT_FALSE(JsonCoding::parse("{"));
    EXPECT_FALSE(JsonCoding::parse(""));
    EXPECT_FALSE(JsonCoding::parse("[1,]"));
    EXPECT_EQ(JsonCoding::parse("{\"a\":[1]}")->at("a").at(0), 1);
    EXPECT_EQ(JsonCoding::parse("x").error().domain, kFoundationErrorDomain);
}

std::string nestedArrays(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

std::string nestedObjects(int depth) {
    std::string text = "{}";
    for (int level = 1; level < depth; ++level) text = "{\"a\":" + text + "}";
    return text;
}

TEST(JsonTest, TextNestedPastTheLimitIsDamageHoweverDeep) {
    const int limit = JsonCoding::kMaximumDepth;
    const std::pair<std::string, bool> cases[] = {
        {nestedArrays(limit), true},
        {nestedArrays(limit + 1), false},
        {nestedObjects(limit), true},
        {nestedObjects(limit + 1), false},
        {"[" + nestedObjects(limit - 1) + ",[1],{\"b\":[]}]", true},  // siblings add no depth
        {"{\"a\":\"" + nestedArrays(limit) + "\"}", true},            // brackets in a string nest nothing
        {"[\"\\\"" + nestedArrays(limit) + "\\\"\"]", true},          // nor between escaped quotes
        {"{\"a\":1,\"b\":[" + nestedObjects(limit) + "]}", false},
        {"{\"ICLOUD_BACKUP\":" + nestedArrays(160'000) + "}", false},
        {nestedArrays(160'000) + "]", false},  // past the limit and malformed besides
    };
    for (const auto& [text, reads] : cases) {
        auto parsed = JsonCoding::parse(text);
        EXPECT_EQ(parsed.ok(), reads) << text.substr(0, 80) << " (" << text.size() << " bytes)";
        if (!reads) {
            EXPECT_EQ(parsed.error().code, kErrorCorruptData);
        }
    }
    EXPECT_NE(JsonCoding::parse(nestedArrays(limit + 1)).error().description.find("nested deeper than"),
              std::string::npos);
    EXPECT_TRUE(JsonCoding::parse("[[1]]", 2));
    EXPECT_FALSE(JsonCoding::parse("[[1]]", 1));
    EXPECT_TRUE(JsonCoding::parse("7", 0)) << "a bare value nests nothing";
}

TEST(JsonTest, InvalidUTF8IsReplacedWhenDumping) { EXPECT_EQ(JsonCoding::dump(Json("a\xff")), "\"a\xef\xbf\xbd\""); }

TEST(Base64Test, RoundTripsAndRejectsMalformedText) {
    EXPECT_EQ(Base64::encode(""), "");
    EXPECT_EQ(Base64::encode("f"), "Zg==");
    EXPECT_EQ(Base64::encode("fo"), "Zm8=");
    EXPECT_EQ(Base64::encode("foobar"), "Zm9vYmFy");
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    EXPECT_EQ(Base64::decode(Base64::encode(bytes)), bytes);
    EXPECT_FALSE(Base64::decode("Zg="));
    EXPECT_FALSE(Base64::decode("Z===") && Base64::decode("Z===")->size() > 1);
    EXPECT_FALSE(Base64::decode("Zm9v YmFy"));
    EXPECT_FALSE(Base64::decode("Zg==Zg=="));
}

}  // namespace
}  // namespace foundation
