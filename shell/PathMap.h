#pragma once

#include <string>

// Stored paths keep the backslash of the profile ("bitmaps\pic1.bmp"); a file
// is opened through the path with every backslash turned into '/'.
inline std::string ToNativePath(std::string path)
{
    for (char& ch : path) {
        if (ch == '\\')
            ch = '/';
    }
    return path;
}
