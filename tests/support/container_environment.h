#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/foundation/container.h"
#include "support/temp_dir.h"

namespace testing_support {

// One container for a whole test program, installed before any test reads a setting: a
// program registers it once with `::testing::AddGlobalTestEnvironment(new ContainerEnvironment)`.
class ContainerEnvironment : public ::testing::Environment {
public:
    // The temporary folder, and the container's home inside it.
    static const std::filesystem::path& folder() { return s_folder; }
    static const std::filesystem::path& home() { return s_home; }

    void SetUp() override {
        m_dir = std::make_unique<TempDir>();
        s_folder = m_dir->path();
        s_home = s_folder / "home";
        m_container = std::make_unique<foundation::ScopedContainer>(s_home);
    }
    void TearDown() override {
        m_container.reset();
        m_dir.reset();
    }

private:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<foundation::ScopedContainer> m_container;
    static inline std::filesystem::path s_folder;
    static inline std::filesystem::path s_home;
};

}  // namespace testing_support
