#include "engine/solver/PatternDatabase.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace {

constexpr char kMagic[4] = {'Z', 'P', 'D', 'B'};
constexpr std::uint8_t kUnset = 0xFF;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutU64(std::vector<std::uint8_t>& out, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t GetLE(const std::uint8_t* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace

CPatternDatabase::CPatternDatabase(int x, int y, std::vector<int> tiles)
    : m_nX(x), m_nY(y), m_nCells(x * y), m_tiles(std::move(tiles)), m_nK(static_cast<int>(m_tiles.size())),
      m_nEntries(1)
{
    for (size_t i = 0; i < m_tiles.size(); ++i)
        m_nEntries *= static_cast<std::size_t>(m_nCells) - i;
}

bool CPatternDatabase::Build(const std::atomic<bool>* stop)
{
    m_table.clear();
    const int n = m_nCells;
    const int k = static_cast<int>(m_tiles.size());
    if (n > kMaxCells || k < 1 || k >= n)
        return false;

    std::uint32_t neighbours[kMaxCells] = {};
    for (int c = 0; c < n; ++c) {
        const int col = c % m_nX, row = c / m_nX;
        if (col > 0)
            neighbours[c] |= 1u << (c - 1);
        if (col + 1 < m_nX)
            neighbours[c] |= 1u << (c + 1);
        if (row > 0)
            neighbours[c] |= 1u << (c - m_nX);
        if (row + 1 < m_nY)
            neighbours[c] |= 1u << (c + m_nX);
    }

    // Moves of other tiles cost nothing, so the blank roams its region (the free
    // cells it can reach) at no cost; a group tile beside that region may slide
    // into it at a cost of one, and the blank takes its place. A search state is
    // therefore a placement with one region, and each is queued only once.
    const std::uint32_t all = (n == 32) ? ~0u : ((1u << n) - 1);
    std::uint32_t notLeft = 0, notRight = 0;
    for (int c = 0; c < n; ++c) {
        if (c % m_nX != 0)
            notLeft |= 1u << c;
        if (c % m_nX != m_nX - 1)
            notRight |= 1u << c;
    }
    const int x = m_nX;
    auto regionOf = [&](int cell, std::uint32_t occupied) {
        const std::uint32_t free = all & ~occupied;
        std::uint32_t region = 1u << cell, grown = region;
        do {
            region = grown;
            grown = (region | ((region << 1) & notLeft) | ((region >> 1) & notRight) | (region << x) |
                     (region >> x)) &
                    free;
        } while (grown != region);
        return region;
    };

    std::vector<std::uint8_t> table(m_nEntries, kUnset);
    // Per placement, the cells of every region queued so far.
    std::vector<std::uint16_t> covered(m_nEntries, 0);

    // A queue entry is rank * 16 + blank cell. Each layer is sorted before it is
    // expanded, so the tables are walked nearly in order instead of at random.
    auto unrank = [&](std::size_t rank, std::uint8_t* out) {
        for (int i = k - 1; i >= 0; --i) {
            const std::size_t radix = static_cast<std::size_t>(n - i);
            out[i] = static_cast<std::uint8_t>(rank % radix);
            rank /= radix;
        }
        // Digits count the cells left free by earlier tiles.
        std::uint32_t used = 0;
        for (int i = 0; i < k; ++i) {
            int digit = out[i], cell = 0;
            for (;; ++cell) {
                if (used & (1u << cell))
                    continue;
                if (digit-- == 0)
                    break;
            }
            out[i] = static_cast<std::uint8_t>(cell);
            used |= 1u << cell;
        }
    };

    std::uint8_t cells[kMaxCells];
    std::uint32_t occupied = 0;
    for (int i = 0; i < k; ++i) {
        cells[i] = static_cast<std::uint8_t>(m_tiles[static_cast<size_t>(i)]);
        occupied |= 1u << cells[i];
    }
    std::vector<std::uint64_t> current{Rank(cells) * 16 + static_cast<std::uint64_t>(n - 1)}, next;
    covered[Rank(cells)] = static_cast<std::uint16_t>(regionOf(n - 1, occupied));

    for (int depth = 0; !current.empty(); ++depth) {
        if (depth >= kUnset)
            return false;
        next.clear();
        std::sort(current.begin(), current.end());
        std::size_t counter = 0;
        for (std::uint64_t entry : current) {
            if ((++counter & 0xFFFF) == 0 && stop && stop->load(std::memory_order_relaxed))
                return false;
            const int blank = static_cast<int>(entry & 15u);
            const std::size_t rank = static_cast<std::size_t>(entry >> 4);
            unrank(rank, cells);
            occupied = 0;
            int tileAt[kMaxCells];
            for (int i = 0; i < k; ++i) {
                occupied |= 1u << cells[i];
                tileAt[cells[i]] = i;
            }
            const std::uint32_t region = regionOf(blank, occupied);
            std::uint8_t& value = table[rank];
            if (value == kUnset)
                value = static_cast<std::uint8_t>(depth);
            for (std::uint32_t r = region; r; r &= r - 1) {
                const int to = __builtin_ctz(r);
                for (std::uint32_t nb = neighbours[to] & occupied; nb; nb &= nb - 1) {
                    const int from = __builtin_ctz(nb);
                    const int i = tileAt[from];
                    cells[i] = static_cast<std::uint8_t>(to);
                    const std::size_t nextRank = RankOf(cells, k, n);
                    std::uint16_t& mark = covered[nextRank];
                    if (!(mark & (1u << from))) {
                        const std::uint32_t moved = (occupied & ~(1u << from)) | (1u << to);
                        mark = static_cast<std::uint16_t>(mark | regionOf(from, moved));
                        next.push_back(nextRank * 16 + static_cast<std::uint64_t>(from));
                    }
                    cells[i] = static_cast<std::uint8_t>(from);
                }
            }
        }
        current.swap(next);
    }
    m_table = std::move(table);
    return true;
}

std::uint64_t CPatternDatabase::Checksum(const std::uint8_t* data, std::size_t size)
{
    // FNV-1a, 64 bits.
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

std::vector<std::uint8_t> CPatternDatabase::Serialize() const
{
    std::vector<std::uint8_t> out;
    if (!IsReady())
        return out;
    out.reserve(64 + m_table.size());
    for (char c : kMagic)
        out.push_back(static_cast<std::uint8_t>(c));
    PutU32(out, kFileVersion);
    PutU32(out, static_cast<std::uint32_t>(m_nX));
    PutU32(out, static_cast<std::uint32_t>(m_nY));
    PutU32(out, static_cast<std::uint32_t>(m_tiles.size()));
    for (int t : m_tiles)
        PutU32(out, static_cast<std::uint32_t>(t));
    PutU64(out, m_nEntries);
    PutU64(out, Checksum(m_table.data(), m_table.size()));
    out.insert(out.end(), m_table.begin(), m_table.end());
    return out;
}

bool CPatternDatabase::Deserialize(const std::vector<std::uint8_t>& bytes)
{
    m_table.clear();
    if (bytes.size() != FileSize())
        return false;
    const std::uint8_t* p = bytes.data();
    if (std::memcmp(p, kMagic, 4) != 0)
        return false;
    p += 4;
    if (GetLE(p, 4) != kFileVersion || GetLE(p + 4, 4) != static_cast<std::uint64_t>(m_nX) ||
        GetLE(p + 8, 4) != static_cast<std::uint64_t>(m_nY) || GetLE(p + 12, 4) != m_tiles.size())
        return false;
    p += 16;
    for (int t : m_tiles) {
        if (GetLE(p, 4) != static_cast<std::uint64_t>(t))
            return false;
        p += 4;
    }
    if (GetLE(p, 8) != m_nEntries)
        return false;
    const std::uint64_t sum = GetLE(p + 8, 8);
    p += 16;
    if (Checksum(p, m_nEntries) != sum)
        return false;
    m_table.assign(p, p + m_nEntries);
    return true;
}

std::size_t CPatternDatabase::FileSize() const
{
    // magic, version, width, height, group size, tiles, entry count, checksum, table
    return 4 + 4 * 4 + 4 * m_tiles.size() + 8 + 8 + m_nEntries;
}

std::string CPatternDatabase::FileName() const
{
    std::string name = "pdb-" + std::to_string(m_nX) + "x" + std::to_string(m_nY) + "-";
    for (size_t i = 0; i < m_tiles.size(); ++i)
        name += (i ? "." : "") + std::to_string(m_tiles[i]);
    return name + ".bin";
}

bool CPatternDatabase::LoadFile(const std::filesystem::path& path)
{
    m_table.clear();
    // Refuse a file of the wrong size before reading any of it.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size != FileSize())
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Deserialize(bytes);
}

bool CPatternDatabase::SaveFile(const std::filesystem::path& path) const
{
    const std::vector<std::uint8_t> bytes = Serialize();
    if (bytes.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}
