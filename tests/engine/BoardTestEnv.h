#pragma once

#include "engine/PuzzleBoard.h"
#include "shell/Globals.h"
#include "support/Pictures.h"
#include "support/RunFolder.h"
#include "support/SoundLog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Each board test runs in a fresh run folder of its own, its sounds recorded.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override { CPuzzleBoard::s_nLastDir = 5; }

    static const std::vector<std::string>& Sounds() { return support::SoundLog::Paths(); }

    // Stores the field size, sound flag and picture number the way Start would,
    // and one more string setting if `key` is given.
    static void StoreSettings(int x, int y, int sound = 1, int picture = 1, const std::string& key = {},
                              const std::string& value = {})
    {
        std::map<std::string, std::string> texts;
        if (!key.empty())
            texts[key] = value;
        ASSERT_TRUE(support::StoreSettings(
            {{"FieldX", x}, {"FieldY", y}, {"Sound", sound}, {"Bild", picture}}, texts));
    }

    static void WriteBmp(const std::string& relPath, const QImage& image)
    {
        ASSERT_TRUE(support::SaveBmp(image, QString::fromStdString(relPath)));
    }

    // Cell values row by row.
    static std::vector<std::vector<int>> Cells(const CPuzzleBoard& board)
    {
        std::vector<std::vector<int>> cells;
        for (const std::string& row : board.m_rows)
            cells.emplace_back(row.begin(), row.end());
        return cells;
    }

    support::RunFolder m_folder;
    support::SoundLog m_sounds;
};
