#pragma once

#include "engine/PuzzleBoard.h"
#include "shell/Globals.h"
#include "support/Pictures.h"
#include "support/RunFolder.h"
#include "support/SoundLog.h"

#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const CCell& cell, std::ostream* os)
{
    *os << "(" << cell.col << ", " << cell.row << ")";
}

// Boards built directly from a size, their sounds recorded; sound on.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPuzzleBoard::s_nLastDir = 5;
        g_bSound = 1;
    }

    static const std::vector<std::string>& Sounds() { return support::SoundLog::Paths(); }

    // Cell values row by row.
    static std::vector<std::vector<int>> Cells(const CPuzzleBoard& board)
    {
        std::vector<std::vector<int>> cells;
        for (const std::string& row : board.m_rows)
            cells.emplace_back(row.begin(), row.end());
        return cells;
    }

    support::SoundLog m_sounds;
};

// Boards that read the settings or picture and song files: each test in a fresh run folder of its own.
class BoardFilesTest : public BoardTest {
protected:
    // Stores the field size, sound flag and picture number the way Start would, and string settings if given.
    static void StoreSettings(int x, int y, int sound = 1, int picture = 1,
                              const std::map<std::string, std::string>& texts = {})
    {
        ASSERT_TRUE(support::StoreSettings(
            {{"FieldX", x}, {"FieldY", y}, {"Sound", sound}, {"Bild", picture}}, texts));
    }

    static void WriteBmp(const std::string& relPath, const QImage& image)
    {
        ASSERT_TRUE(support::SaveBmp(image, QString::fromStdString(relPath)));
    }

    support::RunFolder m_folder;
};
