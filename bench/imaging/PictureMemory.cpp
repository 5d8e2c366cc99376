// Peak memory and time of loading one large picture the way the board does:
// writes a 24-bit BMP of the given size (default 10000 x 10000, 100
// megapixels) into a folder, loads it scaled to 300 x 300, and prints the
// time taken and the process's maximum resident set before and after.
// Usage: picture_memory_bench [width height [folder]]

#include "imaging/PictureFile.h"
#include "tests/support/PictureFiles.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

long MaxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 10000;
    const int height = argc > 2 ? std::atoi(argv[2]) : 10000;
    const std::filesystem::path folder = argc > 3 ? argv[3] : std::filesystem::temp_directory_path();
    const std::string path = (folder / "picture-memory-bench.bmp").string();

    if (!support::WriteQuartersBmp(path, width, height)) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
    }
    const auto bytes = std::filesystem::file_size(path);
    const long before = MaxRssKb();
    const auto start = std::chrono::steady_clock::now();
    CPictureFile::Status status;
    const QImage picture = CPictureFile::Load(path, QSize(300, 300), &status);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long after = MaxRssKb();
    std::filesystem::remove(path);

    std::printf("%d x %d pixels, 24 bits (%.1f megapixels, file %.1f MB)\n", width, height,
                width * static_cast<double>(height) / 1e6, static_cast<double>(bytes) / 1e6);
    std::printf("loaded to %d x %d: %s\n", picture.width(), picture.height(), CPictureFile::Describe(status));
    std::printf("time: %.3f s\n", seconds);
    std::printf("max RSS: %.1f MB before loading, %.1f MB after\n", before / 1024.0, after / 1024.0);
    return picture.isNull() ? 1 : 0;
}
