#include "engine/solver/PathShortener.h"

#include <cstdint>
#include <unordered_map>

namespace {

std::uint64_t Mix(std::uint64_t x)
{
    // splitmix64: a fixed, well-spread key for each (cell, tile).
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace

std::vector<CCell> CPathShortener::RemoveLoops(const CPuzzleState& start, const std::vector<CCell>& moves)
{
    const int x = start.Width();
    const int n = start.CellCount();
    auto key = [n](int cell, int tile) {
        return Mix(static_cast<std::uint64_t>(cell) * static_cast<std::uint64_t>(n) +
                   static_cast<std::uint64_t>(tile));
    };
    std::vector<int> board = start.Tiles();
    const int blankId = n - 1;
    int blank = 0;
    std::uint64_t hash = 0;
    for (int c = 0; c < n; ++c) {
        hash ^= key(c, board[static_cast<size_t>(c)]);
        if (board[static_cast<size_t>(c)] == blankId)
            blank = c;
    }

    // kept[i] is the i-th click kept; seen maps a position's hash to how many
    // kept clicks lead to it; boards[i] is that position, to rule out collisions.
    std::vector<CCell> kept;
    std::vector<std::uint64_t> hashes{hash};
    std::vector<std::vector<int>> boards{board};
    std::unordered_map<std::uint64_t, std::size_t> seen{{hash, 0}};
    for (const CCell& move : moves) {
        const int cell = move.row * x + move.col;
        const int tile = board[static_cast<size_t>(cell)];
        hash ^= key(cell, tile) ^ key(blank, tile) ^ key(blank, blankId) ^ key(cell, blankId);
        board[static_cast<size_t>(blank)] = tile;
        board[static_cast<size_t>(cell)] = blankId;
        blank = cell;
        auto it = seen.find(hash);
        if (it != seen.end() && boards[it->second] == board) {
            // Back at an earlier position: forget the loop.
            const std::size_t back = it->second;
            for (std::size_t i = back + 1; i < hashes.size(); ++i)
                seen.erase(hashes[i]);
            kept.resize(back);
            hashes.resize(back + 1);
            boards.resize(back + 1);
            continue;
        }
        kept.push_back(move);
        hashes.push_back(hash);
        boards.push_back(board);
        seen.emplace(hash, kept.size());
    }
    return kept;
}
