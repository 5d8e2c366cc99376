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
    int sum = 0, mirrored = 0;
    for (int g = 0; g < m_patterns.GroupCount(); ++g) {
        m_groupValue[g] = m_patterns.GroupValue(g, m_cellOf);
        sum += m_groupValue[g];
        m_mirrorValue[g] = m_patterns.HasMirror() ? m_patterns.MirrorGroupValue(g, m_cellOf) : 0;
        mirrored += m_mirrorValue[g];
    }
    m_path.clear();
    if (m_limits.Expired())
        return false;
    // Every solution has the parity of the blank's distance from its home, so
    // bounds of the other parity would only repeat the previous iteration.
    const int parity = (m_nX - 1 - blank % m_nX + m_patterns.Height() - 1 - blank / m_nX) % 2;
    auto withParity = [parity](int bound) { return bound % 2 == parity ? bound : bound + 1; };
    m_nBound = withParity(std::max(sum, mirrored));
    for (;;) {
        m_nNextBound = INT_MAX;
        const EStep step = Search(0, blank, -1, sum, mirrored);
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

COptimalSolver::EStep COptimalSolver::Search(int depth, int blank, int previous, int sum, int mirrored)
{
    const int h = std::max(sum, mirrored);
    if (h == 0)
        return EStep::Found;
    if (depth + h > m_nBound) {
        m_nNextBound = std::min(m_nNextBound, depth + h);
        return EStep::Deeper;
    }
    if ((++m_nNodes & 0x3FFF) == 0 && m_limits.Expired())
        return EStep::Stopped;
    const bool mirror = m_patterns.HasMirror();
    const int childDepth = depth + 1;
    for (std::uint8_t next : m_neighbours[static_cast<size_t>(blank)]) {
        if (next == previous)
            continue;
        const int tile = m_board[next];
        // The tile slides from next into the blank.
        m_board[blank] = static_cast<std::uint8_t>(tile);
        m_board[next] = static_cast<std::uint8_t>(m_nCells - 1);
        m_cellOf[tile] = static_cast<std::uint8_t>(blank);
        auto undo = [&] {
            m_cellOf[tile] = next;
            m_board[next] = static_cast<std::uint8_t>(tile);
            m_board[blank] = static_cast<std::uint8_t>(m_nCells - 1);
        };
        const int g = m_patterns.GroupOf(tile);
        const int oldValue = m_groupValue[g];
        const int newValue = m_patterns.GroupValue(g, m_cellOf);
        const int newSum = sum - oldValue + newValue;
        // Most children fail on the first estimate: the mirrored one (a second
        // table lookup) is only looked at for those that pass.
        if (childDepth + newSum > m_nBound) {
            m_nNextBound = std::min(m_nNextBound, childDepth + newSum);
            undo();
            continue;
        }
        int mg = 0, oldMirror = 0, newMirrored = 0;
        if (mirror) {
            mg = m_patterns.MirrorGroupOf(tile);
            oldMirror = m_mirrorValue[mg];
            const int newMirror = m_patterns.MirrorGroupValue(mg, m_cellOf);
            newMirrored = mirrored - oldMirror + newMirror;
            if (childDepth + newMirrored > m_nBound) {
                m_nNextBound = std::min(m_nNextBound, childDepth + newMirrored);
                undo();
                continue;
            }
            m_mirrorValue[mg] = newMirror;
        }
        m_groupValue[g] = newValue;
        m_path.push_back(next);
        const EStep step = Search(childDepth, next, blank, newSum, newMirrored);
        if (step == EStep::Found)
            return step;
        m_path.pop_back();
        m_groupValue[g] = oldValue;
        if (mirror)
            m_mirrorValue[mg] = oldMirror;
        undo();
        if (step == EStep::Stopped)
            return step;
    }
    return EStep::Deeper;
}
