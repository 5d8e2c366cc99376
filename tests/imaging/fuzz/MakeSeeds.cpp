// Writes a few small BMP files of every kind the reader knows into the folder
// given, as the fuzzer's starting corpus.

#include "imaging/DIBitmap.h"

#include "../BmpBytes.h"
#include "support/RunFolder.h"

#include <cstdio>
#include <string>

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
        {"mono.bmp", IndexedPicture(9, 3, 2), 1},
        {"four.bmp", IndexedPicture(5, 4, 16), 4},
        {"eight.bmp", IndexedPicture(7, 3, 200), 8},
        {"true.bmp", IndexedPicture(3, 5, 9).convertToFormat(QImage::Format_RGB32), 24},
    };
    for (const auto& m : made) {
        CDIBitmap dib;
        ok = dib.CreateFromBitmap(m.image, m.bits) && dib.Save(dir + "/" + m.name) && ok;
    }
    const std::pair<const char*, BmpSpec> specs[] = {
        {"rle8.bmp", Spec(6, 3, 8, GreyTable(256), {3, 9, 0, 3, 1, 2, 3, 0, 0, 0, 2, 1, 1, 6, 4, 0, 1},
                          CDIBitmap::BI_RLE8)},
        {"rle4.bmp",
         Spec(6, 3, 4, GreyTable(16), {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1}, CDIBitmap::BI_RLE4)},
        {"fields16.bmp", Spec(2, 2, 16, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0},
                              {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}, CDIBitmap::BI_BITFIELDS)},
        {"deep32.bmp", Spec(1, 1, 32, {}, {1, 2, 3, 0})},
        {"topdown24.bmp",
         Spec(3, -2, 24, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0})}};
    for (const auto& [name, spec] : specs)
        ok = support::WriteFile(dir + "/" + name, MakeBmp(spec)) && ok;

    BmpSpec v5 = Spec(2, 1, 32, {}, {10, 20, 30, 0, 40, 50, 60, 0}, CDIBitmap::BI_BITFIELDS);
    v5.biSize = 124;
    v5.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    ok = support::WriteFile(dir + "/v5alpha32.bmp", MakeBmp(v5)) && ok;

    // The OS/2 core header: 16-bit sizes and 3-byte colour entries; 2 x 2 of 1 bit.
    const std::string core("BM\x28\0\0\0\0\0\0\0\x20\0\0\0\x0C\0\0\0\x02\0\x02\0\x01\0\x01\0"
                           "\x10\x20\x30\xF0\xE0\xD0\x80\0\0\0\x40\0\0\0",
                           40);
    ok = support::WriteFile(dir + "/core1.bmp", core) && ok;

    return ok ? 0 : 1;
}
