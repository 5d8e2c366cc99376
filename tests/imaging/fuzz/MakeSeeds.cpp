// Writes a few small BMP files of every kind the reader knows into the folder
// given, as the fuzzer's starting corpus.

#include "imaging/DIBitmap.h"

#include "../BmpBytes.h"

#include <QImage>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

QImage Indexed(int w, int h, int colours)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i) {
        table.append(qRgb(i * 40 & 0xFF, i * 90 & 0xFF, 255 - i));
    }
    img.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, static_cast<uint>((x + 2 * y) % colours));
        }
    }
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s corpus-dir\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;

    const struct {
        const char* name;
        QImage image;
        int bits;
    } made[] = {
        {"mono.bmp", Indexed(9, 3, 2), 1},
        {"four.bmp", Indexed(5, 4, 16), 4},
        {"eight.bmp", Indexed(7, 3, 200), 8},
        {"true.bmp", Indexed(3, 5, 9).convertToFormat(QImage::Format_RGB32), 24},
    };
    for (const auto& m : made) {
        CDIBitmap dib;
        ok = dib.CreateFromBitmap(m.image, m.bits) && dib.Save(dir + "/" + m.name) && ok;
    }

    BmpSpec rle;
    rle.width = 6;
    rle.height = 3;
    rle.bitCount = 8;
    rle.compression = CDIBitmap::BI_RLE8;
    rle.colorTable = GreyTable(256);
    rle.pixels = {3, 9, 0, 3, 1, 2, 3, 0, 0, 0, 2, 1, 1, 6, 4, 0, 1};
    ok = WriteFile(dir + "/rle8.bmp", MakeBmp(rle)) && ok;

    BmpSpec rle4 = rle;
    rle4.bitCount = 4;
    rle4.compression = CDIBitmap::BI_RLE4;
    rle4.colorTable = GreyTable(16);
    rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    ok = WriteFile(dir + "/rle4.bmp", MakeBmp(rle4)) && ok;

    BmpSpec fields;
    fields.width = 2;
    fields.height = 2;
    fields.bitCount = 16;
    fields.compression = CDIBitmap::BI_BITFIELDS;
    fields.colorTable = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    fields.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF};
    ok = WriteFile(dir + "/fields16.bmp", MakeBmp(fields)) && ok;

    BmpSpec deep;
    deep.width = 1;
    deep.height = 1;
    deep.bitCount = 32;
    deep.pixels = {1, 2, 3, 0};
    ok = WriteFile(dir + "/deep32.bmp", MakeBmp(deep)) && ok;

    BmpSpec topDown;
    topDown.width = 3;
    topDown.height = -2;
    topDown.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0};
    ok = WriteFile(dir + "/topdown24.bmp", MakeBmp(topDown)) && ok;

    BmpSpec v5 = deep;
    v5.width = 2;
    v5.biSize = 124;
    v5.compression = CDIBitmap::BI_BITFIELDS;
    v5.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    v5.pixels = {10, 20, 30, 0, 40, 50, 60, 0};
    ok = WriteFile(dir + "/v5alpha32.bmp", MakeBmp(v5)) && ok;

    // The OS/2 core header: 16-bit sizes and 3-byte colour entries; 2 x 2 of 1 bit.
    const std::string core("BM\x28\0\0\0\0\0\0\0\x20\0\0\0\x0C\0\0\0\x02\0\x02\0\x01\0\x01\0"
                           "\x10\x20\x30\xF0\xE0\xD0\x80\0\0\0\x40\0\0\0",
                           40);
    ok = WriteFile(dir + "/core1.bmp", core) && ok;

    return ok ? 0 : 1;
}
