// Feeds arbitrary bytes, as a file, to the picture loader the way the game
// uses it: scaled to the board's 300 x 300, and at natural size within a
// limit as the about box takes it. Whatever loads must be opaque and of the
// size asked; what loads scaled loads at natural size too (which may stop
// reading a top-down file early), and the same when no scaling or cropping is
// due.

#include "imaging/PictureFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// One in-memory file, rewritten for every input.
const std::string& FilePath(int& fd)
{
    static int s_fd = ::memfd_create("picture.bmp", MFD_CLOEXEC);
    static const std::string s_path = "/proc/self/fd/" + std::to_string(s_fd);
    fd = s_fd;
    return s_path;
}

bool Opaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int fd = -1;
    const std::string& path = FilePath(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        __builtin_trap();
    }

    CPictureFile::Status status = CPictureFile::Status::Ok;
    const QImage board = CPictureFile::Load(path, QSize(300, 300), &status);
    if (board.isNull() != (status != CPictureFile::Status::Ok)) {
        __builtin_trap(); // the status tells success and failure apart
    }
    if (!board.isNull() &&
        (board.size() != QSize(300, 300) || board.format() != QImage::Format_RGB32 || !Opaque(board))) {
        __builtin_trap();
    }

    const QSize limit(512, 512);
    std::vector<QRgb> table;
    const QImage natural = CPictureFile::LoadNatural(path, limit, &table, &status);
    if ((natural.isNull() && !board.isNull()) || table.size() > 256) {
        __builtin_trap();
    }
    if (natural.isNull()) {
        return 0;
    }
    if (natural.width() > limit.width() || natural.height() > limit.height() || !Opaque(natural)) {
        __builtin_trap();
    }
    // Smaller than the limit: the whole picture, which scaled to its own size is itself.
    if (natural.width() < limit.width() && natural.height() < limit.height() &&
        CPictureFile::Load(path, natural.size()) != natural) {
        __builtin_trap();
    }
    return 0;
}
