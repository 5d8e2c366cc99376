#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

// A fresh folder per test: the profile goes to <tmp>/config (XDG_CONFIG_HOME),
// the current directory is <tmp>/run.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/zandor-shell-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_root = tmpl;
        m_oldCwd = std::filesystem::current_path();
        std::filesystem::create_directories(m_root / "run");
        std::filesystem::current_path(m_root / "run");
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1), 0);
    }

    void TearDown() override
    {
        std::filesystem::current_path(m_oldCwd);
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }

    std::string ProfilePath() const { return (m_root / "config" / "zandor-puzzle.INI").string(); }

    static void WriteFile(const std::string& path, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        ASSERT_TRUE(out.good());
    }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Leftovers of a write: files whose names start with a dot.
    static int HiddenFiles(const std::filesystem::path& folder)
    {
        int n = 0;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
            if (entry.path().filename().string().starts_with("."))
                ++n;
        }
        return n;
    }

    std::filesystem::path m_root;
    std::filesystem::path m_oldCwd;
};
