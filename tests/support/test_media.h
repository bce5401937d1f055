#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A clip made by tools/make-test-media (wide.mp4, classic.mkv, portrait.mp4, rotated.mp4,
// long.mp4, audio.m4a, truncated.mp4). Tests that need one skip nothing: a missing clip fails.
std::filesystem::path testMedia(const std::string& name);

// The project's source folder (resources, tools).
std::filesystem::path sourceDir();

}  // namespace testing_support
