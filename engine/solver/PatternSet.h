#pragma once

#include "engine/solver/PatternDatabase.h"

#include <cstdint>
#include <memory>
#include <vector>

// The disjoint tile groups of one board shape (at most 16 cells) with their
// pattern databases. The sum over the groups of one partition never
// overestimates the moves left; a shape may have two partitions, and the larger
// sum counts. On a square board the mirror image about the main diagonal is a
// board of the same shape with the same goal, so the same tables give a second
// estimate for each partition.
class CPatternSet {
public:
    using CPartitions = std::vector<std::vector<std::vector<int>>>;

    // The tables of Partitions(x, y), not yet built.
    CPatternSet(int x, int y);
    CPatternSet(int x, int y, const CPartitions& partitions);

    static constexpr int kMaxPartitions = 2;
    // Shapes that have QuickPartitions.
    static constexpr int kMaxQuickCells = 12;
    // Shapes whose shortest solutions the quick tables find at once, whatever the board.
    static constexpr int kMaxQuickOnlyCells = 9;

    // The partitions the pattern store keeps for a shape: the whole board as one
    // group up to 10 cells, otherwise blocks of at most six tiles; the 4 x 4 board
    // has a second partition that the first and its mirror image do not cover
    // well. Wide boards (x >= y) only: a tall board is solved turned on its side.
    static CPartitions Partitions(int x, int y);
    // Groups of at most four tiles for boards of at most twelve cells: tables of a
    // few thousand entries, built in well under a millisecond.
    static CPartitions QuickPartitions(int x, int y);
    // Builds every table at once on the calling thread.
    bool BuildAll();

    int Width() const { return m_nX; }
    int Height() const { return m_nY; }
    int PartitionCount() const { return static_cast<int>(m_groupOf.size()); }
    // Groups of all partitions, numbered on through the partitions.
    int GroupCount() const { return static_cast<int>(m_databases.size()); }
    CPatternDatabase& Database(int group) { return *m_databases[static_cast<size_t>(group)]; }
    const CPatternDatabase& Database(int group) const { return *m_databases[static_cast<size_t>(group)]; }
    bool IsReady() const;

    bool HasMirror() const { return m_nX == m_nY; }
    int GroupOf(int partition, int tile) const
    {
        return m_groupOf[static_cast<size_t>(partition)][static_cast<size_t>(tile)];
    }
    // The group whose mirrored estimate changes when the tile moves.
    int MirrorGroupOf(int partition, int tile) const
    {
        return m_groupOf[static_cast<size_t>(partition)]
                        [static_cast<size_t>(m_mirror[static_cast<size_t>(tile)])];
    }
    int PartitionOf(int group) const { return m_partitionOf[static_cast<size_t>(group)]; }

    // cellOfTile[t] is the cell that holds tile t.
    int GroupValue(int group, const std::uint8_t* cellOfTile) const;
    int MirrorGroupValue(int group, const std::uint8_t* cellOfTile) const;
    int Estimate(const std::uint8_t* cellOfTile) const;

private:
    int m_nX;
    int m_nY;
    std::vector<std::unique_ptr<CPatternDatabase>> m_databases;
    std::vector<std::vector<int>> m_groupOf; // per partition, per tile
    std::vector<int> m_partitionOf;          // per group
    std::vector<int> m_mirror;               // cell (or tile id) reflected about the main diagonal
};
