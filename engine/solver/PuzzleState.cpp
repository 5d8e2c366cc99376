#include "engine/solver/PuzzleState.h"

#include "engine/PuzzleBoard.h"

#include <cstdlib>
#include <utility>

CPuzzleState::CPuzzleState(int x, int y) : m_nX(x), m_nY(y)
{
    if (x > 0 && y > 0) {
        m_tiles.resize(static_cast<size_t>(x) * static_cast<size_t>(y));
        for (size_t i = 0; i < m_tiles.size(); ++i)
            m_tiles[i] = static_cast<int>(i);
    }
}

CPuzzleState::CPuzzleState(int x, int y, std::vector<int> tiles) : m_nX(x), m_nY(y), m_tiles(std::move(tiles))
{
}

std::string CPuzzleState::Problem() const
{
    if (m_nX < kMinSide || m_nX > kMaxSide || m_nY < kMinSide || m_nY > kMaxSide)
        return "board size " + std::to_string(m_nX) + " x " + std::to_string(m_nY) + " is outside 2..10";
    const int n = CellCount();
    if (static_cast<int>(m_tiles.size()) != n)
        return "board holds " + std::to_string(m_tiles.size()) + " cells, expected " + std::to_string(n);
    std::vector<bool> seen(static_cast<size_t>(n), false);
    for (int id : m_tiles) {
        if (id < 0 || id >= n)
            return "tile id " + std::to_string(id) + " is outside 0.." + std::to_string(n - 1);
        if (seen[static_cast<size_t>(id)])
            return "tile id " + std::to_string(id) + " occurs twice";
        seen[static_cast<size_t>(id)] = true;
    }
    return {};
}

bool CPuzzleState::IsSolvable() const
{
    if (!IsWellFormed())
        return false;
    // Parity of the permutation by counting its cycles.
    const int n = CellCount();
    std::vector<bool> done(static_cast<size_t>(n), false);
    int transpositions = 0;
    for (int i = 0; i < n; ++i) {
        if (done[static_cast<size_t>(i)])
            continue;
        int len = 0;
        for (int j = i; !done[static_cast<size_t>(j)]; j = m_tiles[static_cast<size_t>(j)]) {
            done[static_cast<size_t>(j)] = true;
            ++len;
        }
        transpositions += len - 1;
    }
    const CCell blank = Blank();
    const int blankDistance = (m_nX - 1 - blank.col) + (m_nY - 1 - blank.row);
    return (transpositions % 2) == (blankDistance % 2);
}

bool CPuzzleState::IsSolved() const
{
    for (size_t i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i] != static_cast<int>(i))
            return false;
    return !m_tiles.empty();
}

CCell CPuzzleState::Blank() const
{
    const int blank = BlankId();
    for (size_t i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i] == blank)
            return {static_cast<int>(i) % m_nX, static_cast<int>(i) / m_nX};
    return {-1, -1};
}

int CPuzzleState::ManhattanDistance() const
{
    const int blank = BlankId();
    int sum = 0;
    for (size_t i = 0; i < m_tiles.size(); ++i) {
        const int id = m_tiles[i];
        if (id == blank)
            continue;
        const int cell = static_cast<int>(i);
        sum += std::abs(cell % m_nX - id % m_nX) + std::abs(cell / m_nX - id / m_nX);
    }
    return sum;
}

bool CPuzzleState::Click(int col, int row)
{
    const CCell blank = Blank();
    if (!CPuzzleBoard::CanSlide(CCell(col, row), blank, m_nX, m_nY))
        return false;
    std::swap(m_tiles[static_cast<size_t>(row * m_nX + col)],
              m_tiles[static_cast<size_t>(blank.row * m_nX + blank.col)]);
    return true;
}

bool CPuzzleState::Apply(const std::vector<CCell>& clicks)
{
    for (const CCell& c : clicks)
        if (!Click(c))
            return false;
    return true;
}

CPuzzleState CPuzzleState::FromBoard(const CPuzzleBoard& board)
{
    std::vector<int> tiles;
    tiles.reserve(static_cast<std::size_t>(board.m_nCols) * static_cast<std::size_t>(board.m_nRows));
    for (const std::string& row : board.m_rows) {
        for (char cell : row)
            tiles.push_back(static_cast<signed char>(cell));
    }
    return CPuzzleState(board.m_nCols, board.m_nRows, std::move(tiles));
}
