#include "engine/solver/OptimalSolver.h"

#include <algorithm>
#include <climits>

COptimalSolver::COptimalSolver(const CPatternSet& patterns)
    : m_patterns(patterns), m_nX(patterns.Width()), m_nCells(patterns.Width() * patterns.Height())
{
    m_neighbours.resize(static_cast<size_t>(m_nCells));
    for (int c = 0; c < m_nCells; ++c) {
        const int col = c % m_nX, row = c / m_nX;
        auto& nb = m_neighbours[static_cast<size_t>(c)];
        if (row + 1 < patterns.Height())
            nb.push_back(static_cast<std::uint8_t>(c + m_nX));
        if (row > 0)
            nb.push_back(static_cast<std::uint8_t>(c - m_nX));
        if (col + 1 < m_nX)
            nb.push_back(static_cast<std::uint8_t>(c + 1));
        if (col > 0)
            nb.push_back(static_cast<std::uint8_t>(c - 1));
    }
}

bool COptimalSolver::Solve(const CPuzzleState& state, const CSearchLimits& limits, std::vector<CCell>& moves)
{
    moves.clear();
    m_limits = limits;
    m_nNodes = 0;
    int blank = 0;
    for (int c = 0; c < m_nCells; ++c) {
        const int t = state.Tiles()[static_cast<size_t>(c)];
        m_board[c] = static_cast<std::uint8_t>(t);
        m_cellOf[t] = static_cast<std::uint8_t>(c);
        if (t == m_nCells - 1)
            blank = c;
    }
    int estimates[kEstimates] = {};
    for (int g = 0; g < m_patterns.GroupCount(); ++g) {
        const int p = m_patterns.PartitionOf(g);
        m_groupValue[g] = m_patterns.GroupValue(g, m_cellOf);
        estimates[2 * p] += m_groupValue[g];
        m_mirrorValue[g] = m_patterns.HasMirror() ? m_patterns.MirrorGroupValue(g, m_cellOf) : 0;
        estimates[2 * p + 1] += m_mirrorValue[g];
    }
    m_path.clear();
    if (m_limits.Expired())
        return false;
    // Every solution has the parity of the blank's distance from its home, so
    // bounds of the other parity would only repeat the previous iteration.
    const int parity = (m_nX - 1 - blank % m_nX + m_patterns.Height() - 1 - blank / m_nX) % 2;
    auto withParity = [parity](int bound) { return bound % 2 == parity ? bound : bound + 1; };
    m_nBound = withParity(*std::max_element(estimates, estimates + kEstimates));
    for (;;) {
        m_nNextBound = INT_MAX;
        const EStep step = Search(0, blank, -1, estimates);
        if (step == EStep::Found)
            break;
        if (step == EStep::Stopped || m_nNextBound == INT_MAX)
            return false;
        m_nBound = withParity(m_nNextBound);
    }
    for (std::uint8_t c : m_path)
        moves.emplace_back(c % m_nX, c / m_nX);
    return true;
}

COptimalSolver::EStep COptimalSolver::Search(int depth, int blank, int previous, const int* estimates)
{
    const int h = *std::max_element(estimates, estimates + kEstimates);
    if (h == 0)
        return EStep::Found;
    if (depth + h > m_nBound) {
        m_nNextBound = std::min(m_nNextBound, depth + h);
        return EStep::Deeper;
    }
    if (++m_nNodes > m_limits.nMaxNodes || ((m_nNodes & 0x3FFF) == 0 && m_limits.Expired()))
        return EStep::Stopped;
    const bool mirror = m_patterns.HasMirror();
    const int partitions = m_patterns.PartitionCount();
    const int childDepth = depth + 1;
    for (std::uint8_t next : m_neighbours[static_cast<size_t>(blank)]) {
        if (next == previous)
            continue;
        const int tile = m_board[next];
        // The tile slides from next into the blank.
        m_board[blank] = static_cast<std::uint8_t>(tile);
        m_board[next] = static_cast<std::uint8_t>(m_nCells - 1);
        m_cellOf[tile] = static_cast<std::uint8_t>(blank);

        // Only the groups holding the tile change. Most children fail on the
        // first estimate looked at; the others (more table lookups) are only
        // consulted for children that pass.
        int child[kEstimates] = {};
        int group[kEstimates], value[kEstimates];
        bool pruned = false;
        for (int e = 0; e < 2 * partitions && !pruned; ++e) {
            const int p = e / 2;
            if (e % 2 == 0) {
                group[e] = m_patterns.GroupOf(p, tile);
                value[e] = m_patterns.GroupValue(group[e], m_cellOf);
                child[e] = estimates[e] - m_groupValue[group[e]] + value[e];
            } else if (mirror) {
                group[e] = m_patterns.MirrorGroupOf(p, tile);
                value[e] = m_patterns.MirrorGroupValue(group[e], m_cellOf);
                child[e] = estimates[e] - m_mirrorValue[group[e]] + value[e];
            } else {
                group[e] = -1;
                continue;
            }
            if (childDepth + child[e] > m_nBound) {
                m_nNextBound = std::min(m_nNextBound, childDepth + child[e]);
                pruned = true;
            }
        }
        if (!pruned) {
            int saved[kEstimates];
            for (int e = 0; e < 2 * partitions; ++e) {
                if (group[e] < 0)
                    continue;
                int& slot = e % 2 == 0 ? m_groupValue[group[e]] : m_mirrorValue[group[e]];
                saved[e] = slot;
                slot = value[e];
            }
            m_path.push_back(next);
            const EStep step = Search(childDepth, next, blank, child);
            if (step == EStep::Found)
                return step;
            m_path.pop_back();
            for (int e = 2 * partitions - 1; e >= 0; --e) {
                if (group[e] < 0)
                    continue;
                (e % 2 == 0 ? m_groupValue[group[e]] : m_mirrorValue[group[e]]) = saved[e];
            }
            if (step == EStep::Stopped) {
                m_cellOf[tile] = next;
                m_board[next] = static_cast<std::uint8_t>(tile);
                m_board[blank] = static_cast<std::uint8_t>(m_nCells - 1);
                return step;
            }
        }
        m_cellOf[tile] = next;
        m_board[next] = static_cast<std::uint8_t>(tile);
        m_board[blank] = static_cast<std::uint8_t>(m_nCells - 1);
    }
    return EStep::Deeper;
}
