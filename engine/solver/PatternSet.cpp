#include "engine/solver/PatternSet.h"

#include <cstddef>

CPatternSet::CPatternSet(int x, int y) : CPatternSet(x, y, Partitions(x, y))
{
}

CPatternSet::CPatternSet(int x, int y, const CPartitions& partitions) : m_nX(x), m_nY(y)
{
    const int n = x * y;
    m_mirror.resize(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c)
        m_mirror[static_cast<size_t>(c)] = (c % x) * y + c / x;
    for (const auto& partition : partitions) {
        if (partition.empty())
            continue;
        m_groupOf.emplace_back(static_cast<size_t>(n), -1);
        for (const std::vector<int>& group : partition) {
            for (int t : group)
                m_groupOf.back()[static_cast<size_t>(t)] = static_cast<int>(m_databases.size());
            m_partitionOf.push_back(static_cast<int>(m_groupOf.size()) - 1);
            m_databases.push_back(std::make_unique<CPatternDatabase>(x, y, group));
        }
    }
}

namespace {

// Blocks of at most size tiles, taken column by column (blank excluded).
std::vector<std::vector<int>> ColumnBlocks(int x, int y, std::size_t size)
{
    std::vector<std::vector<int>> groups;
    for (int c = 0; c < x; ++c) {
        for (int r = 0; r < y; ++r) {
            const int t = r * x + c;
            if (t == x * y - 1)
                continue;
            if (groups.empty() || groups.back().size() == size)
                groups.emplace_back();
            groups.back().push_back(t);
        }
    }
    return groups;
}

} // namespace

CPatternSet::CPartitions CPatternSet::Partitions(int x, int y)
{
    const int n = x * y;
    if (n > CPatternDatabase::kMaxCells || x < y)
        return {};
    if (n <= 10) {
        std::vector<int> all;
        for (int t = 0; t < n - 1; ++t)
            all.push_back(t);
        return {{all}};
    }
    if (x == 4 && y == 4)
        return {{{0, 1, 4, 5, 8, 9}, {2, 3, 6, 7, 10, 11}, {12, 13, 14}},
                // The first partition's blocks turned upside down: the three-tile
                // group is the top row. It catches many boards that the first one
                // and its mirror image underestimate.
                {{4, 5, 8, 9, 12, 13}, {3, 6, 7, 10, 11, 14}, {0, 1, 2}}};
    // Blocks of whole columns.
    return {ColumnBlocks(x, y, 6)};
}

CPatternSet::CPartitions CPatternSet::QuickPartitions(int x, int y)
{
    if (x * y > kMaxQuickCells)
        return {};
    // Two 2 x 2 squares and the rest of the long side.
    if (x == 4 && y == 3)
        return {{{0, 1, 4, 5}, {2, 3, 6, 7}, {8, 9, 10}}};
    if (x == 3 && y == 4)
        return {{{0, 1, 3, 4}, {6, 7, 9, 10}, {2, 5, 8}}};
    if (x >= y)
        return {{ColumnBlocks(x, y, 4)}};
    // Tall: blocks of whole rows (on two columns, 2 x 2 squares).
    std::vector<std::vector<int>> groups;
    for (int t = 0; t < x * y - 1; ++t) {
        if (groups.empty() || groups.back().size() == 4)
            groups.emplace_back();
        groups.back().push_back(t);
    }
    return {groups};
}

bool CPatternSet::BuildAll()
{
    for (auto& db : m_databases)
        if (!db->IsReady() && !db->Build())
            return false;
    return !m_databases.empty();
}

bool CPatternSet::IsReady() const
{
    for (const auto& db : m_databases)
        if (!db->IsReady())
            return false;
    return !m_databases.empty();
}

int CPatternSet::GroupValue(int group, const std::uint8_t* cellOfTile) const
{
    const CPatternDatabase& db = *m_databases[static_cast<size_t>(group)];
    std::uint8_t cells[CPatternDatabase::kMaxCells];
    const std::vector<int>& tiles = db.PatternTiles();
    for (size_t i = 0; i < tiles.size(); ++i)
        cells[i] = cellOfTile[tiles[i]];
    return db.Lookup(cells);
}

int CPatternSet::MirrorGroupValue(int group, const std::uint8_t* cellOfTile) const
{
    const CPatternDatabase& db = *m_databases[static_cast<size_t>(group)];
    std::uint8_t cells[CPatternDatabase::kMaxCells];
    const std::vector<int>& tiles = db.PatternTiles();
    for (size_t i = 0; i < tiles.size(); ++i)
        cells[i] = static_cast<std::uint8_t>(m_mirror[cellOfTile[m_mirror[static_cast<size_t>(tiles[i])]]]);
    return db.Lookup(cells);
}

int CPatternSet::Estimate(const std::uint8_t* cellOfTile) const
{
    std::vector<int> sums(2 * m_groupOf.size(), 0);
    for (int g = 0; g < GroupCount(); ++g) {
        const size_t p = static_cast<size_t>(PartitionOf(g));
        sums[2 * p] += GroupValue(g, cellOfTile);
        if (HasMirror())
            sums[2 * p + 1] += MirrorGroupValue(g, cellOfTile);
    }
    int best = 0;
    for (int v : sums)
        best = v > best ? v : best;
    return best;
}
