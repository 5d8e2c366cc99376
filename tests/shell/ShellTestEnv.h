#pragma once

#include "support/RunFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// What `act` wrote to standard error.
template <typename Act> std::string Stderr(Act act)
{
    testing::internal::CaptureStderr();
    act();
    return testing::internal::GetCapturedStderr();
}
inline int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// A fresh run folder per test, the profile in <root>/config.
class ShellTest : public ::testing::Test {
protected:
    std::string ProfilePath() const { return m_folder.ProfilePath().string(); }

    static void WriteFile(const std::string& path, const std::string& bytes)
    {
        ASSERT_TRUE(support::WriteFile(path, bytes));
    }
    static std::string ReadFile(const std::string& path) { return support::ReadFile(path); }

    // Leftovers of a write: files whose names start with a dot.
    static int HiddenFiles(const std::filesystem::path& folder)
    {
        int n = 0;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            n += entry.path().filename().string().starts_with(".");
        return n;
    }

    support::RunFolder m_folder;
    const std::filesystem::path& m_root = m_folder.Root();
};
