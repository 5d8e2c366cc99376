#include "imaging/PictureFile.h"

#include "common/RegularFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

using Status = CPictureFile::Status;

// A failed step; caught where the picture is loaded.
struct LoadError {
    Status status;
};

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Buffered reading from a file descriptor, which it closes.
class FileBytes {
public:
    explicit FileBytes(int fd) : m_fd(fd), m_buffer(kBufferSize) {}
    ~FileBytes() { ::close(m_fd); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Exactly n bytes, or false at the end of the file.
    bool Read(std::uint8_t* dst, std::size_t n)
    {
        while (n > 0) {
            if (m_pos == m_end && !Fill()) {
                return false;
            }
            const std::size_t take = std::min(n, m_end - m_pos);
            std::memcpy(dst, m_buffer.data() + m_pos, take);
            m_pos += take;
            dst += take;
            n -= take;
        }
        return true;
    }

    // The next byte, or -1 at the end of the file.
    int Byte()
    {
        if (m_pos == m_end && !Fill()) {
            return -1;
        }
        return m_buffer[m_pos++];
    }

    // Moves to offset bytes from the start of the file.
    bool Seek(std::uint64_t offset)
    {
        m_pos = m_end = 0;
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) {
            return false;
        }
        return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
    }

    // Passes over n bytes without reading them.
    bool Skip(std::uint64_t n)
    {
        const std::size_t buffered = m_end - m_pos;
        if (n <= buffered) {
            m_pos += static_cast<std::size_t>(n);
            return true;
        }
        m_pos = m_end = 0;
        return ::lseek(m_fd, static_cast<off_t>(n - buffered), SEEK_CUR) >= 0;
    }

private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    bool Fill()
    {
        for (;;) {
            const ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            m_pos = 0;
            m_end = static_cast<std::size_t>(n);
            return true;
        }
    }

    int m_fd;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
};

enum : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

// What the headers say about the pixels.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = BI_RGB;
    std::uint64_t offBits = 0;
    std::array<QRgb, 256> lut{}; // colours of the indices; black where the table has none
    int colors = 0;              // entries of the table, 8 bits per pixel or less
    std::array<std::uint32_t, 3> masks{};
};

Layout ReadHeaders(FileBytes& in)
{
    std::array<std::uint8_t, 14 + 124> h{};
    if (!in.Read(h.data(), 14 + 4) || h[0] != 'B' || h[1] != 'M') {
        throw LoadError{Status::NotBmp};
    }
    Layout l;
    l.offBits = Get32(h.data() + 10);
    const std::uint32_t size = Get32(h.data() + 14);
    const bool core = size == 12;
    if (!core && size != 40 && size != 52 && size != 56 && size != 108 && size != 124) {
        throw LoadError{Status::Unsupported};
    }
    std::uint8_t* ih = h.data() + 14;
    if (!in.Read(ih + 4, size - 4)) {
        throw LoadError{Status::Damaged};
    }
    std::uint32_t used = 0;
    if (core) {
        l.width = Get16(ih + 4);
        l.height = Get16(ih + 6);
        l.bits = Get16(ih + 10);
    } else {
        l.width = static_cast<std::int32_t>(Get32(ih + 4));
        l.height = static_cast<std::int32_t>(Get32(ih + 8));
        l.bits = Get16(ih + 14);
        l.compression = Get32(ih + 16);
        used = Get32(ih + 32);
    }
    if (l.height < 0) {
        l.topDown = true;
        l.height = -l.height;
    }
    if (l.width <= 0 || l.height == 0) {
        throw LoadError{Status::Damaged};
    }
    const bool known =
        l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 16 || l.bits == 24 || l.bits == 32;
    const bool fits = (l.compression == BI_RGB && known) || (l.compression == BI_RLE8 && l.bits == 8) ||
                      (l.compression == BI_RLE4 && l.bits == 4) ||
                      (l.compression == BI_BITFIELDS && (l.bits == 16 || l.bits == 32));
    if (!fits || (core && l.bits > 24)) {
        throw LoadError{Status::Unsupported};
    }
    // Compressed rows run from the bottom up, always.
    if (l.topDown && l.compression != BI_RGB && l.compression != BI_BITFIELDS) {
        throw LoadError{Status::Damaged};
    }
    if (l.width > CPictureFile::kMaxWidth || l.width * l.height > CPictureFile::kMaxPixels) {
        throw LoadError{Status::TooLarge};
    }

    std::uint64_t tableStart = 14 + size;
    if (l.compression == BI_BITFIELDS) {
        if (size == 40) {
            // The three masks follow the header.
            std::array<std::uint8_t, 12> m{};
            if (!in.Read(m.data(), m.size())) {
                throw LoadError{Status::Damaged};
            }
            for (int i = 0; i < 3; ++i) {
                l.masks[i] = Get32(m.data() + 4 * i);
            }
            tableStart += 12;
        } else {
            for (int i = 0; i < 3; ++i) {
                l.masks[i] = Get32(ih + 40 + 4 * i);
            }
        }
    } else if (l.bits == 16) {
        l.masks = {0x7C00, 0x03E0, 0x001F};
    } else {
        l.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    }

    // The pixels may not start inside the headers.
    if (l.offBits < tableStart) {
        throw LoadError{Status::Damaged};
    }
    if (l.bits <= 8) {
        if (used > 256) {
            throw LoadError{Status::Unsupported};
        }
        l.colors = used != 0 ? static_cast<int>(used) : 1 << l.bits;
        // Entries that the space before the pixels has no room for stay black.
        const int entry = core ? 3 : 4;
        const int stored =
            static_cast<int>(std::min<std::uint64_t>(l.colors, (l.offBits - tableStart) / entry));
        std::array<std::uint8_t, 256 * 4> table{};
        if (!in.Read(table.data(), static_cast<std::size_t>(stored * entry))) {
            throw LoadError{Status::Damaged};
        }
        l.lut.fill(qRgb(0, 0, 0));
        for (int i = 0; i < stored; ++i) {
            const std::uint8_t* q = table.data() + i * entry;
            l.lut[static_cast<std::size_t>(i)] = qRgb(q[2], q[1], q[0]);
        }
    }
    if (!in.Seek(l.offBits)) {
        throw LoadError{Status::Damaged};
    }
    return l;
}

// A stretch of one colour within a row: pixels [x0, x1).
struct Span {
    std::int64_t x0;
    std::int64_t x1;
    QRgb color;
};

// Reduces the rows of a picture, as they arrive, to the picture made of the
// averages of kx × ky blocks of pixels, keeping only the top-left crop.
// Every row must arrive once; rows that share a block arrive together
// (bottom-up or top-down).
class RowReducer {
public:
    RowReducer(std::int64_t width, std::int64_t height, int kx, int ky, QSize crop)
        : m_width(std::min<std::int64_t>(width, crop.width())),
          m_height(std::min<std::int64_t>(height, crop.height())), m_kx(kx), m_ky(ky),
          m_result(static_cast<int>((m_width + kx - 1) / kx), static_cast<int>((m_height + ky - 1) / ky),
                   QImage::Format_RGB32),
          m_sums(static_cast<std::size_t>(m_result.width()) * 3, 0)
    {
        if (m_result.isNull()) {
            throw LoadError{Status::TooLarge};
        }
        m_result.fill(qRgb(0, 0, 0));
    }

    // The crop's width and height: the pixels a row has to give, the rows
    // (from the top) that count.
    std::int64_t Width() const { return m_width; }
    std::int64_t Height() const { return m_height; }

    // One row of pixels, at least Width() of them.
    void AddRow(std::int64_t y, const QRgb* row)
    {
        if (y >= m_height) {
            return;
        }
        Switch(y / m_ky, 1);
        std::uint64_t* sum = m_sums.data();
        for (std::int64_t x = 0; x < m_width; sum += 3) {
            const std::int64_t end = std::min(m_width, x + m_kx);
            std::uint64_t r = 0, g = 0, b = 0;
            for (; x < end; ++x) {
                r += qRed(row[x]);
                g += qGreen(row[x]);
                b += qBlue(row[x]);
            }
            sum[0] += r;
            sum[1] += g;
            sum[2] += b;
        }
    }

    // Rows y0 .. y1 - 1 (from the top), all alike: the spans cover the row
    // from 0 in order, as far as Width() at least. Visits the blocks from the
    // bottom up, as a bottom-up file gives its rows.
    void AddRows(std::int64_t y0, std::int64_t y1, const std::vector<Span>& spans)
    {
        y1 = std::min(y1, m_height);
        while (y1 > y0) {
            const std::int64_t block = (y1 - 1) / m_ky;
            const std::int64_t top = std::max(y0, block * m_ky);
            const std::uint64_t rows = static_cast<std::uint64_t>(y1 - top);
            Switch(block, rows);
            for (const Span& s : spans) {
                const std::int64_t x1 = std::min(s.x1, m_width);
                for (std::int64_t x = s.x0; x < x1;) {
                    const std::int64_t end = std::min(x1, (x / m_kx + 1) * m_kx);
                    const std::uint64_t n = static_cast<std::uint64_t>(end - x) * rows;
                    std::uint64_t* sum = m_sums.data() + 3 * (x / m_kx);
                    sum[0] += qRed(s.color) * n;
                    sum[1] += qGreen(s.color) * n;
                    sum[2] += qBlue(s.color) * n;
                    x = end;
                }
            }
            y1 = top;
        }
    }

    QImage Result()
    {
        Flush();
        return m_result;
    }

private:
    void Switch(std::int64_t block, std::uint64_t rows)
    {
        if (block != m_block) {
            Flush();
            m_block = block;
        }
        m_rows += rows;
    }

    void Flush()
    {
        if (m_block < 0 || m_rows == 0) {
            m_block = -1;
            return;
        }
        QRgb* out = reinterpret_cast<QRgb*>(m_result.scanLine(static_cast<int>(m_block)));
        for (int i = 0; i < m_result.width(); ++i) {
            const std::int64_t cols = std::min<std::int64_t>(m_kx, m_width - std::int64_t{i} * m_kx);
            const std::uint64_t n = static_cast<std::uint64_t>(cols) * m_rows;
            std::uint64_t* sum = m_sums.data() + 3 * i;
            out[i] = qRgb(static_cast<int>((sum[0] + n / 2) / n), static_cast<int>((sum[1] + n / 2) / n),
                          static_cast<int>((sum[2] + n / 2) / n));
            sum[0] = sum[1] = sum[2] = 0;
        }
        m_block = -1;
        m_rows = 0;
    }

    std::int64_t m_width;
    std::int64_t m_height;
    std::int64_t m_kx;
    std::int64_t m_ky;
    QImage m_result;
    std::vector<std::uint64_t> m_sums; // red, green, blue of each block of the current block row
    std::int64_t m_block = -1;         // the block row being summed
    std::uint64_t m_rows = 0;          // rows summed into it
};

// The same rows reduced to several sizes at once, so that one reading of a
// file gives the picture at each of them. The reducers share one crop.
class RowReducers {
public:
    explicit RowReducers(std::vector<RowReducer> reducers) : m_all(std::move(reducers)) {}

    std::int64_t Width() const { return m_all.front().Width(); }
    std::int64_t Height() const { return m_all.front().Height(); }
    void AddRow(std::int64_t y, const QRgb* row)
    {
        for (RowReducer& r : m_all) {
            r.AddRow(y, row);
        }
    }
    void AddRows(std::int64_t y0, std::int64_t y1, const std::vector<Span>& spans)
    {
        for (RowReducer& r : m_all) {
            r.AddRows(y0, y1, spans);
        }
    }
    std::vector<QImage> Results()
    {
        std::vector<QImage> images;
        for (RowReducer& r : m_all) {
            images.push_back(r.Result());
        }
        return images;
    }

private:
    std::vector<RowReducer> m_all;
};

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
struct Channel {
    explicit Channel(std::uint32_t mask)
        : shift(mask == 0 ? 0 : std::countr_zero(mask)), max(mask >> shift), mask(mask)
    {
    }
    int operator()(std::uint32_t v) const
    {
        return max == 0 ? 0 : static_cast<int>(static_cast<std::uint64_t>((v & mask) >> shift) * 255 / max);
    }
    int shift;
    std::uint32_t max;
    std::uint32_t mask;
};

// Uncompressed rows, bottom-up or top-down.
void ReadRows(FileBytes& in, const Layout& l, RowReducers& out)
{
    const std::uint64_t rowBytes = static_cast<std::uint64_t>((l.width * l.bits + 31) / 32 * 4);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(rowBytes));
    std::vector<QRgb> row(static_cast<std::size_t>(out.Width()));
    const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    const bool plain32 = l.bits == 32 && l.masks == std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
    const std::int64_t width = out.Width();

    // Only the rows of the crop are read: a bottom-up file passes over the
    // rows below it, a top-down one ends after it.
    const std::int64_t rows = out.Height();
    if (!l.topDown && !in.Skip(static_cast<std::uint64_t>(l.height - rows) * rowBytes)) {
        throw LoadError{Status::Damaged};
    }
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::int64_t y = l.topDown ? i : rows - 1 - i;
        if (!in.Read(bytes.data(), bytes.size())) {
            throw LoadError{Status::Damaged};
        }
        const std::uint8_t* s = bytes.data();
        QRgb* d = row.data();
        switch (l.bits) {
        case 1:
            for (std::int64_t x = 0; x < width; ++x) {
                d[x] = l.lut[(s[x / 8] >> (7 - x % 8)) & 1];
            }
            break;
        case 4:
            for (std::int64_t x = 0; x < width; ++x) {
                d[x] = l.lut[(s[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
            }
            break;
        case 8:
            for (std::int64_t x = 0; x < width; ++x) {
                d[x] = l.lut[s[x]];
            }
            break;
        case 24:
            for (std::int64_t x = 0; x < width; ++x, s += 3) {
                d[x] = qRgb(s[2], s[1], s[0]);
            }
            break;
        case 16:
            for (std::int64_t x = 0; x < width; ++x, s += 2) {
                const std::uint32_t v = Get16(s);
                d[x] = qRgb(red(v), green(v), blue(v));
            }
            break;
        default: // 32
            for (std::int64_t x = 0; x < width; ++x, s += 4) {
                if (plain32) {
                    d[x] = qRgb(s[2], s[1], s[0]);
                } else {
                    const std::uint32_t v = Get32(s);
                    d[x] = qRgb(red(v), green(v), blue(v));
                }
            }
            break;
        }
        out.AddRow(y, d);
    }
}

// Run-length encoded rows (8 or 4 bits), bottom-up. A row is kept as the
// spans it paints, so that long runs and skipped rows cost no more than the
// bytes that describe them. Runs past the right edge are dropped; data that
// ends early leaves the rest of the picture in colour 0.
void ReadRle(FileBytes& in, const Layout& l, RowReducers& out)
{
    const bool rle8 = l.bits == 8;
    const std::int64_t width = out.Width();
    const QRgb background = l.lut[0];
    std::vector<Span> painted; // the current row's spans, left to right
    std::vector<Span> full;
    std::int64_t x = 0;
    std::int64_t row = 0; // counted from the bottom

    // Adds pixels [x, x + n) of one colour to the current row.
    auto paint = [&](std::int64_t n, QRgb color) {
        const std::int64_t x0 = std::min(x, width);
        const std::int64_t x1 = std::min(x + n, width);
        x += n;
        if (x0 == x1) {
            return;
        }
        if (!painted.empty() && painted.back().x1 == x0 && painted.back().color == color) {
            painted.back().x1 = x1;
        } else {
            painted.push_back({x0, x1, color});
        }
    };
    // Hands over `count` rows from the current one upwards: the current row as
    // painted, the others blank. The next row starts empty.
    auto finishRows = [&](std::int64_t count) {
        const std::int64_t y = l.height - 1 - row;
        full.clear();
        std::int64_t at = 0;
        for (const Span& s : painted) {
            if (s.x0 > at) {
                full.push_back({at, s.x0, background});
            }
            full.push_back(s);
            at = s.x1;
        }
        if (at < width) {
            full.push_back({at, width, background});
        }
        out.AddRows(y, y + 1, full);
        painted.clear();
        count = std::min(count, l.height - row);
        if (count > 1) {
            full.assign(1, Span{0, width, background});
            out.AddRows(y - (count - 1), y, full);
        }
        row += count;
    };

    while (row < l.height) {
        const int count = in.Byte();
        const int value = in.Byte();
        if (count < 0 || value < 0) {
            break;
        }
        if (count > 0) {
            if (rle8) {
                paint(count, l.lut[static_cast<std::size_t>(value)]);
            } else {
                for (int i = 0; i < count; ++i) {
                    paint(1, l.lut[static_cast<std::size_t>(i % 2 == 0 ? value >> 4 : value & 0x0F)]);
                }
            }
            continue;
        }
        if (value == 0) { // end of line
            finishRows(1);
            x = 0;
        } else if (value == 1) { // end of picture
            break;
        } else if (value == 2) { // delta
            const int dx = in.Byte();
            const int dy = in.Byte();
            if (dx < 0 || dy < 0) {
                break;
            }
            if (dy > 0) {
                finishRows(dy);
            }
            x += dx;
        } else { // absolute run of `value` pixels, padded to 16 bits
            const int bytes = rle8 ? value : (value + 1) / 2;
            std::array<std::uint8_t, 256> literal{};
            const int padded = (bytes + 1) & ~1;
            bool ended = false;
            for (int i = 0; i < padded; ++i) {
                const int b = in.Byte();
                if (b < 0) {
                    ended = true;
                    break;
                }
                literal[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(b);
            }
            for (int i = 0; i < value; ++i) {
                const std::uint8_t b = literal[static_cast<std::size_t>(rle8 ? i : i / 2)];
                paint(1, l.lut[rle8 ? b : static_cast<std::size_t>(i % 2 == 0 ? b >> 4 : b & 0x0F)]);
            }
            if (ended) {
                break;
            }
        }
    }
    if (row < l.height) {
        finishRows(l.height - row);
    }
}

// Reads the file into the reducers made for its size by makeReducers; their
// pictures, or none when the file does not load.
template <typename MakeReducers>
std::vector<QImage> Decode(const std::string& path, Status& status, std::vector<QRgb>* colorTable,
                           MakeReducers makeReducers)
{
    if (colorTable) {
        colorTable->clear();
    }
    CRegularFile::Status fileStatus;
    std::uint64_t size = 0;
    const int fd = CRegularFile::Open(path, fileStatus, size);
    if (fd < 0) {
        status = fileStatus == CRegularFile::Status::NotRegular   ? Status::NotRegular
                 : fileStatus == CRegularFile::Status::Unreadable ? Status::Unreadable
                                                                  : Status::Missing;
        return {};
    }
    FileBytes in(fd);
    try {
        const Layout l = ReadHeaders(in);
        RowReducers reducer = makeReducers(l.width, l.height);
        if (l.compression == BI_RLE8 || l.compression == BI_RLE4) {
            ReadRle(in, l, reducer);
        } else {
            ReadRows(in, l, reducer);
        }
        if (colorTable && l.bits <= 8) {
            colorTable->assign(l.lut.begin(), l.lut.begin() + l.colors);
        }
        status = Status::Ok;
        return reducer.Results();
    } catch (const LoadError& e) {
        status = e.status;
    } catch (const std::bad_alloc&) {
        status = Status::TooLarge;
    }
    if (colorTable) {
        colorTable->clear();
    }
    return {};
}

} // namespace

QImage CPictureFile::Load(const std::string& path, QSize size, Status* status)
{
    return LoadSizes(path, {size}, status).front();
}

std::vector<QImage> CPictureFile::LoadSizes(const std::string& path, const std::vector<QSize>& sizes,
                                            Status* status)
{
    Status result = Status::Missing;
    std::vector<QSize> wanted;
    for (const QSize& size : sizes) {
        if (!size.isEmpty()) {
            wanted.push_back(size);
        }
    }
    std::vector<QImage> pictures;
    if (!path.empty() && !wanted.empty()) {
        // Whole blocks of pixels are averaged while the rows stream in, down to
        // between one and two times each size asked for; the last, smooth step
        // is Qt's.
        pictures = Decode(path, result, nullptr, [&wanted](std::int64_t width, std::int64_t height) {
            std::vector<RowReducer> reducers;
            for (const QSize& size : wanted) {
                const int kx = static_cast<int>(std::max<std::int64_t>(1, width / size.width()));
                const int ky = static_cast<int>(std::max<std::int64_t>(1, height / size.height()));
                reducers.emplace_back(width, height, kx, ky, QSize(kMaxWidth, INT32_MAX));
            }
            return RowReducers(std::move(reducers));
        });
    }
    std::vector<QImage> images(sizes.size());
    for (std::size_t i = 0, j = 0; i < sizes.size() && j < pictures.size(); ++i) {
        if (sizes[i].isEmpty()) {
            continue;
        }
        QImage& picture = pictures[j++];
        if (picture.size() != sizes[i]) {
            picture = picture.scaled(sizes[i], Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        }
        images[i] = picture;
    }
    if (status) {
        *status = result;
    }
    return images;
}

QImage CPictureFile::LoadNatural(const std::string& path, QSize limit, std::vector<QRgb>* colorTable,
                                 Status* status)
{
    Status result = Status::Missing;
    QImage picture;
    if (!path.empty() && !limit.isEmpty()) {
        std::vector<QImage> decoded =
            Decode(path, result, colorTable, [limit](std::int64_t width, std::int64_t height) {
                std::vector<RowReducer> reducers;
                reducers.emplace_back(width, height, 1, 1, limit);
                return RowReducers(std::move(reducers));
            });
        if (!decoded.empty()) {
            picture = decoded.front();
        }
    } else if (colorTable) {
        colorTable->clear();
    }
    if (status) {
        *status = result;
    }
    return picture;
}

const char* CPictureFile::Describe(Status status)
{
    switch (status) {
    case Status::Ok:
        return "readable";
    case Status::Missing:
        return CRegularFile::Describe(CRegularFile::Status::Missing);
    case Status::Unreadable:
        return CRegularFile::Describe(CRegularFile::Status::Unreadable);
    case Status::NotRegular:
        return CRegularFile::Describe(CRegularFile::Status::NotRegular);
    case Status::NotBmp:
        return "not a BMP file";
    case Status::Unsupported:
        return "a kind of BMP file the game does not read";
    case Status::TooLarge:
        return "the picture is too large";
    case Status::Damaged:
        return "the file is damaged or cut short";
    }
    return "unreadable";
}
