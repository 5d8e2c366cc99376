#include "engine/solver/StripSolver.h"

#include "engine/solver/OptimalSolver.h"
#include "engine/solver/PatternStore.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::uint16_t kFar = 0xFFFF;
// Weight of the estimate against the moves made, in tenths: below ten the search
// looks wider than greedy and finds shorter routes for the group.
constexpr int kW = 7;
// Extra cost, in tenths of a move, when the blank pushes a tile outside the group
// away from its home (and the saving when it pushes one towards home).
constexpr int kLambda = 3;
// Plan each group together with the next one of the line, within this many nodes.
constexpr bool kLookahead = true;
constexpr std::size_t kLookaheadNodes = 8000;
constexpr int kLookaheadWeight = 7;
constexpr std::size_t kGroupSize = 2;
constexpr std::size_t kGroupNodes = 60000;     // first try for a group of three or more
constexpr std::size_t kPairNodes = 250000;     // a pair
constexpr std::size_t kPairNodesMax = 4000000; // a pair, last resort: more than its whole space
constexpr std::uint64_t kBlockNodes = 50000;   // a final block of 10 to 12 cells

// Open addressing from a search state to its node; cleared slot by slot between searches.
struct SNodeMap {
    std::vector<std::uint64_t> keys;
    std::vector<std::int32_t> values;
    std::vector<std::uint32_t> used;
    std::uint64_t mask = 0;

    void Reset()
    {
        for (std::uint32_t slot : used)
            keys[slot] = 0;
        used.clear();
        if (keys.empty())
            Resize(1 << 14);
    }
    void Resize(std::size_t size)
    {
        std::vector<std::uint64_t> oldKeys(size, 0);
        std::vector<std::int32_t> oldValues(size, 0);
        oldKeys.swap(keys);
        oldValues.swap(values);
        mask = size - 1;
        std::vector<std::uint32_t> oldUsed;
        oldUsed.swap(used);
        bool isNew = false;
        for (std::uint32_t slot : oldUsed)
            Find(oldKeys[slot], oldValues[slot], isNew);
    }
    // Returns the slot's value, inserting value when the key is new.
    std::int32_t& Find(std::uint64_t key, std::int32_t value, bool& isNew)
    {
        if (used.size() * 2 >= keys.size())
            Resize(keys.size() * 2);
        std::uint64_t slot = ((key * 0x9E3779B97F4A7C15ull) >> 24) & mask;
        while (keys[slot] != 0) {
            if (keys[slot] == key) {
                isNew = false;
                return values[slot];
            }
            slot = (slot + 1) & mask;
        }
        keys[slot] = key;
        values[slot] = value;
        used.push_back(static_cast<std::uint32_t>(slot));
        isNew = true;
        return values[slot];
    }
};

struct SNode {
    std::uint64_t key;
    std::int32_t parent;
    std::int32_t g;
    std::int32_t f;
};

thread_local SNodeMap t_map;
thread_local std::vector<std::uint16_t> t_queue;
thread_local std::vector<SNode> t_nodes;
thread_local std::vector<std::vector<std::int32_t>> t_buckets;

} // namespace

void CStripSolver::Click(int cell)
{
    const int tile = m_board[static_cast<size_t>(cell)];
    m_board[static_cast<size_t>(m_nBlank)] = tile;
    m_cellOf[static_cast<size_t>(tile)] = m_nBlank;
    m_board[static_cast<size_t>(cell)] = m_nCells - 1;
    m_cellOf[static_cast<size_t>(m_nCells - 1)] = cell;
    m_nBlank = cell;
    m_moves.emplace_back(cell % m_nX, cell / m_nX);
}

bool CStripSolver::Solve(const CPuzzleState& state, const CSearchLimits& limits, std::vector<CCell>& moves)
{
    moves.clear();
    m_nX = state.Width();
    m_nY = state.Height();
    m_nCells = m_nX * m_nY;
    m_board = state.Tiles();
    m_cellOf.assign(static_cast<size_t>(m_nCells), 0);
    for (int c = 0; c < m_nCells; ++c)
        m_cellOf[static_cast<size_t>(m_board[static_cast<size_t>(c)])] = c;
    m_nBlank = m_cellOf[static_cast<size_t>(m_nCells - 1)];
    m_neighbours.assign(static_cast<size_t>(m_nCells), {-1, -1, -1, -1});
    for (int c = 0; c < m_nCells; ++c) {
        int k = 0;
        const int col = c % m_nX, row = c / m_nX;
        if (col + 1 < m_nX)
            m_neighbours[static_cast<size_t>(c)][k++] = c + 1;
        if (col > 0)
            m_neighbours[static_cast<size_t>(c)][k++] = c - 1;
        if (row + 1 < m_nY)
            m_neighbours[static_cast<size_t>(c)][k++] = c + m_nX;
        if (row > 0)
            m_neighbours[static_cast<size_t>(c)][k++] = c - m_nX;
    }
    m_free.assign(static_cast<size_t>(m_nCells), true);
    m_tables.assign(static_cast<size_t>(m_nCells), {});
    m_tableVersion.assign(static_cast<size_t>(m_nCells), -1);
    m_nFreeVersion = 0;
    m_nCol0 = m_nRow0 = 0;
    m_moves.clear();
    m_limits = limits;
    m_nNodes = 0;

    for (;;) {
        if (m_limits.Expired())
            return false;
        const int w = m_nX - m_nCol0, h = m_nY - m_nRow0;
        if (w * h <= CPatternSet::kMaxQuickOnlyCells) {
            if (!SolveBlock(UINT64_MAX))
                return false;
            break;
        }
        // A larger block is solved shortest when that takes few nodes.
        if (w * h <= CPatternSet::kMaxQuickCells) {
            if (SolveBlock(kBlockNodes))
                break;
            if (m_limits.Expired())
                return false;
        }
        if (!SolveLine(h >= w))
            return false;
    }
    moves = m_moves;
    return true;
}

bool CStripSolver::SolveLine(bool bRow)
{
    std::vector<int> line;
    if (bRow) {
        for (int c = m_nCol0; c < m_nX; ++c)
            line.push_back(m_nRow0 * m_nX + c);
    } else {
        for (int r = m_nRow0; r < m_nY; ++r)
            line.push_back(r * m_nX + m_nCol0);
    }
    // Pairs from the start; the last tile of the line always goes with the one
    // before it, since the corner cannot be filled with its neighbour fixed.
    std::vector<std::vector<int>> groups;
    for (size_t i = 0; i < line.size(); i += kGroupSize)
        groups.push_back(
            std::vector<int>(line.begin() + static_cast<long>(i),
                             line.begin() + static_cast<long>(std::min(line.size(), i + kGroupSize))));
    if (groups.size() > 1 && groups.back().size() == 1) {
        groups[groups.size() - 2].push_back(groups.back()[0]);
        groups.pop_back();
    }
    for (size_t g = 0; g < groups.size(); ++g) {
        // Plan this group together with the next one, then carry out the plan only
        // until this group is home: the route then already serves the next tiles.
        if (kLookahead && g + 1 < groups.size()) {
            std::vector<int> both = groups[g];
            both.insert(both.end(), groups[g + 1].begin(), groups[g + 1].end());
            std::vector<int> path;
            if (SearchGroup(both, kLookaheadNodes, path, kLookaheadWeight)) {
                for (int cell : path) {
                    bool home = true;
                    for (int t : groups[g])
                        home = home && m_cellOf[static_cast<size_t>(t)] == t;
                    if (home)
                        break;
                    Click(cell);
                }
            }
        }
        if (!PlaceGroup(groups[g]))
            return false;
    }
    if (bRow)
        ++m_nRow0;
    else
        ++m_nCol0;
    return true;
}

bool CStripSolver::PlaceGroup(const std::vector<int>& tiles)
{
    if (m_limits.Expired())
        return false;
    std::vector<int> path;
    bool found = SearchGroup(tiles, tiles.size() > 2 ? kGroupNodes : kPairNodes, path, kW);
    if (!found && tiles.size() > 2) {
        // Too many states: the leading tiles first, then the last pair.
        const std::vector<int> head(tiles.begin(), tiles.end() - 2), tail(tiles.end() - 2, tiles.end());
        return PlaceGroup(head) && PlaceGroup(tail);
    }
    if (!found)
        found = SearchGroup(tiles, kPairNodesMax, path, kW);
    if (!found)
        return false;
    for (int cell : path)
        Click(cell);
    for (int t : tiles)
        m_free[static_cast<size_t>(t)] = false;
    ++m_nFreeVersion;
    return true;
}

void CStripSolver::ComputeTileTable(int home, std::vector<std::uint16_t>& table) const
{
    // Fewest moves that bring one tile home, from each (tile cell, blank cell),
    // over the free cells with every other tile free to move.
    const int n = m_nCells;
    table.assign(static_cast<size_t>(n) * static_cast<size_t>(n), kFar);
    std::vector<std::uint16_t>& queue = t_queue; // tile cell * 128 + blank cell
    queue.clear();
    for (int b = 0; b < n; ++b) {
        if (b != home && m_free[static_cast<size_t>(b)]) {
            table[static_cast<size_t>(home * n + b)] = 0;
            queue.push_back(static_cast<std::uint16_t>(home * 128 + b));
        }
    }
    for (size_t head = 0; head < queue.size(); ++head) {
        const int p = queue[head] >> 7, b = queue[head] & 127;
        const std::uint16_t d = table[static_cast<size_t>(p * n + b)];
        for (int nb : m_neighbours[static_cast<size_t>(b)]) {
            if (nb < 0)
                break;
            if (!m_free[static_cast<size_t>(nb)])
                continue;
            const int np = nb == p ? b : p;
            std::uint16_t& slot = table[static_cast<size_t>(np * n + nb)];
            if (slot == kFar) {
                slot = static_cast<std::uint16_t>(d + 1);
                queue.push_back(static_cast<std::uint16_t>(np * 128 + nb));
            }
        }
    }
}

bool CStripSolver::SearchGroup(const std::vector<int>& tiles, std::size_t nodeLimit, std::vector<int>& path,
                               int weight)
{
    path.clear();
    const int m = static_cast<int>(tiles.size());
    const int n = m_nCells;
    std::vector<const std::vector<std::uint16_t>*> tables(static_cast<size_t>(m));
    for (int i = 0; i < m; ++i) {
        const int t = tiles[static_cast<size_t>(i)];
        if (m_tableVersion[static_cast<size_t>(t)] != m_nFreeVersion) {
            ComputeTileTable(t, m_tables[static_cast<size_t>(t)]);
            m_tableVersion[static_cast<size_t>(t)] = m_nFreeVersion;
        }
        tables[static_cast<size_t>(i)] = &m_tables[static_cast<size_t>(t)];
    }

    // A state packs the blank and the group's cells, one byte each, plus a marker bit.
    auto keyOf = [m](int blank, const int* cells) {
        std::uint64_t key = static_cast<std::uint64_t>(blank) | (std::uint64_t{1} << 63);
        for (int i = 0; i < m; ++i)
            key |= static_cast<std::uint64_t>(cells[i]) << (8 * (i + 1));
        return key;
    };
    auto estimate = [&](int blank, const int* cells) {
        int sum = 0;
        for (int i = 0; i < m; ++i) {
            const std::uint16_t d =
                (*tables[static_cast<size_t>(i)])[static_cast<size_t>(cells[i] * n + blank)];
            if (d == kFar)
                return -1;
            sum += d;
        }
        return sum;
    };

    int cells[8];
    for (int i = 0; i < m; ++i)
        cells[i] = m_cellOf[static_cast<size_t>(tiles[static_cast<size_t>(i)])];
    const int h0 = estimate(m_nBlank, cells);
    if (h0 < 0)
        return false;
    if (h0 == 0)
        return true;

    std::vector<SNode>& nodes = t_nodes;
    nodes.clear();
    std::vector<std::vector<std::int32_t>>& buckets = t_buckets;
    for (auto& bucket : buckets)
        bucket.clear();
    SNodeMap& map = t_map;
    map.Reset();
    bool isNew = false;
    const std::uint64_t startKey = keyOf(m_nBlank, cells);
    map.Find(startKey, 0, isNew);
    nodes.push_back({startKey, -1, 0, weight * h0});
    buckets.resize(static_cast<size_t>(weight * h0) + 1);
    buckets[static_cast<size_t>(weight * h0)].push_back(0);
    size_t lowest = static_cast<size_t>(weight * h0);

    int goal = -1;
    std::size_t expanded = 0;
    while (goal < 0) {
        while (lowest < buckets.size() && buckets[lowest].empty())
            ++lowest;
        if (lowest >= buckets.size())
            return false;
        const std::int32_t index = buckets[lowest].back();
        buckets[lowest].pop_back();
        const SNode node = nodes[static_cast<size_t>(index)];
        if (static_cast<size_t>(node.f) != lowest)
            continue; // reached again more cheaply
        if (++expanded > nodeLimit || ((expanded & 0x3FF) == 0 && m_limits.Expired()))
            return false;
        ++m_nNodes;
        const int blank = static_cast<int>(node.key & 0xFF);
        for (int i = 0; i < m; ++i)
            cells[i] = static_cast<int>((node.key >> (8 * (i + 1))) & 0xFF);
        const int bc = blank % m_nX, br = blank / m_nX;
        for (int nb : m_neighbours[static_cast<size_t>(blank)]) {
            if (nb < 0)
                break;
            if (!m_free[static_cast<size_t>(nb)])
                continue;
            int moved = -1;
            for (int i = 0; i < m; ++i)
                if (cells[i] == nb) {
                    cells[i] = blank;
                    moved = i;
                }
            const int h = estimate(nb, cells);
            int cost = 10;
            if (moved < 0 && kLambda) {
                // A tile outside the group slides from nb into the blank: reward
                // routes that carry such tiles towards home.
                const int other = m_board[static_cast<size_t>(nb)];
                if (other != m_nCells - 1) {
                    const int before =
                        std::abs(nb % m_nX - other % m_nX) + std::abs(nb / m_nX - other / m_nX);
                    const int after = std::abs(bc - other % m_nX) + std::abs(br - other / m_nX);
                    cost += (after - before) * kLambda;
                }
            }
            if (h >= 0) {
                const std::uint64_t key = keyOf(nb, cells);
                const std::int32_t g = node.g + cost;
                const std::int32_t f = g + weight * h;
                std::int32_t& slot = map.Find(key, static_cast<std::int32_t>(nodes.size()), isNew);
                std::int32_t target = -1;
                if (isNew) {
                    target = static_cast<std::int32_t>(nodes.size());
                    nodes.push_back({key, index, g, f});
                } else if (nodes[static_cast<size_t>(slot)].g > g) {
                    target = slot;
                    nodes[static_cast<size_t>(slot)] = {key, index, g, f};
                }
                if (target >= 0) {
                    if (h == 0) {
                        goal = target;
                        break;
                    }
                    if (buckets.size() <= static_cast<size_t>(f))
                        buckets.resize(static_cast<size_t>(f) + 1);
                    buckets[static_cast<size_t>(f)].push_back(target);
                    lowest = std::min(lowest, static_cast<size_t>(f));
                }
            }
            if (moved >= 0)
                cells[moved] = nb;
        }
    }
    for (std::int32_t i = goal; nodes[static_cast<size_t>(i)].parent >= 0;
         i = nodes[static_cast<size_t>(i)].parent)
        path.push_back(static_cast<int>(nodes[static_cast<size_t>(i)].key & 0xFF));
    std::reverse(path.begin(), path.end());
    return true;
}

bool CStripSolver::SolveBlock(std::uint64_t nodeLimit)
{
    const int w = m_nX - m_nCol0, h = m_nY - m_nRow0;
    std::vector<int> local(static_cast<size_t>(w * h));
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const int tile = m_board[static_cast<size_t>((m_nRow0 + r) * m_nX + m_nCol0 + c)];
            local[static_cast<size_t>(r * w + c)] =
                tile == m_nCells - 1 ? w * h - 1 : (tile / m_nX - m_nRow0) * w + (tile % m_nX - m_nCol0);
        }
    }
    const CPuzzleState block(w, h, local);
    const std::shared_ptr<const CPatternSet> patterns = CPatternStore::Instance().Quick(w, h);
    if (!patterns)
        return false;
    COptimalSolver solver(*patterns);
    std::vector<CCell> blockMoves;
    CSearchLimits limits = m_limits;
    limits.nMaxNodes = nodeLimit;
    const bool solved = solver.Solve(block, limits, blockMoves);
    m_nNodes += solver.Nodes();
    if (!solved)
        return false;
    for (const CCell& cell : blockMoves)
        Click((m_nRow0 + cell.row) * m_nX + m_nCol0 + cell.col);
    return true;
}
