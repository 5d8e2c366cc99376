// Feeds arbitrary bytes to the BMP reader. Whatever it accepts must convert
// for drawing without reading out of bounds, and must survive a write and a
// second read unchanged.

#include "imaging/DIBitmap.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    CDIBitmap dib;
    if (!dib.Read(in)) {
        if (dib.GetBits() || dib.GetBitmapInfo() || dib.GetPalette()) {
            __builtin_trap(); // a refused file leaves nothing behind
        }
        return 0;
    }
    const QImage first = dib.ToImage();

    std::ostringstream out;
    if (!dib.Write(out))
        __builtin_trap();
    std::istringstream again(out.str());
    CDIBitmap copy;
    if (!copy.Read(again))
        __builtin_trap();
    if (copy.ToImage() != first)
        __builtin_trap();
    return 0;
}
