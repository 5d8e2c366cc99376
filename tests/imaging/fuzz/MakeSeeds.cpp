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
        {"deep32.bmp", Spec(1, 1, 32, {}, {1, 2, 3, 0})}};
    for (const auto& [name, spec] : specs)
        ok = support::WriteFile(dir + "/" + name, MakeBmp(spec)) && ok;

    return ok ? 0 : 1;
}
