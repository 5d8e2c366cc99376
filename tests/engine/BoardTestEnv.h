#pragma once

#include "engine/PuzzleBoard.h"
#include "shell/Globals.h"
#include "shell/Profile.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

// Each board test runs in a fresh folder of its own: the profile lives in
// <tmp>/config, the current directory is <tmp>/run with its own bitmaps/.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/zandor-board-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_root = tmpl;
        m_oldCwd = std::filesystem::current_path();
        std::filesystem::create_directories(m_root / "run" / "bitmaps");
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1), 0);
        std::filesystem::current_path(m_root / "run");
        s_sounds.clear();
        CPuzzleBoard::s_pfnSoundSink = &Record;
        CPuzzleBoard::s_nLastDir = 5;
    }

    void TearDown() override
    {
        CPuzzleBoard::s_pfnSoundSink = nullptr;
        std::filesystem::current_path(m_oldCwd);
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }

    static bool Record(const std::string& path)
    {
        s_sounds.push_back(path);
        return true;
    }

    // Stores the field size, sound flag and picture number the way Start would,
    // and one more string setting if `key` is given.
    void StoreSettings(int x, int y, int sound = 1, int picture = 1, const std::string& key = {},
                       const std::string& value = {})
    {
        CProfile profile(CProfile::DefaultPath());
        profile.Load();
        profile.SetInt("Tessra", "FieldX", x);
        profile.SetInt("Tessra", "FieldY", y);
        profile.SetInt("Tessra", "Sound", sound);
        profile.SetInt("Tessra", "Bild", picture);
        if (!key.empty())
            profile.SetString("Tessra", key, value);
        ASSERT_TRUE(profile.Save());
    }

    // A picture whose every pixel differs from its neighbours.
    static QImage PatternImage(int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 128 + (y / 256) * 64 + (x + y) % 50));
        }
        return image;
    }

    void WriteBmp(const std::string& relPath, const QImage& image)
    {
        std::filesystem::create_directories(std::filesystem::path(relPath).parent_path());
        ASSERT_TRUE(image.save(QString::fromStdString(relPath), "BMP"));
    }

    // Cell values row by row.
    static std::vector<std::vector<int>> Cells(const CPuzzleBoard& board)
    {
        std::vector<std::vector<int>> cells;
        for (const std::string& row : board.m_rows) {
            std::vector<int> values;
            for (char ch : row)
                values.push_back(static_cast<signed char>(ch));
            cells.push_back(values);
        }
        return cells;
    }

    std::filesystem::path m_root;
    std::filesystem::path m_oldCwd;
    static inline std::vector<std::string> s_sounds;
};
