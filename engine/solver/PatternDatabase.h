#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// An additive pattern database for one board shape (at most 16 cells) and one
// group of tiles: for every placement of the group's tiles it holds the fewest
// moves of those tiles that bring them home, with every other tile free to move
// at no cost. Tables of disjoint groups may therefore be added.
class CPatternDatabase {
public:
    static constexpr int kMaxCells = 16;
    static constexpr std::uint32_t kFileVersion = 1;

    CPatternDatabase(int x, int y, std::vector<int> tiles);

    int Width() const { return m_nX; }
    int Height() const { return m_nY; }
    const std::vector<int>& PatternTiles() const { return m_tiles; }
    std::size_t EntryCount() const { return m_nEntries; }
    bool IsReady() const { return !m_table.empty(); }

    // Breadth-first search from the solved placement. Returns false (and holds no
    // table) when stop became true on the way.
    bool Build(const std::atomic<bool>* stop = nullptr);

    // Moves the group still needs; cells[i] is the cell of PatternTiles()[i].
    int Lookup(const std::uint8_t* cells) const { return m_table[Rank(cells)]; }
    std::size_t Rank(const std::uint8_t* cells) const { return RankOf(cells, m_nK, m_nCells); }
    // Mixed radix: each cell counts among the cells not taken by earlier tiles.
    static std::size_t RankOf(const std::uint8_t* cells, int k, int n)
    {
        std::size_t rank = 0;
        for (int i = 0; i < k; ++i) {
            int digit = cells[i];
            for (int j = 0; j < i; ++j)
                digit -= cells[j] < cells[i];
            rank = rank * static_cast<std::size_t>(n - i) + static_cast<std::size_t>(digit);
        }
        return rank;
    }

    // The file form: a header (magic, version, shape, tile group, entry count,
    // checksum) followed by one byte per entry.
    std::vector<std::uint8_t> Serialize() const;
    // Takes the table from a file image only when every header field matches this
    // shape and group and the checksum agrees; otherwise keeps nothing.
    bool Deserialize(const std::vector<std::uint8_t>& bytes);

    // File name inside the shipped and the cache folder, e.g. "pdb-4x4-0.1.4.5.8.9.bin".
    std::string FileName() const;
    bool LoadFile(const std::filesystem::path& path);
    // Writes through a temporary file and a rename, so readers never meet half a file.
    bool SaveFile(const std::filesystem::path& path) const;

    static std::uint64_t Checksum(const std::uint8_t* data, std::size_t size);

private:
    std::size_t FileSize() const;

    int m_nX;
    int m_nY;
    int m_nCells;
    std::vector<int> m_tiles;
    int m_nK;
    std::size_t m_nEntries;
    std::vector<std::uint8_t> m_table;
};
