#pragma once

#include "common/Rect.h"
#include "imaging/DIBPalette.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class QPainter;

// A device-independent bitmap held in memory as a BMP file keeps it: the
// bitmap-info block (40-byte info header plus colour table), the pixel block
// (rows bottom-up, each filled out to 32 bits) and a palette made from the
// colour table for pictures of 8 bits per pixel or less.
class CDIBitmap {
public:
    // Sizes of the on-disk structures.
    static constexpr int kFileHeaderSize = 14;
    static constexpr int kInfoHeaderSize = 40;
    static constexpr int kColorTableSize = 1024; // room for 256 entries
    static constexpr int kInfoBlockSize = kInfoHeaderSize + kColorTableSize;
    // Limits against hostile headers.
    static constexpr std::uint32_t kMaxPixelBlock = 256u * 1024u * 1024u;
    // At most 16 Mi pixels (4096 × 4096): drawing converts to 4 bytes a pixel.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 24;

    // Compression values of the info header.
    enum : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

    CDIBitmap();
    virtual ~CDIBitmap();
    CDIBitmap(const CDIBitmap&) = delete;
    CDIBitmap& operator=(const CDIBitmap&) = delete;

    // Copies the part lpDIBRect of the picture (top-down picture coordinates)
    // one to one to the left/top of lpDCRect, with lpDCRect's width and height.
    // Returns the number of scan lines handed over, 0 when the picture is empty.
    virtual int Paint(QPainter* pDC, const CRect* lpDCRect, const CRect* lpDIBRect);
    // Draws the whole picture stretched into (x, y, cx, cy).
    virtual void StretchDraw(QPainter* pDC, int x, int y, int cx, int cy);
    // Draws the whole picture at its natural size with its top-left at (x, y).
    virtual void Draw(QPainter* pDC, int x, int y);
    virtual bool Load(const std::string& strPath);
    // Reads a BMP image from the stream's current position.
    virtual bool Read(std::istream& file);
    virtual bool Save(const std::string& strPath);
    virtual bool Write(std::ostream& file);

    // Replaces the picture by a copy of image. nBitCount 0 keeps the image's own
    // depth (1 for monochrome, 8 for indexed, 24 for anything deeper); 1, 4 or 8
    // may be asked for an indexed image whose colours and pixels fit.
    bool CreateFromBitmap(const QImage& image, int nBitCount = 0);
    // Replaces the picture by a bitmap resource of the program, found by name
    // (without regard to case) or by number. A missing resource leaves the
    // picture as it was and returns false. Where the program also has the
    // resource drawn at twice its size ("<name>@2x"), that version is kept
    // beside the picture for screens of device pixel ratio 2.
    bool LoadResourceBitmap(const QString& lpszResourceName);
    bool LoadResourceBitmap(int nIDResource);

    // The bitmap-info block and its size; null and 0 when empty.
    const std::uint8_t* GetBitmapInfo() const { return m_info.empty() ? nullptr : m_info.data(); }
    int GetBitmapInfoSize() const { return static_cast<int>(m_info.size()); }
    // The first colour-table entry (blue, green, red, reserved), 40 bytes into the block.
    const std::uint8_t* GetColorTable() const
    {
        return m_info.empty() ? nullptr : m_info.data() + kInfoHeaderSize;
    }
    // How many colour entries the info block holds room for.
    int GetColorTableCapacity() const
    {
        return m_info.empty() ? 0 : static_cast<int>((m_info.size() - kInfoHeaderSize) / 4);
    }
    const std::uint8_t* GetBits() const { return m_bits.empty() ? nullptr : m_bits.data(); }
    std::size_t GetBitsSize() const { return m_bits.size(); }
    // The size accessors read the header: callers test GetBits first.
    int GetWidth() const;
    int GetHeight() const;
    int GetBitCount() const;
    std::uint32_t GetCompression() const;
    int GetNumColors() const;
    int GetDepthColorCount() const;
    // The logical palette, null for an empty picture and beyond 8 bits per pixel.
    const CDIBPalette* GetPalette() const { return m_pPalette.get(); }

    // Number of colours of an info header: biClrUsed, else 2 to the bit count.
    static int NumColors(const std::uint8_t* infoHeader);
    // Colour-table entries by depth: 2, 16, 256 for 1, 4, 8 bits, else 0.
    static std::uint16_t DepthColorCount(int bitCount);

    // The picture as a 32-bit image for drawing, converted once and kept until
    // the picture changes. Null when empty or when the pixels cannot be decoded.
    QImage ToImage() const;
    // The picture for a device of the given pixel ratio: above 1, the
    // resource's double-size version (its device pixel ratio set to 2) when
    // it has one; otherwise ToImage(). Both cover the same logical size.
    QImage ToImage(qreal devicePixelRatio) const;

    // The failure text of the last operation that failed, empty after success.
    const std::string& GetLastError() const { return m_strLastError; }

private:
    void Free();
    bool BuildPalette();
    QImage Convert() const;

    std::vector<std::uint8_t> m_info; // m_pBMI
    std::vector<std::uint8_t> m_bits; // m_pBits
    std::unique_ptr<CDIBPalette> m_pPalette;
    mutable QImage m_cache;
    QImage m_imageAt2x; // the resource's double-size version, or null
    mutable bool m_bCacheValid = false;
    std::string m_strLastError;
};
