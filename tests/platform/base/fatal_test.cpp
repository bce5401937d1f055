#include "platform/base/fatal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FatalTest, TextNamesTheCallersFileAndLineWithoutFolders) {
    base::ScopedFatalThrows throws;
    const int line = __LINE__ + 2;
    try {
        base::fatal("something impossible happened");
        FAIL() << "fatal returned";
    } catch (const base::FatalError& error) {
        EXPECT_EQ(error.text, "fatal_test.cpp:" + std::to_string(line) + ": something impossible happened");
    }
}

TEST(FatalTest, HandlerIsRestoredWhenTheScopeEnds) {
    base::ScopedFatalThrows outer;
    std::string seen;
    {
        base::ScopedFatalHandler inner([&](const std::string& text) {
            seen = text;
            throw 42;
        });
        EXPECT_THROW(base::fatal("inner"), int);
    }
    EXPECT_NE(seen.find(": inner"), std::string::npos);
    EXPECT_THROW(base::fatal("outer"), base::FatalError);
}

}  // namespace
