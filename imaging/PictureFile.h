#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>

#include <cstdint>
#include <string>
#include <vector>

// The one way the game reads a picture file (the board, the preview, the setup
// dialog's picture buttons and the about box): a Windows BMP file, and only
// that, whatever its name says.
//
// Only a regular file (or a link to one) is opened, so a FIFO or a device
// never blocks the game. The pixel rows are read one at a time and reduced as
// they come, so a picture of any size up to kMaxPixels loads in a few
// megabytes. Pictures are opaque: alpha bytes and alpha masks are ignored, as
// the game has always drawn its pictures with plain block transfers.
//
// Read: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE8, RLE4 and
// bit fields (16 and 32 bits); the 40-byte info header and its later, longer
// versions (52, 56, 108 and 124 bytes, of which the first 40 bytes and the
// colour masks count) and the 12-byte OS/2 core header. Rows may be stored
// bottom-up (the usual way) or top-down (a negative height), except in
// compressed files, which are bottom-up by definition. Pixels an RLE file does
// not paint take colour 0 of its table. Refused: other compressions (JPEG and
// PNG inside a BMP among them), more than 256 colours in a table, and files
// shorter than their uncompressed rows.
class CPictureFile {
public:
    enum class Status {
        Ok,
        Missing,     // no such file
        Unreadable,  // it exists but cannot be opened
        NotRegular,  // a FIFO, socket, device node or folder
        NotBmp,      // does not start like a BMP file
        Unsupported, // a header, depth or compression the game does not read
        TooLarge,    // more pixels, or a wider row, than the limits below
        Damaged,     // cut short, or its header contradicts itself
    };

    // Limits against hostile headers; well above any photograph.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 30; // 1 Gi pixels
    static constexpr int kMaxWidth = 1 << 18;                         // 262144 pixels a row

    // The picture scaled smoothly to size (ignoring its aspect ratio), as
    // Format_RGB32; a null image when the file does not load, and status (if
    // given) says why.
    static QImage Load(const std::string& path, QSize size, Status* status = nullptr);
    // The picture at each of the sizes, from one reading of the file: each
    // image as Load gives it for that size (null for an empty size). All null
    // when the file does not load.
    static std::vector<QImage> LoadSizes(const std::string& path, const std::vector<QSize>& sizes,
                                         Status* status = nullptr);

    // The picture at its natural size, but no more than limit: a larger picture
    // keeps its top-left corner. colorTable (if given) receives the colour
    // table of a picture of 8 bits per pixel or less (its used colours, at most
    // 256), and is emptied for deeper ones.
    static QImage LoadNatural(const std::string& path, QSize limit, std::vector<QRgb>* colorTable = nullptr,
                              Status* status = nullptr);

    // A short English reason for a status ("not a BMP file").
    static const char* Describe(Status status);
};
