#pragma once

#include "engine/solver/PatternDatabase.h"

#include <cstdint>
#include <memory>
#include <vector>

// The disjoint tile groups of one board shape (at most 16 cells) with their
// pattern databases. The sum over the groups never overestimates the moves left.
// On a square board the mirror image about the main diagonal is a board of the
// same shape with the same goal, so the same tables give a second estimate.
class CPatternSet {
public:
    CPatternSet(int x, int y);

    // The tile groups this program uses for a shape: the whole board as one group
    // up to 10 cells, otherwise blocks of at most six tiles.
    static std::vector<std::vector<int>> Partition(int x, int y);

    int Width() const { return m_nX; }
    int Height() const { return m_nY; }
    int GroupCount() const { return static_cast<int>(m_databases.size()); }
    CPatternDatabase& Database(int group) { return *m_databases[static_cast<size_t>(group)]; }
    const CPatternDatabase& Database(int group) const { return *m_databases[static_cast<size_t>(group)]; }
    bool IsReady() const;

    bool HasMirror() const { return m_nX == m_nY; }
    int GroupOf(int tile) const { return m_groupOf[static_cast<size_t>(tile)]; }
    // The group whose mirrored estimate changes when the tile moves.
    int MirrorGroupOf(int tile) const
    {
        return m_groupOf[static_cast<size_t>(m_mirror[static_cast<size_t>(tile)])];
    }

    // cellOfTile[t] is the cell that holds tile t.
    int GroupValue(int group, const std::uint8_t* cellOfTile) const;
    int MirrorGroupValue(int group, const std::uint8_t* cellOfTile) const;
    int Estimate(const std::uint8_t* cellOfTile) const;

private:
    int m_nX;
    int m_nY;
    std::vector<std::unique_ptr<CPatternDatabase>> m_databases;
    std::vector<int> m_groupOf;
    std::vector<int> m_mirror; // cell (or tile id) reflected about the main diagonal
};
